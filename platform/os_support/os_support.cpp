// Threads, mutexes, sleeping, string copies and address helpers.
#include "os_support.h"

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#endif

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>

#include "errno_guard.h"
#include "os_support_control.h"

namespace {

using SleepHook = void (*)(void *ctx, int32_t ms);

std::mutex sleep_hook_mutex;
SleepHook sleep_hook = nullptr;
void *sleep_hook_ctx = nullptr;

// The recursive mutex whose address os_mutex_init stored in the first 8 bytes.
std::recursive_mutex *mutex_of(const os_mutex_t *m) {
    return m ? reinterpret_cast<std::recursive_mutex *>(static_cast<uintptr_t>(m->opaque[0])) : nullptr;
}

struct Address {
    int family = 0;
    unsigned char bytes[16] = {};
};

bool parse_address(const char *text, Address &out) {
    if (!text) {
        return false;
    }
    if (inet_pton(AF_INET, text, out.bytes) == 1) {
        out.family = AF_INET;
        return true;
    }
    if (inet_pton(AF_INET6, text, out.bytes) == 1) {
        out.family = AF_INET6;
        return true;
    }
    return false;
}

}  // namespace

extern "C" {

int32_t os_thread_create(os_thread_t *thread, int32_t /*attr*/, os_thread_fn fn, void *arg) {
    ErrnoGuard guard;
    if (!thread || !fn) {
        return 0;
    }
    try {
        *thread = new std::thread([fn, arg] { fn(arg); });
        return 1;
    } catch (...) {
        return 0;
    }
}

int32_t os_thread_detach(os_thread_t *thread) {
    ErrnoGuard guard;
    if (!thread || !*thread) {
        return -1;
    }
    auto *t = static_cast<std::thread *>(*thread);
    if (t->joinable()) {
        t->detach();
    }
    delete t;
    *thread = nullptr;
    return 0;
}

// Only the first 8 bytes of the caller's record are used: they hold the
// address of a heap-allocated recursive mutex, which is never freed.
int32_t os_mutex_init(os_mutex_t *m, int32_t /*attr*/) {
    ErrnoGuard guard;
    if (!m) {
        return 0;
    }
    auto *mutex = new (std::nothrow) std::recursive_mutex;
    if (!mutex) {
        return 0;
    }
    m->opaque[0] = reinterpret_cast<uintptr_t>(mutex);
    return 1;
}

int32_t os_mutex_lock(os_mutex_t *m) {
    ErrnoGuard guard;
    std::recursive_mutex *mutex = mutex_of(m);
    if (!mutex) {
        return -1;
    }
    mutex->lock();
    return 0;
}

int32_t os_mutex_unlock(os_mutex_t *m) {
    ErrnoGuard guard;
    std::recursive_mutex *mutex = mutex_of(m);
    if (!mutex) {
        return -1;
    }
    mutex->unlock();
    return 0;
}

void os_sleep(int32_t ms) {
    ErrnoGuard guard;
    SleepHook hook;
    void *ctx;
    {
        std::lock_guard lock(sleep_hook_mutex);
        hook = sleep_hook;
        ctx = sleep_hook_ctx;
    }
    if (hook) {
        hook(ctx, ms);
    } else if (ms > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

char *os_strdup(const char *s) {
    ErrnoGuard guard;
    return s ? strdup(s) : nullptr;
}

int32_t os_get_ip_type(const char *ip) {
    ErrnoGuard guard;
    Address address;
    if (!parse_address(ip, address)) {
        return -1;
    }
    return address.family == AF_INET ? 0 : 1;
}

// Same family and the same binary address, so different spellings of one
// IPv6 address compare equal.
int32_t os_ip_cmp(const char *a, const char *b) {
    ErrnoGuard guard;
    Address x;
    Address y;
    if (!parse_address(a, x) || !parse_address(b, y) || x.family != y.family) {
        return 0;
    }
    const size_t size = x.family == AF_INET ? 4 : 16;
    return std::memcmp(x.bytes, y.bytes, size) == 0 ? 1 : 0;
}

void os_support_set_sleep_hook(void (*hook)(void *ctx, int32_t ms), void *ctx) {
    ErrnoGuard guard;
    std::lock_guard lock(sleep_hook_mutex);
    sleep_hook = hook;
    sleep_hook_ctx = ctx;
}

}  // extern "C"
