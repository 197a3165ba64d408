// Time and encoding utilities: the device calendar-time record, its
// conversions to text and to seconds since 1970, and Base64.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

#include "device_sdk.h"

namespace zel {

// The device SDK's calendar time (device_sdk.h).
using ::dvr_time;

// "YYYY-MM-DD hh:mm:ss" and its terminating zero.
inline constexpr int32_t MIN_STR_TIME_LEN = 20;

// Reads the six fields at their fixed positions of a time text (separators
// are not checked, values not range-tested); 0 for a null argument.
int32_t str_to_dvr_time(const char *szTime, dvr_time *vod_time);
// Writes the time text into `szTime` of `*len` bytes (at least 20).
int32_t dvr_time_to_str(const dvr_time *vod_time, char *szTime, const int32_t *len);
// The C runtime's calendar of a record, fields as they stand; daylight
// saving is left to the conversion.
std::tm calendar_of(const dvr_time &t);
// Seconds since 1970 for the record read as local time; -1 for null.
time_t dvr_time_to_time_t(const dvr_time *dvr);
// Seconds since 1970 for the record read as UTC.
time_t utc_dvr_time_to_time_t(const dvr_time *dvr);
// Standard Base64 of `len` bytes into `out` (4 * ceil(len / 3) + 1 bytes),
// terminated; returns `out`, or null when `in` or `out` is null.
char *base64_encode(const unsigned char *in, int32_t len, char *out);

}  // namespace zel
