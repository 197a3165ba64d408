// The device SDK's event data records the library reads. Little-endian,
// laid out byte for byte as the SDK delivers them; the entry points copy
// them out of the platform's buffer before reading (it may be unaligned).
#pragma once

#include <cstddef>
#include <cstdint>

#include "comm_func/comm_func.h"

namespace zel {

// Hard-disk SMART message (event 123); also the layout of each disk entry
// of the host record and of its SMART answer copy.
struct hard_disk_smart_msg {
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
};
static_assert(offsetof(hard_disk_smart_msg, size) == 0);
static_assert(offsetof(hard_disk_smart_msg, iDiskId) == 4);
static_assert(offsetof(hard_disk_smart_msg, iTotalPackageNum) == 8);
static_assert(offsetof(hard_disk_smart_msg, iCurrentPackageMsgNo) == 12);
static_assert(offsetof(hard_disk_smart_msg, cHDDModel) == 16);
static_assert(offsetof(hard_disk_smart_msg, cSericalNum) == 48);
static_assert(offsetof(hard_disk_smart_msg, iTemprt) == 64);
static_assert(offsetof(hard_disk_smart_msg, iUsedTime) == 68);
static_assert(offsetof(hard_disk_smart_msg, iHealth) == 72);
static_assert(offsetof(hard_disk_smart_msg, iAllHealth) == 76);
static_assert(offsetof(hard_disk_smart_msg, reserved) == 80);
static_assert(sizeof(hard_disk_smart_msg) == 96);

// Temperature or humidity reading (event 179).
struct temp_humidity_report {
    uint32_t reserved;
    int32_t channel;
    uint32_t type;      // 0 temperature, 1 humidity
    dvr_time time;      // when the reading was taken
    int32_t raw_value;  // tenths above -100.0; kNoReading when absent
};
static_assert(offsetof(temp_humidity_report, reserved) == 0);
static_assert(offsetof(temp_humidity_report, channel) == 4);
static_assert(offsetof(temp_humidity_report, type) == 8);
static_assert(offsetof(temp_humidity_report, time) == 12);
static_assert(offsetof(temp_humidity_report, raw_value) == 24);
static_assert(sizeof(temp_humidity_report) == 28);

// One car-type counter of a traffic-flow report.
struct its_car_type_count {
    int32_t present;  // counted only when greater than 0
    int32_t car_type;
    int32_t car_count;
};
static_assert(offsetof(its_car_type_count, present) == 0);
static_assert(offsetof(its_car_type_count, car_type) == 4);
static_assert(offsetof(its_car_type_count, car_count) == 8);
static_assert(sizeof(its_car_type_count) == 12);

inline constexpr int32_t kMaxCarTypes = 32;

// Traffic-flow report of one lane (event 124).
struct ITSTrafficFlowReport {
    uint32_t reserved;
    int32_t lane_no;
    int32_t flow;
    int32_t hold_rate;
    int32_t speed;
    int32_t distance;
    dvr_time start_time;
    dvr_time end_time;
    int32_t car_type_total;
    its_car_type_count car_types[kMaxCarTypes];
    int32_t car_queue_length;
    int32_t head_distance;
    int32_t room_rate;
    int32_t run_state;
    char road_name[64];
    int32_t channel;
    uint8_t reserved_tail[28];
};
static_assert(offsetof(ITSTrafficFlowReport, reserved) == 0);
static_assert(offsetof(ITSTrafficFlowReport, lane_no) == 4);
static_assert(offsetof(ITSTrafficFlowReport, flow) == 8);
static_assert(offsetof(ITSTrafficFlowReport, hold_rate) == 12);
static_assert(offsetof(ITSTrafficFlowReport, speed) == 16);
static_assert(offsetof(ITSTrafficFlowReport, distance) == 20);
static_assert(offsetof(ITSTrafficFlowReport, start_time) == 24);
static_assert(offsetof(ITSTrafficFlowReport, end_time) == 36);
static_assert(offsetof(ITSTrafficFlowReport, car_type_total) == 48);
static_assert(offsetof(ITSTrafficFlowReport, car_types) == 52);
static_assert(offsetof(ITSTrafficFlowReport, car_queue_length) == 436);
static_assert(offsetof(ITSTrafficFlowReport, head_distance) == 440);
static_assert(offsetof(ITSTrafficFlowReport, room_rate) == 444);
static_assert(offsetof(ITSTrafficFlowReport, run_state) == 448);
static_assert(offsetof(ITSTrafficFlowReport, road_name) == 452);
static_assert(offsetof(ITSTrafficFlowReport, channel) == 516);
static_assert(offsetof(ITSTrafficFlowReport, reserved_tail) == 520);
static_assert(sizeof(ITSTrafficFlowReport) == 548);

}  // namespace zel
