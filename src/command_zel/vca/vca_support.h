// Helpers shared by the analysis-rule, calibration and detection handlers.
#pragma once

#include <json-c/json.h>

#include <cstdint>
#include <span>

#include "vca_records.h"
#include "zel_json.h"

namespace zel {

// Reads integer member `key` (absent or unusable: -1). A negative value is
// refused with errno EINVAL and the log line `refusal`, or "<key> == -1"
// when no refusal text is given.
bool read_non_negative(json_object *jso, const char *key, int32_t &value, const char *refusal = nullptr);

// Copies the first `slots.size()` elements of a point list into the slots.
// An element that is missing (past the end of the list or JSON null) logs
// `missing`; one without a usable `x` or `y` logs "point x == -1" /
// "point y == -1". Such an element leaves its slot at (0, 0) but still
// counts as a point.
void fill_points(json_object *list, std::span<VcaPoint> slots, const char *missing = "point == NULL");

// The point-list member `key` when it is an array, else null.
json_object *array_member(json_object *jso, const char *key, json_object **member = nullptr);

}  // namespace zel
