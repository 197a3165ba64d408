#include "zel_log.h"

#include <cstdio>

namespace zel {
namespace {
// Static TLS: the platform loads the library with dlopen, and a few bytes
// of the initial-exec model avoid the dynamic TLS lookup on every command
// (which ThreadSanitizer also mishandles for loaded libraries).
[[gnu::tls_model("initial-exec")]] thread_local bool t_has_error = false;
[[gnu::tls_model("initial-exec")]] thread_local int32_t t_error = 0;
}  // namespace

void set_error(int32_t code) {
    t_has_error = true;
    t_error = code;
    errno = code;
}

ErrnoKeeper::ErrnoKeeper() : saved_errno_(errno), outer_had_error_(t_has_error), outer_error_(t_error) {
    t_has_error = false;
}

ErrnoKeeper::~ErrnoKeeper() {
    errno = t_has_error ? t_error : saved_errno_;
    if (!t_has_error) {
        t_has_error = outer_had_error_;
        t_error = outer_error_;
    }
}

void die(const char *what, Site site) {
    log_debug_ex(kLogFatal, site.file(), site.line, "%s", what);
    std::exit(1);
}

void *xcalloc(size_t count, size_t size, const char *what, Site site) {
    void *p = std::calloc(count, size);
    if (p == nullptr)
        die(what, site);
    return p;
}

}  // namespace zel
