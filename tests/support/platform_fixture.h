// What a test needs to play the platform: a host record laid out at the
// platform's offsets, command records, and the log lines a call caused.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "cmd_zel.h"
#include "host_record.h"

namespace test {

using platform::Host;
using platform::Record;
namespace host_offset = platform::host_offset;
namespace channel_offset = platform::channel_offset;

// One command as the platform hands it over; frees the reply like the
// platform does.
struct Command {
    explicit Command(std::string json) : text(std::move(json)) {
        std::memset(&opit, 0, sizeof opit);
        opit.in_buf = text.data();
    }
    ~Command() { std::free(opit.out_buf); }
    Command(const Command &) = delete;
    Command &operator=(const Command &) = delete;
    std::string reply() const { return opit.out_buf != nullptr ? opit.out_buf : ""; }

    std::string text;
    AsynOpIt_ComCmd opit;
};

// Collects the library's log lines ("<level> <file>: <message>") while it
// lives; the normal log destination is kept quiet meanwhile.
class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    std::vector<std::string> lines() const;
    std::vector<std::string> messages() const;  // message texts only
    bool contains(const std::string &message) const;
    void clear();

    struct Line {
        int32_t level;
        std::string file;
        std::string message;
    };
    std::vector<Line> entries() const;

  private:
    static void hook(void *ctx, int32_t level, const char *file, int32_t line, const char *message);
    mutable std::mutex mutex_;
    std::vector<Line> lines_;
};

// The library is initialised once per test program. Inline, so that test
// programs of the stand-ins alone, which link this fixture but not the
// library, never reference its initialiser, and so that the entry point is
// called as the test program links it: from the DLL (or shared library), or
// from the library's objects.
inline void init_library_once() {
    static const int32_t ok = init_command_lib();
    ASSERT_EQ(ok, 1);
}

inline constexpr int kSentinelErrno = 12345;

}  // namespace test
