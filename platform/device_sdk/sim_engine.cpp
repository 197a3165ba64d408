/* Answer tables, call log and per-thread last error of the device SDK
 * simulator, and the control interface of device_sdk_sim.h. */
#include "sim_engine.h"

#include "device_model.h"
#include "upgrade_runner.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace device_sdk_sim {
namespace {

/* Every request function; answers are keyed by these (canonical) pointers. */
constexpr const char *kFunctions[] = {
    "NetClient_GetDevConfig",
    "NetClient_SetDevConfig",
    "NetClient_GetDevConfig_V5",
    "NetClient_CmdConfig",
    "NetClient_GetCommonEnable",
    "NetClient_SetCommonEnable",
    "NetClient_VCAGetConfig",
    "NetClient_VCASetConfig",
    "NetClient_FaceConfig",
    "NetClient_GetChannelNum",
    "NetClient_Query_V5",
    "NetClient_GetAlarmConfig",
    "NetClient_SetAlarmConfig",
    "NetClient_SendCommand",
    "NetClient_RecvCommand",
    "NetClient_GetDomePTZ",
    "NetClient_SetDomePTZ",
    "NetClient_DeviceCtrlEx",
    "NetClient_SetDiskGroup",
    "NetClient_GetDiskGroup",
    "NetClient_SetDiskQuota",
    "NetClient_GetDiskQuotaState",
    "NetClient_NetFileSetChannelParam",
    "NetClient_NetFileGetChannelParam",
    "NetClient_NetFileGetSchedule",
    "NetClient_NetFileLockFile",
    "NetClient_SetCDBurnConfig",
    "NetClient_GetCDBurnConfig",
    "NetClient_SetDevDiskConfig",
    "NetClient_DiskSetUsage",
    "NetClient_GetSysInfo",
    "NetClient_SetHDTimeRangeParam",
    "NetClient_SetFrameRate",
    "NetClient_GetFrameRate",
    "NetClient_GetVideoSize",
    "NetClient_SetVideoSize",
    "NetClient_GetVideoSizeEx",
    "NetClient_SetMaxKByteRate",
    "NetClient_GetMaxKByteRate",
    "NetClient_GetVideoSzList",
    "NetClient_SetVideoCombine",
    "NetClient_GetDigitalChannelConfig",
    "NetClient_SetDigitalChannelConfig",
    "NetClient_GetFTPUploadConfig",
    "NetClient_SetFTPUploadConfig",
    "NetClient_GetDzTransparentPara",
    "NetClient_SetDzTransparentPara",
    "NetClient_GetProductTypeEx",
    "NetClient_GetServerVersion_V1",
    "NetClient_Upgrade_V4",
    "NetClient_GetUpgradePercent",
    "NetClient_ModifyPwd",
    "NetClient_HttpXmlConfig",
    "NetClient_XmlGetDevConfig",
    "NetClient_XmlSetDevConfig",
};

/* Looked up on every call, so by hash rather than by a walk of the names. */
const char *canonical_name(const char *function) {
    static const auto *const names = [] {
        auto *by_text = new std::unordered_map<std::string_view, const char *>;
        for (const char *name : kFunctions)
            by_text->emplace(name, name);
        return by_text;
    }();
    if (function == nullptr)
        return nullptr;
    auto it = names->find(function);
    return it != names->end() ? it->second : nullptr;
}

struct LoggedCall {
    const char *function;
    int32_t loginfd;
    int32_t cmd;
    int32_t ch;
    std::array<int32_t, 4> args;
    std::vector<uint8_t> in;
    std::array<std::optional<std::string>, 2> text;
};

using AnswerKey = std::pair<const char *, int32_t>; /* canonical name, cmd */

/* The state's lock is held for a map lookup and an append, far shorter than
 * putting a thread to sleep and waking it: a caller that finds it taken
 * tries again for a while before it waits, so concurrent device calls do
 * not turn into a system call each. */
class BriefLock {
  public:
    void lock() {
        for (int i = 0; i < kTries; ++i) {
            if (mutex_.try_lock())
                return;
            relax();
        }
        mutex_.lock();
    }
    void unlock() { mutex_.unlock(); }

