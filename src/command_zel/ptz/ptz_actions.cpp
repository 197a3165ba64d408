// Camera actions beyond single moves: a channel shown on one screen of a
// video output (set 75), scans (set 79) and cruise templates (set 78).
// Their member refusals carry no error code.
#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "device_sdk_ptz.h"
#include "handler_support.h"
#include "host_view.h"
#include "ptz/ptz_handlers.h"

namespace zel {
namespace {

constexpr Opening kWithHostId{.host_id = ", host_id:%s"};

// The scan operation that drives the scan at a speed instead of setting it.
constexpr int32_t kScanAtSpeed = 3;

constexpr IntMember<ptz_scan> kScanMembers[] = {
    {"group_id", &ptz_scan::group_id, "group_id < 0"},
    {"scan_type", &ptz_scan::scan_type, "scan_type < 0"},
    {"scan_speed", &ptz_scan::scan_speed, "scan_speed < 0"},
    {"operation", &ptz_scan::operation, "operation < 0"},
};

constexpr IntMember<cruise> kCruiseMembers[] = {
    {"scene_type", &cruise::scene_type, "scene_type < 0"},
    {"cruise_type", &cruise::cruise_type, "cruise_type < 0"},
    {"cruise_id", &cruise::cruise_id, "cruise_id < 0"},
    {"scene_id", &cruise::scene_id, "scene_id < 0"},
    {"enable", &cruise::enable, "enable < 0"},
    {"week", &cruise::week, "week < 0"},
    {"detect_car_type", &cruise::detect_car_type, "detect_car_type < 0"},
};

// "-1" addresses the whole device; other values go as they are.
int32_t device_channel(int32_t ch) { return ch == -1 ? kAllChannels : ch; }

struct ClockTime {
    int32_t hour;
    int32_t minute;
};

// A number read from the first 7 characters of `text` (atoi's rules).
int32_t leading_number(std::string_view text) {
    char work[8] = {};
    text.copy(work, sizeof work - 1);
    return std::atoi(work);
}

// "HH:MM": the text before the first colon is the hour, the text after it
// the minute; a text without a colon is 0:00.
ClockTime clock_time(std::string_view text) {
    size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return {0, 0};
    return {leading_number(text.substr(0, colon)), leading_number(text.substr(colon + 1))};
}

// The stops of "time_range"; a stop without "remain_time" keeps scene 0.
void read_stops(json_object *range, size_t count, cruise_point *stops) {
    for (size_t i = 0; i < count; ++i) {
        json_object *stop = json_object_array_get_idx(range, i);
        if (stop == nullptr) {
            ZLOG(kLogError, "range_info == NULL");
            continue;
        }
        const int index = static_cast<int>(i);
        stops[i].iRemainTime = json_object_get_field_int(stop, "remain_time", -1);
        if (stops[i].iRemainTime == -1) {
            ZLOG(kLogError, "cruise.ptInfo[%d].iRemainTime == -1", index);
            continue;
        }
        stops[i].iSceneID = json_object_get_field_int(stop, "scene_id", -1);
        if (stops[i].iSceneID == -1)
            ZLOG(kLogError, "cruise.ptInfo[%d].iSceneID == -1", index);
    }
}

}  // namespace

int32_t set_linkage_single_screen(void *host, json_object *jso) {
    if (!has_command(host, jso, kWithHostId))
        return 0;
    auto linkage = sized_record<linkage_single_screen>();
    if (!read_non_negative(jso, "vo_devid", linkage.vo_devid, {"vo_devid < 0", kKeepErrno}) ||
        !read_non_negative(jso, "action", linkage.action, {"action < 0", kKeepErrno}))
        return 0;
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < -1)
        return ZREFUSE("ch < -1");

