// GPS danger area (set 7): an area number and up to eight points, each a
// longitude and a latitude in direction, degrees, minutes and seconds.
#include "device_sdk_settings.h"
#include "handler_support.h"
#include "host_view.h"
#include "settings/settings_handlers.h"

namespace zel {
namespace {

// One field of a coordinate, its bounds and the line that refuses it for
// the latitude (0) and the longitude (1).
struct CoordinateRule {
    const char *key;
    int32_t gps_coordinate::*field;
    int32_t low;
    int32_t high;
    const char *refusal[2];
};

// In the order the fields are checked. Degrees run to 180 and seconds to
// 5999 for both coordinates; the device takes the values as they are.
constexpr CoordinateRule kCoordinateRules[] = {
    {"degree",
     &gps_coordinate::degree,
     0,
     180,
     {"latitude_degree < 0 || latitude_degree > 180", "longitude_degree < 0 || longitude_degree > 180"}},
    {"direction",
     &gps_coordinate::direction,
     0,
     1,
     {"latitude_direction != 0 && latitude_direction != 1", "longitude_direction != 0 && longitude_direction != 1"}},
    {"minute",
     &gps_coordinate::minute,
     0,
     60,
     {"latitude_minute < 0 || latitude_minute > 60", "longitude_minute < 0 || longitude_minute > 60"}},
    {"second",
     &gps_coordinate::second,
     0,
     5999,
     {"latitude_second < 0 || latitude_second > 5999", "longitude_second < 0 || longitude_second > 5999"}},
};

enum Axis : size_t { kLatitude = 0, kLongitude = 1 };

bool read_coordinate(json_object *jso, Axis axis, gps_coordinate &coordinate) {
    for (const CoordinateRule &rule : kCoordinateRules) {
        int32_t value = json_object_get_field_int(jso, rule.key, -1);
        if (value < rule.low || value > rule.high)
            return ZREFUSE("%s", rule.refusal[axis]);
        coordinate.*rule.field = value;
    }
    return true;
}

// A point with every field in bounds; a point that fails is logged and its
// slot stays zero.
bool read_point(json_object *jso, gps_point &point) {
    if (jso == nullptr)
        return ZREFUSE("is_error(jso_gps_point)");
    json_object *latitude = json_object_object_get(jso, "latitude");
    if (latitude == nullptr)
        return ZREFUSE("is_error(jso_latitude)");
    json_object *longitude = json_object_object_get(jso, "longitude");
    if (longitude == nullptr)
        return ZREFUSE("is_error(jso_longitude)");
    gps_point read{};
    if (!read_coordinate(latitude, kLatitude, read.latitude) || !read_coordinate(longitude, kLongitude, read.longitude))
        return false;
    point = read;
    return true;
}

}  // namespace

int32_t set_gps_danger_area(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    auto area = sized_record<gps_danger_area>();
    if (!read_non_negative(jso, "ch", area.channel) ||
        !read_in_range(jso, "area_num", area.area_num, 0, 127, "area_num < 0 || area_num > 127"))
        return 0;
    json_object *points = json_object_object_get(jso, "gps_point");
    if (points == nullptr || !json_object_is_type(points, json_type_array))
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso_gps_points)");
    auto count = static_cast<int32_t>(json_object_array_length(points));
    if (count != 0 && (count < 3 || count > MAX_GPS_POINT_NUM))
        return ZFAIL(CMD_ZEL_EINVAL, "gps_point_num != 0 && (gps_point_num < 3 || gps_point_num > 8)");
    area.point_num = count;
    for (int32_t i = 0; i < count; ++i)
        read_point(json_object_array_get_idx(points, static_cast<size_t>(i)), area.points[i]);

    int32_t ret = NetClient_SetDevConfig(HostView(host).loginfd(), NET_CLIENT_GPS_DANGERAREA, area.channel, &area,
                                         record_len<gps_danger_area>());
    if (ret != 0)
        return ZFAIL(CMD_ZEL_ENOTDONE, "NetClient_SetDevConfig--NET_CLIENT_GPS_DANGERAREA failed, ret = %d", ret);
    return 1;
}

}  // namespace zel
