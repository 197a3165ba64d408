// Face records: add or change, delete, and both with the channel's analysis
// suspended around the change.
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "face_fixture.h"
#include "os_support_control.h"

namespace {

using face_test::FaceTest;
using test::Command;

// Plays the platform's event thread: at the chosen sleep of a waiting
// command, writes the device's answer into a channel record.
struct VcaAnswer {
    test::Record *channel = nullptr;
    int answer_at = 0;  // 0: never
    int32_t value = 1;
    int sleeps = 0;

    static void hook(void *ctx, int32_t ms) {
        auto *self = static_cast<VcaAnswer *>(ctx);
        EXPECT_EQ(ms, 10);
        if (++self->sleeps == self->answer_at)
            self->channel->put<int32_t>(test::channel_offset::kVcaEnableReply, self->value);
    }
};

class EntryTest : public FaceTest {
  protected:
    void SetUp() override {
        FaceTest::SetUp();
        os_support_set_sleep_hook(&VcaAnswer::hook, &vca);
    }
    void TearDown() override { os_support_set_sleep_hook(nullptr, nullptr); }

    // The analysis switches sent, as (channel, enable) pairs.
    static std::vector<std::pair<int32_t, int32_t>> switches() {
        std::vector<std::pair<int32_t, int32_t>> out;
        for (const sdk_sim_call &c : calls("NetClient_SetDevConfig")) {
            EXPECT_EQ(c.cmd, 32);
            out.emplace_back(c.ch, i32_at(c, 0));
        }
        return out;
    }

    VcaAnswer vca;
};

const std::string kFace = R"({"libuuid":"L-1","faceuuid":"F-1","ch":2,"name":"Ann","sex":1})";

TEST_F(EntryTest, EditSendsFaceRecordWithCutTexts) {
    const std::string uuid64(64, 'u');
    Command cmd(R"({"command":1,"ch":5,"opttype":2,"libuuid":")" + uuid64 + R"(","faceuuid":")" +
                std::string(70, 'f') + R"(","name":")" + std::string(80, 'n') + R"(","birthtime":")" +
                std::string(20, '1') + R"(","file_name":")" + std::string(300, 'p') +
                R"(","certnum":"C-9","modeling":1,"sex":2,"nation":3,"place":4,"certype":5,"file_type":6,)"
                R"("face_key":7,"face_lib_key":8})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(cmd.reply(), R"({"errno":0})");
    auto sent = calls("NetClient_FaceConfig");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].cmd, 0);
    EXPECT_EQ(sent[0].ch, 5);
    EXPECT_EQ(sent[0].args[1], 152);
    ASSERT_EQ(sent[0].in_len, 1112);
    const sdk_sim_call &c = sent[0];
    EXPECT_EQ(i32_at(c, 0), 1112);
    EXPECT_EQ(i32_at(c, 4), 5);
    EXPECT_EQ(text_at(c, 8, 260), std::string(259, 'p'));
    const std::pair<size_t, int32_t> ints[] = {{268, 8}, {272, 7}, {276, 0}, {280, 6}, {284, 1}, {352, 2},
                                               {372, 3}, {376, 4}, {380, 5}, {448, 2}};
    for (auto [offset, value] : ints)
        EXPECT_EQ(i32_at(c, offset), value) << offset;
    EXPECT_EQ(text_at(c, 288, 64), std::string(63, 'n'));
    EXPECT_EQ(text_at(c, 356, 16), std::string(15, '1'));
    EXPECT_EQ(text_at(c, 384, 64), "C-9");
    EXPECT_EQ(text_at(c, 452, 64), uuid64);
    EXPECT_EQ(text_at(c, 516, 64), std::string(64, 'f'));
    for (int32_t i = 580; i < 1112; ++i)
        ASSERT_EQ(c.in[i], 0) << i;
}

TEST_F(EntryTest, EditLogsAbsentOptionalMembersAndGoesOn) {
    Command cmd(R"({"command":1,"libuuid":"L","faceuuid":"F","sex":-1,"name":null})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(log.messages(), (std::vector<std::string>{
                                  "modeling == -1", "name == NULL", "sex == -1", "birthtime == NULL", "nation == -1",
                                  "place == -1", "certype == -1", "certnum == NULL", "file_type == -1",
                                  "file_name == NULL", "face_key == -1", "face_lib_key == -1"}));
    auto sent = calls("NetClient_FaceConfig");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].ch, 0);
    EXPECT_EQ(i32_at(sent[0], 352), 0);
    EXPECT_EQ(i32_at(sent[0], 448), 1);  // opttype defaults to 1
}

