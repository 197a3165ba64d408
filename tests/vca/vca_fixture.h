// Playing the platform for the video-analysis commands.
#pragma once

#include "command_test.h"

namespace vca_test {

using test::Bytes;
using test::Command;
using test::input;
using test::Lines;
using test::word_at;
using VcaTest = test::CommandTest;

}  // namespace vca_test
