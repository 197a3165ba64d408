// Playing the platform for the video-analysis commands: runs commands, reads
// back what the simulated device received, and drives the library's polls
// through the sleep hook.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "device_sdk_sim.h"
#include "os_support_control.h"
#include "platform_fixture.h"

namespace vca_test {

using test::Command;
using Lines = std::vector<std::string>;

// A device record built word by word.
struct Bytes {
    explicit Bytes(size_t size, uint8_t fill = 0) : data(size, fill) {}
    Bytes &put(size_t offset, int32_t value) {
        std::memcpy(data.data() + offset, &value, sizeof value);
        return *this;
    }
    std::vector<uint8_t> data;
};

inline int32_t word_at(const uint8_t *bytes, size_t offset) {
    int32_t value;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
}

inline std::vector<uint8_t> input(const sdk_sim_call &call) { return {call.in, call.in + call.in_len}; }

class VcaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::init_library_once();
        sdk_sim_reset();
        os_support_set_sleep_hook(&VcaTest::on_sleep, this);
    }
    void TearDown() override { os_support_set_sleep_hook(nullptr, nullptr); }

    int32_t run(int32_t (*entry)(void *, void *, int32_t), Command &cmd) {
        log.clear();
        errno = test::kSentinelErrno;
        int32_t result = entry(host.data(), &cmd.opit, sizeof cmd.opit);
        err = errno;
        return result;
    }
    int32_t set(Command &cmd) { return run(cmd_common_set_config, cmd); }
    int32_t get(Command &cmd) { return run(cmd_common_get_config, cmd); }

    std::vector<sdk_sim_call> calls() const {
        std::vector<sdk_sim_call> out(static_cast<size_t>(sdk_sim_call_count()));
        for (size_t i = 0; i < out.size(); ++i)
            sdk_sim_get_call(static_cast<int32_t>(i), &out[i]);
        return out;
    }
    sdk_sim_call only_call() const {
        auto all = calls();
        EXPECT_EQ(all.size(), 1u);
        return all.empty() ? sdk_sim_call{} : all.front();
    }
    static void answer(const char *function, int32_t cmd, const Bytes &bytes) {
        sdk_sim_set_answer(function, cmd, 0, 0, bytes.data.data(), static_cast<int32_t>(bytes.data.size()));
    }
    static void fail(const char *function, int32_t cmd, int32_t result, int32_t last_error = 0) {
        sdk_sim_set_answer(function, cmd, result, last_error, nullptr, 0);
    }

    // Called on every os_sleep of the library with the number of sleeps so far.
    std::function<void(int32_t)> on_poll;
    int32_t sleeps = 0;

    test::Host host;
    test::LogCapture log;
    int err = 0;

  private:
    static void on_sleep(void *ctx, int32_t) {
        auto *self = static_cast<VcaTest *>(ctx);
        ++self->sleeps;
        if (self->on_poll)
            self->on_poll(self->sleeps);
    }
};

}  // namespace vca_test