TEST_F(EntryTest, EditOutcomes) {
    // The device already holds the face: done.
    answer_face(0, -1, 5, 20);
    Command repeat(R"({"command":1,"libuuid":"L","faceuuid":"F","ch":3})");
    EXPECT_EQ(set(repeat), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(repeat.reply(), R"({"errno":0})");
    EXPECT_TRUE(log.contains(" NetClient_FaceConfig FACE_CMD_EDIT faceuuid Repeat, face_ret = -1, result = 5, "
                             "host_id:dev-0001, ch:3, faceuuid:F, libuuid:L"));

    answer_face(0, 0, 5, 9);
    Command refused(R"({"command":1,"libuuid":"L","faceuuid":"F"})");
    EXPECT_EQ(set(refused), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(refused.reply(), R"({"errno":-1})");
    EXPECT_TRUE(log.contains(" NetClient_FaceConfig FACE_CMD_EDIT FALSE, face_ret = 0, result = 5, "
                             "host_id:dev-0001, ch:0, faceuuid:F, libuuid:L pro:9"));
    EXPECT_TRUE(log.contains("!face_edit_info hostid:dev-0001"));

    for (const char *text : {R"({"command":1,"faceuuid":"F"})", R"({"command":1,"libuuid":"L"})",
                             R"({"command":1,"libuuid":"L","faceuuid":"F","opttype":-1})"}) {
        sdk_sim_reset();
        Command bad(text);
        EXPECT_EQ(set(bad), 0) << text;
        EXPECT_EQ(err, CMD_ZEL_EINVAL) << text;
        EXPECT_EQ(bad.reply(), R"({"errno":-1})") << text;
        EXPECT_EQ(sdk_sim_call_count(), 0) << text;
    }
}

TEST_F(EntryTest, DeleteSendsKeyRecordPaddedToFaceLength) {
    Command cmd(R"({"command":4,"ch":1,"face_lib_key":3,"face_key":-1,"faceuuid":"F-2"})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(log.messages(), (std::vector<std::string>{
                                  "libuuid == NULL", "face_set_del_face_pic faceuuid:F-2,libuuid:,libkey:3,facekey:-1"}));
    auto sent = calls("NetClient_FaceConfig");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].cmd, 1);
    EXPECT_EQ(sent[0].ch, 1);
    ASSERT_EQ(sent[0].in_len, 1112);
    EXPECT_EQ(i32_at(sent[0], 0), 144);
    EXPECT_EQ(i32_at(sent[0], 4), 1);
    EXPECT_EQ(i32_at(sent[0], 8), 3);
    EXPECT_EQ(i32_at(sent[0], 12), 0);
    EXPECT_EQ(text_at(sent[0], 16, 64), "");
    EXPECT_EQ(text_at(sent[0], 80, 64), "F-2");
    for (int32_t i = 144; i < 1112; ++i)
        ASSERT_EQ(sent[0].in[i], 0) << i;

    Command negative(R"({"command":4,"ch":-2})");
    EXPECT_EQ(set(negative), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(log.messages(), std::vector<std::string>{"ch == -1"});
}

TEST_F(EntryTest, SuspendedEditWaitsForTheDeviceAndResumes) {
    vca.channel = &host.channel(2);
    vca.answer_at = 3;
    Command cmd(R"({"command":23,"host_info":{"is_suspend_vca":1,"ch":2},"face_info":)" + kFace + "}");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({"errno":0})");
    EXPECT_EQ(vca.sleeps, 3);
    EXPECT_EQ(host.channel(2).get<int32_t>(test::channel_offset::kVcaEnableReply), -1);
    EXPECT_EQ(switches(), (std::vector<std::pair<int32_t, int32_t>>{{2, 0}, {2, 1}}));
    // The edit happens between the two switches.
    sdk_sim_call middle{};
    ASSERT_EQ(sdk_sim_get_call(1, &middle), 1);
    EXPECT_STREQ(middle.function, "NetClient_FaceConfig");
    EXPECT_EQ(text_at(middle, 288, 64), "Ann");
}

