// Log lines: "<local time with ms> [<level>] <file>:<line> <message>", one
// write per line, to stderr or to the file named by OS_LOG_FILE.
#include <fcntl.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/uio.h>
#endif

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "errno_guard.h"
#include "os_support.h"
#include "os_support_control.h"

#ifdef __MINGW_PRINTF_FORMAT
#define LOG_PRINTF_FORMAT __MINGW_PRINTF_FORMAT
#else
#define LOG_PRINTF_FORMAT printf
#endif

namespace {

#ifdef _WIN32
// Windows has no gathering write: the parts are joined and written at once.
struct iovec {
    void *iov_base;
    size_t iov_len;
};
constexpr int kLogFileFlags = O_WRONLY | O_APPEND | O_CREAT | O_BINARY | O_NOINHERIT;

ssize_t writev(int fd, const iovec *iov, int count) {
    std::string line;
    for (int i = 0; i < count; ++i)
        line.append(static_cast<const char *>(iov[i].iov_base), iov[i].iov_len);
    return ::write(fd, line.data(), static_cast<unsigned>(line.size()));
}
#else
constexpr int kLogFileFlags = O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC;
#endif

using LogHook = void (*)(void *ctx, int32_t level, const char *file, int32_t line, const char *message);

struct LogState {
    int fd = STDERR_FILENO;
    int32_t min_level = 1;
    std::atomic<bool> quiet{false};
    std::mutex write_mutex;  // one line at a time on the destination
    // Serialises hook calls; recursive so that a hook may replace itself.
    std::recursive_mutex hook_mutex;
    std::atomic<bool> has_hook{false};
    LogHook hook = nullptr;
    void *hook_ctx = nullptr;
};

// Set while this thread is inside the log hook: a hook that logs does not
// reach itself again.
thread_local bool in_log_hook = false;

LogState *open_log() {
    auto *state = new LogState;
    if (const char *text = std::getenv("OS_LOG_LEVEL"); text && *text) {
        char *end = nullptr;
        const long level = std::strtol(text, &end, 10);
        if (*end == '\0' && level >= 0 && level <= 100) {
            state->min_level = static_cast<int32_t>(level);
        }
    }
    if (const char *path = std::getenv("OS_LOG_FILE"); path && *path) {
        const int fd = open(path, kLogFileFlags, 0644);
        if (fd >= 0) {
            state->fd = fd;
        } else {
            std::fprintf(stderr, "os_support: cannot open log file %s, logging to stderr\n", path);
        }
    }
    return state;
}

// The environment is read on first use. The state is never freed, so threads
// still logging while the process exits never meet a destroyed mutex.
LogState &log_state() {
    static LogState *const state = open_log();
    return *state;
}

// The formatted message: on the stack when short, on the heap otherwise.
class Message {
  public:
    __attribute__((format(LOG_PRINTF_FORMAT, 2, 0))) Message(const char *fmt, va_list args) {
        stack_[0] = '\0';
        if (!fmt) {
            return;
        }
        va_list copy;
        va_copy(copy, args);
        const int length = std::vsnprintf(stack_, sizeof stack_, fmt, copy);
        va_end(copy);
        if (length < 0) {
            stack_[0] = '\0';  // bad format or conversion: an empty message
            return;
        }
        length_ = static_cast<size_t>(length);
        if (length_ < sizeof stack_) {
            return;
        }
        heap_.reset(new (std::nothrow) char[length_ + 1]);
        if (!heap_) {
            length_ = sizeof stack_ - 1;  // out of memory: keep what fitted
            return;
        }
        std::vsnprintf(heap_.get(), length_ + 1, fmt, args);
    }

    const char *text() const { return heap_ ? heap_.get() : stack_; }
    size_t length() const { return length_; }

  private:
    char stack_[1024];
    std::unique_ptr<char[]> heap_;
    size_t length_ = 0;
};

size_t format_prefix(char *buf, size_t size, int32_t level, const char *file, int32_t line) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &local);
    const int length = std::snprintf(buf, size, "%s.%03ld [%d] %s:%d ", date, now.tv_nsec / 1000000L,
                                     static_cast<int>(level), file, static_cast<int>(line));
    if (length < 0) {
        return 0;
    }
    return static_cast<size_t>(length) < size ? static_cast<size_t>(length) : size - 1;
}

// One writev per line; continues only after a partial write.
void write_all(int fd, iovec *iov, int count) {
    while (count > 0) {
        const ssize_t written = writev(fd, iov, count);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;  // nowhere else to report it
        }
        auto left = static_cast<size_t>(written);
        while (count > 0 && left >= iov->iov_len) {
            left -= iov->iov_len;
            ++iov;
            --count;
        }
        if (count > 0) {
            iov->iov_base = static_cast<char *>(iov->iov_base) + left;
            iov->iov_len -= left;
        }
    }
}

void call_hook(LogState &state, int32_t level, const char *file, int32_t line, const char *message) {
    std::lock_guard lock(state.hook_mutex);
    if (!state.hook || in_log_hook) {
        return;
    }
    in_log_hook = true;
    state.hook(state.hook_ctx, level, file, line, message);
    in_log_hook = false;
}

}  // namespace

extern "C" {

int32_t log_debug_ex(int32_t level, const char *file, int32_t line, const char *fmt, ...) {
    ErrnoGuard guard;
    LogState &state = log_state();
    const bool to_destination = level >= state.min_level && !state.quiet.load();
    const bool to_hook = state.has_hook.load() && !in_log_hook;
    if (!to_destination && !to_hook) {
        return 0;
    }
    if (!file) {
        file = "?";
    }

    va_list args;
    va_start(args, fmt);
    const Message message(fmt, args);
    va_end(args);

    if (to_hook) {
        call_hook(state, level, file, line, message.text());
    }
    if (to_destination) {
        char prefix[256];
        const size_t prefix_length = format_prefix(prefix, sizeof prefix, level, file, line);
        char newline[] = "\n";
        iovec parts[3] = {
            {prefix, prefix_length}, {const_cast<char *>(message.text()), message.length()}, {newline, 1}};
        std::lock_guard lock(state.write_mutex);
        write_all(state.fd, parts, 3);
    }
    return 0;
}

void os_support_set_log_hook(void (*hook)(void *ctx, int32_t level, const char *file, int32_t line,
                                          const char *message),
                             void *ctx) {
    ErrnoGuard guard;
    LogState &state = log_state();
    std::lock_guard lock(state.hook_mutex);
    state.hook = hook;
    state.hook_ctx = ctx;
    state.has_hook = hook != nullptr;
}

void os_support_set_log_quiet(int32_t quiet) {
    ErrnoGuard guard;
    log_state().quiet = quiet != 0;
}

}  // extern "C"
