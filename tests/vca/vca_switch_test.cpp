// Switches the device confirms later: algorithm enable bits read back until
// they show, and the analysis switch answered through the channel record.
#include <thread>

#include "vca_fixture.h"

namespace {

using namespace vca_test;
using SwitchTest = VcaTest;

// A device configuration: the two enable words in bytes the device keeps.
Bytes algorithms(uint32_t low, uint32_t high) {
    return Bytes(sizeof(AlgorithmEnableConfig), 0xA7)
        .put(offsetof(AlgorithmEnableConfig, enable_low), static_cast<int32_t>(low))
        .put(offsetof(AlgorithmEnableConfig, enable_high), static_cast<int32_t>(high));
}

std::string enable_cmd(int32_t type, int32_t enable) {
    return R"({"command":19,"channel":1,"devtype":3,"sceneno":2,"algorithm_type":)" + std::to_string(type) +
           R"(,"algorithm_enable":)" + std::to_string(enable) + "}";
}

TEST_F(SwitchTest, AlgorithmTypeChoosesWordAndBitAndIsConfirmed) {
    // Types of 64 and more have no bit: disabling one writes the record back
    // unchanged and is confirmed at once.
    const struct {
        int32_t type, enable;
        bool high;
        int32_t bit;
    } cases[] = {{0, 1, false, 0},   {16, 0, false, 16}, {17, 1, false, 4}, {18, 0, false, 5},
                 {28, 1, false, 17}, {31, 0, false, 31}, {32, 1, true, 0},  {40, 0, true, 8},
                 {63, 1, true, 31},  {63, 0, true, 31},  {64, 0, false, -1}};
    for (const auto &c : cases) {
        // The device starts in the opposite state and shows the change from
        // the second read-back on.
        sdk_sim_reset();
        const uint32_t before = c.enable ? 0u : ~0u, after = c.bit < 0 ? before : before ^ (1u << c.bit);
        auto config = [&](uint32_t word) { return c.high ? algorithms(~0u, word) : algorithms(word, ~0u); };
        answer_once("NetClient_GetDevConfig", 0x15, config(before));
        answer_once("NetClient_GetDevConfig", 0x15, config(before));
        answer("NetClient_GetDevConfig", 0x15, config(after));
        sleeps = 0;
        request(enable_cmd(c.type, c.enable));
        EXPECT_EQ(sleeps, c.bit < 0 ? 0 : 1) << c.type;
        EXPECT_EQ(input(calls()[0]), image(AlgorithmEnableConfig{.scene_no = 2, .dev_type = 3}).data);
        EXPECT_EQ(input(calls()[1]), config(after).data) << c.type << " enable " << c.enable;
    }

    // A bit that never shows is waited for 500 times; device failures end at once.
    const struct {
        const char *function;
        int32_t type, result, sleeps;
        const char *message;
    } failures[] = {
        {nullptr, 100, 0, 500, "NetClient_SetDevConfig() failed"},
        {"NetClient_SetDevConfig", 1, 5, 0, "NetClient_SetDevConfig-failed, err = 5"},
        {"NetClient_GetDevConfig", 1, -7, 0, "!NetClient_GetDevConfig err:-7"},
    };
    for (const auto &f : failures) {
        sleeps = 0;
        if (f.function != nullptr)
            fail(f.function, 0x15, f.result);
        failed(enable_cmd(f.type, 1), {f.message}, CMD_ZEL_ENOTDONE);
        EXPECT_EQ(sleeps, f.sleeps);
    }
}

class DevEnableTest : public VcaTest {
  protected:
    // The answer word of the channel record in `slot`, where the platform
    // leaves the device's answer.
    int32_t &answer_word(size_t slot) {
        return *reinterpret_cast<int32_t *>(static_cast<char *>(host.channel(slot).data()) +
                                            test::channel_offset::kVcaEnableReply);
    }
};

TEST_F(DevEnableTest, SwitchingOffWaitsForThePlatformsAnswer) {
    // Channel 5's answer arrives at the third poll. The record in slot 4 is
    // of another kind: its refusal for channel 3 is never taken.
    host.channel(4).put<uint32_t>(test::channel_offset::kChannelNo, 3);
    host.channel(4).put<uint32_t>(test::channel_offset::kChannelKind, 1);
    answer_word(4) = 0;
    const char *no_permission = "NetClient_VCASetConfig() error:no permission,host_ip:10.1.2.3,ch:5,enable:0";
    const struct {
        int32_t ch, answer, result, error, sleeps;
        const char *reply;
        Lines log;
    } cases[] = {
        {5, 0, 0, CMD_ZEL_ENOPERMISSION, 3, R"({"ret":16777236})", {no_permission}},
        {5, 1, 1, test::kSentinelErrno, 3, "", {}},
        {3, 0, 1, test::kSentinelErrno, 100, "", {}},
    };
    for (const auto &c : cases) {
        sdk_sim_reset();
        sleeps = 0;
        on_poll = [&](int32_t n) {
            if (n == 3 && c.ch == 5)
                answer_word(5) = c.answer;
        };
        Command cmd(R"({"command":20,"ch":)" + std::to_string(c.ch) + R"(,"dev_type":1,"enable":0})");
        EXPECT_EQ(set(cmd), c.result) << c.answer;
        EXPECT_EQ(cmd.opit.result, c.result);
        EXPECT_EQ(err, c.error);
        EXPECT_EQ(cmd.reply(), c.reply);
        EXPECT_EQ(sleeps, c.sleeps);
        EXPECT_EQ(log.messages(), c.log);
        EXPECT_EQ(answer_word(5), -1);  // an answer is consumed
        EXPECT_EQ(only_call().cmd, 0x20);
        EXPECT_EQ(input(only_call()), image(VcaDevEnableConfig{0, 1}).data);
    }
    EXPECT_EQ(answer_word(4), 0);

    sleeps = 0;  // switching on does not wait
    request(R"({"command":20,"ch":5,"dev_type":1,"enable":1})");
    EXPECT_EQ(sleeps, 0);

    // The platform's event thread answers while the command polls; under the
    // thread sanitizer this checks that the word is shared safely.
    on_poll = [](int32_t) { std::this_thread::yield(); };
    std::thread platform([word = &answer_word(6)] { __atomic_store_n(word, 1, __ATOMIC_RELEASE); });
    request(R"({"command":20,"ch":6,"dev_type":1,"enable":0})");
    platform.join();
}

TEST_F(DevEnableTest, FailuresBeforeTheWait) {
    refused(R"({"command":20,"ch":1,"dev_type":1,"enable":"0"})", {"enable == -1"});

    const std::string off = R"({"command":20,"ch":5,"dev_type":1,"enable":0})";
    sdk_sim_push_answer("NetClient_SetDevConfig", 0x20, 3, 0, nullptr, 0);
    EXPECT_EQ(failed(off, {"NetClient_VCASetConfig() failed,host_id:dev-0001,ch:5,enable:0"}, test::kSentinelErrno),
              "");

    host.put<int32_t>(test::host_offset::kChannelCount, 641);
    EXPECT_EQ(failed(off, {"channel_count is too big!"}, test::kSentinelErrno), "");
    EXPECT_EQ(sleeps, 0);
}

}  // namespace
