// What the two forwarding benches share: the temperature reports they feed
// the library, and the library running in a scratch directory of its own
// with a short sender poll pause.
#pragma once

#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>

#include "cmd_zel.h"
#include "device_sdk_events.h"
#include "host_record.h"
#include "os_support_control.h"

namespace bench {

inline temp_humidity_report temp_report(int32_t i) {
    temp_humidity_report r{};
    r.channel = i % 16;
    r.type = static_cast<uint32_t>(i % 2);
    r.time = dvr_time{2024, 3, 15, 10, 20, static_cast<uint16_t>(i % 60)};
    r.raw_value = 900 + i % 300;
    return r;
}

// The library initialised in a new directory under /tmp, which becomes the
// working directory (the broker configuration is read from there), with
// quiet logging. The sender's poll pause lasts 200 microseconds instead of
// a second, so the figures are its throughput, not its poll period.
struct ScratchLibrary {
    platform::Host host{1, "BENCH-0001"};
    std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::path dir;

    explicit ScratchLibrary(const std::string &name) {
        std::string pattern = "/tmp/" + name + ".XXXXXX";
        dir = mkdtemp(pattern.data());
        std::filesystem::create_directories(config_path().parent_path());
        os_support_set_log_quiet(1);
        os_support_set_sleep_hook(short_sleep, nullptr);
        std::filesystem::current_path(dir);
        init_command_lib();
    }
    ~ScratchLibrary() {
        std::filesystem::current_path(home);
        std::filesystem::remove_all(dir);
    }
    ScratchLibrary(const ScratchLibrary &) = delete;
    ScratchLibrary &operator=(const ScratchLibrary &) = delete;

    std::filesystem::path config_path() const { return dir / "var" / "platform" / "vs_config.json"; }

  private:
    static void short_sleep(void *, int32_t) { std::this_thread::sleep_for(std::chrono::microseconds(200)); }
};

}  // namespace bench
