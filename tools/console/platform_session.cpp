#include "platform_session.h"

#include <dlfcn.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <mutex>
#include <utility>

#include "cmd_zel.h"
#include "device_sdk_sim.h"
#include "device_sdk_storage.h"
#include "message_service_control.h"
#include "os_support_control.h"

namespace console {
namespace {

// Log lines arrive on the log hook from whichever thread logged; the
// console gathers those of one command at a time. A sender thread that
// keeps retrying its broker logs while the console waits for input, so at
// most kMaxLog lines are kept until the next command takes them.
constexpr size_t kMaxLog = 1000;
std::mutex g_log_mutex;
std::vector<LogLine> g_log;

void collect_log(void *, int32_t level, const char *file, int32_t line, const char *message) {
    std::lock_guard lock(g_log_mutex);
    if (g_log.size() < kMaxLog)
        g_log.push_back({level, std::string(file) + ":" + std::to_string(line), message});
}

std::vector<LogLine> take_log() {
    std::lock_guard lock(g_log_mutex);
    return std::exchange(g_log, {});
}

}  // namespace

EventThread::EventThread()
    : thread_([this] {
          std::unique_lock lock(mutex_);
          for (;;) {
              wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
              if (jobs_.empty())
                  return;
              std::function<void()> job = std::move(jobs_.front());
              jobs_.pop_front();
              lock.unlock();
              job();
              lock.lock();
          }
      }) {}

EventThread::~EventThread() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void EventThread::post(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void EventThread::run(std::function<void()> job) {
    std::packaged_task<void()> task(std::move(job));
    std::future<void> done = task.get_future();
    post([&task] { task(); });
    done.wait();
}

PlatformSession::~PlatformSession() {
    if (hooked_)
        sdk_sim_set_event_hook(nullptr, nullptr);
}

// Called by the simulated device on the thread of the request that caused
// the event: the answer is passed on from the event thread, as the
// platform's own event thread would.
void PlatformSession::on_device_event(void *ctx, const sdk_sim_event *event) {
    auto *self = static_cast<PlatformSession *>(ctx);
    if (event->loginfd != self->host_.get<int32_t>(platform::host_offset::kLoginfd))
        return;
    sdk_sim_event copy = *event;
    switch (event->type) {
    case SDK_SIM_EVENT_ANALYSIS_SWITCH:
        self->events_.post([self, copy] { self->answer_analysis_switch(copy.ch, copy.value); });
        break;
    case SDK_SIM_EVENT_PTZ_POSITION:
        self->events_.post([self, copy] { self->report_ptz_position(copy.position); });
        break;
    case SDK_SIM_EVENT_PASSWORD_CHANGE:
        self->events_.post([self, copy] { self->answer_password_change(copy.value); });
        break;
    case SDK_SIM_EVENT_DISK_SMART:
        // The device's disk message, passed on as device event 123; the
        // library reads a whole message, so a shorter one is dropped.
        if (copy.data_len < static_cast<int32_t>(sizeof(HardDiskSmartMsg)))
            break;
        self->events_.post([self, copy] {
            HardDiskSmartMsg msg;
            std::memcpy(&msg, copy.data, sizeof msg);
            self->notify_(self->host_.data(), kDiskSmartEvent, &msg, 0);
        });
        break;
    case SDK_SIM_EVENT_SYSTEM_LOAD:
        // Asked-for figures are stale until the device's answer is stored.
        std::atomic_ref<uint32_t>(*self->host_.word(platform::host_offset::kStatusValid)).store(0);
        self->events_.post([self, copy] { self->store_load(copy.data[0], copy.data[1]); });
        break;
    default: break;
    }
}

// The platform keeps the reported position and then marks the host record,
// which a command waiting for the position polls.
void PlatformSession::report_ptz_position(const int32_t (&position)[3]) {
    for (size_t i = 0; i < 3; ++i)
        host_.put<int32_t>(platform::host_offset::kPtzPosition + i * sizeof(int32_t), position[i]);
    std::atomic_ref<uint32_t>(*host_.word(platform::host_offset::kIsRecvdPtzPos)).store(1, std::memory_order_release);
}

// The device's verdict first, then the flag the waiting command polls.
void PlatformSession::answer_password_change(int32_t accepted) {
    std::atomic_ref<uint32_t>(*host_.word(platform::host_offset::kPwdChangeResult))
        .store(static_cast<uint32_t>(accepted));
    std::atomic_ref<uint32_t>(*host_.word(platform::host_offset::kPwdChangeReplied)).store(1);
}

// The load figures first, then the word that says they are current.
void PlatformSession::store_load(uint8_t cpu, uint8_t mem) {
    host_.put<uint8_t>(platform::host_offset::kCpuUsePercent, cpu);
    host_.put<uint8_t>(platform::host_offset::kMemUsePercent, mem);
    std::atomic_ref<uint32_t>(*host_.word(platform::host_offset::kStatusValid)).store(1);
}

// The answer goes into the channel record the waiting command polls.
void PlatformSession::answer_analysis_switch(int32_t ch, int32_t value) {
    for (size_t slot = 0; slot < host_.channel_records(); ++slot) {
        platform::Record &channel = host_.channel(slot);
        if (channel.get<uint32_t>(platform::channel_offset::kChannelNo) != static_cast<uint32_t>(ch))
            continue;
        auto *word = reinterpret_cast<int32_t *>(static_cast<unsigned char *>(channel.data()) +
                                                 platform::channel_offset::kVcaEnableReply);
        std::atomic_ref<int32_t>(*word).store(value);
    }
}

bool PlatformSession::start(const std::string &library_path, std::string &error) {
    void *handle = dlopen(library_path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        error = std::string("cannot load ") + library_path + ": " + dlerror();
        return false;
    }
    auto init = reinterpret_cast<int32_t (*)()>(dlsym(handle, "init_command_lib"));
    set_ = reinterpret_cast<Dispatch>(dlsym(handle, "cmd_common_set_config"));
    get_ = reinterpret_cast<Dispatch>(dlsym(handle, "cmd_common_get_config"));
    notify_ = reinterpret_cast<Notify>(dlsym(handle, "cmd_main_notify"));
    if (init == nullptr || set_ == nullptr || get_ == nullptr || notify_ == nullptr) {
        error = library_path + " lacks the command entry points";
        return false;
    }
    // Nothing in a session reads the simulator's call log; left on, it
    // would keep a copy of every request for as long as the console runs.
    sdk_sim_set_call_log(0);
    sdk_sim_add_device(host_.get<int32_t>(platform::host_offset::kLoginfd), 16, SDK_SIM_RECORDER);
    sdk_sim_set_event_hook(on_device_event, this);
    hooked_ = true;
    // The recorder counts traffic on every channel.
    for (size_t slot = 0; slot < host_.channel_records(); ++slot)
        host_.channel(slot).put<uint32_t>(platform::channel_offset::kTrafficFlowEnable, 1);
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

Outcome PlatformSession::notify(uint32_t event, std::vector<uint8_t> data) {
    Outcome outcome;
    events_.run([&] {
        errno = 0;
        notify_(host_.data(), event, data.data(), 0);
        outcome.err = errno;
    });
    outcome.result = 1;
    outcome.log = take_log();
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
