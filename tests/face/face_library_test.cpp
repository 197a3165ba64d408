// Face libraries: create, assign to channels, delete, sync state and counts.
#include <string>

#include "face_fixture.h"

namespace {

using namespace face_test;
using LibraryTest = FaceTest;

const std::string kLib = R"("command":2,"ch":3,"name":"staff","threshold":80,"alarmtype":2,"libuuid":"L-1")";

TEST_F(LibraryTest, CreateSendsLibraryRecordAndDropsExtraInformationThatDoesNotFit) {
    Command cmd("{" + kLib + R"(,"libversion":"v9","libkey":12,"extrainfo":"door"})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(cmd.opit.out_buf, nullptr);
    EXPECT_TRUE(log.contains("set_face_lib name:staff,libuuid:L-1,version:v9,opttype:1"));
    sdk_sim_call c = only_call("NetClient_FaceConfig");
    EXPECT_EQ(std::tuple(c.cmd, c.ch, c.args[1]), std::tuple(4, 3, 152));
    Bytes want(296);
    want.put(0, 296).put(4, 3).put(8, 288).put(12, 12).text(16, "staff").put(80, 80).text(84, "door");
    want.put(148, 2).put(152, 1).text(156, "L-1").text(220, "v9");
    EXPECT_EQ(input(c), want.data);

    answer_face(4, 0, 3);
    Command refused("{" + kLib + R"(,"libversion":"v9","extrainfo":")" + std::string(64, 'x') + R"("})");
    EXPECT_EQ(set(refused), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_TRUE(log.contains("!NetClient_FaceConfig err:0 result:3"));
    EXPECT_EQ(word_at(calls("NetClient_FaceConfig")[1].in, 84), 0);
}

TEST_F(LibraryTest, RefusalsSendNothing) {
    // Set 2 refuses its library members without an error code.
    const std::string n64(64, 'n'), lib = R"({"command":2,"ch":0,"name":"a","threshold":1,"alarmtype":1,)";
    const std::string sync = R"({"command":3,"similar":5,)";
    const std::tuple<std::string, const char *, int> cases[] = {
        {R"({"command":2,"ch":[0]})", "ch == -1", CMD_ZEL_EINVAL},
        {R"({"command":2,"ch":0,"name":")" + n64 + "\"}", "name == NULL || strlen(name) > LEN_64",
         test::kSentinelErrno},
        {R"({"command":2,"ch":0,"name":"a","threshold":"80"})", "threshold == -1", test::kSentinelErrno},
        {R"({"command":2,"ch":0,"name":"a","threshold":1})", "alarmtype == NULL", test::kSentinelErrno},
        {lib + R"("libuuid":")" + n64 + "\"}", "libuuid == NULL ||strlen(libuuid) >= LEN_UUID", test::kSentinelErrno},
        {lib + R"("libuuid":"u","libversion":"v","opttype":-1})", "opttype == -1", test::kSentinelErrno},
        {sync + R"("status":0,"ch_list":[]})", "libuuid == NULL", CMD_ZEL_EINVAL},
        {sync + R"("libuuid":"u","ch_list":[]})", "status < 0", CMD_ZEL_EINVAL},
        {sync + R"("libuuid":"u","status":0})", "is_error(jso_arry)", test::kSentinelErrno},
        {sync + R"("libuuid":"u","status":0,"ch_list":{"ch":1}})", "!json_object_is_type(jso_arry, json_type_array)",
         test::kSentinelErrno},
    };
    for (const auto &[text, message, code] : cases) {
        Command cmd(text);
        EXPECT_EQ(set(cmd), 0) << text;
        EXPECT_EQ(err, code) << text;
        EXPECT_EQ(log.messages(), Lines{message}) << text;
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

TEST_F(LibraryTest, SyncSetsMaskBitsOfTheFirstSixtyFourEntries) {
    // Channel 100 is the 65th entry; 5000 does not fit the mask.
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
    EXPECT_EQ(std::tuple(c.cmd, c.ch), std::tuple(15, -1));
    // 33 channels: two mask words; a similarity out of range is sent as 0.
    Bytes want(340);
    want.put(0, 340).put(4, 2).put(8, static_cast<int32_t>(0x80000009u)).put(12, 0x101).put(8 + 63 * 4, INT32_MIN);
    EXPECT_EQ(input(c), want.text(268, "L-7").put(332, 2).data);

    for (auto [channels, words] : {std::pair{0, 4}, {INT32_MAX, 64}}) {
        sdk_sim_reset();
        answer_channel_count(channels);
        Command plain(R"({"command":3,"libuuid":"u","similar":50,"status":0,"ch_list":[]})");
        EXPECT_EQ(set(plain), 1);
        EXPECT_EQ(word_at(only_call("NetClient_FaceConfig").in, 4), words) << channels;
    }
}

TEST_F(LibraryTest, DeleteSendsRecordPaddedToLibraryLengthAndAlwaysAnswers) {
    answer_face(5, 0, 4, 37);  // 4: the device goes on deleting
    Command cmd(R"({"command":5,"ch":2,"libkey":9,"libuuid":")" + std::string(65, 'u') + R"("})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({"ret":4,"progress":37})");
    EXPECT_EQ(err, test::kSentinelErrno);
    sdk_sim_call c = only_call("NetClient_FaceConfig");
    EXPECT_EQ(c.cmd, 5);
    EXPECT_EQ(input(c), Bytes(296).put(0, 76).put(4, 2).put(8, 9).text(12, std::string(64, 'u')).data);

    answer_face(5, 0, 2, 50);
    const std::pair<const char *, int> failures[] = {
        {R"({"command":5,"ch":0,"libkey":-3,"libuuid":"u"})", CMD_ZEL_EINVAL},
        {R"({"command":5,"ch":0,"libkey":1})", CMD_ZEL_EINVAL},
        {R"({"command":5,"ch":0,"libkey":1,"libuuid":"u"})", CMD_ZEL_EDEVICE},  // the device's result 2
    };
    for (auto [text, code] : failures) {
        Command failed(text);
        EXPECT_EQ(set(failed), 0) << text;
        EXPECT_EQ(err, code) << text;
        EXPECT_EQ(failed.reply(), R"({"ret":-1,"progress":0})") << text;
    }
    EXPECT_TRUE(log.contains("!NetClient_FaceConfig :0 result:2"));
}

TEST_F(LibraryTest, SyncStatusListsValidEntriesUpToChannelCount) {
    Bytes out(3 * 92);
    out.put(0, 92).put(4, 4).text(12, "L-1").put(76, 1).put(80, 60).put(84, 7).put(88, 1);
    out.put(92 + 4, 5);                    // size 0: not valid
    out.put(184, 92).text(184 + 12, "x");  // beyond the device's channels
    answer_channel_count(2);
    answer_once("NetClient_FaceConfig", 16, out);
    Command cmd(R"({"command":6,"ch":-1,"libuuid":"L-1"})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({ "param": [ { "ch": 4, "libuuid": "L-1", "state": 1, "process": 60, )"
                           R"("sucessnum": 7, "failenum": 1 } ], "ret": 0 })");
    sdk_sim_call c = only_call("NetClient_FaceConfig");
    EXPECT_EQ(std::tuple(c.ch, c.args[1]), std::tuple(-1, 92));
    EXPECT_EQ(input(c), Bytes(80).put(0, 80).put(4, 0x7FFFFFFF).put(8, 320).text(16, "L-1").data);

    Command absent(R"({"command":6,"libuuid":"L-1"})");  // no channel: refused, still answered
    EXPECT_EQ(get(absent), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(absent.reply(), R"({ "param": [ ], "ret": -1 })");
}

TEST_F(LibraryTest, CountAnswersOnlyOnSuccess) {
    answer_once("NetClient_GetDevConfig", 126, Bytes(20).put(0, 20).put(4, 100).put(8, 70).put(12, 30));
    answer_once("NetClient_GetDevConfig", 126, Bytes(0), 3);
    Command cmd(R"({"command":19,"ch":1})"), failed(R"({"command":19,"ch":1})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({ "total_count": 100, "sample_count": 70, "custom_count": 30 })");
    EXPECT_EQ(input(only_call("NetClient_GetDevConfig")), Bytes(20).put(0, 20).data);
    EXPECT_EQ(get(failed), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(failed.opit.out_buf, nullptr);
    EXPECT_EQ(log.messages(), Lines{"NetClient_GetDevConfig :3"});
}

}  // namespace
