// The console's platform: the loaded library, one simulated device and its
// host record, and the outcome of each command sent to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host_record.h"

namespace console {

enum class Side { Set, Get };

struct LogLine {
    int32_t level;
    std::string where;  // file:line
    std::string message;
};

struct Outcome {
    bool has_reply = false;
    std::string reply;
    int32_t result = 0;
    int err = 0;  // errno after the call (0 before it)
    std::vector<LogLine> log;
};

class PlatformSession {
  public:
    // Loads the library at `library_path`, registers a simulated recorder
    // with the device simulator and initialises the library.
    bool start(const std::string &library_path, std::string &error);
    Outcome send(Side side, const std::string &json);
    platform::Host &host() { return host_; }

  private:
    using Dispatch = int32_t (*)(void *, void *, int32_t);
    Dispatch set_ = nullptr;
    Dispatch get_ = nullptr;
    platform::Host host_{1, "SIM-NVR-0001", 16, "192.0.2.10"};
};

// "0x1000002 invalid argument" for the library's codes, strerror otherwise.
std::string errno_name(int err);

}  // namespace console
