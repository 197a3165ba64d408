// Face features of a stored face (get 20).
#include <string>

#include "face_fixture.h"

namespace {

using namespace face_test;
using FeatureTest = FaceTest;

constexpr int32_t kRecordSize = 328712;

TEST_F(FeatureTest, ListsAtMostTenFacesWithBase64Features) {
    Bytes out(kRecordSize);
    out.put(4, 2).put(8, 1).put(12, 30).put(16, 40).put(148, 12);
    out.put(152, 2).put(152 + 8, 50);                       // face 0: two points, face 1: none, face 2: too many
    out.put(192, 5).put(196, 6).put(200, 7).put(204, 8);    // face 0's points
    out.put(992, 5).put(992 + 8, 40000).put(992 + 12, -7);  // feature lengths, two of them impossible
    out.text(1032, "hello");                                // face 0 features
    answer_once("NetClient_FaceConfig", 7, out);

    Command cmd(R"({"command":20,"ch":2,"libuuid":"L-1","faceuuid":"F-1","libkey":3,"facekey":4})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    const std::string reply = cmd.reply();
    const std::string head =
        R"({ "hostid": "dev-0001", "ch": 2, "type": 1, "libkey": 30, "facekey": 40, "libuuid": "L-1", )"
        R"("faceuuid": "F-1", "facenum": 12, "facefeature": [ { "rects": [ { "x": 5, "y": 6 }, { "x": 7, "y": 8 } ], )"
        R"("datalen": 8, "data": "aGVsbG8=" }, { "rects": [ ], "datalen": 0, "data": "" }, { "rects": [ )";
    EXPECT_EQ(reply.compare(0, head.size(), head), 0) << reply.substr(0, 400);
    // Face 2: ten points and its whole 32768-byte area, which is 43692 Base64
    // characters; faces 3 to 9 have nothing, and there are no more.
    EXPECT_NE(reply.find(R"({ "x": 0, "y": 0 } ], "datalen": 43692, "data": ")"), std::string::npos);
    std::string rest;
    for (int face = 3; face < 10; ++face)
        rest += R"(, { "rects": [ ], "datalen": 0, "data": "" })";
    EXPECT_TRUE(reply.ends_with(R"(A=" })" + rest + R"( ], "ret": 0 })")) << reply.substr(reply.size() - 60);

    sdk_sim_call c = only_call("NetClient_FaceConfig");
    EXPECT_EQ(std::tuple(c.cmd, c.args[1]), std::tuple(7, kRecordSize));
    Bytes key(144);
    EXPECT_EQ(input(c), key.put(0, 144).put(4, 2).put(8, 3).put(12, 4).text(16, "L-1").text(80, "F-1").data);
}

TEST_F(FeatureTest, FailuresAnswerNothingAndLeaveErrnoAlone) {
    fail("NetClient_FaceConfig", 7, -4);
    const std::pair<const char *, const char *> cases[] = {
        {R"({"command":20,"libuuid":"L","faceuuid":"F"})", "ch == -1"},
        {R"({"command":20,"ch":0,"faceuuid":"F"})", "libuuid == NULL "},
        {R"({"command":20,"ch":0,"libuuid":"L"})", "faceuuid == NULL "},
        {R"({"command":20,"ch":0,"libuuid":"L","faceuuid":"F"})", "!NetClient_FaceConfig :-4"},
    };
    for (auto [text, message] : cases) {
        Command cmd(text);
        EXPECT_EQ(get(cmd), 0) << text;
        EXPECT_EQ(err, test::kSentinelErrno) << text;
        EXPECT_EQ(log.messages(), Lines{message}) << text;
        EXPECT_EQ(cmd.opit.out_buf, nullptr) << text;
    }
    EXPECT_EQ(sdk_sim_call_count(), 1);
}

}  // namespace
