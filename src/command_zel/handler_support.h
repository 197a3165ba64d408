// Small helpers every command handler uses between reading the command and
// calling the device SDK.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <json-c/json.h>

#include "device_sdk.h"
#include "zel_log.h"

namespace zel {

// The first checks of most handlers: a missing host record or command
// object is refused with "host == NULL" / "is_error(jso)" and 0x1000002,
// logged at the handler's own line. False after a refusal.
inline bool has_command(void *host, json_object *jso, Site site = {}) {
    const char *missing = host == nullptr ? "host == NULL" : jso == nullptr ? "is_error(jso)" : nullptr;
    if (missing == nullptr)
        return true;
    log_debug_ex(kLogError, site.file(), site.line, "%s", missing);
    set_error(CMD_ZEL_EINVAL);
    return false;
}

// The same for handlers that answer: the reply slot must be there too
// ("out_buf == NULL").
inline bool has_command_and_reply(void *host, json_object *jso, char **out_buf, Site site = {}) {
    if (!has_command(host, jso, site))
        return false;
    if (out_buf != nullptr)
        return true;
    log_debug_ex(kLogError, site.file(), site.line, "out_buf == NULL");
    set_error(CMD_ZEL_EINVAL);
    return false;
}

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
