// Face features of a stored face (get 20).
#include <json-c/json.h>

#include <string>

#include "face_fixture.h"

namespace {

using face_test::FaceTest;
using test::Command;

using FeatureTest = FaceTest;

constexpr size_t kRecordSize = 328712;

struct FeatureAnswer {
    std::vector<unsigned char> bytes = std::vector<unsigned char>(kRecordSize, 0);
    void put(size_t offset, int32_t v) { std::memcpy(bytes.data() + offset, &v, 4); }
    void push() { sdk_sim_push_answer("NetClient_FaceConfig", 7, 0, 0, bytes.data(), static_cast<int32_t>(bytes.size())); }
};

json_object *parse(const Command &cmd) { return json_tokener_parse(cmd.reply().c_str()); }

TEST_F(FeatureTest, ListsAtMostTenFacesWithBase64Features) {
    FeatureAnswer a;
    a.put(4, 2);    // channel
    a.put(8, 1);    // type
    a.put(12, 30);  // library key
    a.put(16, 40);  // face key
    a.put(148, 12);
    a.put(152, 2);      // face 0: two points
    a.put(152 + 4, 0);  // face 1: none
    a.put(152 + 8, 50); // face 2: more than fit
    a.put(192, 5);
    a.put(196, 6);
    a.put(200, 7);
    a.put(204, 8);
    a.put(992, 5);          // face 0: "hello"
    a.put(992 + 4, 0);
    a.put(992 + 8, 40000);  // beyond the face's area: bounded
    a.put(992 + 12, -7);
    std::memcpy(a.bytes.data() + 1032, "hello", 5);
    a.push();

    Command cmd(R"({"command":20,"ch":2,"libuuid":"L-1","faceuuid":"F-1","libkey":3,"facekey":4})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    std::string reply = cmd.reply();
    const std::string head =
        R"({ "hostid": "dev-0001", "ch": 2, "type": 1, "libkey": 30, "facekey": 40, "libuuid": "L-1", )"
        R"("faceuuid": "F-1", "facenum": 12, "facefeature": [ { "rects": [ { "x": 5, "y": 6 }, { "x": 7, "y": 8 } ], )"
        R"("datalen": 8, "data": "aGVsbG8=" }, { "rects": [ ], "datalen": 0, "data": "" }, )";
    EXPECT_EQ(reply.compare(0, head.size(), head), 0) << reply.substr(0, 400);
    EXPECT_TRUE(reply.ends_with(R"("data": "" } ], "ret": 0 })")) << reply.substr(reply.size() - 40);

    json_object *doc = parse(cmd);
    ASSERT_NE(doc, nullptr);
    json_object *faces = json_object_object_get(doc, "facefeature");
    ASSERT_EQ(json_object_array_length(faces), 10u);
    json_object *f0 = json_object_array_get_idx(faces, 0);
    EXPECT_STREQ(json_object_get_string(json_object_object_get(f0, "data")), "aGVsbG8=");
    EXPECT_EQ(json_object_get_int(json_object_object_get(f0, "datalen")), 8);
    json_object *f1 = json_object_array_get_idx(faces, 1);
    EXPECT_STREQ(json_object_to_json_string(json_object_object_get(f1, "rects")), "[ ]");
    EXPECT_STREQ(json_object_get_string(json_object_object_get(f1, "data")), "");
    json_object *f2 = json_object_array_get_idx(faces, 2);
    EXPECT_EQ(json_object_array_length(json_object_object_get(f2, "rects")), 10u);
    EXPECT_EQ(json_object_get_int(json_object_object_get(f2, "datalen")), 43692);  // 32768 bytes
    json_object *f3 = json_object_array_get_idx(faces, 3);
    EXPECT_EQ(json_object_get_int(json_object_object_get(f3, "datalen")), 0);
    json_object_put(doc);

    auto sent = calls("NetClient_FaceConfig");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].cmd, 7);
    EXPECT_EQ(sent[0].args[1], static_cast<int32_t>(kRecordSize));
    ASSERT_EQ(sent[0].in_len, 144);
    const std::pair<size_t, int32_t> ints[] = {{0, 144}, {4, 2}, {8, 3}, {12, 4}};
    for (auto [offset, value] : ints)
        EXPECT_EQ(i32_at(sent[0], offset), value) << offset;
    EXPECT_EQ(text_at(sent[0], 16, 64), "L-1");
    EXPECT_EQ(text_at(sent[0], 80, 64), "F-1");
}

TEST_F(FeatureTest, NegativeFaceCountGivesEmptyList) {
    FeatureAnswer a;
    a.put(148, -3);
    a.push();
    Command cmd(R"({"command":20,"ch":0,"libuuid":"L","faceuuid":"F"})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_NE(cmd.reply().find(R"("facenum": -3, "facefeature": [ ], "ret": 0 })"), std::string::npos);
}

TEST_F(FeatureTest, FailuresAnswerNothing) {
    struct Case {
        const char *text;
        const char *message;
    };
    const Case cases[] = {
        {R"({"command":20,"libuuid":"L","faceuuid":"F"})", "ch == -1"},
        {R"({"command":20,"ch":0,"faceuuid":"F"})", "libuuid == NULL "},
        {R"({"command":20,"ch":0,"libuuid":"L"})", "faceuuid == NULL "},
    };
    for (const Case &c : cases) {
        Command cmd(c.text);
        EXPECT_EQ(get(cmd), 0) << c.text;
        EXPECT_EQ(err, test::kSentinelErrno) << c.text;
        EXPECT_EQ(log.messages(), std::vector<std::string>{c.message}) << c.text;
        EXPECT_EQ(cmd.opit.out_buf, nullptr) << c.text;
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);

    sdk_sim_push_answer("NetClient_FaceConfig", 7, -1, 0, nullptr, 0);
    Command failed(R"({"command":20,"ch":0,"libuuid":"L","faceuuid":"F"})");
    EXPECT_EQ(get(failed), 0);
    EXPECT_EQ(log.messages(), std::vector<std::string>{"!NetClient_FaceConfig :-1"});
    EXPECT_EQ(failed.opit.out_buf, nullptr);
}

}  // namespace
