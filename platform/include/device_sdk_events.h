/* Device SDK: the events a device reports through the platform's event
 * channel, and the data records that come with them. Little-endian, laid out
 * byte for byte as the SDK delivers them; a record handed over by the
 * platform may be unaligned, so readers copy it out before use. */
#ifndef PLATFORM_DEVICE_SDK_EVENTS_H
#define PLATFORM_DEVICE_SDK_EVENTS_H

#include <assert.h>
#include <stddef.h>
#include <stdint.h>

#include "device_sdk.h"

/* Event numbers: the low 16 bits of the event value. */
enum {
    WCM_EXPORT_CONFIG_FINISHED = 117, /* a configuration export has written its file; no data */
    WCM_HARD_DISK_SMART = 123,        /* HardDiskSmartMsg */
    WCM_ITS_TRAFFIC_FLOW = 124,       /* ITSTrafficFlowReport */
    WCM_TEMP_HUMIDITY = 179,          /* temp_humidity_report */
    WCM_NORTH_EVENT = 223,            /* opaque */
    WCM_VISUAL_EVENT = 229            /* opaque, at least 20 bytes */
};

/* Capacity of the car-type counters of a traffic-flow report. */
enum { MAX_ITS_CAR_TYPES = 32 };

/* Hard-disk SMART message: delivered filled in by the disk event, and sent
 * with size and iDiskId as the SMART request of the storage functions; also
 * the layout of each disk entry of the host record and of its copy of the
 * awaited answer. */
typedef struct HardDiskSmartMsg {
    uint32_t size;
    int32_t iDiskId;
    int32_t iTotalPackageNum;
    int32_t iCurrentPackageMsgNo;
    char cHDDModel[32];
    char cSericalNum[16];
    int32_t iTemprt;
    int32_t iUsedTime;
    int32_t iHealth;
    int32_t iAllHealth;
    uint8_t reserved[16];
} HardDiskSmartMsg;
static_assert(sizeof(HardDiskSmartMsg) == 96, "HardDiskSmartMsg");
static_assert(offsetof(HardDiskSmartMsg, size) == 0, "HardDiskSmartMsg.size");
static_assert(offsetof(HardDiskSmartMsg, iDiskId) == 4, "HardDiskSmartMsg.iDiskId");
static_assert(offsetof(HardDiskSmartMsg, iTotalPackageNum) == 8, "HardDiskSmartMsg.iTotalPackageNum");
static_assert(offsetof(HardDiskSmartMsg, iCurrentPackageMsgNo) == 12, "HardDiskSmartMsg.iCurrentPackageMsgNo");
static_assert(offsetof(HardDiskSmartMsg, cHDDModel) == 16, "HardDiskSmartMsg.cHDDModel");
static_assert(offsetof(HardDiskSmartMsg, cSericalNum) == 48, "HardDiskSmartMsg.cSericalNum");
static_assert(offsetof(HardDiskSmartMsg, iTemprt) == 64, "HardDiskSmartMsg.iTemprt");
static_assert(offsetof(HardDiskSmartMsg, iUsedTime) == 68, "HardDiskSmartMsg.iUsedTime");
static_assert(offsetof(HardDiskSmartMsg, iHealth) == 72, "HardDiskSmartMsg.iHealth");
static_assert(offsetof(HardDiskSmartMsg, iAllHealth) == 76, "HardDiskSmartMsg.iAllHealth");
static_assert(offsetof(HardDiskSmartMsg, reserved) == 80, "HardDiskSmartMsg.reserved");

/* A temperature or humidity reading. */
typedef struct temp_humidity_report {
    uint32_t reserved;
    int32_t channel;
    uint32_t type;     /* 0 temperature, 1 humidity */
    dvr_time time;     /* when the reading was taken */
    int32_t raw_value; /* tenths above -100.0; 0x7FFFFFFF when there is none */
} temp_humidity_report;
static_assert(sizeof(temp_humidity_report) == 28, "temp_humidity_report");
static_assert(offsetof(temp_humidity_report, reserved) == 0, "temp_humidity_report.reserved");
static_assert(offsetof(temp_humidity_report, channel) == 4, "temp_humidity_report.channel");
static_assert(offsetof(temp_humidity_report, type) == 8, "temp_humidity_report.type");
static_assert(offsetof(temp_humidity_report, time) == 12, "temp_humidity_report.time");
static_assert(offsetof(temp_humidity_report, raw_value) == 24, "temp_humidity_report.raw_value");

