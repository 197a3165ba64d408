// What the face commands share besides the device's records: the text
// lengths their refusals name, uuid copies, and heap areas for device answers
// too large for a handler's stack.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "device_sdk_face.h"
#include "device_sdk_face_search.h"
#include "zel_log.h"

namespace zel {

// Texts the face commands refuse at these lengths or longer; the log lines
// name them ("strlen(libuuid) >= LEN_UUID").
inline constexpr size_t LEN_UUID = 64;
inline constexpr size_t LEN_64 = 64;
inline constexpr size_t LEN_16 = 16;

// Uuids (and the picture name of a search) are copied with up to the whole
// field width: one that fills its field is sent without a terminator, as the
// device expects.
template <size_t N> void copy_uuid(char (&field)[N], const char *text) {
    std::memset(field, 0, N);
    if (text != nullptr)
        std::memcpy(field, text, strnlen(text, N));
}

// Text for log lines of an optional member that may be absent.
inline const char *or_empty(const char *text) { return text != nullptr ? text : ""; }

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using heap_ptr = std::unique_ptr<T, FreeDeleter>;

// A zeroed heap area of `count` records; exhaustion is fatal with `what` as
// the level-5 line.
template <typename T> heap_ptr<T[]> zeroed_records(size_t count, const char *what, Site site = {}) {
    return heap_ptr<T[]>(static_cast<T *>(xcalloc(count, sizeof(T), what, site)));
}
template <typename T> heap_ptr<T> zeroed_record(const char *what, Site site = {}) {
    return heap_ptr<T>(static_cast<T *>(xcalloc(1, sizeof(T), what, site)));
}

}  // namespace zel
