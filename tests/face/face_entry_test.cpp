// Face records: add or change, delete, and both with the channel's analysis
// suspended around the change.
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "face_fixture.h"
#include "os_support_control.h"

namespace {

using namespace face_test;
using Switches = std::vector<std::pair<int32_t, int32_t>>;

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
    static Switches switches() {
        Switches out;
        for (const sdk_sim_call &c : calls("NetClient_SetDevConfig"))
            out.emplace_back(c.cmd == 32 ? c.ch : -100, i32_at(c, 0));
        return out;
    }
    int32_t vca_reply(size_t slot) { return host.channel(slot).get<int32_t>(test::channel_offset::kVcaEnableReply); }

    VcaAnswer vca;
};

const std::string kFace = R"({"libuuid":"L-1","faceuuid":"F-1","ch":2,"name":"Ann"})";

TEST_F(EntryTest, EditSendsFaceRecordWithCutTexts) {
    Command cmd(R"({"command":1,"ch":5,"opttype":2,"libuuid":")" + std::string(64, 'u') + R"(","faceuuid":")" +
                std::string(70, 'f') + R"(","name":")" + std::string(80, 'n') + R"(","birthtime":")" +
                std::string(20, '1') + R"(","file_name":")" + std::string(300, 'p') +
                R"(","certnum":"C-9","modeling":1,"sex":2,"nation":3,"place":4,"certype":5,"file_type":6,)"
                R"("face_key":7,"face_lib_key":8})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(cmd.reply(), R"({"errno":0})");
    sdk_sim_call c = only_call("NetClient_FaceConfig");
    EXPECT_EQ(c.cmd, 0);
    EXPECT_EQ(c.ch, 5);
    EXPECT_EQ(c.args[1], 152);
    // Uuids may fill their whole field; other texts keep a terminator.
    EXPECT_EQ(first_difference(c, Image(1112)
                                      .i32(0, 1112)
                                      .i32(4, 5)
                                      .text(8, std::string(259, 'p'))
                                      .i32(268, 8)
                                      .i32(272, 7)
                                      .i32(280, 6)
                                      .i32(284, 1)
                                      .text(288, std::string(63, 'n'))
                                      .i32(352, 2)
                                      .text(356, std::string(15, '1'))
                                      .i32(372, 3)
                                      .i32(376, 4)
                                      .i32(380, 5)
                                      .text(384, "C-9")
                                      .i32(448, 2)
                                      .text(452, std::string(64, 'u'))
                                      .text(516, std::string(64, 'f'))),
              -1);

    Command sparse(R"({"command":1,"libuuid":"L","faceuuid":"F","sex":-1,"name":null})");
    EXPECT_EQ(set(sparse), 1);
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"modeling == -1", "name == NULL", "sex == -1",
                                                        "birthtime == NULL", "nation == -1", "place == -1",
                                                        "certype == -1", "certnum == NULL", "file_type == -1",
                                                        "file_name == NULL", "face_key == -1", "face_lib_key == -1"}));
    EXPECT_EQ(first_difference(calls("NetClient_FaceConfig")[1],
                               Image(1112).i32(0, 1112).i32(448, 1).text(452, "L").text(516, "F")),
              -1);
}

TEST_F(EntryTest, EditOutcomes) {
    answer_face(0, -1, 5, 20);  // the device already holds this face
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
}

