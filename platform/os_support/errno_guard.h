// Internal helper shared by the OS support sources.
#ifndef PLATFORM_OS_SUPPORT_ERRNO_GUARD_H
#define PLATFORM_OS_SUPPORT_ERRNO_GUARD_H

#include <cerrno>

namespace {

// Puts errno back to the value it had on construction: errno after a call
// into this library belongs to the caller alone.
class ErrnoGuard {
  public:
    ErrnoGuard() : saved_(errno) {}
    ~ErrnoGuard() { errno = saved_; }
    ErrnoGuard(const ErrnoGuard &) = delete;
    ErrnoGuard &operator=(const ErrnoGuard &) = delete;

  private:
    int saved_;
};

}  // namespace

#endif
