#include "vca_support.h"

#include "handler_support.h"

namespace zel {

bool read_point(json_object *element, VcaPoint &point, const SkippedPoint &skipped) {
    if (element == nullptr)
        return ZLOG(kLogError, "%s", skipped.missing), false;
    int32_t x = json_object_get_field_int(element, "x", -1);
    if (x == -1)
        return ZLOG(kLogError, "%s", skipped.no_x), false;
    int32_t y = json_object_get_field_int(element, "y", -1);
    if (y == -1)
        return ZLOG(kLogError, "%s", skipped.no_y), false;
    point = VcaPoint{x, y};
    return true;
}

void fill_points(json_object *list, std::span<VcaPoint> slots, const SkippedPoint &skipped) {
    for (size_t i = 0; i < slots.size(); ++i)
        read_point(json_object_array_get_idx(list, i), slots[i], skipped);
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
    auto n = static_cast<size_t>(clamp_count(count, static_cast<int32_t>(points.size())));
    for (size_t i = 0; i < n; ++i) {
        JsonPtr point = new_object(point_what);
        add(point.get(), "x", json_object_new_int(points[i].x), point_what);
        add(point.get(), "y", json_object_new_int(points[i].y), point_what);
        append(array.get(), point.release(), point_what);
    }
    add(reply, key, array.release(), array_what);
}

int32_t channel_or_whole_device(const HostView &host, json_object *jso) {
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch >= 0)
        return ch;
    ZLOG(kLogError, "ch < 0, host_id:%s", host.id());
    return kAllChannels;
}

int32_t read_reported(json_object *jso, const char *key, const HostView &host, int32_t ch, int32_t least) {
    int32_t value = json_object_get_field_int(jso, key, -1);
    if (value < least)
        ZLOG(kLogError, "%s < %d, host_id:%s, ch:%d", key, least, host.id(), ch);
    return value;
}

}  // namespace zel
