// Shared set-up of the face command tests: a device, the captured log, the
// calls the simulated device received and the records it was sent.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device_sdk_sim.h"
#include "platform_fixture.h"

namespace face_test {

using test::Command;

// The bytes a record should arrive with: zeros except the fields set.
struct Image {
    explicit Image(size_t size) : bytes(size, 0) {}
    Image &i32(size_t offset, int32_t v) {
        std::memcpy(bytes.data() + offset, &v, sizeof v);
        return *this;
    }
    Image &text(size_t offset, const std::string &t) {
        std::memcpy(bytes.data() + offset, t.data(), t.size());
        return *this;
    }
    std::vector<unsigned char> bytes;
};

// Offset of the first byte where the call's input differs from `want`, or
// -1; a length mismatch counts as a difference at the shorter length.
inline long first_difference(const sdk_sim_call &call, const Image &want) {
    size_t len = static_cast<size_t>(call.in_len);
    for (size_t i = 0; i < len && i < want.bytes.size(); ++i)
        if (call.in[i] != want.bytes[i])
            return static_cast<long>(i);
    return len == want.bytes.size() ? -1 : static_cast<long>(std::min(len, want.bytes.size()));
}

inline int32_t i32_at(const sdk_sim_call &call, size_t offset) {
    int32_t v = 0;
    std::memcpy(&v, call.in + offset, sizeof v);
    return v;
}

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
    static sdk_sim_call only_call(const std::string &function) {
        auto all = calls(function);
        EXPECT_EQ(all.size(), 1u) << function;
        return all.empty() ? sdk_sim_call{} : all[0];
    }

    // A FaceConfig answer with the result code and the detail code.
    static void answer_face(int32_t cmd, int32_t ret, int32_t result, int32_t detail = 0) {
        Image reply(152);
        reply.i32(16, result).i32(148, detail);
        sdk_sim_push_answer("NetClient_FaceConfig", cmd, ret, 0, reply.bytes.data(), 152);
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