// The answer arrives from another thread while the command polls, as the
// platform's event thread delivers it.
std::atomic<bool> g_answered{false};
void wait_for_answer(void *, int32_t) {
    for (int i = 0; i < 2000 && !g_answered.load(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST_F(EntryTest, SuspensionAnswerFromAnotherThread) {
    g_answered = false;
    os_support_set_sleep_hook(&wait_for_answer, nullptr);
    void *word = static_cast<char *>(host.channel(6).data()) + test::channel_offset::kVcaEnableReply;
    std::thread platform([word] {
        while (sdk_sim_call_count() == 0)
            std::this_thread::yield();
        __atomic_store_n(static_cast<int32_t *>(word), 1, __ATOMIC_RELEASE);
        g_answered = true;
    });
    Command cmd(R"({"command":24,"host_info":{"is_suspend_vca":1,"ch":6},"face_info":{"faceuuid":"F"}})");
    EXPECT_EQ(set(cmd), 1);
    platform.join();
    EXPECT_EQ(__atomic_load_n(static_cast<int32_t *>(word), __ATOMIC_ACQUIRE), -1);
    EXPECT_EQ(switches().size(), 2u);
}

TEST_F(EntryTest, RefusedSuspensionSkipsTheEditButResumes) {
    vca.channel = &host.channel(2);
    vca.answer_at = 1;
    vca.value = 0;
    Command cmd(R"({"command":23,"host_info":{"is_suspend_vca":1,"ch":2},"face_info":)" + kFace + "}");
    EXPECT_EQ(set(cmd), 0);
    EXPECT_EQ(cmd.reply(), R"({"errno":-1})");
    EXPECT_EQ(calls("NetClient_FaceConfig").size(), 0u);
    EXPECT_EQ(switches(), (std::vector<std::pair<int32_t, int32_t>>{{2, 0}, {2, 1}}));
    EXPECT_EQ(host.channel(2).get<int32_t>(test::channel_offset::kVcaEnableReply), -1);
    EXPECT_TRUE(log.contains("NetClient_VCASetConfig() error:no permission,host_id:dev-0001,ch:2,enable:0"));
    EXPECT_TRUE(log.contains("set_host_vca_enable failed, host_id:dev-0001, enable:0"));
}

TEST_F(EntryTest, SuspensionWithoutAnswerGivesUpAfterASecond) {
    // A record of another kind for the same channel is never read.
    host.channel(4).put<uint32_t>(test::channel_offset::kChannelKind, 1);
    host.channel(4).put<int32_t>(test::channel_offset::kVcaEnableReply, 0);
    Command cmd(R"({"command":24,"host_info":{"is_suspend_vca":1,"ch":4},"face_info":{"ch":4,"faceuuid":"F"}})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(vca.sleeps, 100);
    EXPECT_EQ(calls("NetClient_FaceConfig").size(), 1u);
    EXPECT_EQ(switches(), (std::vector<std::pair<int32_t, int32_t>>{{4, 0}, {4, 1}}));
}

TEST_F(EntryTest, SuspendedDeleteResumesAfterFailures) {
    // The device refuses the delete, then refuses switching analysis on.
    vca.channel = &host.channel(0);
    vca.answer_at = 1;
    answer_face(1, 0, 3);
    sdk_sim_push_answer("NetClient_SetDevConfig", 32, 0, 0, nullptr, 0);
    sdk_sim_push_answer("NetClient_SetDevConfig", 32, -1, 0, nullptr, 0);
    Command cmd(R"({"command":24,"host_info":{"is_suspend_vca":1},"face_info":{"libuuid":"L"}})");
    EXPECT_EQ(set(cmd), 0);
    EXPECT_EQ(cmd.opit.out_buf, nullptr);
    EXPECT_TRUE(log.contains("!face_set_del_face_pic hostid:dev-0001"));
    EXPECT_TRUE(log.contains("NetClient_VCASetConfig failed,host_id:dev-0001,ch:0,enable:1"));
    EXPECT_TRUE(log.contains("set_host_vca_enable failed, host_id:dev-0001, enable:1"));
    EXPECT_EQ(switches().size(), 2u);
}

TEST_F(EntryTest, SuspendedChangeNeedsBothObjects) {
    struct Case {
        std::string text;
        const char *message;
    };
    const Case cases[] = {
        {R"({"command":23,"face_info":{}})", "is_error(jso_host)"},
        {R"({"command":23,"host_info":[{"ch":1}],"face_info":{}})", "is_error(jso_host)"},
        {R"({"command":23,"host_info":{},"face_info":"F"})", "is_error(jso_face)"},
        {R"({"command":24,"host_info":{},"face_info":[]})", "is_error(jso_face)"},
    };
    for (const Case &c : cases) {
        Command cmd(c.text);
        EXPECT_EQ(set(cmd), 0) << c.text;
        EXPECT_EQ(err, CMD_ZEL_EINVAL) << c.text;
        EXPECT_EQ(log.messages(), std::vector<std::string>{c.message}) << c.text;
        EXPECT_EQ(cmd.reply(), c.text.find("\"command\":23") != std::string::npos ? R"({"errno":-1})" : "");
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);

    // Without suspension the analysis is left alone.
    Command plain(R"({"command":23,"host_info":{"ch":1},"face_info":)" + kFace + "}");
    EXPECT_EQ(set(plain), 1);
    EXPECT_EQ(switches().size(), 0u);
    EXPECT_EQ(vca.sleeps, 0);
}

}  // namespace
