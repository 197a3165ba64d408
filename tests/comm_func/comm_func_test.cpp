// Device calendar times and Base64.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "comm_func/comm_func.h"
#include "platform_fixture.h"

namespace {

using zel::dvr_time;

// Runs a test body in a given time zone and restores the previous one.
class ZoneScope {
  public:
    explicit ZoneScope(const char *zone) {
        if (const char *old = std::getenv("TZ"))
            saved_ = old, had_ = true;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope() {
        if (had_)
            setenv("TZ", saved_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

  private:
    std::string saved_;
    bool had_ = false;
};

dvr_time make(uint16_t y, uint16_t mo, uint16_t d, uint16_t h, uint16_t mi, uint16_t s) {
    return dvr_time{y, mo, d, h, mi, s};
}

bool same(const dvr_time &a, const dvr_time &b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(TimeText, FieldsAreReadAtTheirPositionsWhateverTheSeparators) {
    dvr_time t{};
    ASSERT_EQ(zel::str_to_dvr_time("2024-01-05 07:08:09", &t), 1);
    EXPECT_TRUE(same(t, make(2024, 1, 5, 7, 8, 9)));
    ASSERT_EQ(zel::str_to_dvr_time("2024-01-05T07:08:09", &t), 1);
    EXPECT_TRUE(same(t, make(2024, 1, 5, 7, 8, 9)));
    ASSERT_EQ(zel::str_to_dvr_time("2024/13/45 99:99:99", &t), 1);
    EXPECT_TRUE(same(t, make(2024, 13, 45, 99, 99, 99)));
    // atoi per field: leading blanks and signs, nothing read into a neighbour.
    ASSERT_EQ(zel::str_to_dvr_time("  24-+1-x5 -7:08:09", &t), 1);
    EXPECT_EQ(t.year, 24);
    EXPECT_EQ(t.month, 1);
    EXPECT_EQ(t.day, 0);
    EXPECT_EQ(t.hour, static_cast<uint16_t>(-7));
    // Values are cut to 16 bits.
    ASSERT_EQ(zel::str_to_dvr_time("9999-99-99 99:99:99", &t), 1);
    EXPECT_EQ(t.year, 9999);
}

TEST(TimeText, ShortTextIsNeverReadPastItsEnd) {
    // Heap copies of exact length let AddressSanitizer catch any overread.
    for (const char *text : {"", "2", "2024-01", "2024-01-05 07:08:0"}) {
        size_t n = std::strlen(text) + 1;
        char *copy = static_cast<char *>(std::malloc(n));
        std::memcpy(copy, text, n);
        dvr_time t{};
        EXPECT_EQ(zel::str_to_dvr_time(copy, &t), 1);
        std::free(copy);
    }
    dvr_time t{};
    char partial[] = "2024-01";
    zel::str_to_dvr_time(partial, &t);
    EXPECT_TRUE(same(t, make(2024, 1, 0, 0, 0, 0)));
}

TEST(TimeText, FormattingNeedsTwentyBytes) {
    test::LogCapture log;
    dvr_time t = make(2024, 1, 5, 7, 8, 9);
    char buf[32];
    std::memset(buf, 'x', sizeof buf);
    int32_t len = 19;
    EXPECT_EQ(zel::dvr_time_to_str(&t, buf, &len), 0);
    EXPECT_EQ(buf[0], 'x');
    len = 20;
    ASSERT_EQ(zel::dvr_time_to_str(&t, buf, &len), 1);
    EXPECT_STREQ(buf, "2024-01-05 07:08:09");
    EXPECT_EQ(len, 20);
    // Out-of-range fields never write past the given length.
    dvr_time wide = make(65535, 65535, 65535, 65535, 65535, 65535);
    ASSERT_EQ(zel::dvr_time_to_str(&wide, buf, &len), 1);
    EXPECT_EQ(std::strlen(buf), 19u);
    EXPECT_EQ(buf[20], 'x');

    EXPECT_EQ(zel::dvr_time_to_str(nullptr, buf, &len), 0);
    EXPECT_EQ(zel::dvr_time_to_str(&t, nullptr, &len), 0);
    EXPECT_EQ(zel::str_to_dvr_time(nullptr, &t), 0);
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"len < MIN_STR_TIME_LEN", "vod_time == NULL", "szTime == NULL",
                                                        "szTime == NULL || vod_time == NULL"}));
}

TEST(TimeSeconds, LocalTimeFollowsTheZoneAndItsDaylightSaving) {
    {
        ZoneScope zone("UTC0");
        dvr_time epoch = make(1970, 1, 1, 0, 0, 0);
        EXPECT_EQ(zel::dvr_time_to_time_t(&epoch), 0);
    }
    ZoneScope zone("Europe/Berlin");
    dvr_time winter = make(2024, 1, 15, 12, 0, 0);  // UTC+1
    dvr_time summer = make(2024, 7, 15, 12, 0, 0);  // UTC+2
    EXPECT_EQ(zel::dvr_time_to_time_t(&winter), 1705316400);
    EXPECT_EQ(zel::dvr_time_to_time_t(&summer), 1721037600);
    // Across the spring change: 01:59:59 and 03:00:00 are one second apart.
    dvr_time before = make(2024, 3, 31, 1, 59, 59);
    dvr_time after = make(2024, 3, 31, 3, 0, 0);
    EXPECT_EQ(zel::dvr_time_to_time_t(&after) - zel::dvr_time_to_time_t(&before), 1);

    test::LogCapture log;
    EXPECT_EQ(zel::dvr_time_to_time_t(nullptr), -1);
    EXPECT_TRUE(log.contains("msg: dvr_time_to_time_t dvr_time == NULL"));
}

TEST(TimeSeconds, UtcReadingIgnoresTheLocalZone) {
    for (const char *zone_name : {"UTC0", "Europe/Berlin", "America/New_York", "Asia/Kolkata"}) {
        ZoneScope zone(zone_name);
        dvr_time epoch = make(1970, 1, 1, 0, 0, 0);
        EXPECT_EQ(zel::utc_dvr_time_to_time_t(&epoch), 0) << zone_name;
        // A local time that does not exist in New York or Berlin is still a UTC time.
        dvr_time gap = make(2024, 3, 10, 2, 30, 0);
        EXPECT_EQ(zel::utc_dvr_time_to_time_t(&gap), 1710037800) << zone_name;
        dvr_time fall = make(2024, 10, 27, 2, 30, 0);
        EXPECT_EQ(zel::utc_dvr_time_to_time_t(&fall), 1729996200) << zone_name;
    }
}

TEST(Base64, EncodesWithPaddingAndUnsignedBytes) {
    char out[4 * 16 + 1];  // the 48-byte input needs all of it
    auto enc = [&](const std::string &bytes) {
        return std::string(zel::base64_encode(reinterpret_cast<const unsigned char *>(bytes.data()),
                                              static_cast<int32_t>(bytes.size()), out));
    };
    EXPECT_EQ(enc("abc"), "YWJj");
    EXPECT_EQ(enc("ab"), "YWI=");
    EXPECT_EQ(enc(std::string(1, '\0')), "AA==");
    EXPECT_EQ(enc(""), "");
    EXPECT_EQ(enc("\xff\xfe\xfd\x80"), "//79gA==");
    std::string long_input(48, 'x');  // no line breaks however long
    EXPECT_EQ(enc(long_input).find('\n'), std::string::npos);
    EXPECT_EQ(enc(long_input).size(), 64u);
    EXPECT_EQ(zel::base64_encode(nullptr, 3, out), nullptr);
    EXPECT_EQ(zel::base64_encode(reinterpret_cast<const unsigned char *>("a"), 1, nullptr), nullptr);
}

}  // namespace
