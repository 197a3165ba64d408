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

class EntryTest : public FaceTest {
  protected:
    // The analysis switches sent, as (channel, enable) pairs.
    static Switches switches() {
        Switches out;
        for (const sdk_sim_call &c : calls("NetClient_SetDevConfig"))
            out.emplace_back(c.cmd == 32 ? c.ch : -100, word_at(c.in, 0));
        return out;
    }
    // Plays the platform's event thread: at poll `at` the device's answer
    // lands in the channel record of `slot`.
    void answer_switch_at(int at, size_t slot, int32_t value) {
        on_poll = [this, at, slot, value](int32_t n) {
            if (n == at)
                host.channel(slot).put<int32_t>(test::channel_offset::kVcaEnableReply, value);
        };
    }
};

const std::string kFace = R"({"libuuid":"L-1","faceuuid":"F-1","ch":2,"name":"Ann"})";

TEST_F(EntryTest, EditSendsFaceRecordWithCutTextsAndLogsAbsentMembers) {
    Command cmd(R"({"command":1,"ch":5,"opttype":2,"libuuid":")" + std::string(64, 'u') + R"(","faceuuid":")" +
                std::string(70, 'f') + R"(","name":")" + std::string(80, 'n') + R"(","birthtime":")" +
                std::string(20, '1') + R"(","file_name":")" + std::string(300, 'p') +
                R"(","certnum":"C-9","modeling":1,"sex":2,"nation":3,"place":4,"certype":5,"file_type":6,)"
                R"("face_key":7,"face_lib_key":8})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(cmd.reply(), R"({"errno":0})");
    sdk_sim_call c = only_call("NetClient_FaceConfig");
    EXPECT_EQ(std::tuple(c.cmd, c.ch, c.args[1]), std::tuple(0, 5, 152));
    // Uuids may fill their whole field; other texts keep a terminator.
    Bytes want(1112);
    want.put(0, 1112).put(4, 5).text(8, std::string(259, 'p')).put(268, 8).put(272, 7).put(280, 6).put(284, 1);
    want.text(288, std::string(63, 'n')).put(352, 2).text(356, std::string(15, '1')).put(372, 3).put(376, 4);
    want.put(380, 5).text(384, "C-9").put(448, 2).text(452, std::string(64, 'u')).text(516, std::string(64, 'f'));
    EXPECT_EQ(input(c), want.data);

    Command sparse(R"({"command":1,"libuuid":"L","faceuuid":"F","sex":-1,"name":null})");
    EXPECT_EQ(set(sparse), 1);
    EXPECT_EQ(log.messages(), (Lines{"modeling == -1", "name == NULL", "sex == -1", "birthtime == NULL", "nation == -1",
                                     "place == -1", "certype == -1", "certnum == NULL", "file_type == -1",
                                     "file_name == NULL", "face_key == -1", "face_lib_key == -1"}));
    EXPECT_EQ(input(calls("NetClient_FaceConfig")[1]),
              Bytes(1112).put(0, 1112).put(448, 1).text(452, "L").text(516, "F").data);
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
    EXPECT_EQ(log.messages(),
              (Lines{"libuuid == NULL", "face_set_del_face_pic faceuuid:" + uuid + ",libuuid:,libkey:3,facekey:-1"}));
    sdk_sim_call c = only_call("NetClient_FaceConfig");
    EXPECT_EQ(std::tuple(c.cmd, c.ch), std::tuple(1, 1));
    EXPECT_EQ(input(c), Bytes(1112).put(0, 144).put(4, 1).put(8, 3).text(80, uuid).data);
}

