// Face-alarm parameters: writing them (set 0) and reading them back (get 3).
#include <string>

#include "face_fixture.h"

namespace {

using namespace face_test;
using AlarmTest = FaceTest;

const std::string kParams = R"("command":0,"ch":3,"alarm_type":2,"param1":11,"similar":75,"devtype":1,)"
                            R"("recognition":4,"libuuid":"L-1","enable":1,"libenable":1)";

void answer_ability(int32_t ret, const std::string &text) {
    Image out(1036);
    out.text(12, text);
    sdk_sim_push_answer("NetClient_GetDevConfig", 99, ret, 0, out.bytes.data(), 1036);
}

Image alarm_record() {
    return std::move(Image(496)
                         .i32(0, 496)
                         .i32(4, 3)
                         .i32(8, 2)
                         .i32(12, 11)
                         .i32(88, 4)
                         .i32(92, 75)
                         .i32(96, 1)
                         .i32(100, 1)
                         .text(104, "L-1")
                         .i32(168, 1));
}

TEST_F(AlarmTest, SetSendsParameterRecordAndAnswersNothingOnSuccess) {
    Command cmd("{" + kParams + R"(,"param2":-1,"param3":9,"freqgroup":0,"freqchannellist":")" + std::string(300, 'c') +
                R"(","libuuid_stranger":""})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(cmd.opit.out_buf, nullptr);
    EXPECT_EQ(cmd.opit.result, 1);
    EXPECT_EQ(calls("NetClient_GetDevConfig").size(), 0u);  // empty stranger uuid: no ability query
    sdk_sim_call c = only_call("NetClient_SetAlarmConfig");
    EXPECT_EQ(c.cmd, 112);
    EXPECT_EQ(c.ch, 3);
    EXPECT_EQ(c.args[0], 2);
    EXPECT_EQ(first_difference(c, alarm_record().i32(20, 9).text(176, std::string(255, 'c'))), -1);
}

TEST_F(AlarmTest, StrangerLibraryNeedsDeviceSupport) {
    const std::string text = "{" + kParams + R"(,"freqgroup":6,"libuuid_stranger":")" + std::string(70, 's') + "\"}";
    answer_ability(0, "1");
    Command ok(text);
    EXPECT_EQ(set(ok), 1);
    sdk_sim_call asked = only_call("NetClient_GetDevConfig");
    EXPECT_EQ(asked.ch, 0x7FFFFFFF);
    EXPECT_EQ(first_difference(asked, Image(1036).i32(0, 1036).i32(4, 64).i32(8, 162)), -1);
    EXPECT_EQ(first_difference(only_call("NetClient_SetAlarmConfig"),
                               alarm_record().i32(172, 6).text(432, std::string(63, 's'))),
              -1);

    struct Case {
        int32_t ret;
        std::string ability;
        int code;
        const char *reply;
    };
    const Case cases[] = {
        {0, "0", CMD_ZEL_ENOTSUPPORTED, R"({"ret":16777223})"},
        {-3, "1", CMD_ZEL_EDEVICE, R"({"ret":16777238})"},
        {0, std::string(1024, '7'), CMD_ZEL_ENOTSUPPORTED, R"({"ret":16777223})"},  // text fills its field
    };
    for (const Case &c : cases) {
        sdk_sim_reset();
        answer_ability(c.ret, c.ability);
        Command refused(text);
        EXPECT_EQ(set(refused), 0) << c.ability;
        EXPECT_EQ(err, c.code);
        EXPECT_EQ(refused.reply(), c.reply);
        EXPECT_EQ(refused.opit.result, 0);
        EXPECT_EQ(calls("NetClient_SetAlarmConfig").size(), 0u);
    }
    EXPECT_TRUE(log.contains("host not support! 0 != 0 || 2147483647 != 1, host_id:dev-0001, host_ip:10.1.2.3"));
}

