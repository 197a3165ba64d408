#include "platform_session.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

#include "cmd_zel.h"
#include "device_sdk_sim.h"
#include "message_service_control.h"
#include "os_support_control.h"

namespace console {
namespace {

// Log lines arrive on the log hook from whichever thread logged; the
// console gathers those of one command at a time.
std::mutex g_log_mutex;
std::vector<LogLine> g_log;

void collect_log(void *, int32_t level, const char *file, int32_t line, const char *message) {
    std::lock_guard lock(g_log_mutex);
    g_log.push_back({level, std::string(file) + ":" + std::to_string(line), message});
}

std::vector<LogLine> take_log() {
    std::lock_guard lock(g_log_mutex);
    return std::exchange(g_log, {});
}

}  // namespace

bool PlatformSession::start(const std::string &library_path, std::string &error) {
    void *handle = dlopen(library_path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        error = std::string("cannot load ") + library_path + ": " + dlerror();
        return false;
    }
    auto init = reinterpret_cast<int32_t (*)()>(dlsym(handle, "init_command_lib"));
    set_ = reinterpret_cast<Dispatch>(dlsym(handle, "cmd_common_set_config"));
    get_ = reinterpret_cast<Dispatch>(dlsym(handle, "cmd_common_get_config"));
    if (init == nullptr || set_ == nullptr || get_ == nullptr) {
        error = library_path + " lacks the command entry points";
        return false;
    }
    sdk_sim_add_device(host_.get<int32_t>(platform::host_offset::kLoginfd), 16, SDK_SIM_RECORDER);
    // Whatever reaches the broker or is published while the console runs is
    // shown on stdout (CMD_ZEL_BROKER_SINK names a file instead).
    const char *sink = std::getenv("CMD_ZEL_BROKER_SINK");
    ms_control_set_sink(sink != nullptr ? sink : "-");
    os_support_set_log_quiet(1);
    os_support_set_log_hook(collect_log, nullptr);
    if (init() != 1) {
        error = "init_command_lib failed";
        return false;
    }
    take_log();
    return true;
}

Outcome PlatformSession::send(Side side, const std::string &json) {
    std::string text = json;
    AsynOpIt_ComCmd opit{};
    opit.in_buf = text.data();
    Outcome outcome;
    errno = 0;
    outcome.result = (side == Side::Set ? set_ : get_)(host_.data(), &opit, sizeof opit);
    outcome.err = errno;
    outcome.log = take_log();
    if (opit.out_buf != nullptr) {
        outcome.has_reply = true;
        outcome.reply = opit.out_buf;
        std::free(opit.out_buf);
    }
    return outcome;
}

std::string errno_name(int err) {
    struct Code {
        int code;
        const char *name;
    };
    static const Code kCodes[] = {
        {CMD_ZEL_EINVAL, "invalid argument"},     {CMD_ZEL_ENOTDONE, "not carried out"},
        {CMD_ZEL_ENOHOST, "no host record"},      {CMD_ZEL_ENOTSUPPORTED, "not supported by the device"},
        {CMD_ZEL_ENOPERMISSION, "no permission"}, {CMD_ZEL_ENOSESSION, "query session not found"},
        {CMD_ZEL_EDEVICE, "device call failed"},
    };
    if (err == 0)
        return "0 (unchanged)";
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(err));
    for (const Code &c : kCodes)
        if (c.code == err)
            return std::string(hex) + " " + c.name;
    return std::string(hex) + " " + std::strerror(err);
}

}  // namespace console
