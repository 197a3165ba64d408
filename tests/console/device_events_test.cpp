// Words the console cannot turn into an event record are refused with a
// reason. (Where good words land is seen end to end by the console demo.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device_events.h"
#include "device_sdk_events.h"

namespace {

TEST(DeviceEvents, BadWordsAreRefusedAndThirtyTwoCarTypesFit) {
    const std::pair<const char *, std::vector<std::string>> cases[] = {
        {"no_such_event", {}},
        {"temp_humidity", {"colour=3"}},
        {"temp_humidity", {"channel"}},
        {"temp_humidity", {"channel=3x"}},
        {"temp_humidity", {"channel=4294967296"}},
        {"temp_humidity", {"time=2026-12-05 08:00:00"}},
        {"traffic_flow", {"car_type=1"}},
        {"traffic_flow", {"road_name=" + std::string(64, 'r')}},
        {"traffic_flow", std::vector<std::string>(MAX_ITS_CAR_TYPES + 1, "car_type=1:1")},
    };
    for (const auto &[name, fields] : cases) {
        console::EventRecord r;
        std::string error;
        EXPECT_FALSE(console::build_event(name, fields, r, error)) << name << " " << fields.size();
        EXPECT_FALSE(error.empty());
    }
    console::EventRecord r;
    std::string error;
    EXPECT_TRUE(
        console::build_event("traffic_flow", std::vector<std::string>(MAX_ITS_CAR_TYPES, "car_type=1:1"), r, error));
}

}  // namespace
