// Face libraries: create, assign to channels, delete, sync state and counts.
#include <string>

#include "face_fixture.h"

namespace {

using face_test::FaceTest;
using test::Command;

using LibraryTest = FaceTest;

const std::string kLib =
    R"("command":2,"ch":3,"name":"staff","threshold":80,"alarmtype":2,"libuuid":"L-1","libversion":"v9")";

TEST_F(LibraryTest, CreateSendsLibraryRecord) {
    Command cmd("{" + kLib + R"(,"libkey":12,"extrainfo":"front door"})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(cmd.opit.out_buf, nullptr);
    EXPECT_TRUE(log.contains("set_face_lib name:staff,libuuid:L-1,version:v9,opttype:1"));

    auto sent = calls("NetClient_FaceConfig");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].cmd, 4);
    EXPECT_EQ(sent[0].ch, 3);
    EXPECT_EQ(sent[0].args[0], 296);  // in_len, then out_len
    EXPECT_EQ(sent[0].args[1], 152);
    ASSERT_EQ(sent[0].in_len, 296);
    EXPECT_EQ(i32_at(sent[0], 0), 296);
    EXPECT_EQ(i32_at(sent[0], 4), 3);
    EXPECT_EQ(i32_at(sent[0], 8), 288);
    EXPECT_EQ(i32_at(sent[0], 12), 12);
    EXPECT_EQ(text_at(sent[0], 16, 64), "staff");
    EXPECT_EQ(i32_at(sent[0], 80), 80);
    EXPECT_EQ(text_at(sent[0], 84, 64), "front door");
    EXPECT_EQ(i32_at(sent[0], 148), 2);
    EXPECT_EQ(i32_at(sent[0], 152), 1);
    EXPECT_EQ(text_at(sent[0], 156, 64), "L-1");
    EXPECT_EQ(text_at(sent[0], 220, 64), "v9");
}

TEST_F(LibraryTest, CreateLeavesOverlongExtraInfoEmptyAndReportsDeviceRefusal) {
    Command cmd("{" + kLib + R"(,"extrainfo":")" + std::string(64, 'x') + R"("})");
    answer_face(4, 0, 3);
    EXPECT_EQ(set(cmd), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_TRUE(log.contains("!NetClient_FaceConfig err:0 result:3"));
    auto sent = calls("NetClient_FaceConfig");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(text_at(sent[0], 84, 64), "");
    EXPECT_EQ(i32_at(sent[0], 12), 0);  // no libkey given
}

TEST_F(LibraryTest, CreateRefusesBadMembersWithoutTouchingTheDevice) {
    struct Case {
        std::string members;
        const char *message;
        int errno_after;
    };
    const std::string long64(64, 'n');
    const Case cases[] = {
        {R"("name":"a","threshold":1,"alarmtype":1,"libuuid":"u","libversion":"v")", "ch == -1", CMD_ZEL_EINVAL},
        {R"("ch":[0],"name":"a")", "ch == -1", CMD_ZEL_EINVAL},
        {R"("ch":0,"name":")" + long64 + R"(","threshold":1)", "name == NULL || strlen(name) > LEN_64",
         test::kSentinelErrno},
        {R"("ch":0,"name":"a","threshold":"80")", "threshold == -1", test::kSentinelErrno},
        {R"("ch":0,"name":"a","threshold":1,"alarmtype":-1)", "alarmtype == NULL", test::kSentinelErrno},
        {R"("ch":0,"name":"a","threshold":1,"alarmtype":1,"libuuid":")" + long64 + R"(")",
         "libuuid == NULL ||strlen(libuuid) >= LEN_UUID", test::kSentinelErrno},
        {R"("ch":0,"name":"a","threshold":1,"alarmtype":1,"libuuid":"u")",
         "libversion == NULL ||strlen(libversion) >= LEN_64", test::kSentinelErrno},
        {R"("ch":0,"name":"a","threshold":1,"alarmtype":1,"libuuid":"u","libversion":"v","opttype":-1)",
         "opttype == -1", test::kSentinelErrno},
    };
    for (const Case &c : cases) {
        sdk_sim_reset();
        Command cmd(R"({"command":2,)" + c.members + "}");
        EXPECT_EQ(set(cmd), 0) << c.members;
        EXPECT_EQ(err, c.errno_after) << c.members;
        EXPECT_EQ(log.messages(), std::vector<std::string>{c.message}) << c.members;
        EXPECT_EQ(sdk_sim_call_count(), 0) << c.members;
    }
}

TEST_F(LibraryTest, SyncSetsChannelMaskBits) {
    // 70 entries: only the first 64 count; channel 100 is entry 65.
    std::string list = R"({"ch":0},{"ch":31},{"ch":32},{"ch":40},{"ch":2047},{"ch":-1},{"ch":5000},[7],"x")";
    for (int i = 9; i < 64; ++i)
        list += R"(,{"ch":3})";
    list += R"(,{"ch":100},{"ch":101},{"ch":102},{"ch":103},{"ch":104},{"ch":105})";
    Command cmd(R"({"command":3,"libuuid":"L-7","similar":101,"status":2,"ch_list":[)" + list + "]}");
    answer_channel_count(33);
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_TRUE(log.contains("similar < 1 || similar > 100, similar:101"));

    auto sent = calls("NetClient_FaceConfig");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].cmd, 15);
    EXPECT_EQ(sent[0].ch, -1);
    ASSERT_EQ(sent[0].in_len, 340);
    EXPECT_EQ(i32_at(sent[0], 0), 340);
    EXPECT_EQ(i32_at(sent[0], 4), 2);  // 33 channels need two mask words
    std::vector<uint32_t> mask(64);
    std::memcpy(mask.data(), sent[0].in + 8, 256);
    std::vector<uint32_t> expected(64, 0);
    expected[0] = 1u | (1u << 31) | (1u << 3);
    expected[1] = 1u | (1u << 8);
    expected[63] = 1u << 31;
    EXPECT_EQ(mask, expected);
    EXPECT_EQ(text_at(sent[0], 268, 64), "L-7");
    EXPECT_EQ(i32_at(sent[0], 332), 2);
    EXPECT_EQ(i32_at(sent[0], 336), 0);
}