TEST_F(EntryTest, DeleteSendsKeyRecordPaddedToFaceLength) {
    const std::string uuid(64, 'f');  // fills its field
    Command cmd(R"({"command":4,"ch":1,"face_lib_key":3,"face_key":-1,"faceuuid":")" + uuid + R"("})");
    EXPECT_EQ(set(cmd), 1);
    const std::vector<std::string> lines{"libuuid == NULL",
                                         "face_set_del_face_pic faceuuid:" + uuid + ",libuuid:,libkey:3,facekey:-1"};
    EXPECT_EQ(log.messages(), lines);
    sdk_sim_call c = only_call("NetClient_FaceConfig");
    EXPECT_EQ(c.cmd, 1);
    EXPECT_EQ(c.ch, 1);
    EXPECT_EQ(first_difference(c, Image(1112).i32(0, 144).i32(4, 1).i32(8, 3).text(80, uuid)), -1);

    Command negative(R"({"command":4,"ch":-2})");
    EXPECT_EQ(set(negative), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(log.messages(), std::vector<std::string>{"ch == -1"});
}

TEST_F(EntryTest, SuspendedEditRunsOnlyWhenTheDeviceAccepts) {
    // (answer, at which sleep) -> result, edits sent, reply
    for (auto [answer, at, result, edits, reply] :
         {std::tuple{1, 3, 1, 1u, R"({"errno":0})"}, std::tuple{0, 1, 0, 0u, R"({"errno":-1})"}}) {
        sdk_sim_reset();
        vca = VcaAnswer{&host.channel(2), at, answer};
        Command cmd(R"({"command":23,"host_info":{"is_suspend_vca":1,"ch":2},"face_info":)" + kFace + "}");
        EXPECT_EQ(set(cmd), result) << answer;
        EXPECT_EQ(cmd.reply(), reply);
        EXPECT_EQ(vca.sleeps, at);
        EXPECT_EQ(vca_reply(2), -1);  // the answer is consumed
        EXPECT_EQ(calls("NetClient_FaceConfig").size(), edits);
        EXPECT_EQ(switches(), (Switches{{2, 0}, {2, 1}}));  // switched on again in both cases
        sdk_sim_call second{};                              // an edit comes between the two switches
        sdk_sim_get_call(1, &second);
        EXPECT_STREQ(second.function, edits != 0 ? "NetClient_FaceConfig" : "NetClient_SetDevConfig");
    }
    EXPECT_TRUE(log.contains("NetClient_VCASetConfig() error:no permission,host_id:dev-0001,ch:2,enable:0"));
    EXPECT_TRUE(log.contains("set_host_vca_enable failed, host_id:dev-0001, enable:0"));
}

TEST_F(EntryTest, SuspendedDeleteWithoutAnswerStillResumes) {
    // A record of another kind for the channel is never read: no answer, the
    // wait gives up after 100 passes and the delete goes ahead; the device
    // refuses it, and the analysis is switched on again all the same.
    host.channel(4).put<uint32_t>(test::channel_offset::kChannelKind, 1);
    host.channel(4).put<int32_t>(test::channel_offset::kVcaEnableReply, 0);
    answer_face(1, 0, 3);
    Command quiet(R"({"command":24,"host_info":{"is_suspend_vca":1,"ch":4},"face_info":{"ch":4,"faceuuid":"F"}})");
    EXPECT_EQ(set(quiet), 0);
    EXPECT_EQ(quiet.opit.out_buf, nullptr);
    EXPECT_EQ(vca.sleeps, 100);
    EXPECT_TRUE(log.contains("!face_set_del_face_pic hostid:dev-0001"));
    EXPECT_EQ(calls("NetClient_FaceConfig").size(), 1u);
    EXPECT_EQ(switches(), (Switches{{4, 0}, {4, 1}}));
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

TEST_F(EntryTest, SuspendedChangeNeedsBothObjects) {
    const std::pair<std::string, const char *> cases[] = {
        {R"({"command":23,"host_info":[{"ch":1}],"face_info":{}})", "is_error(jso_host)"},
        {R"({"command":23,"host_info":{},"face_info":"F"})", "is_error(jso_face)"},
        {R"({"command":24,"host_info":{},"face_info":[]})", "is_error(jso_face)"},
    };
    for (const auto &[text, message] : cases) {
        Command cmd(text);
        EXPECT_EQ(set(cmd), 0) << text;
        EXPECT_EQ(err, CMD_ZEL_EINVAL) << text;
        EXPECT_EQ(log.messages(), std::vector<std::string>{message}) << text;
        EXPECT_EQ(cmd.reply(), text.find("\"command\":23") != std::string::npos ? R"({"errno":-1})" : "");
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);

    // Without suspension the analysis is left alone.
    Command plain(R"({"command":23,"host_info":{"ch":1},"face_info":)" + kFace + "}");
    EXPECT_EQ(set(plain), 1);
    EXPECT_EQ(switches().size(), 0u);
}

}  // namespace
