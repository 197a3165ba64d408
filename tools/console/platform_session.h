// The console's platform: the loaded library, one simulated device and its
// host record, and the outcome of each command sent to it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device_sdk_sim.h"
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

// The platform's event thread: runs the jobs handed to it one after the
// other, on its own thread, as the platform passes device events on.
class EventThread {
  public:
    EventThread();
    ~EventThread();
    // Queues `job` and returns at once.
    void post(std::function<void()> job);
    // Queues `job` and returns once it has run.
    void run(std::function<void()> job);

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::thread thread_;
};

class PlatformSession {
  public:
    ~PlatformSession();
    // Loads the library at `library_path`, registers a simulated recorder
    // with the device simulator and initialises the library.
    bool start(const std::string &library_path, std::string &error);
    Outcome send(Side side, const std::string &json);
    // Passes device event `event` with its data record to the library
    // (cmd_main_notify) from the event thread; the outcome holds its log.
    Outcome notify(uint32_t event, std::vector<uint8_t> data);
    platform::Host &host() { return host_; }

  private:
    using Dispatch = int32_t (*)(void *, void *, int32_t);
    using Notify = void (*)(void *, uint32_t, void *, int64_t);
    static void on_device_event(void *ctx, const sdk_sim_event *event);
    void answer_analysis_switch(int32_t ch, int32_t value);
    void report_ptz_position(const int32_t (&position)[3]);
    void answer_password_change(int32_t accepted);
    void store_load(uint8_t cpu, uint8_t mem);

    static constexpr uint32_t kDiskSmartEvent = 123;

    Dispatch set_ = nullptr;
    Dispatch get_ = nullptr;
    Notify notify_ = nullptr;
    platform::Host host_{1, "SIM-NVR-0001", 16, "192.0.2.10"};
    EventThread events_;
    bool hooked_ = false;
};

// "0x1000002 invalid argument" for the library's codes, strerror otherwise.
std::string errno_name(int err);

}  // namespace console