TEST_F(LibraryTest, SyncMaskWordCountFollowsDeviceChannels) {
    const std::pair<int32_t, int32_t> cases[] = {{0, 4}, {1, 1}, {32, 1}, {33, 2}, {2048, 64}, {INT32_MAX, 64}};
    for (auto [channels, words] : cases) {
        sdk_sim_reset();
        answer_channel_count(channels);
        Command cmd(R"({"command":3,"libuuid":"u","similar":50,"status":0,"ch_list":[]})");
        EXPECT_EQ(set(cmd), 1) << channels;
        auto sent = calls("NetClient_FaceConfig");
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(i32_at(sent[0], 4), words) << channels;
        EXPECT_EQ(i32_at(sent[0], 336), 50);
    }
}

TEST_F(LibraryTest, SyncRefusals) {
    struct Case {
        const char *text;
        const char *message;
        int errno_after;
    };
    const Case cases[] = {
        {R"({"command":3,"status":0,"ch_list":[]})", "libuuid == NULL", CMD_ZEL_EINVAL},
        {R"({"command":3,"libuuid":"u","similar":5,"ch_list":[]})", "status < 0", CMD_ZEL_EINVAL},
        {R"({"command":3,"libuuid":"u","similar":5,"status":0})", "is_error(jso_arry)", test::kSentinelErrno},
        {R"({"command":3,"libuuid":"u","similar":5,"status":0,"ch_list":{"ch":1}})",
         "!json_object_is_type(jso_arry, json_type_array)", test::kSentinelErrno},
    };
    for (const Case &c : cases) {
        sdk_sim_reset();
        Command cmd(c.text);
        EXPECT_EQ(set(cmd), 0) << c.text;
        EXPECT_EQ(err, c.errno_after) << c.text;
        EXPECT_TRUE(log.contains(c.message)) << c.text;
        EXPECT_EQ(calls("NetClient_FaceConfig").size(), 0u) << c.text;
    }
    answer_face(15, 0, 9);
    Command refused(R"({"command":3,"libuuid":"u","similar":5,"status":0,"ch_list":[]})");
    EXPECT_EQ(set(refused), 0);
    EXPECT_TRUE(log.contains("iRet:0, tReply.iResult:9"));
}

TEST_F(LibraryTest, DeleteSendsRecordPaddedToLibraryLength) {
    const std::string uuid(64, 'u');
    Command cmd(R"({"command":5,"ch":2,"libkey":9,"libuuid":")" + uuid + R"(x"})");
    answer_face(5, 0, 4, 37);
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({"ret":4,"progress":37})");
    EXPECT_EQ(err, test::kSentinelErrno);
    auto sent = calls("NetClient_FaceConfig");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].cmd, 5);
    EXPECT_EQ(sent[0].ch, 2);
    ASSERT_EQ(sent[0].in_len, 296);
    EXPECT_EQ(i32_at(sent[0], 0), 76);
    EXPECT_EQ(i32_at(sent[0], 4), 2);
    EXPECT_EQ(i32_at(sent[0], 8), 9);
    EXPECT_EQ(text_at(sent[0], 12, 64), uuid);  // the uuid fills its field
    for (int32_t i = 76; i < 296; ++i)
        ASSERT_EQ(sent[0].in[i], 0) << i;
}

