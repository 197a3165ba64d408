#include "device_events.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "device_sdk_events.h"

namespace console {
namespace {

enum class Kind { I32, Time, Text, CarType };

struct Field {
    const char *name;
    size_t offset;
    Kind kind;
};

struct EventKind {
    const char *name;
    uint32_t number;
    size_t size;
    std::vector<Field> fields;
};

using Reading = temp_humidity_report;
using Traffic = ITSTrafficFlowReport;

// The event data records as the device SDK delivers them.
const EventKind kEvents[] = {
    {"temp_humidity",
     WCM_TEMP_HUMIDITY,
     sizeof(Reading),
     {{"channel", offsetof(Reading, channel), Kind::I32},
      {"type", offsetof(Reading, type), Kind::I32},
      {"time", offsetof(Reading, time), Kind::Time},
      {"raw_value", offsetof(Reading, raw_value), Kind::I32}}},
    {"traffic_flow",
     WCM_ITS_TRAFFIC_FLOW,
     sizeof(Traffic),
     {{"lane_no", offsetof(Traffic, lane_no), Kind::I32},
      {"flow", offsetof(Traffic, flow), Kind::I32},
      {"hold_rate", offsetof(Traffic, hold_rate), Kind::I32},
      {"speed", offsetof(Traffic, speed), Kind::I32},
      {"distance", offsetof(Traffic, distance), Kind::I32},
      {"start_time", offsetof(Traffic, start_time), Kind::Time},
      {"end_time", offsetof(Traffic, end_time), Kind::Time},
      {"car_type", offsetof(Traffic, car_type_total), Kind::CarType},  // the count, then its entries
      {"car_queue_length", offsetof(Traffic, car_queue_length), Kind::I32},
      {"head_distance", offsetof(Traffic, head_distance), Kind::I32},
      {"room_rate", offsetof(Traffic, room_rate), Kind::I32},
      {"run_state", offsetof(Traffic, run_state), Kind::I32},
      {"road_name", offsetof(Traffic, road_name), Kind::Text},
      {"channel", offsetof(Traffic, channel), Kind::I32}}},
};

void put_i32(std::vector<uint8_t> &data, size_t offset, int32_t value) {
    std::memcpy(data.data() + offset, &value, sizeof value);
}

bool parse_i32(const std::string &text, int32_t &value) {
    char *end = nullptr;
    // long long: a long has 32 bits on Windows, where strtol would clamp.
    long long v = std::strtoll(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || v < INT32_MIN || v > INT32_MAX)
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

// "2026-12-05T08:30:00" as the SDK's calendar time.
bool put_time(std::vector<uint8_t> &data, size_t offset, const std::string &text) {
    unsigned v[6];
    char tail = 0;
    if (std::sscanf(text.c_str(), "%u-%u-%uT%u:%u:%u%c", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &tail) != 6)
        return false;
    const dvr_time time{static_cast<uint16_t>(v[0]), static_cast<uint16_t>(v[1]), static_cast<uint16_t>(v[2]),
                        static_cast<uint16_t>(v[3]), static_cast<uint16_t>(v[4]), static_cast<uint16_t>(v[5])};
    std::memcpy(data.data() + offset, &time, sizeof time);
    return true;
}

// One more car-type counter of a traffic-flow report: "TYPE:COUNT".
bool put_car_type(std::vector<uint8_t> &data, const std::string &text) {
    size_t colon = text.find(':');
    int32_t type = 0, count = 0;
    if (colon == std::string::npos || !parse_i32(text.substr(0, colon), type) ||
        !parse_i32(text.substr(colon + 1), count))
        return false;
    Traffic report;
    std::memcpy(&report, data.data(), sizeof report);
    if (report.car_type_total < 0 || report.car_type_total >= MAX_ITS_CAR_TYPES)
        return false;
    report.car_types[report.car_type_total++] = its_car_type_count{1, type, count};
    std::memcpy(data.data(), &report, sizeof report);
    return true;
}

bool put_field(std::vector<uint8_t> &data, const Field &f, const std::string &value) {
    switch (f.kind) {
    case Kind::I32: {
        int32_t v = 0;
        if (!parse_i32(value, v))
            return false;
        put_i32(data, f.offset, v);
        return true;
    }
    case Kind::Time: return put_time(data, f.offset, value);
    case Kind::Text:
        if (value.size() >= sizeof(Traffic::road_name))
            return false;
        std::memcpy(data.data() + f.offset, value.c_str(), value.size() + 1);
        return true;
    case Kind::CarType: return put_car_type(data, value);
    }
    return false;
}

}  // namespace

std::string event_names() {
    std::string names;
    for (const EventKind &e : kEvents)
        names += (names.empty() ? "" : ", ") + std::string(e.name);
    return names;
}

bool build_event(const std::string &name, const std::vector<std::string> &fields, EventRecord &record,
                 std::string &error) {
    const EventKind *kind = nullptr;
    for (const EventKind &e : kEvents)
        if (name == e.name)
            kind = &e;
    if (kind == nullptr) {
        error = "no event " + name + " (events: " + event_names() + ")";
        return false;
    }
    record = {kind->number, std::vector<uint8_t>(kind->size, 0)};
    for (const std::string &word : fields) {
        size_t eq = word.find('=');
        std::string key = word.substr(0, eq);
        const Field *field = nullptr;
        for (const Field &f : kind->fields)
            if (key == f.name)
                field = &f;
        if (eq == std::string::npos || field == nullptr) {
            error = "no field " + key + " in " + name;
            return false;
        }
        if (!put_field(record.data, *field, word.substr(eq + 1))) {
            error = "bad value for " + key + ": " + word.substr(eq + 1);
            return false;
        }
    }
    return true;
}

}  // namespace console
