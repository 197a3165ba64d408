// Logging, error codes and fatal allocation failures: the conventions every
// handler follows.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "cmd_zel.h"
#include "os_support.h"

namespace zel {

inline constexpr int32_t kLogInfo = 1;
inline constexpr int32_t kLogError = 2;
inline constexpr int32_t kLogWarn = 4;
inline constexpr int32_t kLogFatal = 5;

// The part of a source path after its last separator: log lines name files
// by their base name only.
constexpr const char *base_name(const char *path) {
    const char *base = path;
    for (const char *p = path; *p != '\0'; ++p)
        if (*p == '/' || *p == '\\')
            base = p + 1;
    return base;
}

// The library's error codes are only ever set, never cleared; set_error
// also remembers the code so that the entry point can hand it back to the
// caller whatever json-c did to errno afterwards (see ErrnoKeeper).
void set_error(int32_t code);

// Kept at every exported function: the caller's errno is restored on the way
// out unless the library set an error code during the call, in which case
// that code is left in errno. json-c clears errno while it converts numbers,
// so without this a command could report success with errno changed.
class ErrnoKeeper {
  public:
    ErrnoKeeper();
    ~ErrnoKeeper();
    ErrnoKeeper(const ErrnoKeeper &) = delete;
    ErrnoKeeper &operator=(const ErrnoKeeper &) = delete;

  private:
    int saved_errno_;
    bool outer_had_error_;
    int32_t outer_error_;
};

// Where a failure is reported from: the caller's file and line (as default
// arguments, the builtins give the call site). Every JSON constructor of a
// reply carries one, so the base name is only looked for when a line is
// actually written.
struct Site {
    const char *path;
    int32_t line;
    Site(const char *file_path = __builtin_FILE(), int line_no = __builtin_LINE())
        : path(file_path), line(static_cast<int32_t>(line_no)) {}
    const char *file() const { return base_name(path); }
};

// set_error (unless the code is 0: a refusal that leaves errno alone), then
// the handlers' failure result.
inline int32_t fail_with(int32_t code) {
    if (code != 0)
        set_error(code);
    return 0;
}

// A failed allocation or JSON constructor ends the process after a level-5
// line naming what was missing.
[[noreturn]] void die(const char *what, Site site = {});

// calloc that cannot fail: `what` is the level-5 line on exhaustion.
void *xcalloc(size_t count, size_t size, const char *what, Site site = {});

}  // namespace zel

// The one logging macro: level, then printf-style format and arguments; the
// file's base name and the line are added here.
#define ZLOG(level, ...)                                                                                               \
    ::log_debug_ex((level),                                                                                            \
                   [] {                                                                                                \
                       constexpr const char *f = ::zel::base_name(__FILE__);                                           \
                       return f;                                                                                       \
                   }(),                                                                                                \
                   __LINE__, __VA_ARGS__)

// Refusal: log at level 2, set the error code, evaluate to 0 (the handlers'
// failure result), so a handler can write `return ZFAIL(code, "ch == -1");`.
#define ZFAIL(code, ...) (ZLOG(::zel::kLogError, __VA_ARGS__), ::zel::fail_with(code))

// Refusal that leaves the error code alone: log at level 2, evaluate to 0.
#define ZREFUSE(...) (ZLOG(::zel::kLogError, __VA_ARGS__), 0)
