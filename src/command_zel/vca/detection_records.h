// Device SDK records of the detection algorithm settings: face detection,
// people statistics, fireworks, temperature detection and scene calls
// (little-endian 4-byte fields).
#pragma once

#include <cstddef>
#include <cstdint>

#include "vca_records.h"

namespace zel {

inline constexpr int32_t NET_CLIENT_CALL_ANYSCENE = 0x16;
inline constexpr int32_t NET_CLIENT_FACE_DETECT_ARITHMETIC = 0x1A;
inline constexpr int32_t NET_CLIENT_PERSON_STATISTIC_ARITHMETIC = 0x1B;
inline constexpr int32_t VCA_CMD_TEMDETECT = 0xAF;
inline constexpr int32_t VCA_CMD_FIREWORKS = 0xB3;

inline constexpr int32_t MAX_FACE_DETECT_AREA_COUNT = 32;
inline constexpr int32_t VCA_MAX_POLYGON_POINT_NUMEX = 32;

struct FaceDetectArithmetic {
    int32_t size;
    int32_t scene_id;
    int32_t max_size;
    int32_t min_size;
    int32_t level;
    int32_t sensitiv;
    int32_t pic_scale;
    int32_t snap_enable;
    int32_t snap_space;
    int32_t snap_times;
    int32_t point_num;
    VcaPoint point_area[MAX_FACE_DETECT_AREA_COUNT];
    int32_t display_target;
    int32_t exposure_bright;
    int32_t display_rule;
    int32_t min_sizeex;
    int32_t max_sizeex;
    int32_t push_mode;
    int32_t push_level;
    int32_t snap_mode;
    int32_t snap_level;
    int32_t dentification;  // also the detection switch: 2 on, 1 off
    int32_t dev_type;
    int32_t qpvalue_big;
    int32_t qpvalue_small;
    int32_t algsnap_mode;
    int32_t plate_minsize;
    uint8_t reserved[140];
};
static_assert(sizeof(FaceDetectArithmetic) == 500);
static_assert(offsetof(FaceDetectArithmetic, size) == 0);
static_assert(offsetof(FaceDetectArithmetic, scene_id) == 4);
static_assert(offsetof(FaceDetectArithmetic, max_size) == 8);
static_assert(offsetof(FaceDetectArithmetic, min_size) == 12);
static_assert(offsetof(FaceDetectArithmetic, level) == 16);
static_assert(offsetof(FaceDetectArithmetic, sensitiv) == 20);
static_assert(offsetof(FaceDetectArithmetic, pic_scale) == 24);
static_assert(offsetof(FaceDetectArithmetic, snap_enable) == 28);
static_assert(offsetof(FaceDetectArithmetic, snap_space) == 32);
static_assert(offsetof(FaceDetectArithmetic, snap_times) == 36);
static_assert(offsetof(FaceDetectArithmetic, point_num) == 40);
static_assert(offsetof(FaceDetectArithmetic, point_area) == 44);
static_assert(offsetof(FaceDetectArithmetic, display_target) == 300);
static_assert(offsetof(FaceDetectArithmetic, exposure_bright) == 304);
static_assert(offsetof(FaceDetectArithmetic, display_rule) == 308);
static_assert(offsetof(FaceDetectArithmetic, min_sizeex) == 312);
static_assert(offsetof(FaceDetectArithmetic, max_sizeex) == 316);
static_assert(offsetof(FaceDetectArithmetic, push_mode) == 320);
static_assert(offsetof(FaceDetectArithmetic, push_level) == 324);
static_assert(offsetof(FaceDetectArithmetic, snap_mode) == 328);
static_assert(offsetof(FaceDetectArithmetic, snap_level) == 332);
static_assert(offsetof(FaceDetectArithmetic, dentification) == 336);
static_assert(offsetof(FaceDetectArithmetic, dev_type) == 340);
static_assert(offsetof(FaceDetectArithmetic, qpvalue_big) == 344);
static_assert(offsetof(FaceDetectArithmetic, qpvalue_small) == 348);
static_assert(offsetof(FaceDetectArithmetic, algsnap_mode) == 352);
static_assert(offsetof(FaceDetectArithmetic, plate_minsize) == 356);
static_assert(offsetof(FaceDetectArithmetic, reserved) == 360);

struct CallAnyScene {
    int32_t size;
    int32_t type;
    int32_t value;
    int32_t scene_type;
};
static_assert(sizeof(CallAnyScene) == 16);
static_assert(offsetof(CallAnyScene, size) == 0);
static_assert(offsetof(CallAnyScene, type) == 4);
static_assert(offsetof(CallAnyScene, value) == 8);
static_assert(offsetof(CallAnyScene, scene_type) == 12);

struct VCAFireworks {
    int32_t size;
    int32_t scene_id;
    int32_t rule_id;
    int32_t valid;
    int32_t display_rule;
    int32_t display_state;
    int32_t display_target;
    int32_t color;
    int32_t alarm_color;
    int32_t fire_sensitiv;
    int32_t smoke_sensitiv;
    int32_t model_type;
    int32_t wait_time;
};
static_assert(sizeof(VCAFireworks) == 52);
static_assert(offsetof(VCAFireworks, size) == 0);
static_assert(offsetof(VCAFireworks, scene_id) == 4);
static_assert(offsetof(VCAFireworks, rule_id) == 8);
static_assert(offsetof(VCAFireworks, valid) == 12);
static_assert(offsetof(VCAFireworks, display_rule) == 16);
static_assert(offsetof(VCAFireworks, display_state) == 20);
static_assert(offsetof(VCAFireworks, display_target) == 24);
static_assert(offsetof(VCAFireworks, color) == 28);
static_assert(offsetof(VCAFireworks, alarm_color) == 32);
static_assert(offsetof(VCAFireworks, fire_sensitiv) == 36);
static_assert(offsetof(VCAFireworks, smoke_sensitiv) == 40);
static_assert(offsetof(VCAFireworks, model_type) == 44);
static_assert(offsetof(VCAFireworks, wait_time) == 48);

struct VCATemDetect {
    int32_t size;
    int32_t scene_id;
    int32_t rule_id;
    int32_t valid;
    int32_t display_tem_scale_enable;
    int32_t high_tem_color;
    int32_t low_tem_color;
    int32_t model_type;
    int32_t tem_unit;
    int32_t tem_threshold;
    int32_t wait_time;
    int32_t temp_lose_enable;
};
static_assert(sizeof(VCATemDetect) == 48);
static_assert(offsetof(VCATemDetect, size) == 0);
static_assert(offsetof(VCATemDetect, scene_id) == 4);
static_assert(offsetof(VCATemDetect, rule_id) == 8);
static_assert(offsetof(VCATemDetect, valid) == 12);
static_assert(offsetof(VCATemDetect, display_tem_scale_enable) == 16);
static_assert(offsetof(VCATemDetect, high_tem_color) == 20);
static_assert(offsetof(VCATemDetect, low_tem_color) == 24);
static_assert(offsetof(VCATemDetect, model_type) == 28);
static_assert(offsetof(VCATemDetect, tem_unit) == 32);
static_assert(offsetof(VCATemDetect, tem_threshold) == 36);
static_assert(offsetof(VCATemDetect, wait_time) == 40);
static_assert(offsetof(VCATemDetect, temp_lose_enable) == 44);

struct PersonStatisticArithmetic {
    int32_t size;
    int32_t scene_id;
    int32_t mode;
    int32_t target_max_size;
    int32_t target_min_size;
    int32_t sensitiv;
    int32_t detect_type;
    int32_t point_num;
    VcaPoint point[MAX_FACE_DETECT_AREA_COUNT];
    int32_t polygon_point_num;
    VcaPoint polygon_point[VCA_MAX_POLYGON_POINT_NUMEX];
    int32_t display_target;
    int32_t min_size_ex;
    int32_t stay_num;
    int32_t clear_mode;
    int32_t max_num;
    int32_t hour;
    int32_t minute;
    int32_t enable;
};
static_assert(sizeof(PersonStatisticArithmetic) == 580);
static_assert(offsetof(PersonStatisticArithmetic, size) == 0);
static_assert(offsetof(PersonStatisticArithmetic, scene_id) == 4);
static_assert(offsetof(PersonStatisticArithmetic, mode) == 8);
static_assert(offsetof(PersonStatisticArithmetic, target_max_size) == 12);
static_assert(offsetof(PersonStatisticArithmetic, target_min_size) == 16);
static_assert(offsetof(PersonStatisticArithmetic, sensitiv) == 20);
static_assert(offsetof(PersonStatisticArithmetic, detect_type) == 24);
static_assert(offsetof(PersonStatisticArithmetic, point_num) == 28);
static_assert(offsetof(PersonStatisticArithmetic, point) == 32);
static_assert(offsetof(PersonStatisticArithmetic, polygon_point_num) == 288);
static_assert(offsetof(PersonStatisticArithmetic, polygon_point) == 292);
static_assert(offsetof(PersonStatisticArithmetic, display_target) == 548);
static_assert(offsetof(PersonStatisticArithmetic, min_size_ex) == 552);
static_assert(offsetof(PersonStatisticArithmetic, stay_num) == 556);
static_assert(offsetof(PersonStatisticArithmetic, clear_mode) == 560);
static_assert(offsetof(PersonStatisticArithmetic, max_num) == 564);
static_assert(offsetof(PersonStatisticArithmetic, hour) == 568);
static_assert(offsetof(PersonStatisticArithmetic, minute) == 572);
static_assert(offsetof(PersonStatisticArithmetic, enable) == 576);

}  // namespace zel
