// What the face command tests add to the command fixture: the face reply
// the device answers changes with, and its channel count.
#pragma once

#include "command_test.h"

namespace face_test {

using test::Bytes;
using test::Command;
using test::input;
using test::Lines;
using test::word_at;

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