  private:
    static constexpr int kTries = 200;
    static void relax() {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }
    std::mutex mutex_;
};

struct State {
    BriefLock mutex;
    /* True while nothing is programmed and no device is simulated, so that
     * every call gets the default answer: then a call without the call log
     * needs neither the lock nor the state, and calls on several threads
     * share nothing here. Cleared under the lock before anything is added,
     * set again by reset. */
    std::atomic<bool> only_defaults{true};
    std::map<AnswerKey, std::deque<Answer>> queued;
    std::map<AnswerKey, Answer> standing;
    std::deque<LoggedCall> log; /* a deque keeps logged entries in place as it grows */
    DeviceModel devices;
};

/* The event hook has its own lock: a hook may call back into the simulator. */
struct EventHook {
    std::mutex mutex;
    sdk_sim_event_hook hook = nullptr;
    void *ctx = nullptr;
};

EventHook &event_hook() {
    static EventHook *h = new EventHook;
    return *h;
}

void report(const std::vector<sdk_sim_event> &events) {
    if (events.empty())
        return;
    EventHook &h = event_hook();
    std::lock_guard lock(h.mutex);
    if (h.hook == nullptr)
        return;
    for (const sdk_sim_event &e : events)
        h.hook(h.ctx, &e);
}

State &state() {
    /* Never destroyed: threads the caller left running may still call in at exit. */
    static State *s = new State;
    return *s;
}

/* Whether requests are written to the call log (sdk_sim_set_call_log). */
std::atomic<bool> g_log_calls{true};

/* Bumped by reset; a thread's last error counts only if set in the current generation. */
std::atomic<uint64_t> g_generation{1};

struct ThreadLastError {
    uint64_t generation = 0;
    int32_t value = 0;
};
thread_local ThreadLastError t_last_error;

/* The one place that decides a request's answer: a queued answer first, then
 * the simulated device of the login, then a standing answer. */
Answer answer_for(State &s, const Call &call, const char *function, std::vector<sdk_sim_event> &reported) {
    for (int32_t cmd : {call.cmd, static_cast<int32_t>(SDK_SIM_ANY)}) {
        auto it = s.queued.find({function, cmd});
        if (it != s.queued.end() && !it->second.empty()) {
            Answer a = std::move(it->second.front());
            it->second.pop_front();
            return a;
        }
    }
    if (std::optional<Answer> a = s.devices.answer(call, function, reported))
        return *a;
    for (int32_t cmd : {call.cmd, static_cast<int32_t>(SDK_SIM_ANY)}) {
        auto it = s.standing.find({function, cmd});
        if (it != s.standing.end())
            return it->second;
    }
    return Answer{};
}

LoggedCall log_entry(const Call &call, const char *function) {
    LoggedCall entry{function, call.loginfd, call.cmd, call.ch, call.args, {}, call.text};
    if (call.in != nullptr && call.in_len > 0) {
        const auto *bytes = static_cast<const uint8_t *>(call.in);
        entry.in.assign(bytes, bytes + call.in_len);
    }
    return entry;
}

int32_t program_answer(bool queue, const char *function, int32_t cmd, int32_t result, int32_t last_error,
                       const void *out, int32_t out_len) {
    const char *name = canonical_name(function);
    if (name == nullptr || out_len < 0 || (out == nullptr && out_len > 0))
        return -1;
    Answer a{result, last_error, {}};
    if (out_len > 0) {
        const auto *bytes = static_cast<const uint8_t *>(out);
        a.out.assign(bytes, bytes + out_len);
    }
    State &s = state();
    std::lock_guard lock(s.mutex);
    s.only_defaults.store(false);
    if (queue)
        s.queued[{name, cmd}].push_back(std::move(a));
    else
        s.standing[{name, cmd}] = std::move(a);
    return 0;
}

}  // namespace

