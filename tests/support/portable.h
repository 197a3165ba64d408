// The few calls the tests make on the C library that differ between Linux
// and Windows: the environment, the process id, scratch directories, the
// local time zone.
#pragma once

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace test {

inline void set_env(const char *name, const char *value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

inline void unset_env(const char *name) {
#ifdef _WIN32
    _putenv_s(name, "");  // an empty value removes the variable
#else
    unsetenv(name);
#endif
}

inline int process_id() {
#ifdef _WIN32
    return _getpid();
#else
    return getpid();
#endif
}

// A new empty directory under the system's scratch directory, named after
// `name` and this process.
inline std::filesystem::path make_scratch_dir(const std::string &name) {
    const std::filesystem::path base =
        std::filesystem::temp_directory_path() / (name + "-" + std::to_string(process_id()));
    for (int n = 0;; ++n) {
        std::filesystem::path dir = base;
        dir += "-";
        dir += std::to_string(n);
        std::error_code error;
        if (std::filesystem::create_directory(dir, error))
            return dir;
        if (error)
            throw std::filesystem::filesystem_error("make_scratch_dir", dir, error);
    }
}

// Fixes the local time zone before threads start. glibc rereads an unset TZ
// on every local-time conversion; set (to the same default zone), it reads
// it once, so concurrent conversions share nothing but reads. The Windows C
// runtime reads the zone once anyway.
inline void fix_local_zone() {
#ifndef _WIN32
    setenv("TZ", ":/etc/localtime", 0);
#endif
    tzset();
}

}  // namespace test
