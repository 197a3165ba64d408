// Shared set-up of the face command tests: a device, the captured log, and
// the calls the simulated device received.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device_sdk_sim.h"
#include "platform_fixture.h"

namespace face_test {

using test::Command;

class FaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::init_library_once();
        sdk_sim_reset();
    }

    int32_t set(Command &cmd) { return run(cmd_common_set_config, cmd); }
    int32_t get(Command &cmd) { return run(cmd_common_get_config, cmd); }

    // The calls of one SDK function, oldest first.
    static std::vector<sdk_sim_call> calls(const std::string &function) {
        std::vector<sdk_sim_call> out;
        for (int32_t i = 0; i < sdk_sim_call_count(); ++i) {
            sdk_sim_call call{};
            sdk_sim_get_call(i, &call);
            if (function == call.function)
                out.push_back(call);
        }
        return out;
    }

    // The record a call handed to the device, read as T (the call must have
    // passed exactly sizeof(T) bytes).
    template <typename T>
    static T input(const sdk_sim_call &call) {
        EXPECT_EQ(call.in_len, static_cast<int32_t>(sizeof(T)));
        T rec{};
        if (call.in != nullptr && call.in_len == static_cast<int32_t>(sizeof(T)))
            std::memcpy(&rec, call.in, sizeof rec);
        return rec;
    }

    static int32_t i32_at(const sdk_sim_call &call, size_t offset) {
        int32_t v = 0;
        std::memcpy(&v, call.in + offset, sizeof v);
        return v;
    }
    static std::string text_at(const sdk_sim_call &call, size_t offset, size_t width) {
        const char *p = reinterpret_cast<const char *>(call.in + offset);
        return std::string(p, strnlen(p, width));
    }

    // A FaceConfig answer of `size` bytes with iResult and the detail code.
    static void answer_face(int32_t cmd, int32_t ret, int32_t result, int32_t detail = 0) {
        unsigned char reply[152] = {};
        std::memcpy(reply + 16, &result, 4);
        std::memcpy(reply + 148, &detail, 4);
        sdk_sim_push_answer("NetClient_FaceConfig", cmd, ret, 0, reply, sizeof reply);
    }
    static void answer_channel_count(int32_t count) {
        sdk_sim_push_answer("NetClient_GetChannelNum", SDK_SIM_ANY, 0, 0, &count, sizeof count);
    }

    test::Host host;
    test::LogCapture log;
    int err = 0;

  private:
    int32_t run(int32_t (*entry)(void *, void *, int32_t), Command &cmd) {
        log.clear();
        errno = test::kSentinelErrno;
        int32_t result = entry(host.data(), &cmd.opit, sizeof cmd.opit);
        err = errno;
        return result;
    }
};

}  // namespace face_test
