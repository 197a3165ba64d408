#include "comm_func/local_time.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdint>

namespace zel {

#if defined(__GLIBC__)

// glibc's mktime reloads the zone (tzset) on every call, which looks at
// /etc/localtime when TZ is unset. Here a local time is converted with a
// table of the offsets from UTC in force around its hour, read through
// localtime_r, which does not reload the zone. A local time that no instant
// shows (skipped by a change to daylight saving) or that two instants show
// (repeated by the change back) is left to mktime itself, as is anything
// the table cannot describe.
namespace {

constexpr time_t kHour = 3600;
// No zone has ever been 16 hours or more away from UTC, so every instant
// that shows a time of one local hour lies within 16 hours of that hour.
constexpr time_t kReach = 16 * kHour;
// Offset changes one table holds; a window with more is left to mktime.
constexpr int kMaxSpans = 8;

// The steady-clock second in which the zone was last reloaded, and how many
// times it was: a thread's table is good for one generation only.
std::atomic<int64_t> s_zone_second{INT64_MIN};
std::atomic<uint64_t> s_zone_generation{1};

// The offset in force from `from` on, up to the next span's `from`.
struct Span {
    time_t from;
    time_t offset;
};

// The offsets in force over [hour - kReach, hour + kHour + kReach], where
// `hour` is the start of a local hour counted in seconds as if it were UTC.
struct HourTable {
    uint64_t generation = 0;
    time_t hour = 0;
    int count = 0;  // 0: not described, mktime decides
    Span spans[kMaxSpans];
};

thread_local HourTable t_table;

int64_t floor_div(int64_t a, int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// A calendar read as UTC: what the local time would count in seconds if its
// zone were UTC, its fields normalised as mktime normalises them (months
// into years, the other fields added as they stand). Plain arithmetic on
// the civil calendar: the runtime's timegm would take the zone's lock.
time_t seconds_as_utc(const std::tm &t) {
    const int64_t months = int64_t{t.tm_year} * 12 + t.tm_mon;
    int64_t year = 1900 + floor_div(months, 12);
    const int64_t month = months - floor_div(months, 12) * 12 + 1;
    // Days since 1970-01-01 of the month's first day, counted in 400-year eras from March.
    year -= month <= 2;
    const int64_t era = floor_div(year, 400);
    const int64_t year_of_era = year - era * 400;
    const int64_t day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5;
    const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    const int64_t days = era * 146097 + day_of_era - 719468 + (t.tm_mday - 1);
    return static_cast<time_t>(((days * 24 + t.tm_hour) * 60 + t.tm_min) * 60 + t.tm_sec);
}

bool offset_at(time_t instant, time_t &offset) {
    std::tm local{};
    if (localtime_r(&instant, &local) == nullptr)
        return false;
    offset = local.tm_gmtoff;
    return true;
}

// Reloads the zone when the steady clock has entered a new second since the
// last reload; one thread does it while the others go on with their tables.
void reload_zone_once_a_second() {
    using namespace std::chrono;
    const int64_t now = duration_cast<seconds>(steady_clock::now().time_since_epoch()).count();
    int64_t last = s_zone_second.load(std::memory_order_relaxed);
    if (now == last || !s_zone_second.compare_exchange_strong(last, now, std::memory_order_relaxed))
        return;
    tzset();
    s_zone_generation.fetch_add(1, std::memory_order_release);
}

// Samples the offset every hour across the window and finds the first
// second of each change by halving. False when the runtime cannot convert
// an instant, when the offset changes twice within a sampled hour (seen as
// a third offset) or more often than the table holds.
bool describe(HourTable &table) {
    table.count = 0;
    const time_t last = table.hour + kHour + kReach;
    time_t at = table.hour - kReach;
    time_t offset = 0;
    if (!offset_at(at, offset))
        return false;
    table.spans[table.count++] = {at, offset};
    for (at += kHour; at <= last; at += kHour) {
        time_t next = 0;
        if (!offset_at(at, next))
            return false;
        if (next == offset)
            continue;
        time_t before = at - kHour, after = at;
        while (after - before > 1) {
            const time_t mid = before + (after - before) / 2;
            time_t mid_offset = 0;
            if (!offset_at(mid, mid_offset) || (mid_offset != offset && mid_offset != next))
                return false;
            (mid_offset == offset ? before : after) = mid;
        }
        if (table.count == kMaxSpans)
            return false;
        table.spans[table.count++] = {after, next};
        offset = next;
    }
    return true;
}

HourTable &table_for(time_t hour) {
    HourTable &table = t_table;
    const uint64_t generation = s_zone_generation.load(std::memory_order_acquire);
    if (table.generation != generation || table.hour != hour) {
        table.generation = generation;
        table.hour = hour;
        if (!describe(table))
            table.count = 0;
    }
    return table;
}

}  // namespace

time_t local_time_to_seconds(const std::tm &local) {
    reload_zone_once_a_second();
    std::tm calendar = local;
    calendar.tm_isdst = -1;
    // mktime converts a time with seconds outside 0..59 as the minute's last
    // or first second and adds the rest afterwards, which near a change of
    // offset differs from counting them in: such times go to mktime.
    if (calendar.tm_sec >= 0 && calendar.tm_sec <= 59) {
        const time_t wall = seconds_as_utc(calendar);
        const HourTable &table = table_for(floor_div(wall, kHour) * kHour);
        // The instants showing this local time: at most one per span.
        int shown = 0;
        time_t instant = 0;
        for (int i = 0; i < table.count; ++i) {
            const time_t candidate = wall - table.spans[i].offset;
            const time_t end = i + 1 < table.count ? table.spans[i + 1].from : table.hour + kHour + kReach + 1;
            if (candidate >= table.spans[i].from && candidate < end) {
                instant = candidate;
                ++shown;
            }
        }
        if (shown == 1)
            return instant;
    }
    return std::mktime(&calendar);
}

void local_zone_changed() { s_zone_second.store(INT64_MIN, std::memory_order_relaxed); }

#else

// Other C runtimes convert without reloading the zone on every call.
time_t local_time_to_seconds(const std::tm &local) {
    std::tm calendar = local;
    calendar.tm_isdst = -1;
    return std::mktime(&calendar);
}

void local_zone_changed() {}

#endif

}  // namespace zel
