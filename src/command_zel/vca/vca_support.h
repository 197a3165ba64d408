// Helpers shared by the analysis-rule, calibration and detection handlers.
#pragma once

#include <json-c/json.h>

#include <cstdint>
#include <span>

#include "host_view.h"
#include "vca_records.h"
#include "zel_json.h"

namespace zel {

// Copies the first `slots.size()` elements of a point list into the slots.
// An element that is missing (past the end of the list or JSON null) logs
// `missing`; one without a usable `x` or `y` logs "point x == -1" /
// "point y == -1". Such an element leaves its slot at (0, 0) but still
// counts as a point.
void fill_points(json_object *list, std::span<VcaPoint> slots, const char *missing = "point == NULL");

// The point-list member `key` when it is an array, else null; `member`
// receives the member whatever its type (null when absent or JSON null).
json_object *array_member(json_object *jso, const char *key, json_object **member = nullptr);

// Adds `count` points (never more than the record's slots) to `reply` as an
// array of {"x", "y"} objects; `array_what` / `point_what` are the level-5
// lines when they cannot be built.
void add_points(json_object *reply, const char *key, std::span<const VcaPoint> points, int32_t count,
                const char *array_what, const char *point_what);

// The channel of the commands that fall back to the whole device: a missing
// or negative `ch` is reported and becomes the SDK's whole-device channel.
int32_t channel_or_whole_device(const HostView &host, json_object *jso);

}  // namespace zel
