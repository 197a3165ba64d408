// Switches the device confirms later: algorithm enable bits read back until
// they show, and the analysis switch answered through the channel record.
#include <thread>

#include "vca_fixture.h"

namespace {

using namespace vca_test;
using SwitchTest = VcaTest;

constexpr size_t kHighWord = 40;
constexpr size_t kLowWord = 48;

// A device configuration with distinct filler bytes and the two enable words.
Bytes algorithms(uint32_t low, uint32_t high) {
    Bytes b(92);
    for (size_t i = 0; i < 92; ++i)
        b.data[i] = static_cast<uint8_t>(0xA0 + i);
    return b.put(kLowWord, static_cast<int32_t>(low)).put(kHighWord, static_cast<int32_t>(high));
}

std::string enable_cmd(int32_t type, int32_t enable) {
    return R"({"command":19,"channel":1,"devtype":3,"sceneno":2,"algorithm_type":)" + std::to_string(type) +
           R"(,"algorithm_enable":)" + std::to_string(enable) + "}";
}

TEST_F(SwitchTest, AlgorithmTypeChoosesWordAndBit) {
    const struct {
        int32_t type;
        size_t word;
        int32_t bit;
    } cases[] = {{0, kLowWord, 0},   {16, kLowWord, 16}, {17, kLowWord, 4},  {18, kLowWord, 5},  {28, kLowWord, 17},
                 {31, kLowWord, 31}, {32, kHighWord, 0}, {40, kHighWord, 8}, {63, kHighWord, 31}};
    for (const auto &c : cases) {
        for (int32_t enable : {1, 0}) {
            // The device starts in the opposite state and shows the change
            // from the third read-back on.
            sdk_sim_reset();
            const uint32_t before = enable ? 0u : 0xFFFFFFFFu, after = before ^ (1u << c.bit);
            auto config = [&](uint32_t value) {
                return algorithms(c.word == kLowWord ? value : 0x5A5A5A5A, c.word == kHighWord ? value : 0x5A5A5A5A);
            };
            answer("NetClient_GetDevConfig", 0x15, config(before));
            on_poll = [&](int32_t n) {
                if (n == 2)
                    answer("NetClient_GetDevConfig", 0x15, config(after));
            };
            sleeps = 0;
            Command cmd(enable_cmd(c.type, enable));
            EXPECT_EQ(set(cmd), 1) << c.type;
            EXPECT_EQ(err, test::kSentinelErrno);
            EXPECT_EQ(sleeps, 2) << c.type;
            auto all = calls();
            ASSERT_EQ(all.size(), 5u);
            EXPECT_EQ(word_at(all[0].in, 4), 2);   // scene
            EXPECT_EQ(word_at(all[0].in, 44), 3);  // device type
            EXPECT_STREQ(all[1].function, "NetClient_SetDevConfig");
            EXPECT_EQ(input(all[1]), config(after).data) << c.type << " enable " << enable;
        }
    }
}

TEST_F(SwitchTest, TypesWithoutABitCanOnlyBeDisabled) {
    Bytes config = algorithms(0x12345678, 0x9ABCDEF0);
    answer("NetClient_GetDevConfig", 0x15, config);
    Command off(enable_cmd(64, 0));
    EXPECT_EQ(set(off), 1);
    EXPECT_EQ(sleeps, 0);
    ASSERT_EQ(sdk_sim_call_count(), 3);
    EXPECT_EQ(input(calls()[1]), config.data);

    Command on(enable_cmd(100, 1));
    EXPECT_EQ(set(on), 0);
    EXPECT_EQ(err, CMD_ZEL_ENOTDONE);
    EXPECT_EQ(sleeps, 500);
    EXPECT_EQ(sdk_sim_call_count(), 3 + 2 + 500);
    EXPECT_EQ(log.messages(), Lines{"NetClient_SetDevConfig() failed"});
}

TEST_F(SwitchTest, AlgorithmEnableDeviceFailures) {
    sdk_sim_push_answer("NetClient_GetDevConfig", 0x15, -7, 0, nullptr, 0);
    Command read_failed(enable_cmd(1, 1));
    EXPECT_EQ(set(read_failed), 0);
    EXPECT_EQ(err, CMD_ZEL_ENOTDONE);
    EXPECT_EQ(log.messages(), Lines{"!NetClient_GetDevConfig err:-7"});

    fail("NetClient_SetDevConfig", 0x15, 5);
    Command write_failed(enable_cmd(1, 1));
    EXPECT_EQ(set(write_failed), 0);
    EXPECT_EQ(err, CMD_ZEL_ENOTDONE);
    EXPECT_EQ(log.messages(), Lines{"NetClient_SetDevConfig-failed, err = 5"});
}

class DevEnableTest : public VcaTest {
  protected:
    int32_t reply_word(size_t slot) { return host.channel(slot).get<int32_t>(test::channel_offset::kVcaEnableReply); }
    void answer_on(size_t slot, int32_t value) {
        host.channel(slot).put<int32_t>(test::channel_offset::kVcaEnableReply, value);
    }
};

TEST_F(DevEnableTest, RefusedSwitchAnswersNoPermission) {
    on_poll = [&](int32_t n) {
        if (n == 3)
            answer_on(5, 0);
    };
    Command cmd(R"({"command":20,"ch":5,"dev_type":1,"enable":0})");
    EXPECT_EQ(set(cmd), 0);
    EXPECT_EQ(err, CMD_ZEL_ENOPERMISSION);
    EXPECT_EQ(cmd.reply(), R"({"ret":16777236})");
    EXPECT_EQ(cmd.opit.result, 0);
    EXPECT_EQ(reply_word(5), -1);
    EXPECT_EQ(sleeps, 3);
    EXPECT_EQ(log.messages(), Lines{"NetClient_VCASetConfig() error:no permission,host_ip:10.1.2.3,ch:5,enable:0"});
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.cmd, 0x20);
    EXPECT_EQ(input(call), Bytes(8).put(0, 0).put(4, 1).data);
}