TEST_F(LibraryTest, DeleteAnswersMinusOneOnEveryFailure) {
    Command missing(R"({"command":5,"ch":0,"libkey":-3,"libuuid":"u"})");
    EXPECT_EQ(set(missing), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(log.messages(), std::vector<std::string>{"libkey < 0"});
    EXPECT_EQ(missing.reply(), R"({"ret":-1,"progress":0})");

    answer_face(5, 0, 2, 50);
    Command refused(R"({"command":5,"ch":0,"libkey":1,"libuuid":"u"})");
    EXPECT_EQ(set(refused), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_TRUE(log.contains("!NetClient_FaceConfig :0 result:2"));
    EXPECT_EQ(refused.reply(), R"({"ret":-1,"progress":0})");
}

TEST_F(LibraryTest, SyncStatusListsValidEntriesUpToChannelCount) {
    unsigned char out[3 * 92] = {};
    auto entry = [&](int i, int32_t size, int32_t ch, const char *uuid, int32_t state) {
        unsigned char *e = out + 92 * i;
        int32_t v[] = {size, ch};
        std::memcpy(e, v, 8);
        std::memcpy(e + 12, uuid, std::strlen(uuid));
        int32_t tail[] = {state, 60, 7, 1};
        std::memcpy(e + 76, tail, 16);
    };
    entry(0, 92, 4, "L-1", 1);
    entry(1, 0, 5, "skipped", 1);
    entry(2, 92, 6, "beyond count", 1);
    answer_channel_count(2);
    sdk_sim_push_answer("NetClient_FaceConfig", 16, 0, 0, out, sizeof out);
    Command cmd(R"({"command":6,"ch":-1,"libuuid":"L-1"})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(cmd.reply(),
              R"({ "param": [ { "ch": 4, "libuuid": "L-1", "state": 1, "process": 60, "sucessnum": 7, "failenum": 1 } ], "ret": 0 })");
    auto sent = calls("NetClient_FaceConfig");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].ch, -1);
    EXPECT_EQ(sent[0].args[1], 92);
    ASSERT_EQ(sent[0].in_len, 80);
    EXPECT_EQ(i32_at(sent[0], 4), 0x7FFFFFFF);
    EXPECT_EQ(i32_at(sent[0], 8), 320);
    EXPECT_EQ(text_at(sent[0], 16, 64), "L-1");
}

TEST_F(LibraryTest, SyncStatusFailuresStillAnswer) {
    Command absent(R"({"command":6,"libuuid":"L-1"})");
    EXPECT_EQ(get(absent), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(log.messages(), std::vector<std::string>{"ch < -1"});
    EXPECT_EQ(absent.reply(), R"({ "param": [ ], "ret": -1 })");

    sdk_sim_push_answer("NetClient_FaceConfig", 16, -5, 0, nullptr, 0);
    Command failed(R"({"command":6,"ch":1,"libuuid":"L-1"})");
    EXPECT_EQ(get(failed), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_TRUE(log.contains("!NetClient_FaceConfig FACE_CMD_LIB_SYNC_STATUS ret:-5"));
    EXPECT_EQ(failed.reply(), R"({ "param": [ ], "ret": -5 })");
}

TEST_F(LibraryTest, CountAnswersOnlyOnSuccess) {
    int32_t counts[] = {20, 100, 70, 30, 0};
    sdk_sim_push_answer("NetClient_GetDevConfig", 126, 0, 0, counts, sizeof counts);
    Command cmd(R"({"command":19,"ch":1})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({ "total_count": 100, "sample_count": 70, "custom_count": 30 })");
    auto sent = calls("NetClient_GetDevConfig");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].ch, 1);
    EXPECT_EQ(i32_at(sent[0], 0), 20);

    sdk_sim_push_answer("NetClient_GetDevConfig", 126, 3, 0, nullptr, 0);
    Command failed(R"({"command":19,"ch":1})");
    EXPECT_EQ(get(failed), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(log.messages(), std::vector<std::string>{"NetClient_GetDevConfig :3"});
    EXPECT_EQ(failed.opit.out_buf, nullptr);

    Command absent(R"({"command":19})");
    EXPECT_EQ(get(absent), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(absent.opit.out_buf, nullptr);
}

}  // namespace
