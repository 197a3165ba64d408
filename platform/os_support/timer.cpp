// Periodic timers, all served by one timer thread started on first use.
//
// A handle is the timer's id, counted up from 1 and never reused, so a stale
// handle is simply not found. A timer stays in the table while one of its
// callbacks runs; os_timer_destroy marks it and waits for such callbacks,
// except for the one the calling thread is itself inside.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>

#include "errno_guard.h"
#include "os_support.h"
#include "os_support_control.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Timer {
    os_timer_cb cb;
    void *arg;
    Clock::duration period;
    Clock::time_point due;
    int running = 0;  // callbacks of this timer executing right now
    bool destroyed = false;
};

// The timer whose callback this thread is running (0: none).
thread_local uint64_t current_timer = 0;

class TimerService {
  public:
    os_timer_t create(os_timer_cb cb, int32_t period_ms, void *arg) {
        std::lock_guard lock(mutex_);
        if (!thread_started_) {
            std::thread(&TimerService::thread_main, this).detach();
            thread_started_ = true;
        }
        const uint64_t id = next_id_++;
        const Clock::duration period = std::chrono::milliseconds(period_ms);
        timers_.emplace(id, Timer{cb, arg, period, Clock::now() + period});
        wake_.notify_one();
        return reinterpret_cast<os_timer_t>(static_cast<uintptr_t>(id));
    }

    int32_t destroy(os_timer_t handle) {
        const auto id = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle));
        std::unique_lock lock(mutex_);
        auto it = timers_.find(id);
        if (it == timers_.end()) {
            return -1;
        }
        it->second.destroyed = true;
        const int own = current_timer == id ? 1 : 0;
        idle_.wait(lock, [&] {
            auto found = timers_.find(id);
            return found == timers_.end() || found->second.running <= own;
        });
        erase_if_idle(id);
        return 0;
    }

    void pause(bool paused) {
        std::unique_lock lock(mutex_);
        paused_ = paused;
        wake_.notify_one();
        if (paused && std::this_thread::get_id() != thread_id_) {
            idle_.wait(lock, [&] { return !thread_in_callback_; });
        }
    }

    int32_t fire_all() {
        std::unique_lock lock(mutex_);
        const uint64_t last = next_id_ - 1;  // timers created during the pass wait for the next
        uint64_t previous = 0;
        int32_t count = 0;
        for (;;) {
            auto it = timers_.upper_bound(previous);
            while (it != timers_.end() && it->second.destroyed) {
                ++it;
            }
            if (it == timers_.end() || it->first > last) {
                return count;
            }
            previous = it->first;
            run(lock, it->first, it->second);
            ++count;
        }
    }

  private:
    void thread_main() {
        std::unique_lock lock(mutex_);
        thread_id_ = std::this_thread::get_id();
        for (;;) {
            uint64_t id = 0;
            Timer *next = nullptr;
            if (!paused_) {
                for (auto &[timer_id, timer] : timers_) {
                    if (!timer.destroyed && (!next || timer.due < next->due)) {
                        id = timer_id;
                        next = &timer;
                    }
                }
            }
            if (!next) {
                wake_.wait(lock);
                continue;
            }
            const Clock::time_point now = Clock::now();
            if (now < next->due) {
                const Clock::time_point due = next->due;  // the timer may go while we wait
                wake_.wait_until(lock, due);
                continue;
            }
            // A late timer fires once and then keeps its period from now on,
            // rather than catching up with a burst.
            next->due += next->period;
            if (next->due <= now) {
                next->due = now + next->period;
            }
            thread_in_callback_ = true;
            run(lock, id, *next);
            thread_in_callback_ = false;
            idle_.notify_all();
        }
    }

    // Runs one callback with the lock released; the timer cannot disappear
    // meanwhile because its running count is raised.
    void run(std::unique_lock<std::mutex> &lock, uint64_t id, Timer &timer) {
        ++timer.running;
        const os_timer_cb cb = timer.cb;
        void *const arg = timer.arg;
        const uint64_t outer = current_timer;
        current_timer = id;
        lock.unlock();
        cb(arg);
        lock.lock();
        current_timer = outer;
        --timer.running;
        erase_if_idle(id);
        idle_.notify_all();
    }

    void erase_if_idle(uint64_t id) {
        auto it = timers_.find(id);
        if (it != timers_.end() && it->second.destroyed && it->second.running == 0) {
            timers_.erase(it);
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;      // timer thread: the schedule changed
    std::condition_variable idle_;      // a callback finished
    std::map<uint64_t, Timer> timers_;  // by id, which is creation order
    uint64_t next_id_ = 1;
    bool paused_ = false;
    bool thread_started_ = false;
    bool thread_in_callback_ = false;
    std::thread::id thread_id_;
};

// Never freed: the detached timer thread uses it until the process ends.
TimerService &timer_service() {
    static TimerService *const service = new TimerService;
    return *service;
}

}  // namespace

extern "C" {

os_timer_t os_timer_create(os_timer_cb cb, int32_t period_ms, void *arg) {
    ErrnoGuard guard;
    if (!cb || period_ms <= 0) {
        return nullptr;
    }
    try {
        return timer_service().create(cb, period_ms, arg);
    } catch (...) {
        return nullptr;  // no memory, or the timer thread could not start
    }
}

int32_t os_timer_destroy(os_timer_t timer) {
    ErrnoGuard guard;
    return timer ? timer_service().destroy(timer) : -1;
}

void os_support_timers_pause(int32_t paused) {
    ErrnoGuard guard;
    timer_service().pause(paused != 0);
}

int32_t os_support_timers_fire(void) {
    ErrnoGuard guard;
    return timer_service().fire_all();
}

}  // extern "C"