TEST_F(DevEnableTest, AcceptedSilentOrEnablingSwitchSucceeds) {
    answer_on(2, 1);
    Command accepted(R"({"command":20,"ch":2,"dev_type":1,"enable":0})");
    EXPECT_EQ(set(accepted), 1);
    EXPECT_EQ(accepted.opit.result, 1);
    EXPECT_EQ(accepted.opit.out_buf, nullptr);
    EXPECT_EQ(reply_word(2), -1);
    EXPECT_EQ(sleeps, 0);

    // A refusal on a record of another kind for the same channel is not taken.
    host.channel(4).put<uint32_t>(test::channel_offset::kChannelNo, 3);
    host.channel(4).put<uint32_t>(test::channel_offset::kChannelKind, 1);
    answer_on(4, 0);
    Command silent(R"({"command":20,"ch":3,"dev_type":1,"enable":0})");
    EXPECT_EQ(set(silent), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(sleeps, 100);
    EXPECT_EQ(reply_word(4), 0);

    sleeps = 0;
    Command enabling(R"({"command":20,"ch":5,"dev_type":1,"enable":1})");
    EXPECT_EQ(set(enabling), 1);
    EXPECT_EQ(sleeps, 0);
}

// The platform's event thread writes the answer while the command polls;
// whenever it lands, the command succeeds (accepted or no answer in time).
// Run under the thread sanitizer this checks the word is shared safely.
TEST_F(DevEnableTest, AnswerWrittenByAnotherThreadIsSeen) {
    on_poll = [](int32_t) { std::this_thread::yield(); };
    auto *word = reinterpret_cast<int32_t *>(static_cast<char *>(host.channel(6).data()) +
                                             test::channel_offset::kVcaEnableReply);
    __atomic_store_n(word, -1, __ATOMIC_RELEASE);
    std::thread platform([word] { __atomic_store_n(word, 1, __ATOMIC_RELEASE); });
    Command cmd(R"({"command":20,"ch":6,"dev_type":1,"enable":0})");
    EXPECT_EQ(set(cmd), 1);
    platform.join();
}

TEST_F(DevEnableTest, FailuresBeforeTheWait) {
    sdk_sim_push_answer("NetClient_SetDevConfig", 0x20, 3, 0, nullptr, 0);
    Command failed(R"({"command":20,"ch":5,"dev_type":1,"enable":0})");
    EXPECT_EQ(set(failed), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(failed.opit.out_buf, nullptr);
    EXPECT_EQ(log.messages(), Lines{"NetClient_VCASetConfig() failed,host_id:dev-0001,ch:5,enable:0"});

    host.put<int32_t>(test::host_offset::kChannelCount, 641);
    Command too_many(failed.text);
    EXPECT_EQ(set(too_many), 0);
    EXPECT_EQ(log.messages(), Lines{"channel_count is too big!"});
    EXPECT_EQ(sleeps, 0);

    sdk_sim_reset();
    Command refused(R"({"command":20,"ch":1,"dev_type":1,"enable":"0"})");
    EXPECT_EQ(set(refused), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(log.messages(), Lines{"enable == -1"});
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

}  // namespace
