// Analysis rules as the device receives them: member-to-record mapping,
// point lists and their bounds, refusals, replies, read-modify-write.
#include <algorithm>

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

TEST_F(RulesTest, PeptRuleMapsMembersByNameAndKeepsSkippedPointSlots) {
    Command cmd(pept(R"([{"x":1,"y":2},{"x":5},null,"text",{"x":7,"y":8}])", R"(,"valid":-2)"));
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({"ret":0})");
    EXPECT_EQ(log.messages(), (Lines{"point y == -1", "point == NULL", "point x == -1"}));
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.cmd, 0xA2);
    EXPECT_EQ(call.ch, 2);
    // Record order: colour, alarm colour, then show-target; then the count.
    const VCAPeptRule rule{1, 3, -2, 11, 12, 14, 15, 13, 16, 17, 18, 19, 20, 21, 5, {{1, 2}, {}, {}, {}, {7, 8}}};
    EXPECT_EQ(input(call), image(rule).data);
    EXPECT_EQ(word_at(request(pept(point_list(8))).in, 56), 8);
}

TEST_F(RulesTest, PeptRepliesCarryTheDeviceResult) {
    fail("NetClient_VCASetConfig", 0xA3, -2);
    EXPECT_EQ(
        failed(R"({"command":8,"ch":1,"enable":0})", {"NetClient_VCASetConfig ret:-2 < 0  cmd:163"}, CMD_ZEL_EDEVICE),
        R"({"ret":-2})");

    VCAPeptRule rule{100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 3, {{1, 2}, {3, 4}, {5, 6}}};
    answer("NetClient_VCAGetConfig", 0xA2, image(rule));
    const std::string query = R"({"command":9,"ch":1,"scene_id":4,"rule_id":5})";
    EXPECT_EQ(reply_to(query),
              R"({ "point": [ { "x": 1, "y": 2 }, { "x": 3, "y": 4 }, { "x": 5, "y": 6 } ], "valid": 102, )"
              R"("display_rule": 103, "display_stat": 104, "display_target": 107, "color": 105, "alarm_color": 106, )"
              R"("max_size": 108, "min_size": 109, "sensitiv": 110, "model_type": 111, "tgt_type": 112, )"
              R"("time_thres_hold": 113, "ret": 0 })");
    EXPECT_EQ(input(calls().back()), image(VCAPeptRule{4, 5}).data);

    // A count beyond the record's eight slots yields eight points.
    rule.point_num = 1000;
    rule.points[7] = {15, 16};
    answer("NetClient_VCAGetConfig", 0xA2, image(rule));
    EXPECT_NE(reply_to(query).find(R"({ "x": 15, "y": 16 } ], "valid")"), std::string::npos);

    EXPECT_EQ(refused_get(R"({"command":9,"ch":1,"scene_id":4})", {"rule_id == -1"}), R"({ "ret": -1 })");
}

TEST_F(RulesTest, PointListRulesWalkPointNumNotTheArray) {
    // Fewer elements than point_num: the missing slots stay (0, 0); more: only
    // the counted ones are sent.
    const struct {
        int32_t number, sub_command;
        const char *members;
        int32_t third, fourth, point_num, given;
    } cases[] = {
        {17, 0xA7, R"("channel":3,"scene_id":1,"rule_id":2,"sensitiv":30,"push_mode":40)", 30, 40, 4, 2},
        {18, 0xA8, R"("channel":3,"scene_id":1,"rule_id":2,"sensitiv":30,"push_mode":40)", 30, 40, 3, 5},
        {21, 0xAD, R"("ch":3,"scene_id":1,"rule_id":2,"sensitiv":30,"enable":40)", 40, 30, 4, 2},
        {22, 0xAE, R"("ch":3,"scene_id":1,"rule_id":2,"sensitiv":30,"enable":40)", 40, 30, 3, 5},
    };
    for (const auto &c : cases) {
        sdk_sim_call call = request("{\"command\":" + std::to_string(c.number) + "," + c.members + ",\"point_num\":" +
                                    std::to_string(c.point_num) + ",\"point_list\":" + point_list(c.given) + "}");
        EXPECT_EQ(log.messages(), (c.given < c.point_num ? Lines{"point == NULL", "point == NULL"} : Lines{}));
        EXPECT_EQ(call.cmd, c.sub_command);
        VCAPointRule rule{1, 2, c.third, c.fourth, c.point_num, {}};
        for (int32_t i = 0; i < std::min(c.point_num, c.given); ++i)
            rule.points[i] = {i + 1, i + 101};
        EXPECT_EQ(input(call), image(rule).data) << c.number;
    }

    // The typed rule copies at most eight points but sends the count given.
    sdk_sim_call typed = request(R"({"command":28,"channel":5,"type":6,"scene_id":1,"rule_id":2,"sensitiv":3,)"
                                 R"("push_mode":4,"point_num":12,"point_list":)" +
                                 point_list(12) + "}");
    VCAPointRuleTyped rule{6, 1, 2, 3, 4, 12, {}};
    for (int32_t i = 0; i < MAX_VCA_PEPT_POINT_NUM; ++i)
        rule.points[i] = {i + 1, i + 101};
    EXPECT_EQ(input(typed), image(rule).data);
}