/* One car-type counter of a traffic-flow report. */
typedef struct its_car_type_count {
    int32_t present; /* counted only when greater than 0 */
    int32_t car_type;
    int32_t car_count;
} its_car_type_count;
static_assert(sizeof(its_car_type_count) == 12, "its_car_type_count");
static_assert(offsetof(its_car_type_count, present) == 0, "its_car_type_count.present");
static_assert(offsetof(its_car_type_count, car_type) == 4, "its_car_type_count.car_type");
static_assert(offsetof(its_car_type_count, car_count) == 8, "its_car_type_count.car_count");

/* The traffic-flow report of one lane for one counting period. */
typedef struct ITSTrafficFlowReport {
    uint32_t reserved;
    int32_t lane_no;
    int32_t flow;
    int32_t hold_rate;
    int32_t speed;
    int32_t distance;
    dvr_time start_time;
    dvr_time end_time;
    int32_t car_type_total; /* entries of car_types in use */
    its_car_type_count car_types[MAX_ITS_CAR_TYPES];
    int32_t car_queue_length;
    int32_t head_distance;
    int32_t room_rate;
    int32_t run_state;
    char road_name[64];
    int32_t channel;
    uint8_t reserved_tail[28];
} ITSTrafficFlowReport;
static_assert(sizeof(ITSTrafficFlowReport) == 548, "ITSTrafficFlowReport");
static_assert(offsetof(ITSTrafficFlowReport, reserved) == 0, "ITSTrafficFlowReport.reserved");
static_assert(offsetof(ITSTrafficFlowReport, lane_no) == 4, "ITSTrafficFlowReport.lane_no");
static_assert(offsetof(ITSTrafficFlowReport, flow) == 8, "ITSTrafficFlowReport.flow");
static_assert(offsetof(ITSTrafficFlowReport, hold_rate) == 12, "ITSTrafficFlowReport.hold_rate");
static_assert(offsetof(ITSTrafficFlowReport, speed) == 16, "ITSTrafficFlowReport.speed");
static_assert(offsetof(ITSTrafficFlowReport, distance) == 20, "ITSTrafficFlowReport.distance");
static_assert(offsetof(ITSTrafficFlowReport, start_time) == 24, "ITSTrafficFlowReport.start_time");
static_assert(offsetof(ITSTrafficFlowReport, end_time) == 36, "ITSTrafficFlowReport.end_time");
static_assert(offsetof(ITSTrafficFlowReport, car_type_total) == 48, "ITSTrafficFlowReport.car_type_total");
static_assert(offsetof(ITSTrafficFlowReport, car_types) == 52, "ITSTrafficFlowReport.car_types");
static_assert(offsetof(ITSTrafficFlowReport, car_queue_length) == 436, "ITSTrafficFlowReport.car_queue_length");
static_assert(offsetof(ITSTrafficFlowReport, head_distance) == 440, "ITSTrafficFlowReport.head_distance");
static_assert(offsetof(ITSTrafficFlowReport, room_rate) == 444, "ITSTrafficFlowReport.room_rate");
static_assert(offsetof(ITSTrafficFlowReport, run_state) == 448, "ITSTrafficFlowReport.run_state");
static_assert(offsetof(ITSTrafficFlowReport, road_name) == 452, "ITSTrafficFlowReport.road_name");
static_assert(offsetof(ITSTrafficFlowReport, channel) == 516, "ITSTrafficFlowReport.channel");
static_assert(offsetof(ITSTrafficFlowReport, reserved_tail) == 520, "ITSTrafficFlowReport.reserved_tail");

#endif
