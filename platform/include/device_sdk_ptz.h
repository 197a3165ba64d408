/* Device SDK records of the pan-tilt-zoom functions: absolute positions,
 * the dome's wait action, linkage to a single screen, scans and cruise
 * templates. Little-endian, zero-filled before use; every layout is checked
 * below. */
#ifndef PLATFORM_DEVICE_SDK_PTZ_H
#define PLATFORM_DEVICE_SDK_PTZ_H

#include <assert.h>
#include <stddef.h>
#include <stdint.h>

/* NetClient_SendCommand / NetClient_RecvCommand commands. */
enum {
    COMMAND_ID_GET_PTZEX = 43,
    COMMAND_ID_SET_PTZ = 73,
    COMMAND_ID_LINKAGE_SINGLE_SCREEN = 84,
    COMMAND_ID_CHANNEL_COMMAND = 104
};

/* NetClient_SetDevConfig sub-commands. */
enum { NET_CLIENT_PTZ_SCAN = 0, NET_CLIENT_CRUISE_TEMPLATE = 187 };

/* NetClient_DeviceCtrlEx action driving a scan at a speed. */
enum { DEVICE_CTRL_PTZ_SCAN = 9 };

/* A position to move to (COMMAND_ID_SET_PTZ). */
typedef struct ptz_position {
    int32_t size; /* 20 */
    int32_t type;
    int32_t pan;
    int32_t tilt;
    int32_t zoom;
} ptz_position;
static_assert(sizeof(ptz_position) == 20, "ptz_position");
static_assert(offsetof(ptz_position, size) == 0, "ptz_position.size");
static_assert(offsetof(ptz_position, type) == 4, "ptz_position.type");
static_assert(offsetof(ptz_position, pan) == 8, "ptz_position.pan");
static_assert(offsetof(ptz_position, tilt) == 12, "ptz_position.tilt");
static_assert(offsetof(ptz_position, zoom) == 16, "ptz_position.zoom");

/* The position a device reports (answer of COMMAND_ID_GET_PTZEX). */
typedef struct ptz_current_position {
    int32_t size; /* 16 */
    int32_t pan;
    int32_t tilt;
    int32_t zoom;
} ptz_current_position;
static_assert(sizeof(ptz_current_position) == 16, "ptz_current_position");
static_assert(offsetof(ptz_current_position, size) == 0, "ptz_current_position.size");
static_assert(offsetof(ptz_current_position, pan) == 4, "ptz_current_position.pan");
static_assert(offsetof(ptz_current_position, tilt) == 8, "ptz_current_position.tilt");
static_assert(offsetof(ptz_current_position, zoom) == 12, "ptz_current_position.zoom");

/* The dome's wait action (NetClient_SetDomePTZ / NetClient_GetDomePTZ). The
 * action code is the action type, or 100 + the preset id for a preset. */
enum { DOME_PTZ_WAIT_ACTION = 5 };
typedef struct zel_domeptz {
    int32_t size; /* 28 */
    int32_t function;
    int32_t enable;
    int32_t keep_time;
    int32_t action;
    int32_t reserved[2];
} zel_domeptz;
static_assert(sizeof(zel_domeptz) == 28, "zel_domeptz");
static_assert(offsetof(zel_domeptz, size) == 0, "zel_domeptz.size");
static_assert(offsetof(zel_domeptz, function) == 4, "zel_domeptz.function");
static_assert(offsetof(zel_domeptz, enable) == 8, "zel_domeptz.enable");
static_assert(offsetof(zel_domeptz, keep_time) == 12, "zel_domeptz.keep_time");
static_assert(offsetof(zel_domeptz, action) == 16, "zel_domeptz.action");
static_assert(offsetof(zel_domeptz, reserved) == 20, "zel_domeptz.reserved");

/* A channel shown on one screen of a video output (COMMAND_ID_LINKAGE_SINGLE_SCREEN). */
typedef struct linkage_single_screen {
    int32_t size; /* 12 */
    int32_t vo_devid;
    int32_t action;
} linkage_single_screen;
static_assert(sizeof(linkage_single_screen) == 12, "linkage_single_screen");
static_assert(offsetof(linkage_single_screen, size) == 0, "linkage_single_screen.size");
static_assert(offsetof(linkage_single_screen, vo_devid) == 4, "linkage_single_screen.vo_devid");
static_assert(offsetof(linkage_single_screen, action) == 8, "linkage_single_screen.action");