TEST_F(EntryTest, SuspendedEditRunsOnlyWhenTheDeviceAccepts) {
    // (answer, at which poll) -> result, edits sent, reply
    for (auto [answer, at, result, edits, reply] :
         {std::tuple{1, 3, 1, 1u, R"({"errno":0})"}, std::tuple{0, 1, 0, 0u, R"({"errno":-1})"}}) {
        sdk_sim_reset();
        sleeps = 0;
        answer_switch_at(at, 2, answer);
        Command cmd(R"({"command":23,"host_info":{"is_suspend_vca":1,"ch":2},"face_info":)" + kFace + "}");
        EXPECT_EQ(set(cmd), result) << answer;
        EXPECT_EQ(cmd.reply(), reply);
        EXPECT_EQ(sleeps, at);
        EXPECT_EQ(host.channel(2).get<int32_t>(test::channel_offset::kVcaEnableReply), -1);  // answer consumed
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
    // wait gives up after 100 polls and the delete goes ahead; the device
    // refuses it, and the analysis is switched on again all the same.
    host.channel(4).put<uint32_t>(test::channel_offset::kChannelKind, 1);
    host.channel(4).put<int32_t>(test::channel_offset::kVcaEnableReply, 0);
    answer_face(1, 0, 3);
    Command quiet(R"({"command":24,"host_info":{"is_suspend_vca":1,"ch":4},"face_info":{"ch":4,"faceuuid":"F"}})");
    EXPECT_EQ(set(quiet), 0);
    EXPECT_EQ(quiet.opit.out_buf, nullptr);
    EXPECT_EQ(sleeps, 100);
    EXPECT_TRUE(log.contains("!face_set_del_face_pic hostid:dev-0001"));
    EXPECT_EQ(calls("NetClient_FaceConfig").size(), 1u);
    EXPECT_EQ(switches(), (Switches{{4, 0}, {4, 1}}));
}

TEST_F(EntryTest, SuspensionAnswerFromAnotherThread) {
    // The platform's event thread answers while the command polls.
    static std::atomic<bool> answered{false};
    os_support_set_sleep_hook(
        [](void *, int32_t) {
            for (int i = 0; i < 2000 && !answered; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        },
        nullptr);
    auto *word = reinterpret_cast<int32_t *>(static_cast<char *>(host.channel(6).data()) +
                                             test::channel_offset::kVcaEnableReply);
    std::thread platform([word] {
        while (sdk_sim_call_count() == 0)
            std::this_thread::yield();
        __atomic_store_n(word, 1, __ATOMIC_RELEASE);
        answered = true;
    });
    Command cmd(R"({"command":24,"host_info":{"is_suspend_vca":1,"ch":6},"face_info":{"faceuuid":"F"}})");
    EXPECT_EQ(set(cmd), 1);
    platform.join();
    EXPECT_EQ(__atomic_load_n(word, __ATOMIC_ACQUIRE), -1);
    EXPECT_EQ(switches().size(), 2u);
}

TEST_F(EntryTest, RefusalsSendNothing) {
    const std::tuple<std::string, const char *, const char *> cases[] = {
        {R"({"command":23,"host_info":[{"ch":1}],"face_info":{}})", "is_error(jso_host)", R"({"errno":-1})"},
        {R"({"command":23,"host_info":{},"face_info":"F"})", "is_error(jso_face)", R"({"errno":-1})"},
        {R"({"command":24,"host_info":{},"face_info":[]})", "is_error(jso_face)", ""},
        {R"({"command":4,"ch":-2})", "ch == -1", ""},
        {R"({"command":1,"faceuuid":"F"})", "libuuid == NULL", R"({"errno":-1})"},
    };
    for (const auto &[text, message, reply] : cases) {
        Command cmd(text);
        EXPECT_EQ(set(cmd), 0) << text;
        EXPECT_EQ(err, CMD_ZEL_EINVAL) << text;
        EXPECT_EQ(log.messages().at(0), message) << text;
        EXPECT_EQ(cmd.reply(), reply) << text;
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);

    // Without suspension the analysis is left alone.
    Command plain(R"({"command":23,"host_info":{"ch":1},"face_info":)" + kFace + "}");
    EXPECT_EQ(set(plain), 1);
    EXPECT_EQ(switches().size(), 0u);
}

}  // namespace
