// Analysis rules as the device receives them: member-to-record mapping,
// point lists and their bounds, refusals, replies, read-modify-write.
#include "vca_fixture.h"

namespace {

using namespace vca_test;
using RulesTest = VcaTest;

std::string pept(const std::string &points, const std::string &extra = "") {
    return R"({"command":6,"ch":2,"scene_id":1,"rule_id":3,"valid":1,"display_rule":11,"display_stat":12,)"
           R"("display_target":13,"color":14,"alarm_color":15,"max_size":16,"min_size":17,"sensitiv":18,)"
           R"("model_type":19,"tgt_type":20,"time_thres_hold":21)" +
           extra + (points.empty() ? "" : ",\"point\":" + points) + "}";
}

// A literal put in front of a temporary string: see PREPEND_TO_TEMPORARY_BEGIN.
PREPEND_TO_TEMPORARY_BEGIN
std::string point_list(int n) {
    std::string out = "[";
    for (int i = 1; i <= n; ++i)
        out += (i > 1 ? "," : "") + std::string(R"({"x":)") + std::to_string(i) + R"(,"y":)" + std::to_string(i + 100) +
               "}";
    return out + "]";
}
PREPEND_TO_TEMPORARY_END

TEST_F(RulesTest, PeptRuleMapsMembersByNameAndKeepsSkippedPointSlots) {
    Command cmd(pept(R"([{"x":1,"y":2},{"x":5},null,"text",{"x":7,"y":8}])", R"(,"valid":-2)"));
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(cmd.reply(), R"({"ret":0})");
    EXPECT_EQ(log.messages(), (Lines{"point y == -1", "point == NULL", "point x == -1"}));
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.cmd, 0xA2);
    EXPECT_EQ(call.ch, 2);
    ASSERT_EQ(call.in_len, 124);
    // Record order: colour, alarm colour, then show-target; then the count.
    const int32_t words[] = {1, 3, -2, 11, 12, 14, 15, 13, 16, 17, 18, 19, 20, 21, 5, 1, 2, 0, 0, 0, 0, 0, 0, 7, 8, 0};
    for (size_t i = 0; i < std::size(words); ++i)
        EXPECT_EQ(word_at(call.in, 4 * i), words[i]) << "offset " << 4 * i;
}

TEST_F(RulesTest, PeptRuleRefusalsAnswerMinusOneAndSendNothing) {
    const std::pair<std::string, std::string> cases[] = {
        {pept(point_list(9)), "piont_num  > MAX_VCA_PEPT_POINT_NUM"},
        {pept(""), "jso_outs == NULL"},
        {pept(R"({"x":1,"y":1})"), "!json_object_is_type(jso_outs, json_type_array)"},
        {R"({"command":6,"ch":-3,"point":[]})", "ch == -1"},
        {pept("[]", R"(,"alarm_color":"3")"), "alarm_color == -1"},
        {pept("[]", R"(,"time_thres_hold":[1])"), "time_thres_hold == -1"},
    };
    for (const auto &[json, message] : cases) {
        Command cmd(json);
        EXPECT_EQ(set(cmd), 0) << json;
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(cmd.reply(), R"({"ret":-1})");
        EXPECT_EQ(log.messages(), Lines{message}) << json;
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);

    Command eight(pept(point_list(8)));
    EXPECT_EQ(set(eight), 1);
    EXPECT_EQ(word_at(only_call().in, 56), 8);
}

