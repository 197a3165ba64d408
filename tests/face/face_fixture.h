// What the face command tests add to the command fixture: the face reply
// the device answers changes with, its channel count, and where a record the
// device received departs from the one expected.
#pragma once

#include "command_test.h"

namespace face_test {

using test::Bytes;
using test::Command;
using test::Lines;
using test::word_at;

// Offset of the first byte where the call's input differs from `want`, or
// -1; a length mismatch counts as a difference at the shorter length.
inline long first_difference(const sdk_sim_call &call, const Bytes &want) {
    size_t len = static_cast<size_t>(call.in_len);
    size_t common = std::min(len, want.data.size());
    for (size_t i = 0; i < common; ++i)
        if (call.in[i] != want.data[i])
            return static_cast<long>(i);
    return len == want.data.size() ? -1 : static_cast<long>(common);
}

class FaceTest : public test::CommandTest {
  protected:
    // A FaceConfig answer with the device's result code and detail code.
    static void answer_face(int32_t cmd, int32_t ret, int32_t result, int32_t detail = 0) {
        answer_once("NetClient_FaceConfig", cmd, Bytes(152).put(16, result).put(148, detail), ret);
    }
    static void answer_channel_count(int32_t count) {
        answer_once("NetClient_GetChannelNum", SDK_SIM_ANY, Bytes(4).put(0, count));
    }
};

}  // namespace face_test
