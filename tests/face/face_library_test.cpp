// Face libraries: create, assign to channels, delete, sync state and counts.
#include <string>

#include "face_fixture.h"

namespace {

using namespace face_test;
using LibraryTest = FaceTest;

const std::string kLib = R"("command":2,"ch":3,"name":"staff","threshold":80,"alarmtype":2,"libuuid":"L-1")";

TEST_F(LibraryTest, CreateSendsLibraryRecord) {
    Command cmd("{" + kLib + R"(,"libversion":"v9","libkey":12,"extrainfo":"door"})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(cmd.opit.out_buf, nullptr);
    EXPECT_TRUE(log.contains("set_face_lib name:staff,libuuid:L-1,version:v9,opttype:1"));
    sdk_sim_call c = only_call("NetClient_FaceConfig");
    EXPECT_EQ(c.cmd, 4);
    EXPECT_EQ(c.ch, 3);
    EXPECT_EQ(c.args[1], 152);
    EXPECT_EQ(first_difference(c, Image(296)
                                      .i32(0, 296)
                                      .i32(4, 3)
                                      .i32(8, 288)
                                      .i32(12, 12)
                                      .text(16, "staff")
                                      .i32(80, 80)
                                      .text(84, "door")
                                      .i32(148, 2)
                                      .i32(152, 1)
                                      .text(156, "L-1")
                                      .text(220, "v9")),
              -1);

    // Extra information that does not fit is left out, not cut.
    answer_face(4, 0, 3);
    Command refused("{" + kLib + R"(,"libversion":"v9","extrainfo":")" + std::string(64, 'x') + R"("})");
    EXPECT_EQ(set(refused), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_TRUE(log.contains("!NetClient_FaceConfig err:0 result:3"));
    EXPECT_EQ(i32_at(calls("NetClient_FaceConfig")[1], 84), 0);
}

TEST_F(LibraryTest, CreateRefusals) {
    const std::string n64(64, 'n');
    const std::pair<std::string, const char *> cases[] = {
        {R"("ch":[0])", "ch == -1"},
        {R"("ch":0,"name":")" + n64 + "\"", "name == NULL || strlen(name) > LEN_64"},
        {R"("ch":0,"name":"a","threshold":"80")", "threshold == -1"},
        {R"("ch":0,"name":"a","threshold":1,"alarmtype":1,"libuuid":")" + n64 + "\"",
         "libuuid == NULL ||strlen(libuuid) >= LEN_UUID"},
        {R"("ch":0,"name":"a","threshold":1,"alarmtype":1,"libuuid":"u","libversion":"v","opttype":-1)",
         "opttype == -1"},
    };
    for (const auto &[members, message] : cases) {
        Command cmd(R"({"command":2,)" + members + "}");
        EXPECT_EQ(set(cmd), 0) << members;
        // Only the channel is refused with an error code.
        EXPECT_EQ(err, members == cases[0].first ? CMD_ZEL_EINVAL : test::kSentinelErrno) << members;
        EXPECT_EQ(log.messages(), std::vector<std::string>{message}) << members;
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

TEST_F(LibraryTest, SyncSetsChannelMaskBits) {
    // Only the first 64 entries count: channel 100 is the 65th.
    std::string list = R"({"ch":0},{"ch":31},{"ch":32},{"ch":40},{"ch":2047},{"ch":-1},{"ch":5000},[7],"x")";
    for (int i = 9; i < 64; ++i)
        list += R"(,{"ch":3})";
    list += R"(,{"ch":100})";
    answer_channel_count(33);
    Command cmd(R"({"command":3,"libuuid":"L-7","similar":101,"status":2,"ch_list":[)" + list + "]}");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_TRUE(log.contains("similar < 1 || similar > 100, similar:101"));
    sdk_sim_call c = only_call("NetClient_FaceConfig");
    EXPECT_EQ(c.cmd, 15);
    EXPECT_EQ(c.ch, -1);
    // 33 channels: two mask words; similarity out of range sent as 0.
    EXPECT_EQ(first_difference(c, Image(340)
                                      .i32(0, 340)
                                      .i32(4, 2)
                                      .i32(8, static_cast<int32_t>(0x80000009u))
                                      .i32(12, 0x101)
                                      .i32(8 + 63 * 4, INT32_MIN)
                                      .text(268, "L-7")
                                      .i32(332, 2)),
              -1);

    for (auto [channels, words] : {std::pair{0, 4}, {2048, 64}, {INT32_MAX, 64}}) {
        sdk_sim_reset();
        answer_channel_count(channels);
        Command plain(R"({"command":3,"libuuid":"u","similar":50,"status":0,"ch_list":[]})");
        EXPECT_EQ(set(plain), 1);
        EXPECT_EQ(i32_at(only_call("NetClient_FaceConfig"), 4), words) << channels;
    }
}

TEST_F(LibraryTest, SyncRefusals) {
    const std::tuple<const char *, const char *, int> cases[] = {
        {R"("status":0,"ch_list":[])", "libuuid == NULL", CMD_ZEL_EINVAL},
        {R"("libuuid":"u","ch_list":[])", "status < 0", CMD_ZEL_EINVAL},
        {R"("libuuid":"u","status":0,"ch_list":{"ch":1})", "!json_object_is_type(jso_arry, json_type_array)",
         test::kSentinelErrno},
    };
    for (const auto &[members, message, code] : cases) {
        Command cmd(std::string(R"({"command":3,"similar":5,)") + members + "}");
        EXPECT_EQ(set(cmd), 0) << members;
        EXPECT_EQ(err, code) << members;
        EXPECT_EQ(log.messages(), std::vector<std::string>{message}) << members;
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

TEST_F(LibraryTest, DeleteSendsRecordPaddedToLibraryLength) {
    answer_face(5, 0, 4, 37);  // 4: the device goes on deleting
    Command cmd(R"({"command":5,"ch":2,"libkey":9,"libuuid":")" + std::string(65, 'u') + R"("})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({"ret":4,"progress":37})");
    EXPECT_EQ(err, test::kSentinelErrno);
    sdk_sim_call c = only_call("NetClient_FaceConfig");
    EXPECT_EQ(c.cmd, 5);
    EXPECT_EQ(first_difference(c, Image(296).i32(0, 76).i32(4, 2).i32(8, 9).text(12, std::string(64, 'u'))), -1);

    Command bad(R"({"command":5,"ch":0,"libkey":-3,"libuuid":"u"})");
    EXPECT_EQ(set(bad), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(log.messages(), std::vector<std::string>{"libkey < 0"});
    EXPECT_EQ(bad.reply(), R"({"ret":-1,"progress":0})");

    answer_face(5, 0, 2, 50);
    Command refused(R"({"command":5,"ch":0,"libkey":1,"libuuid":"u"})");
    EXPECT_EQ(set(refused), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(log.messages().back(), "!NetClient_FaceConfig :0 result:2");
    EXPECT_EQ(refused.reply(), R"({"ret":-1,"progress":0})");
}

TEST_F(LibraryTest, SyncStatusListsValidEntriesUpToChannelCount) {
    Image out(3 * 92);
    out.i32(0, 92).i32(4, 4).text(12, "L-1").i32(76, 1).i32(80, 60).i32(84, 7).i32(88, 1);
    out.i32(92 + 4, 5);                    // size 0: not valid
    out.i32(184, 92).text(184 + 12, "x");  // beyond the device's channels
    answer_channel_count(2);
    sdk_sim_push_answer("NetClient_FaceConfig", 16, 0, 0, out.bytes.data(), 3 * 92);
    Command cmd(R"({"command":6,"ch":-1,"libuuid":"L-1"})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({ "param": [ { "ch": 4, "libuuid": "L-1", "state": 1, "process": 60, )"
                           R"("sucessnum": 7, "failenum": 1 } ], "ret": 0 })");
    sdk_sim_call c = only_call("NetClient_FaceConfig");
    EXPECT_EQ(c.ch, -1);
    EXPECT_EQ(c.args[1], 92);
    EXPECT_EQ(first_difference(c, Image(80).i32(0, 80).i32(4, 0x7FFFFFFF).i32(8, 320).text(16, "L-1")), -1);

    Command absent(R"({"command":6,"libuuid":"L-1"})");  // no channel: refused, still answered
    EXPECT_EQ(get(absent), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(absent.reply(), R"({ "param": [ ], "ret": -1 })");
}

TEST_F(LibraryTest, CountAnswersOnlyOnSuccess) {
    int32_t counts[] = {20, 100, 70, 30, 0};
    sdk_sim_push_answer("NetClient_GetDevConfig", 126, 0, 0, counts, sizeof counts);
    Command cmd(R"({"command":19,"ch":1})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({ "total_count": 100, "sample_count": 70, "custom_count": 30 })");
    EXPECT_EQ(first_difference(only_call("NetClient_GetDevConfig"), Image(20).i32(0, 20)), -1);

    sdk_sim_push_answer("NetClient_GetDevConfig", 126, 3, 0, nullptr, 0);
    EXPECT_EQ(get(cmd), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(log.messages(), std::vector<std::string>{"NetClient_GetDevConfig :3"});
}

}  // namespace
