// Face-alarm parameters: writing them (set 0) and reading them back (get 3).
#include <string>

#include "face_fixture.h"

namespace {

using face_test::FaceTest;
using test::Command;

using AlarmTest = FaceTest;

const std::string kParams =
    R"("command":0,"ch":3,"alarm_type":2,"param1":11,"similar":75,"devtype":1,"recognition":4,)"
    R"("libuuid":"L-1","enable":1,"libenable":1)";

void answer_ability(int32_t ret, const char *text) {
    unsigned char out[1036] = {};
    std::memcpy(out + 12, text, std::strlen(text));
    sdk_sim_push_answer("NetClient_GetDevConfig", 99, ret, 0, out, sizeof out);
}

TEST_F(AlarmTest, SetSendsParameterRecordAndAnswersNothingOnSuccess) {
    Command cmd("{" + kParams + R"(,"param2":-1,"param3":9,"freqgroup":0,"freqchannellist":")" +
                std::string(300, 'c') + R"(","libuuid_stranger":""})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(cmd.opit.out_buf, nullptr);
    EXPECT_EQ(cmd.opit.result, 1);
    EXPECT_EQ(calls("NetClient_GetDevConfig").size(), 0u);  // empty stranger uuid: no ability query

    auto sent = calls("NetClient_SetAlarmConfig");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].cmd, 112);
    EXPECT_EQ(sent[0].ch, 3);
    EXPECT_EQ(sent[0].args[0], 2);  // alarm type
    ASSERT_EQ(sent[0].in_len, 496);
    const std::pair<size_t, int32_t> ints[] = {{0, 496}, {4, 3},  {8, 2},  {12, 11}, {16, 0},  {20, 9},
                                               {88, 4},  {92, 75}, {96, 1}, {100, 1}, {168, 1}, {172, 0}};
    for (auto [offset, value] : ints)
        EXPECT_EQ(i32_at(sent[0], offset), value) << offset;
    EXPECT_EQ(text_at(sent[0], 104, 64), "L-1");
    EXPECT_EQ(text_at(sent[0], 176, 256), std::string(255, 'c'));
    EXPECT_EQ(text_at(sent[0], 432, 64), "");
}

TEST_F(AlarmTest, StrangerLibraryNeedsDeviceSupport) {
    const std::string text = "{" + kParams + R"(,"freqgroup":6,"libuuid_stranger":")" + std::string(70, 's') + R"("})";
    answer_ability(0, "1");
    Command ok(text);
    EXPECT_EQ(set(ok), 1);
    auto asked = calls("NetClient_GetDevConfig");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].ch, 0x7FFFFFFF);
    EXPECT_EQ(i32_at(asked[0], 0), 1036);
    EXPECT_EQ(i32_at(asked[0], 4), 64);
    EXPECT_EQ(i32_at(asked[0], 8), 162);
    auto sent = calls("NetClient_SetAlarmConfig");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(text_at(sent[0], 432, 64), std::string(63, 's'));
    EXPECT_EQ(i32_at(sent[0], 172), 6);

    sdk_sim_reset();
    answer_ability(0, "0");
    Command unsupported(text);
    EXPECT_EQ(set(unsupported), 0);
    EXPECT_EQ(err, CMD_ZEL_ENOTSUPPORTED);
    EXPECT_EQ(unsupported.reply(), R"({"ret":16777223})");
    EXPECT_EQ(unsupported.opit.result, 0);
    EXPECT_TRUE(log.contains("host not support! 0 != 0 || 0 != 1, host_id:dev-0001, host_ip:10.1.2.3"));
    EXPECT_EQ(calls("NetClient_SetAlarmConfig").size(), 0u);

    sdk_sim_reset();
    answer_ability(-3, "1");
    Command failed(text);
    EXPECT_EQ(set(failed), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(failed.reply(), R"({"ret":16777238})");
    EXPECT_TRUE(log.contains("!NetClient_GetDevConfig err:-3, strlen(ability_info.cParam):1"));

    // An ability text filling the whole field is read within it.
    sdk_sim_reset();
    std::string full(1024, '7');
    answer_ability(0, full.c_str());
    Command unterminated(text);
    EXPECT_EQ(set(unterminated), 0);
    EXPECT_EQ(err, CMD_ZEL_ENOTSUPPORTED);
}