TEST_F(RulesTest, PeptRepliesCarryTheDeviceResult) {
    fail("NetClient_VCASetConfig", 0xA3, -2);
    Command enable(R"({"command":8,"ch":1,"enable":0})");
    EXPECT_EQ(set(enable), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(enable.reply(), R"({"ret":-2})");
    EXPECT_EQ(log.messages(), Lines{"NetClient_VCASetConfig ret:-2 < 0  cmd:163"});

    Bytes rule(124);
    for (int32_t i = 0; i < 14; ++i)
        rule.put(4 * i, 100 + i);
    rule.put(56, 3).put(60, 1).put(64, 2).put(68, 3).put(72, 4).put(76, 5).put(80, 6);
    answer("NetClient_VCAGetConfig", 0xA2, rule);
    Command query(R"({"command":9,"ch":1,"scene_id":4,"rule_id":5})");
    EXPECT_EQ(get(query), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(query.reply(),
              R"({ "point": [ { "x": 1, "y": 2 }, { "x": 3, "y": 4 }, { "x": 5, "y": 6 } ], "valid": 102, )"
              R"("display_rule": 103, "display_stat": 104, "display_target": 107, "color": 105, "alarm_color": 106, )"
              R"("max_size": 108, "min_size": 109, "sensitiv": 110, "model_type": 111, "tgt_type": 112, )"
              R"("time_thres_hold": 113, "ret": 0 })");
    sdk_sim_call call = calls().back();
    EXPECT_EQ(word_at(call.in, 0), 4);
    EXPECT_EQ(word_at(call.in, 4), 5);

    // A count beyond the record's eight slots yields eight points.
    for (int32_t i = 0; i < 16; ++i)
        rule.put(60 + 4 * i, i + 1);
    answer("NetClient_VCAGetConfig", 0xA2, rule.put(56, 1000));
    Command many(query.text);
    EXPECT_EQ(get(many), 1);
    EXPECT_NE(many.reply().find(R"({ "x": 15, "y": 16 } ], "valid")"), std::string::npos) << many.reply();

    Command refused(R"({"command":9,"ch":1,"scene_id":4})");
    EXPECT_EQ(get(refused), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(refused.reply(), R"({ "ret": -1 })");
    EXPECT_EQ(log.messages(), Lines{"rule_id == -1"});
}

TEST_F(RulesTest, PointListRulesWalkPointNumNotTheArray) {
    const struct {
        int32_t number, sub_command;
        const char *members;
        int32_t third, fourth;
    } cases[] = {
        {17, 0xA7, R"("channel":3,"scene_id":1,"rule_id":2,"sensitiv":30,"push_mode":40)", 30, 40},
        {18, 0xA8, R"("channel":3,"scene_id":1,"rule_id":2,"sensitiv":30,"push_mode":40)", 30, 40},
        {21, 0xAD, R"("ch":3,"scene_id":1,"rule_id":2,"sensitiv":30,"enable":40)", 40, 30},
        {22, 0xAE, R"("ch":3,"scene_id":1,"rule_id":2,"sensitiv":30,"enable":40)", 40, 30},
    };
    for (const auto &c : cases) {
        const std::string head = "{\"command\":" + std::to_string(c.number) + "," + c.members;
        // Four points asked for, two given: the last two slots stay (0, 0).
        sdk_sim_reset();
        Command cmd(head + R"(,"point_num":4,"point_list":)" + point_list(2) + "}");
        EXPECT_EQ(set(cmd), 1) << c.number;
        EXPECT_EQ(log.messages(), (Lines{"point == NULL", "point == NULL"}));
        sdk_sim_call call = only_call();
        EXPECT_EQ(call.cmd, c.sub_command);
        ASSERT_EQ(call.in_len, 84);
        const int32_t words[] = {1, 2, c.third, c.fourth, 4, 1, 101, 2, 102, 0, 0, 0, 0};
        for (size_t i = 0; i < std::size(words); ++i)
            EXPECT_EQ(word_at(call.in, 4 * i), words[i]) << c.number << " word " << i;

        // More elements than the count: only the counted ones are sent.
        sdk_sim_reset();
        Command longer(head + R"(,"point_num":3,"point_list":)" + point_list(5) + "}");
        EXPECT_EQ(set(longer), 1);
        EXPECT_EQ(word_at(only_call().in, 16), 3);
        EXPECT_EQ(word_at(only_call().in, 44), 0);
    }
}

TEST_F(RulesTest, PointListRulesRefuseWhatTheRecordCannotHold) {
    const std::string push = R"({"command":17,"channel":0,"scene_id":0,"rule_id":0,"sensitiv":0,"push_mode":0,)";
    const std::string zone = R"({"command":21,"ch":0,"scene_id":0,"rule_id":0,"sensitiv":0,"enable":0,)";
    const std::pair<std::string, std::string> cases[] = {
        {zone + R"("point_num":2,"point_list":[]})", "point_num < 3 || point_num > 8"},
        {zone + R"("point_num":9,"point_list":[]})", "point_num < 3 || point_num > 8"},
        {zone + R"("point_num":3})", "jso_outs == NULL"},
        {zone + R"("point_num":3,"point_list":{"x":1}})", "!json_object_is_type(jso_outs, json_type_array)"},
        {push + R"("point_num":2147483647,"point_list":[]})", "point_num(2147483647) > MAX_VCA_PEPT_POINT_NUM"},
        {push + R"("point_num":-4,"point_list":[]})", "point_num == -1"},
        {R"({"command":28,"channel":0,"type":1,"scene_id":0,"rule_id":0,"sensitiv":0,"push_mode":0,"point_num":1})",
         "points == NULL"},
    };
    for (const auto &[json, message] : cases) {
        Command cmd(json);
        EXPECT_EQ(set(cmd), 0) << json;
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(log.messages(), Lines{message}) << json;
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);

    // The typed rule copies at most eight points but sends the count given.
    Command typed(R"({"command":28,"channel":5,"type":6,"scene_id":1,"rule_id":2,"sensitiv":3,"push_mode":4,)"
                  R"("point_num":12,"point_list":)" +
                  point_list(12) + "}");
    EXPECT_EQ(set(typed), 1);
    sdk_sim_call call = only_call();
    ASSERT_EQ(call.in_len, 88);
    EXPECT_EQ(word_at(call.in, 0), 6);
    EXPECT_EQ(word_at(call.in, 20), 12);
    EXPECT_EQ(word_at(call.in, 24 + 8 * 7), 8);
}

TEST_F(RulesTest, AlarmStatisticClearCoversEveryRuleAndScene) {
    sdk_sim_push_answer("NetClient_VCASetConfig", 0x67, 9, 0, nullptr, 0);
    Command cmd(R"({"command":32,"channel":4,"rule_id":3})");
    EXPECT_EQ(set(cmd), 1);  // only the last request decides
    auto all = calls();
    ASSERT_EQ(all.size(), 512u);
    for (size_t i = 0; i < all.size(); i += 37) {
        ASSERT_EQ(all[i].in_len, 16);
        EXPECT_EQ(input(all[i]), Bytes(16).put(0, 16).put(4, i % 32).put(8, i / 32).data) << i;
    }
    EXPECT_TRUE(log.contains("NetClient_VCASetConfig(host->loginfd, VCA_CMD_ALARM_STATISTIC, chan_no, &vcaclear, "
                             "sizeof(VCAAlarmStatisticClear)) != 0, result: 9, cmd: 103, i 0, j 0"));

    sdk_sim_reset();
    Command refused(R"({"command":32,"channel":4,"rule_id":8})");
    EXPECT_EQ(set(refused), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(log.messages(), Lines{"rule_id == -1 || rule_id(8) >= VCA_MAX_RULE_NUM"});
    EXPECT_EQ(sdk_sim_call_count(), 0);

    fail("NetClient_VCASetConfig", 0x67, 1);
    Command last_failed(R"({"command":32,"channel":4,"rule_id":0})");
    EXPECT_EQ(set(last_failed), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
}

TEST_F(RulesTest, PeopleCountingIntervalFallsBackToTheWholeDevice) {
    Command cmd(R"({"command":48,"scene_id":-2,"pic_interval":30})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(log.messages(), (Lines{"ch < 0, host_id:dev-0001", "scene_id < 0, host_id:dev-0001, ch:2147483647"}));
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.ch, 0x7FFFFFFF);
    EXPECT_EQ(input(call), Bytes(16).put(0, -2).put(4, 30).data);
}

TEST_F(RulesTest, FaceMosaicAndFightKeepTheDevicesOtherBytes) {
    Bytes mosaic(576, 0x5C), fight(4220, 0xC5);
    const struct {
        const char *json;
        Bytes written;
    } cases[] = {
        {R"({"command":52,"ch":2,"valid":1,"mosaic_level":-1})", Bytes(mosaic).put(12, 1).put(312, -1)},
        {R"({"command":52,"ch":2,"valid":0})", Bytes(mosaic).put(12, 0)},  // the device's level stays
        {R"({"command":54,"ch":1,"dev_type":9,"valid":1})", Bytes(fight).put(0, 9).put(12, 1)},
    };
    for (const auto &c : cases) {
        sdk_sim_reset();
        answer("NetClient_VCAGetConfig", 0x4B, mosaic);
        answer("NetClient_VCAGetConfig", 0x9E, fight);
        Command cmd(c.json);
        EXPECT_EQ(set(cmd), 1) << c.json;
        auto all = calls();
        ASSERT_EQ(all.size(), 2u);
        EXPECT_EQ(word_at(all[0].in, 0), c.written.data.size() == 576 ? 576 : 0);  // size preset before reading
        EXPECT_STREQ(all[1].function, "NetClient_VCASetConfig");
        EXPECT_EQ(input(all[1]), c.written.data) << c.json;
    }

    // Device failures are reported by the log line only; nothing is written back.
    sdk_sim_reset();
    fail("NetClient_VCAGetConfig", 0x4B, -1, 0x2A);
    Command failed(R"({"command":52,"ch":1,"valid":1,"mosaic_level":3})");
    EXPECT_EQ(set(failed), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(sdk_sim_call_count(), 1);
    EXPECT_EQ(log.messages(),
              Lines{"NetClient_VCAGetConfig() VCA_CMD_FACEMOSAIC, host_id: dev-0001, ch : 1, error: 2a"});
}

}  // namespace
