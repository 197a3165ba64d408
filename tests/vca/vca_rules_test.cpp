// Analysis rules as the device receives them: member-to-record mapping,
// point lists and their bounds, refusals, replies, read-modify-write.
#include "vca_fixture.h"

namespace {

using namespace vca_test;
using Lines = std::vector<std::string>;

const char *kPeptMembers =
    R"("ch":2,"scene_id":1,"rule_id":3,"valid":1,"display_rule":11,"display_stat":12,"display_target":13,)"
    R"("color":14,"alarm_color":15,"max_size":16,"min_size":17,"sensitiv":18,"model_type":19,"tgt_type":20,)"
    R"("time_thres_hold":21)";

std::string pept(const std::string &points, const std::string &extra = "") {
    return std::string(R"({"command":6,)") + kPeptMembers + extra + (points.empty() ? "" : ",\"point\":" + points) + "}";
}

using RulesTest = VcaTest;

TEST_F(RulesTest, PeptRuleMapsMembersByNameAndKeepsSkippedPointSlots) {
    Command cmd(pept(R"([{"x":1,"y":2},{"x":5},null,"text",{"x":7,"y":8}])", R"(,"valid":-2)"));
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(cmd.reply(), R"({"ret":0})");
    EXPECT_EQ(log.messages(), (Lines{"point y == -1", "point == NULL", "point x == -1"}));

    sdk_sim_call call = only_call();
    EXPECT_STREQ(call.function, "NetClient_VCASetConfig");
    EXPECT_EQ(call.loginfd, 7);
    EXPECT_EQ(call.cmd, 0xA2);
    EXPECT_EQ(call.ch, 2);
    ASSERT_EQ(call.in_len, 124);
    // Record order: colour, alarm colour, then show-target.
    const int32_t expected_head[] = {1, 3, -2, 11, 12, 14, 15, 13, 16, 17, 18, 19, 20, 21, 5};
    for (size_t i = 0; i < std::size(expected_head); ++i)
        EXPECT_EQ(word_at(call.in, 4 * i), expected_head[i]) << "offset " << 4 * i;
    const int32_t expected_points[16] = {1, 2, 0, 0, 0, 0, 0, 0, 7, 8};
    for (size_t i = 0; i < 16; ++i)
        EXPECT_EQ(word_at(call.in, 60 + 4 * i), expected_points[i]) << "point word " << i;
}

TEST_F(RulesTest, PeptRuleRefusalsAnswerMinusOneAndSendNothing) {
    const std::string eight = R"([{"x":1,"y":1},{"x":1,"y":1},{"x":1,"y":1},{"x":1,"y":1},{"x":1,"y":1},{"x":1,"y":1},{"x":1,"y":1},{"x":1,"y":1})";
    struct Case {
        std::string json;
        std::string message;
    } cases[] = {
        {eight + R"(,{"x":1,"y":1}])", "piont_num  > MAX_VCA_PEPT_POINT_NUM"},
        {"", "jso_outs == NULL"},
        {R"({"x":1,"y":1})", "!json_object_is_type(jso_outs, json_type_array)"},
        {R"("[]")", "!json_object_is_type(jso_outs, json_type_array)"},
    };
    for (const Case &c : cases) {
        std::string json = pept(c.json);
        sdk_sim_reset();
        log.clear();
        Command cmd(json);
        EXPECT_EQ(set(cmd), 0) << json;
        EXPECT_EQ(err, CMD_ZEL_EINVAL) << json;
        EXPECT_EQ(cmd.reply(), R"({"ret":-1})");
        EXPECT_EQ(log.messages(), Lines{c.message}) << json;
        EXPECT_EQ(sdk_sim_call_count(), 0);
    }
    log.clear();
    Command no_channel(R"({"command":6,"ch":-3,"point":[]})");
    EXPECT_EQ(set(no_channel), 0);
    EXPECT_EQ(log.messages(), Lines{"ch == -1"});
    // Every member is required; -1, a wrong type or absence all refuse.
    for (const char *key : {"scene_id", "valid", "color", "alarm_color", "time_thres_hold"}) {
        for (const char *bad : {"-1", "\"3\"", "[1]", "null"}) {
            log.clear();
            Command cmd(pept("[]", std::string(",\"") + key + "\":" + bad));
            EXPECT_EQ(set(cmd), 0) << key << bad;
            EXPECT_EQ(log.messages(), Lines{std::string(key) + " == -1"});
            EXPECT_EQ(cmd.reply(), R"({"ret":-1})");
        }
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);

    // Exactly eight points are accepted.
    Command ok(pept(eight + "]"));
    EXPECT_EQ(set(ok), 1);
    EXPECT_EQ(word_at(only_call().in, 56), 8);
}

TEST_F(RulesTest, PeptDeviceFailureAnswersItsResult) {
    sdk_sim_set_answer("NetClient_VCASetConfig", 0xA2, -5, 0, nullptr, 0);
    Command cmd(pept("[]"));
    EXPECT_EQ(set(cmd), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(cmd.reply(), R"({"ret":-5})");
    EXPECT_EQ(log.messages(), Lines{"NetClient_VCASetConfig ret:-5 < 0  cmd:162"});

    // Enable word of the same rule family.
    sdk_sim_set_answer("NetClient_VCASetConfig", 0xA3, -2, 0, nullptr, 0);
    log.clear();
    Command enable(R"({"command":8,"ch":1,"enable":0})");
    EXPECT_EQ(set(enable), 0);
    EXPECT_EQ(enable.reply(), R"({"ret":-2})");
    EXPECT_EQ(log.messages(), Lines{"NetClient_VCASetConfig ret:-2 < 0  cmd:163"});
    sdk_sim_call call = calls().back();
    EXPECT_EQ(call.in_len, 4);
    EXPECT_EQ(word_at(call.in, 0), 0);
}

TEST_F(RulesTest, GetPeptRuleAnswersInKeyOrderAndBoundsThePointCount) {
    Bytes rule(124);
    for (int32_t i = 0; i < 14; ++i)
        rule.put(4 * i, 100 + i);
    rule.put(56, 3).put(60, 1).put(64, 2).put(68, 3).put(72, 4).put(76, 5).put(80, 6);
    answer("NetClient_VCAGetConfig", 0xA2, rule);
    Command cmd(R"({"command":9,"ch":1,"scene_id":4,"rule_id":5})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(cmd.reply(),
              R"({ "point": [ { "x": 1, "y": 2 }, { "x": 3, "y": 4 }, { "x": 5, "y": 6 } ], "valid": 102, )"
              R"("display_rule": 103, "display_stat": 104, "display_target": 107, "color": 105, "alarm_color": 106, )"
              R"("max_size": 108, "min_size": 109, "sensitiv": 110, "model_type": 111, "tgt_type": 112, )"
              R"("time_thres_hold": 113, "ret": 0 })");
    // Scene and rule go to the device with the request.
    sdk_sim_call call = only_call();
    EXPECT_EQ(word_at(call.in, 0), 4);
    EXPECT_EQ(word_at(call.in, 4), 5);

    // A count beyond the record's eight slots yields eight points.
    rule.put(56, 1000);
    answer("NetClient_VCAGetConfig", 0xA2, rule);
    Command many(R"({"command":9,"ch":1,"scene_id":4,"rule_id":5})");
    EXPECT_EQ(get(many), 1);
    size_t points = 0;
    for (size_t at = many.reply().find("\"x\""); at != std::string::npos; at = many.reply().find("\"x\"", at + 1))
        ++points;
    EXPECT_EQ(points, 8u);
}

TEST_F(RulesTest, GetPeptFailuresAnswerRetAlone) {
    Command refused(R"({"command":9,"ch":1,"scene_id":4})");
    EXPECT_EQ(get(refused), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(refused.reply(), R"({ "ret": -1 })");
    EXPECT_EQ(log.messages(), Lines{"rule_id == -1"});
    EXPECT_EQ(sdk_sim_call_count(), 0);

    sdk_sim_set_answer("NetClient_VCAGetConfig", 0xA2, 3, 0, nullptr, 0);
    log.clear();
    Command failed(R"({"command":9,"ch":1,"scene_id":4,"rule_id":0})");
    get(failed);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(failed.reply(), R"({ "ret": 3 })");
    EXPECT_EQ(log.messages(), Lines{"NetClient_VCAGetConfig VCA_CMD_VCA_PEPT err!ret:3"});

    answer("NetClient_VCAGetConfig", 0xA3, Bytes(4).put(0, 1));
    Command enable(R"({"command":10,"ch":0})");
    EXPECT_EQ(get(enable), 1);
    EXPECT_EQ(enable.reply(), R"({ "enable": 1, "ret": 0 })");
}

TEST_F(RulesTest, PointListRulesWalkPointNumNotTheArray) {
    struct Case {
        int32_t number;
        int32_t sub_command;
        const char *json;
        int32_t third, fourth;
    } cases[] = {
        {17, 0xA7, R"("channel":3,"scene_id":1,"rule_id":2,"sensitiv":30,"push_mode":40)", 30, 40},
        {18, 0xA8, R"("channel":3,"scene_id":1,"rule_id":2,"sensitiv":30,"push_mode":40)", 30, 40},
        {21, 0xAD, R"("ch":3,"scene_id":1,"rule_id":2,"sensitiv":30,"enable":40)", 40, 30},
        {22, 0xAE, R"("ch":3,"scene_id":1,"rule_id":2,"sensitiv":30,"enable":40)", 40, 30},
    };
    for (const Case &c : cases) {
        sdk_sim_reset();
        log.clear();
        // Four points asked for, two given: the last two slots stay (0, 0).
        Command cmd("{\"command\":" + std::to_string(c.number) + "," + c.json +
                    R"(,"point_num":4,"point_list":[{"x":9,"y":8},{"x":7,"y":6}]})");
        EXPECT_EQ(set(cmd), 1) << c.number;
        EXPECT_EQ(err, test::kSentinelErrno);
        EXPECT_EQ(log.messages(), (Lines{"point == NULL", "point == NULL"}));
        sdk_sim_call call = only_call();
        EXPECT_EQ(call.cmd, c.sub_command);
        EXPECT_EQ(call.ch, 3);
        ASSERT_EQ(call.in_len, 84);
        const int32_t expected[] = {1, 2, c.third, c.fourth, 4, 9, 8, 7, 6, 0, 0, 0, 0};
        for (size_t i = 0; i < std::size(expected); ++i)
            EXPECT_EQ(word_at(call.in, 4 * i), expected[i]) << c.number << " word " << i;

        // More elements than the count: only the counted ones are sent.
        sdk_sim_reset();
        Command longer("{\"command\":" + std::to_string(c.number) + "," + c.json +
                       R"(,"point_num":3,"point_list":[{"x":1,"y":1},{"x":2,"y":2},{"x":3,"y":3},{"x":4,"y":4}]})");
        EXPECT_EQ(set(longer), 1);
        EXPECT_EQ(word_at(only_call().in, 16), 3);
        EXPECT_EQ(word_at(only_call().in, 44), 0);
    }
}

TEST_F(RulesTest, PointListRulesRefuseCountsTheRecordCannotHold) {
    const std::string push = R"({"command":17,"channel":0,"scene_id":0,"rule_id":0,"sensitiv":0,"push_mode":0,)";
    const std::string zone = R"({"command":21,"ch":0,"scene_id":0,"rule_id":0,"sensitiv":0,"enable":0,)";
    struct Case {
        std::string json;
        std::string message;
    } cases[] = {
        {zone + R"("point_num":2,"point_list":[]})", "point_num < 3 || point_num > 8"},
        {zone + R"("point_num":9,"point_list":[]})", "point_num < 3 || point_num > 8"},
        {zone + R"("point_num":3})", "jso_outs == NULL"},
        {zone + R"("point_num":3,"point_list":{"x":1}})", "!json_object_is_type(jso_outs, json_type_array)"},
        {push + R"("point_num":9,"point_list":[]})", "point_num(9) > MAX_VCA_PEPT_POINT_NUM"},
        {push + R"("point_num":2147483647,"point_list":[]})", "point_num(2147483647) > MAX_VCA_PEPT_POINT_NUM"},
        {push + R"("point_num":-4,"point_list":[]})", "point_num == -1"},
        {R"({"command":18,"channel":0,"scene_id":0,"rule_id":0,"sensitiv":-1,"push_mode":0,"point_num":0})",
         "sensitiv == -1"},
        {R"({"command":28,"channel":0,"type":1,"scene_id":0,"rule_id":0,"sensitiv":0,"push_mode":0,"point_num":1})",
         "points == NULL"},
        {R"({"command":28,"channel":0,"scene_id":0,"rule_id":0,"sensitiv":0,"push_mode":0,"point_num":1})",
         "type == -1"},
    };
    for (const Case &c : cases) {
        log.clear();
        Command cmd(c.json);
        EXPECT_EQ(set(cmd), 0) << c.json;
        EXPECT_EQ(err, CMD_ZEL_EINVAL) << c.json;
        EXPECT_EQ(log.messages(), Lines{c.message}) << c.json;
        EXPECT_EQ(cmd.opit.out_buf, nullptr);
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

TEST_F(RulesTest, TypedRuleCopiesAtMostEightPointsButSendsTheCount) {
    std::string list;
    for (int i = 1; i <= 12; ++i)
        list += (i > 1 ? "," : "") + std::string(R"({"x":)") + std::to_string(i) + R"(,"y":)" + std::to_string(-i - 1) + "}";
    Command cmd(R"({"command":28,"channel":5,"type":6,"scene_id":1,"rule_id":2,"sensitiv":3,"push_mode":4,)"
                R"("point_num":12,"point_list":[)" + list + "]}");
    EXPECT_EQ(set(cmd), 1);
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.cmd, 0xB6);
    ASSERT_EQ(call.in_len, 88);
    const int32_t head[] = {6, 1, 2, 3, 4, 12};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(word_at(call.in, 4 * i), head[i]);
    EXPECT_EQ(word_at(call.in, 24 + 8 * 7), 8);
    EXPECT_EQ(word_at(call.in, 28 + 8 * 7), -9);
    EXPECT_TRUE(log.messages().empty());

    sdk_sim_set_answer("NetClient_VCASetConfig", 0xB6, -1, 0, nullptr, 0);
    log.clear();
    Command failed(cmd.text);
    EXPECT_EQ(set(failed), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(log.messages(), Lines{"NetClient_VCASetConfig ret:-1 < 0  cmd:182"});
}

TEST_F(RulesTest, AlarmStatisticClearCoversEveryRuleAndScene) {
    // The last request decides the result; earlier failures are only logged.
    sdk_sim_push_answer("NetClient_VCASetConfig", 0x67, 9, 0, nullptr, 0);
    Command cmd(R"({"command":32,"channel":4,"rule_id":3})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    auto all = calls();
    ASSERT_EQ(all.size(), 512u);
    for (size_t i = 0; i < all.size(); i += 37) {
        EXPECT_EQ(all[i].ch, 4);
        ASSERT_EQ(all[i].in_len, 16);
        const int32_t expected[] = {16, static_cast<int32_t>(i % 32), static_cast<int32_t>(i / 32), 0};
        for (size_t w = 0; w < 4; ++w)
            EXPECT_EQ(word_at(all[i].in, 4 * w), expected[w]) << i;
    }
    EXPECT_TRUE(log.contains("NetClient_VCASetConfig(host->loginfd, VCA_CMD_ALARM_STATISTIC, chan_no, &vcaclear, "
                             "sizeof(VCAAlarmStatisticClear)) != 0, result: 9, cmd: 103, i 0, j 0"));
    EXPECT_TRUE(log.contains("NetClient_VCASetConfig iRuleID 15, iSceneID 31"));

    for (const char *bad : {R"({"command":32,"channel":4,"rule_id":8})", R"({"command":32,"channel":4})"}) {
        sdk_sim_reset();
        log.clear();
        Command refused(bad);
        EXPECT_EQ(set(refused), 0);
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(sdk_sim_call_count(), 0);
    }
    EXPECT_EQ(log.messages(), Lines{"rule_id == -1 || rule_id(-1) >= VCA_MAX_RULE_NUM"});

    sdk_sim_reset();
    sdk_sim_set_answer("NetClient_VCASetConfig", 0x67, 1, 0, nullptr, 0);
    Command last_failed(R"({"command":32,"channel":4,"rule_id":0})");
    EXPECT_EQ(set(last_failed), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
}

TEST_F(RulesTest, PeopleCountingIntervalFallsBackToTheWholeDevice) {
    Command cmd(R"({"command":48,"scene_id":-2,"pic_interval":30})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(log.messages(), (Lines{"ch < 0, host_id:dev-0001", "scene_id < 0, host_id:dev-0001, ch:2147483647"}));
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.cmd, 0xC4);
    EXPECT_EQ(call.ch, 0x7FFFFFFF);
    ASSERT_EQ(call.in_len, 16);
    EXPECT_EQ(word_at(call.in, 0), -2);
    EXPECT_EQ(word_at(call.in, 4), 30);

    answer("NetClient_VCAGetConfig", 0xC4, Bytes(16).put(0, 3).put(4, 45));
    Command query(R"({"command":35,"ch":1,"scene_id":3})");
    EXPECT_EQ(get(query), 1);
    EXPECT_EQ(query.reply(), R"({ "scene_id": 3, "pic_interval": 45 })");

    sdk_sim_set_answer("NetClient_VCAGetConfig", 0xC4, 4, 0, nullptr, 0);
    log.clear();
    Command failed(R"({"command":35,"ch":1,"scene_id":3})");
    EXPECT_EQ(get(failed), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(failed.opit.out_buf, nullptr);
    EXPECT_EQ(log.messages(),
              Lines{"NetClient_VCAGetConfig-VCA_CMD_CPC_ADVANCE_PART2 failed, host_id:dev-0001, ch:1, ret_val:4"});
}

// A device record of `size` bytes where every byte differs from its neighbours.
Bytes patterned(size_t size) {
    Bytes b(size);
    for (size_t i = 0; i < size; ++i)
        b.data[i] = static_cast<uint8_t>(i * 7 + 3);
    return b;
}

void expect_only_changed(const sdk_sim_call &write, const Bytes &device, std::vector<std::pair<size_t, int32_t>> changes) {
    ASSERT_EQ(static_cast<size_t>(write.in_len), device.data.size());
    Bytes expected = device;
    for (auto [offset, value] : changes)
        expected.put(offset, value);
    EXPECT_EQ(std::vector<uint8_t>(write.in, write.in + write.in_len), expected.data);
}

TEST_F(RulesTest, FaceMosaicAndFightKeepTheDevicesOtherBytes) {
    Bytes mosaic = patterned(576);
    answer("NetClient_VCAGetConfig", 0x4B, mosaic);
    Command level(R"({"command":52,"ch":2,"valid":1,"mosaic_level":-1})");
    EXPECT_EQ(set(level), 1);
    auto all = calls();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(word_at(all[0].in, 0), 576);  // size preset before reading
    EXPECT_STREQ(all[1].function, "NetClient_VCASetConfig");
    expect_only_changed(all[1], mosaic, {{12, 1}, {312, -1}});

    // Without a level the device's own stays.
    sdk_sim_reset();
    answer("NetClient_VCAGetConfig", 0x4B, mosaic);
    log.clear();
    Command keep(R"({"command":52,"ch":2,"valid":0})");
    EXPECT_EQ(set(keep), 1);
    EXPECT_EQ(log.messages(), Lines{"mosaic_level == -2, host_type is v8"});
    expect_only_changed(calls()[1], mosaic, {{12, 0}});

    Bytes fight = patterned(4220);
    sdk_sim_reset();
    answer("NetClient_VCAGetConfig", 0x9E, fight);
    Command f(R"({"command":54,"ch":1,"dev_type":9,"valid":1})");
    EXPECT_EQ(set(f), 1);
    all = calls();
    ASSERT_EQ(all.size(), 2u);
    expect_only_changed(all[1], fight, {{0, 9}, {12, 1}});
}

TEST_F(RulesTest, FaceMosaicAndFightRefusalsAreLoggedOnly) {
    struct Case {
        const char *json;
        const char *message;
    } cases[] = {
        {R"({"command":52,"ch":2,"valid":1,"mosaic_level":-3})", "(valid != 0 && valid != 1) || mosaic_level < -2"},
        {R"({"command":52,"ch":2,"valid":2})", "(valid != 0 && valid != 1) || mosaic_level < -2"},
        {R"({"command":52,"valid":1})", "ch == -1"},
        {R"({"command":54,"ch":1,"dev_type":9,"valid":3})", "valid != 0 && valid != 1"},
        {R"({"command":54,"ch":1,"valid":1})", "dev_type == -1"},
    };
    for (const Case &c : cases) {
        log.clear();
        Command cmd(c.json);
        EXPECT_EQ(set(cmd), 0) << c.json;
        EXPECT_EQ(err, test::kSentinelErrno) << c.json;
        EXPECT_EQ(log.messages().back(), c.message) << c.json;
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);

    // A failed read writes nothing back.
    sdk_sim_set_answer("NetClient_VCAGetConfig", 0x9E, -1, 0x2A, nullptr, 0);
    log.clear();
    Command f(R"({"command":54,"ch":1,"dev_type":9,"valid":1})");
    EXPECT_EQ(set(f), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(sdk_sim_call_count(), 1);
    EXPECT_EQ(log.messages(), Lines{"NetClient_VCAGetConfig() VCA_CMD_NEW_FIGHT, host_id: dev-0001, ch : 1, error: 2a"});
}

}  // namespace
