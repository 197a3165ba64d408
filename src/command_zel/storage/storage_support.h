// What several storage commands share: the disk inventory read and texts
// that name the host.
#pragma once

#include <cstdarg>
#include <cstdio>

#include "device_sdk_storage.h"
#include "handler_support.h"
#include "host_view.h"

#ifdef __MINGW_PRINTF_FORMAT
#define ZEL_PRINTF_FORMAT __MINGW_PRINTF_FORMAT
#else
#define ZEL_PRINTF_FORMAT printf
#endif

namespace zel {

// Reads the device's disk inventory into a zeroed record (too large for the
// stack); the device's result goes to `ret`.
inline HeapRecord<HardDiskInfo> read_disk_inventory(const HostView &view, int32_t &ret) {
    auto info = zeroed_heap_record<HardDiskInfo>("disk_state == NULL");
    ret = NetClient_GetDevConfig_V5(view.loginfd(), NETCLIENT_GET_HARDDISKINFO_V5, nullptr, 0, info.get(),
                                    record_len<HardDiskInfo>());
    return info;
}

// A text naming the host for a line written only when something fails,
// e.g. HostText("get_host_disk_status jso_str == NULL, host_id : %s", id).
struct HostText {
    __attribute__((format(ZEL_PRINTF_FORMAT, 2, 3))) explicit HostText(const char *format, ...) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
    }
    char text[192];
};

}  // namespace zel