Answer handle_call(const Call &call) {
    const char *function = canonical_name(call.function);
    if (function == nullptr)
        std::abort();
    /* The entry's copies are made before the lock, so concurrent callers
     * only serialise on the append and the answer lookup. */
    const bool logged = g_log_calls.load(std::memory_order_relaxed);
    State &s = state();
    if (!logged && s.only_defaults.load())
        return Answer{};
    LoggedCall entry = logged ? log_entry(call, function) : LoggedCall{};
    Answer a;
    std::vector<sdk_sim_event> reported;
    {
        std::lock_guard lock(s.mutex);
        if (logged)
            s.log.push_back(std::move(entry));
        a = answer_for(s, call, function, reported);
    }
    report(reported);
    if (a.last_error)
        t_last_error = {g_generation.load(), *a.last_error};
    return a;
}

bool has_device(int32_t loginfd) {
    State &s = state();
    std::lock_guard lock(s.mutex);
    return s.devices.has_device(loginfd);
}

int32_t thread_last_error() { return t_last_error.generation == g_generation.load() ? t_last_error.value : 0; }

void set_thread_last_error(int32_t value) { t_last_error = {g_generation.load(), value}; }

}  // namespace device_sdk_sim

using namespace device_sdk_sim;

extern "C" {

void sdk_sim_reset(void) {
    ErrnoGuard guard;
    {
        State &s = state();
        std::lock_guard lock(s.mutex);
        s.queued.clear();
        s.standing.clear();
        s.log.clear();
        s.devices.clear();
        s.only_defaults.store(true);
        g_generation.fetch_add(1);
    }
    // Outside the state lock: a hook call or an upgrade's callback in
    // progress may be calling in.
    sdk_sim_set_event_hook(nullptr, nullptr);
    stop_upgrades();
}

void sdk_sim_set_event_hook(sdk_sim_event_hook hook, void *ctx) {
    ErrnoGuard guard;
    EventHook &h = event_hook();
    std::lock_guard lock(h.mutex);
    h.hook = hook;
    h.ctx = ctx;
}

int32_t sdk_sim_push_answer(const char *function, int32_t cmd, int32_t result, int32_t last_error, const void *out,
                            int32_t out_len) {
    ErrnoGuard guard;
    return program_answer(true, function, cmd, result, last_error, out, out_len);
}

int32_t sdk_sim_set_answer(const char *function, int32_t cmd, int32_t result, int32_t last_error, const void *out,
                           int32_t out_len) {
    ErrnoGuard guard;
    return program_answer(false, function, cmd, result, last_error, out, out_len);
}

int32_t sdk_sim_add_device(int32_t loginfd, int32_t channels, int32_t kind) {
    ErrnoGuard guard;
    if (channels < 0 || (kind != SDK_SIM_CAMERA && kind != SDK_SIM_RECORDER))
        return -1;
    State &s = state();
    std::lock_guard lock(s.mutex);
    s.only_defaults.store(false);
    s.devices.add_device(loginfd, channels, kind);
    return 0;
}

void sdk_sim_set_call_log(int32_t enabled) {
    ErrnoGuard guard;
    g_log_calls.store(enabled != 0);
}

int32_t sdk_sim_call_count(void) {
    ErrnoGuard guard;
    State &s = state();
    std::lock_guard lock(s.mutex);
    return static_cast<int32_t>(s.log.size());
}

int32_t sdk_sim_get_call(int32_t index, sdk_sim_call *call) {
    ErrnoGuard guard;
    State &s = state();
    std::lock_guard lock(s.mutex);
    if (call == nullptr || index < 0 || static_cast<size_t>(index) >= s.log.size())
        return 0;
    const LoggedCall &e = s.log[static_cast<size_t>(index)];
    call->function = e.function;
    call->loginfd = e.loginfd;
    call->cmd = e.cmd;
    call->ch = e.ch;
    std::memcpy(call->args, e.args.data(), sizeof call->args);
    call->in = e.in.empty() ? nullptr : e.in.data();
    call->in_len = static_cast<int32_t>(e.in.size());
    for (size_t i = 0; i < 2; ++i)
        call->text[i] = e.text[i] ? e.text[i]->c_str() : nullptr;
    return 1;
}

}  // extern "C"
