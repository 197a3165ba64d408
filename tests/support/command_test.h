// Playing the platform for command tests: runs set and get commands on a
// host record, reads back what the simulated device received, programs its
// answers, and drives the library's polls through the sleep hook.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "device_sdk_sim.h"
#include "os_support_control.h"
#include "platform_fixture.h"

namespace test {

using Lines = std::vector<std::string>;

// A device record built field by field: zeros except what is put.
struct Bytes {
    explicit Bytes(size_t size, uint8_t fill = 0) : data(size, fill) {}
    Bytes &put(size_t offset, int32_t value) { return raw(offset, &value, sizeof value); }
    Bytes &text(size_t offset, const std::string &t) { return raw(offset, t.data(), t.size()); }
    Bytes &raw(size_t offset, const void *from, size_t len) {
        std::memcpy(data.data() + offset, from, len);
        return *this;
    }
    std::vector<uint8_t> data;
};

inline int32_t word_at(const uint8_t *bytes, size_t offset) {
    int32_t value;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
}
inline std::string text_at(const uint8_t *bytes, size_t offset, size_t width) {
    const char *start = reinterpret_cast<const char *>(bytes + offset);
    return {start, strnlen(start, width)};
}
inline std::vector<uint8_t> input(const sdk_sim_call &call) { return {call.in, call.in + call.in_len}; }

class CommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        init_library_once();
        sdk_sim_reset();
        os_support_set_sleep_hook(&CommandTest::on_sleep, this);
    }
    void TearDown() override { os_support_set_sleep_hook(nullptr, nullptr); }

    // One command on `host`, errno preset to the sentinel; `err` is errno
    // afterwards and `log` holds the lines of this command only.
    int32_t run(int32_t (*entry)(void *, void *, int32_t), Command &cmd) {
        log.clear();
        errno = kSentinelErrno;
        int32_t result = entry(host.data(), &cmd.opit, sizeof cmd.opit);
        err = errno;
        return result;
    }
    int32_t set(Command &cmd) { return run(cmd_common_set_config, cmd); }
    int32_t get(Command &cmd) { return run(cmd_common_get_config, cmd); }

    // The requests the device received since the reset, oldest first; with
    // a function name only that function's.
    static std::vector<sdk_sim_call> calls(const std::string &function = "") {
        std::vector<sdk_sim_call> out;
        for (int32_t i = 0; i < sdk_sim_call_count(); ++i) {
            sdk_sim_call call{};
            sdk_sim_get_call(i, &call);
            if (function.empty() || function == call.function)
                out.push_back(call);
        }
        return out;
    }
    static sdk_sim_call only_call(const std::string &function = "") {
        auto all = calls(function);
        EXPECT_EQ(all.size(), 1u) << function;
        return all.empty() ? sdk_sim_call{} : all.front();
    }

    // Standing answers (until the next reset) and one-time answers.
    static void answer(const char *function, int32_t cmd, const Bytes &bytes, int32_t result = 0) {
        sdk_sim_set_answer(function, cmd, result, 0, bytes.data.data(), static_cast<int32_t>(bytes.data.size()));
    }
    static void answer_once(const char *function, int32_t cmd, const Bytes &bytes, int32_t result = 0) {
        sdk_sim_push_answer(function, cmd, result, 0, bytes.data.data(), static_cast<int32_t>(bytes.data.size()));
    }
    static void fail(const char *function, int32_t cmd, int32_t result, int32_t last_error = 0) {
        sdk_sim_set_answer(function, cmd, result, last_error, nullptr, 0);
    }

    // Called on every os_sleep of the library with the number of sleeps so
    // far: a test plays the platform's event thread from here.
    std::function<void(int32_t)> on_poll;
    int32_t sleeps = 0;

    Host host;
    LogCapture log;
    int err = 0;

  private:
    static void on_sleep(void *ctx, int32_t) {
        auto *self = static_cast<CommandTest *>(ctx);
        ++self->sleeps;
        if (self->on_poll)
            self->on_poll(self->sleeps);
    }
};

}  // namespace test
