// Small helpers every command handler uses between reading the command and
// calling the device SDK.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "device_sdk.h"

namespace zel {

// Copies a command string into a fixed-width SDK text field: at most the
// width minus one characters, always terminated. A null text leaves the
// field empty.
template <size_t N> void copy_text(char (&field)[N], const char *text) {
    static_assert(N > 0);
    std::memset(field, 0, N);
    if (text != nullptr)
        std::strncpy(field, text, N - 1);
}

// The SDK's last error as the failure lines print it (%lx).
inline unsigned long sdk_error() { return static_cast<unsigned long>(static_cast<uint32_t>(NetClient_GetLastError())); }

// A zeroed SDK request record whose first field carries its own size.
template <typename Record> Record sized_record() {
    Record record{};
    record.size = static_cast<decltype(record.size)>(sizeof(Record));
    return record;
}

// The byte length of a record as the SDK functions take it.
template <typename Record> constexpr int32_t record_len() { return static_cast<int32_t>(sizeof(Record)); }

}  // namespace zel
