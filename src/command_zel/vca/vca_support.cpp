#include "vca_support.h"

#include <algorithm>

namespace zel {

void fill_points(json_object *list, std::span<VcaPoint> slots, const char *missing) {
    for (size_t i = 0; i < slots.size(); ++i) {
        json_object *point = json_object_array_get_idx(list, i);
        if (point == nullptr) {
            ZLOG(kLogError, "%s", missing);
            continue;
        }
        int32_t x = json_object_get_field_int(point, "x", -1);
        if (x == -1) {
            ZLOG(kLogError, "point x == -1");
            continue;
        }
        int32_t y = json_object_get_field_int(point, "y", -1);
        if (y == -1) {
            ZLOG(kLogError, "point y == -1");
            continue;
        }
        slots[i] = VcaPoint{x, y};
    }
}

json_object *array_member(json_object *jso, const char *key, json_object **member) {
    json_object *value = nullptr;
    if (!json_object_object_get_ex(jso, key, &value))
        value = nullptr;
    if (member != nullptr)
        *member = value;
    return json_object_is_type(value, json_type_array) ? value : nullptr;
}

void add_points(json_object *reply, const char *key, std::span<const VcaPoint> points, int32_t count,
                const char *array_what, const char *point_what) {
    JsonPtr array = new_array(array_what);
    size_t n = static_cast<size_t>(std::clamp(count, 0, static_cast<int32_t>(points.size())));
    for (size_t i = 0; i < n; ++i) {
        JsonPtr point = new_object(point_what);
        add(point.get(), "x", json_object_new_int(points[i].x), point_what);
        add(point.get(), "y", json_object_new_int(points[i].y), point_what);
        append(array.get(), point.release(), point_what);
    }
    add(reply, key, array.release(), array_what);
}

int32_t channel_or_whole_device(const HostView &host, json_object *jso) {
    constexpr int32_t kWholeDevice = 0x7FFFFFFF;
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0) {
        ZLOG(kLogError, "ch < 0, host_id:%s", host.id());
        ch = kWholeDevice;
    }
    return ch;
}

}  // namespace zel