TEST_F(AlarmTest, SetRefusalsAndDeviceFailure) {
    const std::pair<const char *, const char *> cases[] = {
        {"ch", "ch == -1"},           {"alarm_type", "alarm_type == -1"}, {"param1", "param1 == -1"},
        {"similar", "similar == -1"}, {"devtype", "devtype == -1"},       {"recognition", "recognition == -1"},
        {"enable", "enable == -1"},   {"libenable", "libenable == -1"},
    };
    for (auto [key, message] : cases) {
        // The member as an array is unusable, like a missing one.
        std::string text = "{" + kParams + "}";
        std::string from = std::string("\"") + key + "\":";
        text.replace(text.find(from), from.size(), from + "[0],\"was\":");
        Command cmd(text);
        EXPECT_EQ(set(cmd), 0) << key;
        EXPECT_EQ(err, CMD_ZEL_EINVAL) << key;
        EXPECT_EQ(log.messages(), std::vector<std::string>{message}) << key;
        EXPECT_EQ(cmd.opit.out_buf, nullptr) << key;
    }
    Command absent(R"({"command":0,"ch":1,"alarm_type":1,"param1":1,"similar":1,"devtype":1,"recognition":1})");
    EXPECT_EQ(set(absent), 0);
    EXPECT_EQ(log.messages(), std::vector<std::string>{"libuuid == NULL"});
    EXPECT_EQ(sdk_sim_call_count(), 0);

    sdk_sim_push_answer("NetClient_SetAlarmConfig", 112, -2, 0, nullptr, 0);
    Command cmd("{" + kParams + "}");
    EXPECT_EQ(set(cmd), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(cmd.reply(), R"({"ret":16777238})");
    EXPECT_EQ(log.messages(),
              std::vector<std::string>{"NetClient_SetAlarmConfig ret:-2 < 0  loginfd:7  alarm_type:2  cmd:112"});
}

TEST_F(AlarmTest, GetListsParametersUpToFirstEmptyRecord) {
    Image out(3 * 496);
    out.i32(0, 496).i32(16, 5).i32(20, 6).i32(88, 4).i32(92, 80).i32(96, 1).i32(100, 1).text(104, "L-1");
    out.i32(168, 1).i32(172, 3).text(176, std::string(256, 'q'));  // a list filling its field
    out.i32(2 * 496, 496);                                         // after the first empty record
    sdk_sim_push_answer("NetClient_FaceConfig", 21, 0, 0, out.bytes.data(), 3 * 496);
    Command cmd(R"({"command":3,"ch":1,"alarm_type":2,"param1":11})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({ "alarm_info": [ { "recognition": 4, "similar": 80, "devtype": 1, "enable": 1, )"
                           R"("libenable": 1, "param2": 5, "param3": 6, "libuuid": "L-1", "freqgroup": 3, )"
                           R"("freqchannellist": ")" +
                               std::string(256, 'q') + R"(" } ], "ret": 0, "ch": 1, "alarm_type": 2, "param1": 11 })");
    sdk_sim_call c = only_call("NetClient_FaceConfig");
    EXPECT_EQ(c.args[1], 496);
    EXPECT_EQ(first_difference(c, Image(12).i32(0, 12).i32(4, 11)), -1);
}

TEST_F(AlarmTest, GetFailuresStillAnswer) {
    // Members after a refused channel are not read.
    Command no_ch(R"({"command":3,"ch":-4,"alarm_type":2,"param1":3})");
    EXPECT_EQ(get(no_ch), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(no_ch.reply(), R"({ "ret": -1, "ch": -4, "alarm_type": -1, "param1": -1 })");
    EXPECT_EQ(sdk_sim_call_count(), 0);

    sdk_sim_push_answer("NetClient_FaceConfig", 21, -6, 0, nullptr, 0);
    Command failed(R"({"command":3,"ch":1,"alarm_type":2,"param1":3})");
    EXPECT_EQ(get(failed), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(failed.reply(), R"({ "ret": -6, "ch": 1, "alarm_type": 2, "param1": 3 })");
    EXPECT_EQ(log.messages(), std::vector<std::string>{"NetClient_FaceConfig FACE_CMD_ALARM_PARAM err!ret:-6"});
}

}  // namespace
