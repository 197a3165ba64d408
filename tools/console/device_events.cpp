#include "device_events.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace console {
namespace {

enum class Kind { I32, Time, Text64, CarType };

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

// Offsets of the event data records as the device SDK delivers them.
const EventKind kEvents[] = {
    {"temp_humidity",
     179,
     28,
     {{"channel", 4, Kind::I32}, {"type", 8, Kind::I32}, {"time", 12, Kind::Time}, {"raw_value", 24, Kind::I32}}},
    {"traffic_flow",
     124,
     548,
     {{"lane_no", 4, Kind::I32},
      {"flow", 8, Kind::I32},
      {"hold_rate", 12, Kind::I32},
      {"speed", 16, Kind::I32},
      {"distance", 20, Kind::I32},
      {"start_time", 24, Kind::Time},
      {"end_time", 36, Kind::Time},
      {"car_type", 48, Kind::CarType},  // count at 48, entries of 12 bytes from 52
      {"car_queue_length", 436, Kind::I32},
      {"head_distance", 440, Kind::I32},
      {"room_rate", 444, Kind::I32},
      {"run_state", 448, Kind::I32},
      {"road_name", 452, Kind::Text64},
      {"channel", 516, Kind::I32}}},
};

constexpr int32_t kMaxCarTypes = 32;

void put_i32(std::vector<uint8_t> &data, size_t offset, int32_t value) {
    std::memcpy(data.data() + offset, &value, sizeof value);
}

bool parse_i32(const std::string &text, int32_t &value) {
    char *end = nullptr;
    long v = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || v < INT32_MIN || v > INT32_MAX)
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

// "2026-12-05T08:30:00" as six 16-bit numbers.
bool put_time(std::vector<uint8_t> &data, size_t offset, const std::string &text) {
    unsigned v[6];
    char tail = 0;
    if (std::sscanf(text.c_str(), "%u-%u-%uT%u:%u:%u%c", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &tail) != 6)
        return false;
    for (size_t i = 0; i < 6; ++i) {
        auto part = static_cast<uint16_t>(v[i]);
        std::memcpy(data.data() + offset + 2 * i, &part, sizeof part);
    }
    return true;
}

bool put_car_type(std::vector<uint8_t> &data, size_t offset, const std::string &text) {
    size_t colon = text.find(':');
    int32_t type = 0, count = 0, used = 0;
    if (colon == std::string::npos || !parse_i32(text.substr(0, colon), type) ||
        !parse_i32(text.substr(colon + 1), count))
        return false;
    std::memcpy(&used, data.data() + offset, sizeof used);
    if (used >= kMaxCarTypes)
        return false;
    size_t entry = offset + 4 + static_cast<size_t>(used) * 12;
    put_i32(data, entry, 1);
    put_i32(data, entry + 4, type);
    put_i32(data, entry + 8, count);
    put_i32(data, offset, used + 1);
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
    case Kind::Text64:
        if (value.size() >= 64)
            return false;
        std::memcpy(data.data() + f.offset, value.c_str(), value.size() + 1);
        return true;
    case Kind::CarType: return put_car_type(data, f.offset, value);
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
