// The broker configuration file with fuzzer-chosen contents: the input
// becomes var/platform/vs_config.json in a scratch working directory and
// the library rereads it. The file is then removed and reread again, which
// stops both senders, so every input starts from stopped senders and no
// sender thread is left working between inputs.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "cmd_zel.h"
#include "os_support_control.h"
#include "portable.h"

namespace {

namespace fs = std::filesystem;

void short_sleep(void *, int32_t) { std::this_thread::sleep_for(std::chrono::microseconds(100)); }

void quiet_log(void *, int32_t, const char *, int32_t, const char *) {}

fs::path g_scratch;

// Runs `body` with the scratch directory as working directory; the
// fuzzer's own paths are relative to the original one.
template <typename Body> void in_scratch(Body body) {
    const fs::path home = fs::current_path();
    fs::current_path(g_scratch);
    body();
    fs::current_path(home);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    os_support_set_log_quiet(1);
    os_support_set_log_hook(quiet_log, nullptr);
    os_support_set_sleep_hook(short_sleep, nullptr);
    os_support_timers_pause(1);
    g_scratch = test::make_scratch_dir("mq_config_fuzz");
    fs::create_directories(g_scratch / "var" / "platform");
    in_scratch([] { init_command_lib(); });
    std::atexit([] { fs::remove_all(g_scratch); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    in_scratch([&] {
        const fs::path file = fs::path("var") / "platform" / "vs_config.json";
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
        cmd_update_config();
        fs::remove(file);
        cmd_update_config();
    });
    return 0;
}
