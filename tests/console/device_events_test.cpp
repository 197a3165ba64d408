// Event records the console builds from named fields: values land at the
// offsets the library reads, and bad words are refused with a reason.
#include <gtest/gtest.h>

#include <cstring>

#include "device_events.h"

namespace {

int32_t i32_at(const console::EventRecord &r, size_t offset) {
    int32_t v;
    std::memcpy(&v, r.data.data() + offset, sizeof v);
    return v;
}

TEST(DeviceEvents, FieldsLandAtTheirOffsets) {
    console::EventRecord r;
    std::string error;
    ASSERT_TRUE(console::build_event("traffic_flow",
                                     {"channel=3", "lane_no=2", "flow=0x10", "start_time=2026-12-05T08:07:09",
                                      "car_type=1:30", "car_type=4:7", "road_name=Harbour_Road"},
                                     r, error))
        << error;
    EXPECT_EQ(r.number, 124u);
    ASSERT_EQ(r.data.size(), 548u);
    EXPECT_EQ(i32_at(r, 516), 3);
    EXPECT_EQ(i32_at(r, 4), 2);
    EXPECT_EQ(i32_at(r, 8), 16);
    const uint16_t time[6] = {2026, 12, 5, 8, 7, 9};
    EXPECT_EQ(std::memcmp(r.data.data() + 24, time, sizeof time), 0);
    EXPECT_EQ(i32_at(r, 48), 2);  // car types counted, entries of 12 bytes from 52
    EXPECT_EQ(i32_at(r, 64), 1);
    EXPECT_EQ(i32_at(r, 68), 4);
    EXPECT_EQ(i32_at(r, 72), 7);
    EXPECT_STREQ(reinterpret_cast<const char *>(r.data.data() + 452), "Harbour_Road");

    ASSERT_TRUE(console::build_event("temp_humidity", {"channel=2", "type=1", "raw_value=1215"}, r, error));
    EXPECT_EQ(r.number, 179u);
    EXPECT_EQ(r.data.size(), 28u);
    EXPECT_EQ(i32_at(r, 8), 1);
    EXPECT_EQ(i32_at(r, 24), 1215);
}

TEST(DeviceEvents, BadWordsAreRefused) {
    const std::pair<const char *, std::vector<std::string>> cases[] = {
        {"no_such_event", {}},
        {"temp_humidity", {"colour=3"}},
        {"temp_humidity", {"channel"}},
        {"temp_humidity", {"channel=3x"}},
        {"temp_humidity", {"channel=4294967296"}},
        {"temp_humidity", {"time=2026-12-05 08:00:00"}},
        {"traffic_flow", {"car_type=1"}},
        {"traffic_flow", {"road_name=" + std::string(64, 'r')}},
    };
    for (const auto &[name, fields] : cases) {
        console::EventRecord r;
        std::string error;
        EXPECT_FALSE(console::build_event(name, fields, r, error)) << name << " " << fields.size();
        EXPECT_FALSE(error.empty());
    }
    // Thirty-two car types fit the record, a thirty-third does not.
    std::vector<std::string> many(32, "car_type=1:1");
    console::EventRecord r;
    std::string error;
    EXPECT_TRUE(console::build_event("traffic_flow", many, r, error));
    many.push_back("car_type=1:1");
    EXPECT_FALSE(console::build_event("traffic_flow", many, r, error));
}

}  // namespace