    HostView dev(host);
    ZLOG(kLogError, "set_linkage_single_screen host_id: %s, ch:%d", dev.id(), ch);
    ch = device_channel(ch);
    int32_t ret = NetClient_SendCommand(dev.loginfd(), COMMAND_ID_LINKAGE_SINGLE_SCREEN, ch, &linkage,
                                        record_len<linkage_single_screen>());
    if (ret != 0)
        return ZREFUSE("NetClient_SendCommand failed, host_id: %s, ch:%d, ret_value: %d, err_code: %lx", dev.id(), ch,
                       ret, sdk_error());
    return 1;
}

int32_t set_ptz_scan(void *host, json_object *jso) {
    if (!has_command(host, jso, kWithHostId))
        return 0;
    HostView dev(host);
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    ZLOG(kLogError, "set_ptz_scan host_id: %s, ch:%d", dev.id(), ch);
    ch = device_channel(ch);
    ptz_scan scan{};
    scan.tag = PTZ_SCAN_TAG;
    if (!read_non_negative_members<ptz_scan>(jso, kScanMembers, scan, kKeepErrno))
        return 0;

    // Driving a scan is fire-and-forget: the device does not answer it.
    if (scan.operation == kScanAtSpeed) {
        NetClient_DeviceCtrlEx(dev.loginfd(), ch, DEVICE_CTRL_PTZ_SCAN, scan.scan_speed, scan.scan_speed, 0);
        return 1;
    }
    int32_t ret = NetClient_SetDevConfig(dev.loginfd(), NET_CLIENT_PTZ_SCAN, ch, &scan, record_len<ptz_scan>());
    if (ret != 0)
        return ZREFUSE("set_ptz_scan err, NetClient_SetDevConfig faild, err_code:%lx, host_id:%s", sdk_error(),
                       dev.id());
    return 1;
}

int32_t set_cruise_template(void *host, json_object *jso) {
    if (!has_command(host, jso, kWithHostId))
        return 0;
    HostView dev(host);
    int32_t ch = 0;
    auto tour = sized_record<cruise>();
    if (!read_non_negative(jso, "ch", ch, {"ch < 0", kKeepErrno}) ||
        !read_non_negative_members<cruise>(jso, kCruiseMembers, tour, kKeepErrno))
        return 0;
    const char *start = json_object_get_field_string(jso, "start_time");
    if (start == nullptr)
        return ZREFUSE("start_time == NULL");
    const char *end = json_object_get_field_string(jso, "end_time");
    if (end == nullptr)
        return ZREFUSE("end_time == NULL");
    json_object *range = json_object_object_get(jso, "time_range");
    if (range == nullptr)
        return ZREFUSE("is_error(time_range), id: %s, ch: %d", dev.id(), ch);
    if (!json_object_is_type(range, json_type_array))
        return ZREFUSE("!json_object_is_type(time_range, json_type_array), id: %s, ch: %d", dev.id(), ch);
    size_t count = json_object_array_length(range);
    if (count < 1 || count > MAX_CRUISE_POINTS)
        return ZREFUSE("len <= 0 id: %s, ch: %d, len: %d", dev.id(), ch,
                       static_cast<int>(std::min<size_t>(count, INT_MAX)));

    ClockTime from = clock_time(start), to = clock_time(end);
    tour.start_hour = from.hour;
    tour.start_minute = from.minute;
    tour.end_hour = to.hour;
    tour.end_minute = to.minute;
    std::array<cruise_point, MAX_CRUISE_POINTS> stops{};
    read_stops(range, count, stops.data());
    tour.point_num = static_cast<int32_t>(count);
    tour.point_bytes = static_cast<int32_t>(count * sizeof(cruise_point));
    tour.ptInfo = stops.data();

    int32_t ret = NetClient_SetDevConfig(dev.loginfd(), NET_CLIENT_CRUISE_TEMPLATE, ch, &tour, record_len<cruise>());
    if (ret != 0)
        return ZREFUSE("set_cruise_template err, NetClient_SetDevConfig faild, err_code:%lx, host_id:%s", sdk_error(),
                       dev.id());
    return 1;
}

}  // namespace zel
