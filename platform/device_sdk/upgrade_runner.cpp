/* Firmware upgrades of the simulated devices, and the upgrade controls of
 * device_sdk_sim.h.
 *
 * All upgrade state is under one mutex. A device's upgrade thread holds it
 * except while it waits for its next step and while it calls the
 * completion callback, which may call back into the SDK. Whoever takes an
 * upgrade out of the table joins its thread. */
#include "upgrade_runner.h"

#include "device_sdk_maintenance.h"
#include "sim_engine.h"

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace device_sdk_sim {
namespace {

using Clock = std::chrono::steady_clock;

/* Milliseconds per percent until sdk_sim_set_upgrade_pace says otherwise:
 * a whole upgrade takes two seconds. */
constexpr int32_t kDefaultPaceMs = 20;

struct Upgrade {
    upgrade_complete_cb on_complete = nullptr;
    int32_t percent = 0;
    int32_t asked = 0;     /* percent points sdk_sim_advance_upgrade asked for, not yet taken */
    bool stepping = false; /* the thread is taking a step and may end the upgrade */
    bool begun = false;    /* the thread has looked at the upgrade's start */
    bool ended = false;    /* reported, or stopped */
    bool stopping = false;
    std::thread thread;
};

/* A failure planned with sdk_sim_fail_upgrade. */
struct Failure {
    int32_t at;
    int32_t state;
};

/* 0 when the image can be read, else the error number saying why not. */
int32_t image_error(const char *filename) {
    if (filename == nullptr)
        return EINVAL;
        /* Non-blocking, so that opening a FIFO does not wait for a writer. */
#ifdef _WIN32
    int fd = ::open(filename, O_RDONLY | O_BINARY);
#else
    int fd = ::open(filename, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
#endif
    if (fd < 0)
        return errno;
    char first;
    int32_t err = ::read(fd, &first, 1) < 0 ? errno : 0;
    ::close(fd);
    return err;
}

void join(const std::shared_ptr<Upgrade> &upgrade) {
    if (upgrade == nullptr || !upgrade->thread.joinable())
        return;
    /* An upgrade stopped from its own callback ends by itself. */
    if (upgrade->thread.get_id() == std::this_thread::get_id())
        upgrade->thread.detach();
    else
        upgrade->thread.join();
}

class Upgrades {
  public:
    int32_t start(int32_t loginfd, const char *filename, upgrade_complete_cb on_complete);
    int32_t percent(int32_t loginfd);
    int32_t advance(int32_t loginfd, int32_t points);
    int32_t plan_failure(int32_t loginfd, int32_t at, int32_t state);
    int32_t fire(int32_t loginfd, int32_t state);
    void set_pace(int32_t ms);
    void stop_all();

  private:
    void run(int32_t loginfd, const std::shared_ptr<Upgrade> &upgrade);
    int32_t wait_for_step(std::unique_lock<std::mutex> &lock, int32_t loginfd, Upgrade &upgrade);
    int32_t next_percent(int32_t loginfd, int32_t percent, int32_t step) const;
    bool end_if_due(std::unique_lock<std::mutex> &lock, int32_t loginfd, Upgrade &upgrade);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int32_t, std::shared_ptr<Upgrade>> devices_; /* by login: the running or last upgrade */
    std::map<int32_t, upgrade_complete_cb> kept_;         /* by login: upgrades without a device */
    std::map<int32_t, Failure> failures_;                 /* by login: for the running or next upgrade */
    int32_t pace_ms_ = kDefaultPaceMs;
};

/* Never destroyed: its threads are stopped at exit, and a caller's thread
 * may still call in after that. */
Upgrades &upgrades() {
    static Upgrades *all = new Upgrades;
    return *all;
}

void stop_at_exit() {
    static std::once_flag registered;
    std::call_once(registered, [] { std::atexit([] { upgrades().stop_all(); }); });
}

int32_t Upgrades::start(int32_t loginfd, const char *filename, upgrade_complete_cb on_complete) {
    if (!has_device(loginfd)) {
        std::lock_guard lock(mutex_);
        if (on_complete != nullptr)
            kept_[loginfd] = on_complete;
        else
            kept_.erase(loginfd);
        return 0;
    }
    if (int32_t err = image_error(filename))
        return err;
    stop_at_exit();
    std::unique_lock lock(mutex_);
    std::shared_ptr<Upgrade> &slot = devices_[loginfd];
    if (slot != nullptr && !slot->ended)
        return EBUSY;
    std::shared_ptr<Upgrade> previous = std::exchange(slot, std::make_shared<Upgrade>());
    std::shared_ptr<Upgrade> upgrade = slot;
    upgrade->on_complete = on_complete;
    try {
        upgrade->thread = std::thread([this, loginfd, upgrade] { run(loginfd, upgrade); });
    } catch (const std::system_error &) {
        slot = std::move(previous);
        return EAGAIN;
    }
    /* A device that refuses the image at once has reported it by now. */
    changed_.wait(lock, [&] { return upgrade->begun || upgrade->ended; });
    lock.unlock();
    join(previous);
    return 0;
}

void Upgrades::run(int32_t loginfd, const std::shared_ptr<Upgrade> &upgrade) {
    std::unique_lock lock(mutex_);
    for (int32_t step = 0; step >= 0; step = wait_for_step(lock, loginfd, *upgrade)) {
        upgrade->percent = next_percent(loginfd, upgrade->percent, step);
        if (end_if_due(lock, loginfd, *upgrade))
            break;
        upgrade->begun = true;
        upgrade->stepping = false;
        changed_.notify_all();
    }
    upgrade->ended = true;
    upgrade->stepping = false;
    changed_.notify_all();
}

/* The next step's percent points: those asked for, one once the pace
 * interval has passed, 0 when a planned failure is due; -1 when stopped. */
int32_t Upgrades::wait_for_step(std::unique_lock<std::mutex> &lock, int32_t loginfd, Upgrade &upgrade) {
    const Clock::time_point since = Clock::now();
    for (;;) {
        if (upgrade.stopping)
            return -1;
        upgrade.stepping = true;
        if (upgrade.asked > 0)
            return std::exchange(upgrade.asked, 0);
        auto failure = failures_.find(loginfd);
        if (failure != failures_.end() && upgrade.percent >= failure->second.at)
            return 0;
        const Clock::time_point due = since + std::chrono::milliseconds(pace_ms_);
        if (pace_ms_ > 0 && Clock::now() >= due)
            return 1;
        upgrade.stepping = false;
        if (pace_ms_ > 0)
            changed_.wait_until(lock, due);
        else
            changed_.wait(lock);
    }
}

/* A step never passes a planned failure nor 100 percent. */
int32_t Upgrades::next_percent(int32_t loginfd, int32_t percent, int32_t step) const {
    int32_t limit = 100;
    auto failure = failures_.find(loginfd);
    if (failure != failures_.end() && failure->second.at >= percent)
        limit = failure->second.at;
    return std::min(percent + step, limit);
}

/* Reports the end when the upgrade reached a planned failure or 100
 * percent. The callback runs without the lock. */
bool Upgrades::end_if_due(std::unique_lock<std::mutex> &lock, int32_t loginfd, Upgrade &upgrade) {
    int32_t state = UPGRADE_STATE_DONE;
    auto failure = failures_.find(loginfd);
    if (failure != failures_.end() && upgrade.percent >= failure->second.at) {
        state = failure->second.state;
        failures_.erase(failure);
    } else if (upgrade.percent < 100) {
        return false;
    }
    lock.unlock();
    if (upgrade.on_complete != nullptr)
        upgrade.on_complete(loginfd, state, 0);
    lock.lock();
    return true;
}

int32_t Upgrades::percent(int32_t loginfd) {
    std::lock_guard lock(mutex_);
    auto it = devices_.find(loginfd);
    return it == devices_.end() ? -1 : it->second->percent;
}

int32_t Upgrades::advance(int32_t loginfd, int32_t points) {
    std::unique_lock lock(mutex_);
    auto it = devices_.find(loginfd);
    if (it == devices_.end() || it->second->ended || points < 0)
        return -1;
    std::shared_ptr<Upgrade> upgrade = it->second;
    upgrade->asked = std::min(upgrade->asked + std::min(points, 100), 100);
    changed_.notify_all();
    changed_.wait(lock, [&] { return upgrade->ended || (upgrade->asked == 0 && !upgrade->stepping); });
    return upgrade->percent;
}

int32_t Upgrades::plan_failure(int32_t loginfd, int32_t at, int32_t state) {
    if (at < 0 || at > 100)
        return -1;
    std::lock_guard lock(mutex_);
    failures_[loginfd] = Failure{at, state};
    changed_.notify_all();
    return 0;
}

int32_t Upgrades::fire(int32_t loginfd, int32_t state) {
    upgrade_complete_cb on_complete = nullptr;
    {
        std::lock_guard lock(mutex_);
        auto it = kept_.find(loginfd);
        if (it == kept_.end())
            return 0;
        on_complete = it->second;
        kept_.erase(it);
    }
    on_complete(loginfd, state, 0); /* outside the lock: the callback may call the SDK */
    return 1;
}

void Upgrades::set_pace(int32_t ms) {
    std::lock_guard lock(mutex_);
    pace_ms_ = std::max(ms, 0);
    changed_.notify_all();
}

void Upgrades::stop_all() {
    std::map<int32_t, std::shared_ptr<Upgrade>> stopped;
    {
        std::lock_guard lock(mutex_);
        for (auto &[loginfd, upgrade] : devices_)
            upgrade->stopping = true;
        stopped.swap(devices_);
        kept_.clear();
        failures_.clear();
        changed_.notify_all();
    }
    for (auto &[loginfd, upgrade] : stopped)
        join(upgrade);
}

}  // namespace

int32_t start_upgrade(int32_t loginfd, const char *filename, upgrade_complete_cb on_complete) {
    return upgrades().start(loginfd, filename, on_complete);
}

int32_t upgrade_percent(int32_t loginfd) { return upgrades().percent(loginfd); }

void stop_upgrades() { upgrades().stop_all(); }

}  // namespace device_sdk_sim

using namespace device_sdk_sim;

extern "C" {

void sdk_sim_set_upgrade_pace(int32_t ms_per_percent) {
    ErrnoGuard guard;
    upgrades().set_pace(ms_per_percent);
}

int32_t sdk_sim_advance_upgrade(int32_t loginfd, int32_t points) {
    ErrnoGuard guard;
    return upgrades().advance(loginfd, points);
}

int32_t sdk_sim_fail_upgrade(int32_t loginfd, int32_t at_percent, int32_t state) {
    ErrnoGuard guard;
    return upgrades().plan_failure(loginfd, at_percent, state);
}

int32_t sdk_sim_fire_upgrade_complete(int32_t loginfd, int32_t state) {
    ErrnoGuard guard;
    return upgrades().fire(loginfd, state);
}

}  // extern "C"
