#include "comm_func/comm_func.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "comm_func/local_time.h"
#include "system_crypto.h"
#include "zel_log.h"

namespace zel {
namespace {

// atoi of the characters [from, from + width) of `text`, never reading past
// the text's end: the field is copied into its own terminated buffer first.
uint16_t field_at(const char *text, size_t text_len, size_t from, size_t width) {
    char scratch[8] = {};
    for (size_t i = 0; i < width && from + i < text_len; ++i)
        scratch[i] = text[from + i];
    return static_cast<uint16_t>(std::atoi(scratch));
}

}  // namespace

std::tm calendar_of(const dvr_time &t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = -1;  // daylight saving is decided for that date
    return tm;
}

int32_t str_to_dvr_time(const char *szTime, dvr_time *vod_time) {
    if (szTime == nullptr || vod_time == nullptr) {
        ZLOG(kLogError, "szTime == NULL || vod_time == NULL");
        return 0;
    }
    size_t len = strnlen(szTime, MIN_STR_TIME_LEN);
    vod_time->year = field_at(szTime, len, 0, 4);
    vod_time->month = field_at(szTime, len, 5, 2);
    vod_time->day = field_at(szTime, len, 8, 2);
    vod_time->hour = field_at(szTime, len, 11, 2);
    vod_time->minute = field_at(szTime, len, 14, 2);
    vod_time->second = field_at(szTime, len, 17, 2);
    return 1;
}

int32_t dvr_time_to_str(const dvr_time *vod_time, char *szTime, const int32_t *len) {
    if (vod_time == nullptr) {
        ZLOG(kLogError, "vod_time == NULL");
        return 0;
    }
    if (szTime == nullptr) {
        ZLOG(kLogError, "szTime == NULL");
        return 0;
    }
    if (len == nullptr || *len < MIN_STR_TIME_LEN) {
        ZLOG(kLogError, "len < MIN_STR_TIME_LEN");
        return 0;
    }
    std::snprintf(szTime, static_cast<size_t>(*len), "%04d-%02d-%02d %02d:%02d:%02d", vod_time->year, vod_time->month,
                  vod_time->day, vod_time->hour, vod_time->minute, vod_time->second);
    return 1;
}

time_t dvr_time_to_time_t(const dvr_time *dvr) {
    if (dvr == nullptr) {
        ZLOG(kLogError, "msg: dvr_time_to_time_t dvr_time == NULL");
        return -1;
    }
    return local_time_to_seconds(calendar_of(*dvr));
}

time_t utc_dvr_time_to_time_t(const dvr_time *dvr) {
    std::tm tm = calendar_of(*dvr);
    tm.tm_isdst = 0;
#ifdef _WIN32
    return _mkgmtime(&tm);
#else
    return timegm(&tm);
#endif
}

char *base64_encode(const unsigned char *in, int32_t len, char *out) {
    if (in == nullptr || out == nullptr)
        return nullptr;
    if (len <= 0) {
        out[0] = '\0';
        return out;
    }
    system_crypto::base64_encode(in, static_cast<size_t>(len), out);
    return out;
}

}  // namespace zel