TEST_F(AlarmTest, SetDeviceFailureAnswersTheErrorCode) {
    sdk_sim_push_answer("NetClient_SetAlarmConfig", 112, -2, 0, nullptr, 0);
    Command cmd("{" + kParams + "}");
    EXPECT_EQ(set(cmd), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(cmd.reply(), R"({"ret":16777238})");
    EXPECT_EQ(log.messages(), std::vector<std::string>{
                                  "NetClient_SetAlarmConfig ret:-2 < 0  loginfd:7  alarm_type:2  cmd:112"});
}

TEST_F(AlarmTest, SetRefusesMembersInOrderWithoutReply) {
    const std::pair<const char *, const char *> cases[] = {
        {"ch", "ch == -1"},           {"alarm_type", "alarm_type == -1"},   {"param1", "param1 == -1"},
        {"similar", "similar == -1"}, {"devtype", "devtype == -1"},         {"recognition", "recognition == -1"},
        {"libuuid", "libuuid == NULL"}, {"enable", "enable == -1"},         {"libenable", "libenable == -1"},
    };
    for (auto [key, message] : cases) {
        // The member turned into an array: unusable, like a missing one.
        std::string text = "{" + kParams + "}";
        std::string from = std::string("\"") + key + "\":";
        text.replace(text.find(from), from.size(), from + "[0],\"was_" + key + "\":");
        Command cmd(text);
        EXPECT_EQ(set(cmd), key == std::string("libuuid") ? 1 : 0) << key;
        if (key == std::string("libuuid"))
            continue;  // an array still has a text form, which is sent
        EXPECT_EQ(err, CMD_ZEL_EINVAL) << key;
        EXPECT_EQ(log.messages(), std::vector<std::string>{message}) << key;
        EXPECT_EQ(cmd.opit.out_buf, nullptr) << key;
    }
    EXPECT_EQ(calls("NetClient_SetAlarmConfig").size(), 1u);

    Command absent(R"({"command":0,"ch":1,"alarm_type":1,"param1":1,"similar":1,"devtype":1,"recognition":1})");
    EXPECT_EQ(set(absent), 0);
    EXPECT_EQ(log.messages(), std::vector<std::string>{"libuuid == NULL"});
}

TEST_F(AlarmTest, GetListsParametersUpToFirstEmptyRecord) {
    std::vector<unsigned char> out(3 * 496, 0);
    auto record = [&](int i, int32_t recognition, const char *uuid) {
        unsigned char *r = out.data() + 496 * i;
        int32_t head[] = {496, 1, 2, 11, 5, 6};
        std::memcpy(r, head, sizeof head);
        int32_t mid[] = {recognition, 80, 1, 1};
        std::memcpy(r + 88, mid, sizeof mid);
        std::memcpy(r + 104, uuid, std::strlen(uuid));
        int32_t tail[] = {1, 3};
        std::memcpy(r + 168, tail, sizeof tail);
        std::memset(r + 176, 'q', 256);  // a list filling its field
    };
    record(0, 4, "L-1");
    record(2, 9, "after the gap");
    sdk_sim_push_answer("NetClient_FaceConfig", 21, 0, 0, out.data(), static_cast<int32_t>(out.size()));
    Command cmd(R"({"command":3,"ch":1,"alarm_type":2,"param1":11})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({ "alarm_info": [ { "recognition": 4, "similar": 80, "devtype": 1, "enable": 1, )"
                           R"("libenable": 1, "param2": 5, "param3": 6, "libuuid": "L-1", "freqgroup": 3, )"
                           R"("freqchannellist": ")" +
                               std::string(256, 'q') + R"(" } ], "ret": 0, "ch": 1, "alarm_type": 2, "param1": 11 })");
    auto sent = calls("NetClient_FaceConfig");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].args[1], 496);
    ASSERT_EQ(sent[0].in_len, 12);
    EXPECT_EQ(i32_at(sent[0], 0), 12);
    EXPECT_EQ(i32_at(sent[0], 4), 11);
    EXPECT_EQ(i32_at(sent[0], 8), 0);
}

TEST_F(AlarmTest, GetFailuresAnswerWithRetMinusOneOrDeviceResult) {
    Command bad(R"({"command":3,"ch":1,"alarm_type":2})");
    EXPECT_EQ(get(bad), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(bad.reply(), R"({ "ret": -1, "ch": 1, "alarm_type": 2, "param1": -1 })");

    Command no_ch(R"({"command":3,"ch":-4,"alarm_type":2,"param1":3})");
    EXPECT_EQ(get(no_ch), 0);
    EXPECT_EQ(no_ch.reply(), R"({ "ret": -1, "ch": -4, "alarm_type": -1, "param1": -1 })");
    EXPECT_EQ(sdk_sim_call_count(), 0);

    sdk_sim_push_answer("NetClient_FaceConfig", 21, 6, 0, nullptr, 0);
    Command failed(R"({"command":3,"ch":1,"alarm_type":2,"param1":3})");
    EXPECT_EQ(get(failed), 1);  // a positive device result still counts as an answer
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(failed.reply(), R"({ "ret": 6, "ch": 1, "alarm_type": 2, "param1": 3 })");
    EXPECT_TRUE(log.contains("NetClient_FaceConfig FACE_CMD_ALARM_PARAM err!ret:6"));
}

}  // namespace