TEST_F(RulesTest, RefusalsBeforeTheDevice) {
    // The people-track rule still answers, with -1.
    const std::string push = R"({"command":17,"channel":0,"scene_id":0,"rule_id":0,"sensitiv":0,"push_mode":0,)";
    const std::string zone = R"({"command":21,"ch":0,"scene_id":0,"rule_id":0,"sensitiv":0,"enable":0,)";
    const struct {
        std::string json, message, reply;
    } cases[] = {
        {pept(point_list(9)), "piont_num  > MAX_VCA_PEPT_POINT_NUM", R"({"ret":-1})"},
        {pept(""), "jso_outs == NULL", R"({"ret":-1})"},
        {pept(R"({"x":1,"y":1})"), "!json_object_is_type(jso_outs, json_type_array)", R"({"ret":-1})"},
        {R"({"command":6,"ch":-3,"point":[]})", "ch == -1", R"({"ret":-1})"},
        {pept("[]", R"(,"alarm_color":-1)"), "alarm_color == -1", R"({"ret":-1})"},
        {zone + R"("point_num":2,"point_list":[]})", "point_num < 3 || point_num > 8", ""},
        {zone + R"("point_num":9,"point_list":[]})", "point_num < 3 || point_num > 8", ""},
        {zone + R"("point_num":3})", "jso_outs == NULL", ""},
        {zone + R"("point_num":3,"point_list":{"x":1}})", "!json_object_is_type(jso_outs, json_type_array)", ""},
        {push + R"("point_num":2147483647,"point_list":[]})", "point_num(2147483647) > MAX_VCA_PEPT_POINT_NUM", ""},
        {push + R"("point_num":-4,"point_list":[]})", "point_num == -1", ""},
        {R"({"command":28,"channel":0,"type":1,"scene_id":0,"rule_id":0,"sensitiv":0,"push_mode":0,"point_num":1})",
         "points == NULL", ""},
        {R"({"command":32,"channel":4,"rule_id":8})", "rule_id == -1 || rule_id(8) >= VCA_MAX_RULE_NUM", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(refused(c.json, {c.message}), c.reply);
}

TEST_F(RulesTest, AlarmStatisticClearCoversEveryRuleAndScene) {
    sdk_sim_push_answer("NetClient_VCASetConfig", 0x67, 9, 0, nullptr, 0);
    request(R"({"command":32,"channel":4,"rule_id":3})");  // only the last request decides
    auto all = calls();
    ASSERT_EQ(all.size(), 512u);
    for (size_t i = 0; i < all.size(); i += 37)
        EXPECT_EQ(input(all[i]), image(VCAAlarmStatisticClear{16, int32_t(i % 32), int32_t(i / 32), 0}).data) << i;
    EXPECT_TRUE(log.contains("NetClient_VCASetConfig(host->loginfd, VCA_CMD_ALARM_STATISTIC, chan_no, &vcaclear, "
                             "sizeof(VCAAlarmStatisticClear)) != 0, result: 9, cmd: 103, i 0, j 0"));

    fail("NetClient_VCASetConfig", 0x67, 1);
    Command last_failed(R"({"command":32,"channel":4,"rule_id":0})");
    EXPECT_EQ(set(last_failed), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
}

TEST_F(RulesTest, PeopleCountingIntervalFallsBackToTheWholeDevice) {
    sdk_sim_call call = request(R"({"command":48,"scene_id":-2,"pic_interval":30})");
    EXPECT_EQ(log.messages(), (Lines{"ch < 0, host_id:dev-0001", "scene_id < 0, host_id:dev-0001, ch:2147483647"}));
    EXPECT_EQ(call.ch, 0x7FFFFFFF);
    EXPECT_EQ(input(call), image(VCACpcAdvancePart2{-2, 30, {}}).data);
}

TEST_F(RulesTest, FaceMosaicAndFightKeepTheDevicesOtherBytes) {
    Bytes mosaic(576, 0x5C), fight(4220, 0xC5);
    answer("NetClient_VCAGetConfig", 0x4B, mosaic);
    answer("NetClient_VCAGetConfig", 0x9E, fight);
    const struct {
        const char *json;
        Bytes written;
    } cases[] = {
        {R"({"command":52,"ch":2,"valid":1,"mosaic_level":-1})", Bytes(mosaic).put(12, 1).put(312, -1)},
        {R"({"command":52,"ch":2,"valid":0})", Bytes(mosaic).put(12, 0)},  // the device's level stays
        {R"({"command":54,"ch":1,"dev_type":9,"valid":1})", Bytes(fight).put(0, 9).put(12, 1)},
    };
    for (const auto &c : cases) {
        request(c.json);
        auto all = calls();
        ASSERT_GE(all.size(), 2u);
        const sdk_sim_call &read = all[all.size() - 2];
        EXPECT_EQ(word_at(read.in, 0), c.written.data.size() == 576 ? 576 : 0);  // size preset before reading
        EXPECT_EQ(input(all.back()), c.written.data) << c.json;
    }

    // Refusals and device failures are reported by the log line only.
    refused(R"({"command":54,"ch":1,"valid":1})", {"dev_type == -1"}, test::kSentinelErrno);
    fail("NetClient_VCAGetConfig", 0x4B, -1, 0x2A);
    refused(R"({"command":52,"ch":1,"valid":1,"mosaic_level":3})",
            {"NetClient_VCAGetConfig() VCA_CMD_FACEMOSAIC, host_id: dev-0001, ch : 1, error: 2a"},
            test::kSentinelErrno);
}

}  // namespace
