// Device calendar times and Base64.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <thread>

#include "comm_func/comm_func.h"
#include "comm_func/local_time.h"
#include "platform_fixture.h"
#include "portable.h"

namespace {

using zel::dvr_time;
using Strings = std::vector<std::string>;

// Runs `body` in the time zone `zone`, then restores the previous one.
void in_zone(const char *zone, const std::function<void()> &body) {
    const char *old = std::getenv("TZ");
    const std::string saved = old != nullptr ? old : "";
    test::set_env("TZ", zone);
    tzset();
    zel::local_zone_changed();
    body();
    if (old != nullptr)
        test::set_env("TZ", saved.c_str());
    else
        test::unset_env("TZ");
    tzset();
    zel::local_zone_changed();
}

bool same(const dvr_time &a, const dvr_time &b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(TimeText, FieldsAreReadAtTheirPositionsAndNeverPastTheTextsEnd) {
    const std::pair<const char *, dvr_time> cases[] = {
        {"2024-01-05 07:08:09", {2024, 1, 5, 7, 8, 9}},
        {"2024-01-05T07:08:09", {2024, 1, 5, 7, 8, 9}},
        {"2024/13/45 99:99:99", {2024, 13, 45, 99, 99, 99}},
        // atoi per field: leading blanks and signs, nothing read into a neighbour.
        {"  24-+1-x5 -7:08:09", {24, 1, 0, static_cast<uint16_t>(-7), 8, 9}},
        {"2024-01", {2024, 1, 0, 0, 0, 0}},
        {"", {0, 0, 0, 0, 0, 0}},
        {"2024-01-05 07:08:0", {2024, 1, 5, 7, 8, 0}},
    };
    for (const auto &[text, expected] : cases) {
        // A heap copy of exact length lets AddressSanitizer catch any overread.
        const size_t n = std::strlen(text) + 1;
        char *copy = static_cast<char *>(std::malloc(n));
        std::memcpy(copy, text, n);
        dvr_time t{};
        EXPECT_EQ(zel::str_to_dvr_time(copy, &t), 1);
        EXPECT_TRUE(same(t, expected)) << text;
        std::free(copy);
    }
}

TEST(TimeText, FormattingNeedsTwentyBytes) {
    test::LogCapture log;
    dvr_time t{2024, 1, 5, 7, 8, 9};
    char buf[32];
    std::memset(buf, 'x', sizeof buf);
    int32_t len = 19;
    EXPECT_EQ(zel::dvr_time_to_str(&t, buf, &len), 0);
    EXPECT_EQ(buf[0], 'x');
    len = 20;
    ASSERT_EQ(zel::dvr_time_to_str(&t, buf, &len), 1);
    EXPECT_STREQ(buf, "2024-01-05 07:08:09");
    // Out-of-range fields never write past the given length.
    dvr_time wide{65535, 65535, 65535, 65535, 65535, 65535};
    ASSERT_EQ(zel::dvr_time_to_str(&wide, buf, &len), 1);
    EXPECT_EQ(std::strlen(buf), 19u);
    EXPECT_EQ(buf[20], 'x');

    EXPECT_EQ(zel::dvr_time_to_str(nullptr, buf, &len), 0);
    EXPECT_EQ(zel::dvr_time_to_str(&t, nullptr, &len), 0);
    EXPECT_EQ(zel::str_to_dvr_time(nullptr, &t), 0);
    EXPECT_EQ(zel::dvr_time_to_time_t(nullptr), -1);
    EXPECT_EQ(log.messages(),
              (Strings{"len < MIN_STR_TIME_LEN", "vod_time == NULL", "szTime == NULL",
                       "szTime == NULL || vod_time == NULL", "msg: dvr_time_to_time_t dvr_time == NULL"}));
}

TEST(TimeSeconds, LocalTimeFollowsTheZoneAndItsDaylightSavingUtcIgnoresIt) {
#ifdef _WIN32
    // The Windows C runtime knows zones only as offset and daylight-saving
    // name, with its own change dates: one winter and one summer day.
    const char *berlin = "CET-1CEST";
#else
    const char *berlin = "Europe/Berlin";
#endif
    in_zone(berlin, [] {
        dvr_time winter{2024, 1, 15, 12, 0, 0};  // UTC+1
        dvr_time summer{2024, 7, 15, 12, 0, 0};  // UTC+2
        EXPECT_EQ(zel::dvr_time_to_time_t(&winter), 1705316400);
        EXPECT_EQ(zel::dvr_time_to_time_t(&summer), 1721037600);
#ifndef _WIN32
        // Across the spring change: 01:59:59 and 03:00:00 are one second apart.
        dvr_time before{2024, 3, 31, 1, 59, 59}, after{2024, 3, 31, 3, 0, 0};
        EXPECT_EQ(zel::dvr_time_to_time_t(&after) - zel::dvr_time_to_time_t(&before), 1);
#endif
    });
    for (const char *zone : {"UTC0", "CET-1CEST", "EST5EDT", "IST-5:30"}) {
        in_zone(zone, [zone] {
            // Local times that do not exist or exist twice in New York or Berlin are still UTC times.
            dvr_time epoch{1970, 1, 1, 0, 0, 0}, gap{2024, 3, 10, 2, 30, 0}, fall{2024, 10, 27, 2, 30, 0};
            EXPECT_EQ(zel::utc_dvr_time_to_time_t(&epoch), 0) << zone;
            EXPECT_EQ(zel::utc_dvr_time_to_time_t(&gap), 1710037800) << zone;
            EXPECT_EQ(zel::utc_dvr_time_to_time_t(&fall), 1729996200) << zone;
        });
    }
}

// dvr_time_to_time_t against mktime; ours first, as mktime may follow its
// own previous result for a repeated time.
void expect_as_mktime(const dvr_time &t) {
    const time_t ours = zel::dvr_time_to_time_t(&t);
    std::tm tm = zel::calendar_of(t);
    EXPECT_EQ(ours, std::mktime(&tm)) << std::getenv("TZ") << " " << t.year << "-" << t.month << "-" << t.day << " "
                                      << t.hour << ":" << t.minute << ":" << t.second;
}

// Two days around each change of a zone's offset, every quarter hour and
// the last second before it, and fields out of range: the seconds mktime
// gives, also for the local times a change skips or repeats.
TEST(TimeSeconds, LocalTimeIsMktimesAroundEveryChangeOfOffset) {
    struct Change {
        const char *zone;
        uint16_t year, month, day;
    };
    const Change changes[] = {
        {"Europe/Berlin", 2024, 3, 31},      {"Europe/Berlin", 2024, 10, 27},
        {"America/New_York", 2024, 3, 10},   {"America/New_York", 2024, 11, 3},
        {"Asia/Kolkata", 1869, 12, 31},      {"Asia/Kolkata", 1945, 10, 14},        // 32 min back, then its last change
        {"Australia/Lord_Howe", 2024, 4, 7}, {"Australia/Lord_Howe", 2024, 10, 6},  // half an hour
        {"America/Sao_Paulo", 2018, 11, 4},                                         // at midnight
        {"Pacific/Apia", 2011, 12, 30},                                             // a whole day skipped
    };
    for (const Change &c : changes)
        in_zone(c.zone, [&c] {
            for (int day = c.day - 1; day <= c.day + 1; ++day)
                for (int minute = 0; minute < 24 * 60; minute += 15)
                    for (int second : {0, 14 * 60 + 59})
                        expect_as_mktime(
                            {c.year, c.month, static_cast<uint16_t>(day), static_cast<uint16_t>(minute / 60),
                             static_cast<uint16_t>(minute % 60 + second / 60), static_cast<uint16_t>(second % 60)});
        });
    const dvr_time odd[] = {{2024, 13, 45, 99, 99, 59},
                            {2024, 0, 0, 0, 0, 0},
                            {2024, 3, 31, 1, 59, 99},
                            {2100, 2, 29, 12, 0, 0},
                            {2000, 2, 29, 12, 0, 0},
                            {1601, 1, 1, 0, 0, 0},
                            {65535, 65535, 65535, 65535, 65535, 59}};
    in_zone("Europe/Berlin", [&odd] {
        for (const dvr_time &t : odd)
            expect_as_mktime(t);
    });
}

// The Windows C runtime reads its zone only when told to (_tzset), so there
// the library converts through mktime and a silent change is not seen.
#ifndef _WIN32
TEST(TimeSeconds, AChangeOfTheMachinesZoneShowsWithinASecond) {
    in_zone("UTC0", [] {
        const dvr_time noon{2024, 1, 15, 12, 0, 0};
        ASSERT_EQ(zel::dvr_time_to_time_t(&noon), 1705320000);
        test::set_env("TZ", "Asia/Kolkata");  // nobody tells the library
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        time_t seconds = 0;
        while ((seconds = zel::dvr_time_to_time_t(&noon)) == 1705320000 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(seconds, 1705320000 - 19800);
    });
}
#endif

TEST(Base64, EncodesWithPaddingAndUnsignedBytes) {
    char out[4 * 16 + 1];  // the 48-byte input needs all of it
    auto enc = [&](const std::string &bytes) {
        return std::string(zel::base64_encode(reinterpret_cast<const unsigned char *>(bytes.data()),
                                              static_cast<int32_t>(bytes.size()), out));
    };
    const std::pair<std::string, std::string> cases[] = {
        {"abc", "YWJj"}, {"ab", "YWI="}, {std::string(1, '\0'), "AA=="}, {"", ""}, {"\xff\xfe\xfd\x80", "//79gA=="}};
    for (const auto &[in, encoded] : cases)
        EXPECT_EQ(enc(in), encoded);
    EXPECT_EQ(enc(std::string(48, 'x')).find('\n'), std::string::npos);  // no line breaks however long
    EXPECT_EQ(enc(std::string(48, 'x')).size(), 64u);
    EXPECT_EQ(zel::base64_encode(nullptr, 3, out), nullptr);
    EXPECT_EQ(zel::base64_encode(reinterpret_cast<const unsigned char *>("a"), 1, nullptr), nullptr);
}

}  // namespace