/* A scan of a group (NET_CLIENT_PTZ_SCAN); its first field is a constant. */
enum { PTZ_SCAN_TAG = 21 };
typedef struct ptz_scan {
    int32_t tag; /* PTZ_SCAN_TAG */
    int32_t group_id;
    int32_t scan_type;
    int32_t scan_speed;
    int32_t operation;
} ptz_scan;
static_assert(sizeof(ptz_scan) == 20, "ptz_scan");
static_assert(offsetof(ptz_scan, tag) == 0, "ptz_scan.tag");
static_assert(offsetof(ptz_scan, group_id) == 4, "ptz_scan.group_id");
static_assert(offsetof(ptz_scan, scan_type) == 8, "ptz_scan.scan_type");
static_assert(offsetof(ptz_scan, scan_speed) == 12, "ptz_scan.scan_speed");
static_assert(offsetof(ptz_scan, operation) == 16, "ptz_scan.operation");

/* One stop of a cruise: the scene shown and how long it stays. */
typedef struct cruise_point {
    int32_t reserved;
    int32_t iSceneID;
    int32_t iRemainTime;
} cruise_point;
static_assert(sizeof(cruise_point) == 12, "cruise_point");
static_assert(offsetof(cruise_point, reserved) == 0, "cruise_point.reserved");
static_assert(offsetof(cruise_point, iSceneID) == 4, "cruise_point.iSceneID");
static_assert(offsetof(cruise_point, iRemainTime) == 8, "cruise_point.iRemainTime");

/* A cruise template (NET_CLIENT_CRUISE_TEMPLATE). The stops are in an array
 * of the caller's, which the device reads during the call. */
enum { MAX_CRUISE_POINTS = 32 };
typedef struct cruise {
    int32_t size; /* 72 */
    int32_t cruise_type;
    int32_t cruise_id;
    int32_t scene_type;
    int32_t scene_id;
    int32_t enable;
    int32_t start_hour;
    int32_t start_minute;
    int32_t end_hour;
    int32_t end_minute;
    int32_t week;
    int32_t point_num;
    int32_t point_bytes; /* point_num * sizeof(cruise_point) */
    int32_t reserved0;
    cruise_point *ptInfo;
    int32_t detect_car_type;
    int32_t reserved1;
} cruise;
static_assert(sizeof(cruise) == 72, "cruise");
static_assert(offsetof(cruise, size) == 0, "cruise.size");
static_assert(offsetof(cruise, cruise_type) == 4, "cruise.cruise_type");
static_assert(offsetof(cruise, cruise_id) == 8, "cruise.cruise_id");
static_assert(offsetof(cruise, scene_type) == 12, "cruise.scene_type");
static_assert(offsetof(cruise, scene_id) == 16, "cruise.scene_id");
static_assert(offsetof(cruise, enable) == 20, "cruise.enable");
static_assert(offsetof(cruise, start_hour) == 24, "cruise.start_hour");
static_assert(offsetof(cruise, start_minute) == 28, "cruise.start_minute");
static_assert(offsetof(cruise, end_hour) == 32, "cruise.end_hour");
static_assert(offsetof(cruise, end_minute) == 36, "cruise.end_minute");
static_assert(offsetof(cruise, week) == 40, "cruise.week");
static_assert(offsetof(cruise, point_num) == 44, "cruise.point_num");
static_assert(offsetof(cruise, point_bytes) == 48, "cruise.point_bytes");
static_assert(offsetof(cruise, reserved0) == 52, "cruise.reserved0");
static_assert(offsetof(cruise, ptInfo) == 56, "cruise.ptInfo");
static_assert(offsetof(cruise, detect_car_type) == 64, "cruise.detect_car_type");
static_assert(offsetof(cruise, reserved1) == 68, "cruise.reserved1");

#endif
