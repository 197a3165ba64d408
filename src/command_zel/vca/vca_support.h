// Helpers shared by the analysis-rule, calibration and detection handlers.
#pragma once

#include <json-c/json.h>

#include <cstdint>
#include <span>

#include "device_sdk_vca.h"
#include "handler_support.h"
#include "host_view.h"
#include "zel_json.h"

namespace zel {

// The opening checks of the commands whose refusals end with the host's id.
inline constexpr Opening kWithHostId{.host_id = ", host_id:%s"};

// What a point walk logs for an element it skips: one that is missing (past
// the end of the list or JSON null), or one without a usable `x` or `y`.
struct SkippedPoint {
    const char *missing = "point == NULL";
    const char *no_x = "point x == -1";
    const char *no_y = "point y == -1";
};

// One element of a point list; false (and logged) when it is skipped.
bool read_point(json_object *element, VcaPoint &point, const SkippedPoint &skipped = {});

// Copies the first `slots.size()` elements of a point list into the slots.
// A skipped element leaves its slot at (0, 0) but still counts as a point.
void fill_points(json_object *list, std::span<VcaPoint> slots, const SkippedPoint &skipped = {});

// The point-list member `key` when it is an array, else null; `member`
// receives the member whatever its type (null when absent or JSON null).
json_object *array_member(json_object *jso, const char *key, json_object **member = nullptr);

// Adds `count` points (never more than the record's slots) to `reply` as an
// array of {"x", "y"} objects; `array_what` / `point_what` are the level-5
// lines when they cannot be built.
void add_points(json_object *reply, const char *key, std::span<const VcaPoint> points, int32_t count,
                const char *array_what, const char *point_what);

// The channel of the commands that leave judging it to the device: a
// missing or negative `ch` is reported ("ch < 0, host_id:%s") and becomes the
// whole device. (read_device_channel takes -1 silently and refuses the rest.)
int32_t channel_or_whole_device(const HostView &host, json_object *jso);

// A member the device judges: a value below `least` (absent reads -1) is
// reported as "<key> < <least>, host_id:%s, ch:%d" and returned all the same.
int32_t read_reported(json_object *jso, const char *key, const HostView &host, int32_t ch, int32_t least = 0);

}  // namespace zel
