// The platform console: plays the platform service for one simulated
// device. It loads the command library, initialises it, lays out the
// device's host record, sends one set or get command and shows what came
// back: the reply, the result, errno and the log lines the call caused.
//
//   zel_console set '{"command":3,"ch":0}'
//   echo '{"command":22}' | zel_console get
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "cmd_zel.h"
#include "host_record.h"
#include "message_service_control.h"
#include "os_support_control.h"

namespace {

// The library's entry points, looked up the way a platform does.
struct Library {
    decltype(&init_command_lib) init = nullptr;
    decltype(&cmd_common_set_config) set_config = nullptr;
    decltype(&cmd_common_get_config) get_config = nullptr;

    bool load(const char *path) {
        void *handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            std::fprintf(stderr, "cannot load %s: %s\n", path, dlerror());
            return false;
        }
        init = reinterpret_cast<decltype(init)>(dlsym(handle, "init_command_lib"));
        set_config = reinterpret_cast<decltype(set_config)>(dlsym(handle, "cmd_common_set_config"));
        get_config = reinterpret_cast<decltype(get_config)>(dlsym(handle, "cmd_common_get_config"));
        if (init == nullptr || set_config == nullptr || get_config == nullptr) {
            std::fprintf(stderr, "%s lacks the command entry points\n", path);
            return false;
        }
        return true;
    }
};

std::string errno_name(int err) {
    struct Code {
        int code;
        const char *name;
    };
    static const Code kCodes[] = {
        {CMD_ZEL_EINVAL, "invalid argument"},      {CMD_ZEL_ENOTDONE, "not carried out"},
        {CMD_ZEL_ENOHOST, "no host record"},       {CMD_ZEL_ENOTSUPPORTED, "not supported by the device"},
        {CMD_ZEL_ENOPERMISSION, "no permission"},  {CMD_ZEL_ENOSESSION, "query session not found"},
        {CMD_ZEL_EDEVICE, "device call failed"},
    };
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(err));
    if (err == 0)
        return "0 (unchanged)";
    for (const Code &c : kCodes)
        if (c.code == err)
            return std::string(hex) + " " + c.name;
    return std::string(hex) + " " + std::strerror(err);
}

// Log lines caused by the command, collected while it runs.
std::mutex g_log_mutex;
std::vector<std::string> g_log;

void collect_log(void *, int32_t level, const char *file, int32_t line, const char *message) {
    std::lock_guard lock(g_log_mutex);
    g_log.push_back("[" + std::to_string(level) + "] " + file + ":" + std::to_string(line) + " " + message);
}

std::string library_path() {
    if (const char *env = std::getenv("CMD_ZEL_LIBRARY"))
        return env;
    return CMD_ZEL_LIBRARY_PATH;
}

int usage() {
    std::fprintf(stderr,
                 "usage: zel_console set|get [JSON]\n"
                 "  Sends one command to a simulated 16-channel recorder and prints the reply,\n"
                 "  the result, errno and the log lines it caused. Without JSON the command\n"
                 "  is read from standard input. CMD_ZEL_LIBRARY overrides the library path;\n"
                 "  broker messages go to stdout, or to the file CMD_ZEL_BROKER_SINK names.\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2 || argc > 3)
        return usage();
    const std::string side = argv[1];
    if (side != "set" && side != "get")
        return usage();
    std::string json;
    if (argc == 3)
        json = argv[2];
    else
        json.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());

    Library lib;
    if (!lib.load(library_path().c_str()))
        return 1;

    // Whatever reaches the broker or is published while the console runs is
    // shown on stdout (CMD_ZEL_BROKER_SINK names a file instead).
    const char *sink = std::getenv("CMD_ZEL_BROKER_SINK");
    ms_control_set_sink(sink != nullptr ? sink : "-");

    os_support_set_log_quiet(1);
    os_support_set_log_hook(collect_log, nullptr);
    if (lib.init() != 1) {
        std::fprintf(stderr, "init_command_lib failed\n");
        return 1;
    }
    {
        std::lock_guard lock(g_log_mutex);
        g_log.clear();
    }

    // One simulated recorder, logged in with handle 1.
    platform::Host host(1, "SIM-NVR-0001", 16, "192.0.2.10");
    AsynOpIt_ComCmd opit{};
    opit.in_buf = json.data();
    errno = 0;
    int32_t result = side == "set" ? lib.set_config(host.data(), &opit, sizeof opit)
                                   : lib.get_config(host.data(), &opit, sizeof opit);
    int err = errno;
    os_support_set_log_hook(nullptr, nullptr);

    std::printf("command: %s %s\n", side.c_str(), json.c_str());
    std::printf("reply:   %s\n", opit.out_buf != nullptr ? opit.out_buf : "(none)");
    std::printf("result:  %d\n", result);
    std::printf("errno:   %s\n", errno_name(err).c_str());
    std::printf("log:%s\n", g_log.empty() ? "     (none)" : "");
    for (const std::string &line : g_log)
        std::printf("  %s\n", line.c_str());
    std::free(opit.out_buf);
    return 0;
}
