// Face-alarm parameters: writing them (set 0) and reading them back (get 3).
#include <string>

#include "face_fixture.h"

namespace {

using namespace face_test;
class AlarmTest : public FaceTest {
  protected:
    static void answer_ability(int32_t ret, const std::string &text) {
        answer_once("NetClient_GetDevConfig", 99, Bytes(1036).text(12, text), ret);
    }
};

const std::string kParams = R"("command":0,"ch":3,"alarm_type":2,"param1":11,"similar":75,"devtype":1,)"
                            R"("recognition":4,"libuuid":"L-1","enable":1,"libenable":1)";

Bytes alarm_record() {
    Bytes b(496);
    b.put(0, 496).put(4, 3).put(8, 2).put(12, 11).put(88, 4).put(92, 75).put(96, 1).put(100, 1);
    return std::move(b.text(104, "L-1").put(168, 1));
}

TEST_F(AlarmTest, SetSendsParameterRecordAndAnswersNothingOnSuccess) {
    answer_ability(0, "1");
    Command cmd("{" + kParams + R"(,"param2":-1,"param3":9,"freqgroup":6,"freqchannellist":")" + std::string(300, 'c') +
                R"(","libuuid_stranger":")" + std::string(70, 's') + "\"}");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(cmd.opit.out_buf, nullptr);
    EXPECT_EQ(cmd.opit.result, 1);
    sdk_sim_call asked = only_call("NetClient_GetDevConfig");
    EXPECT_EQ(asked.ch, 0x7FFFFFFF);
    EXPECT_EQ(input(asked), Bytes(1036).put(0, 1036).put(4, 64).put(8, 162).data);
    sdk_sim_call c = only_call("NetClient_SetAlarmConfig");
    EXPECT_EQ(std::tuple(c.cmd, c.ch, c.args[0]), std::tuple(112, 3, 2));
    Bytes want = alarm_record().put(20, 9).put(172, 6).text(176, std::string(255, 'c'));
    EXPECT_EQ(input(c), want.text(432, std::string(63, 's')).data);

    // An empty stranger uuid asks nothing; a frequency group of 0 is not sent.
    sdk_sim_reset();
    Command plain("{" + kParams + R"(,"freqgroup":0,"libuuid_stranger":""})");
    EXPECT_EQ(set(plain), 1);
    EXPECT_EQ(calls("NetClient_GetDevConfig").size(), 0u);
    EXPECT_EQ(input(only_call("NetClient_SetAlarmConfig")), alarm_record().data);
}

TEST_F(AlarmTest, StrangerLibraryNeedsDeviceSupport) {
    const std::string text = "{" + kParams + R"(,"libuuid_stranger":"s"})";
    const std::tuple<int32_t, std::string, int, const char *> cases[] = {
        {0, "0", CMD_ZEL_ENOTSUPPORTED, R"({"ret":16777223})"},
        {-3, "1", CMD_ZEL_EDEVICE, R"({"ret":16777238})"},
        {0, std::string(1024, '7'), CMD_ZEL_ENOTSUPPORTED, R"({"ret":16777223})"},  // text fills its field
    };
    for (const auto &[ret, ability, code, reply] : cases) {
        answer_ability(ret, ability);
        Command refused(text);
        EXPECT_EQ(set(refused), 0) << ability;
        EXPECT_EQ(err, code);
        EXPECT_EQ(refused.reply(), reply);
        EXPECT_EQ(refused.opit.result, 0);
    }
    EXPECT_EQ(calls("NetClient_SetAlarmConfig").size(), 0u);
    EXPECT_TRUE(log.contains("host not support! 0 != 0 || 2147483647 != 1, host_id:dev-0001, host_ip:10.1.2.3"));
}

TEST_F(AlarmTest, SetRefusalsAndDeviceFailure) {
    // Each member in turn renamed, so absent; read in this order.
    for (std::string key :
         {"ch", "alarm_type", "param1", "similar", "devtype", "recognition", "libuuid", "enable", "libenable"}) {
        std::string text = "{" + kParams + "}";
        text.insert(text.find("\"" + key + "\":") + 1, "no_");
        Command cmd(text);
        EXPECT_EQ(set(cmd), 0) << key;
        EXPECT_EQ(err, CMD_ZEL_EINVAL) << key;
        EXPECT_EQ(log.messages(), Lines{key + (key == "libuuid" ? " == NULL" : " == -1")}) << key;
        EXPECT_EQ(cmd.opit.out_buf, nullptr) << key;
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);

    fail("NetClient_SetAlarmConfig", 112, -2);
    Command cmd("{" + kParams + "}");
    EXPECT_EQ(set(cmd), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(cmd.reply(), R"({"ret":16777238})");
    EXPECT_EQ(log.messages(), Lines{"NetClient_SetAlarmConfig ret:-2 < 0  loginfd:7  alarm_type:2  cmd:112"});
}

TEST_F(AlarmTest, GetListsParametersUpToFirstEmptyRecordAndAnswersFailures) {
    Bytes out(3 * 496);
    out.put(0, 496).put(16, 5).put(20, 6).put(88, 4).put(92, 80).put(96, 1).put(100, 1).text(104, "L-1");
    out.put(168, 1).put(172, 3).text(176, std::string(256, 'q'));  // a list filling its field
    out.put(2 * 496, 496);                                         // after the first empty record
    answer_once("NetClient_FaceConfig", 21, out);
    Command cmd(R"({"command":3,"ch":1,"alarm_type":2,"param1":11})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({ "alarm_info": [ { "recognition": 4, "similar": 80, "devtype": 1, "enable": 1, )"
                           R"("libenable": 1, "param2": 5, "param3": 6, "libuuid": "L-1", "freqgroup": 3, )"
                           R"("freqchannellist": ")" +
                               std::string(256, 'q') + R"(" } ], "ret": 0, "ch": 1, "alarm_type": 2, "param1": 11 })");
    sdk_sim_call c = only_call("NetClient_FaceConfig");
    EXPECT_EQ(c.args[1], 496);
    EXPECT_EQ(input(c), Bytes(12).put(0, 12).put(4, 11).data);

    answer_once("NetClient_FaceConfig", 21, Bytes(0), -6);
    Command failed(R"({"command":3,"ch":1,"alarm_type":2,"param1":3})");
    EXPECT_EQ(get(failed), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(failed.reply(), R"({ "ret": -6, "ch": 1, "alarm_type": 2, "param1": 3 })");
    EXPECT_EQ(log.messages(), Lines{"NetClient_FaceConfig FACE_CMD_ALARM_PARAM err!ret:-6"});
}

}  // namespace
