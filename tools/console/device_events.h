// Device event records the console can inject: each event has a name, the
// number the platform passes to cmd_main_notify, and named fields at their
// byte offsets in the event data record.
//
//   temp_humidity   (179)  channel, type (0 temperature, 1 humidity),
//                          time, raw_value (tenths above -100.0: 1215 = 21.5)
//   traffic_flow    (124)  channel, lane_no, flow, hold_rate, speed,
//                          distance, start_time, end_time, car_type
//                          (TYPE:COUNT, may repeat), car_queue_length,
//                          head_distance, room_rate, run_state, road_name
//
// Times are written 2026-12-05T08:30:00; texts without spaces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace console {

struct EventRecord {
    uint32_t number = 0;
    std::vector<uint8_t> data;
};

// Builds the record of event `name` from "field=value" words; false with
// the reason in `error` for an unknown event, field or value.
bool build_event(const std::string &name, const std::vector<std::string> &fields, EventRecord &record,
                 std::string &error);

// The names of the events, for messages.
std::string event_names();

}  // namespace console
