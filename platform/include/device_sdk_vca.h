/* Device SDK records of video analysis: analysis rules and switches, scene
 * calibration and reference boundary, and the detection algorithm settings
 * (face detection, people statistics, fireworks, temperature, scene calls).
 * Little-endian 4-byte fields; the layouts are the device's wire images. */
#ifndef PLATFORM_DEVICE_SDK_VCA_H
#define PLATFORM_DEVICE_SDK_VCA_H

#include <assert.h>
#include <stddef.h>
#include <stdint.h>

/* Analysis sub-commands of NetClient_VCASetConfig / NetClient_VCAGetConfig. */
enum {
    VCA_CMD_FACEMOSAIC = 0x4B,
    VCA_CMD_ALARM_STATISTIC = 0x67,
    VCA_CMD_NEW_FIGHT = 0x9E,
    VCA_CMD_VCA_PEPT = 0xA2,
    VCA_CMD_VCA_PEPT_ENABLE = 0xA3,
    VCA_CMD_PUSH_RULE_167 = 0xA7,
    VCA_CMD_PUSH_RULE_168 = 0xA8,
    VCA_CMD_ZONE_RULE_173 = 0xAD,
    VCA_CMD_ZONE_RULE_174 = 0xAE,
    VCA_CMD_TEMDETECT = 0xAF,
    VCA_CMD_FIREWORKS = 0xB3,
    VCA_CMD_TYPED_RULE_182 = 0xB6,
    VCA_CMD_CPC_ADVANCE_PART2 = 0xC4,
    VCA_CMD_CALIBRATION_REFERENCE = 0xC6,
    VCA_CMD_REFBOUNDARYINFO = 0xC7
};

/* Device-configuration sub-commands of NetClient_SetDevConfig /
 * NetClient_GetDevConfig. */
enum {
    NET_CLIENT_ALGORITHM_ENABLE = 0x15,
    NET_CLIENT_CALL_ANYSCENE = 0x16,
    NET_CLIENT_FACE_DETECT_ARITHMETIC = 0x1A,
    NET_CLIENT_PERSON_STATISTIC_ARITHMETIC = 0x1B,
    NET_CLIENT_VCA_DEV_ENABLE = 0x20
};

/* Capacities. */
enum {
    MAX_VCA_PEPT_POINT_NUM = 8,
    VCA_MAX_RULE_NUM = 8,
    REFERENCE_POINT_NUM_MAX = 20,
    MAX_FACE_DETECT_AREA_COUNT = 32,
    VCA_MAX_POLYGON_POINT_NUMEX = 32
};

typedef struct VcaPoint {
    int32_t x;
    int32_t y;
} VcaPoint;
static_assert(sizeof(VcaPoint) == 8, "VcaPoint");
static_assert(offsetof(VcaPoint, x) == 0, "VcaPoint.x");
static_assert(offsetof(VcaPoint, y) == 4, "VcaPoint.y");

typedef struct VcaPoint3 {
    int32_t x;
    int32_t y;
    int32_t z;
} VcaPoint3;
static_assert(sizeof(VcaPoint3) == 12, "VcaPoint3");
static_assert(offsetof(VcaPoint3, x) == 0, "VcaPoint3.x");
static_assert(offsetof(VcaPoint3, y) == 4, "VcaPoint3.y");
static_assert(offsetof(VcaPoint3, z) == 8, "VcaPoint3.z");

/* ------------------------------------------------------------------------
 * Analysis rules and switches. */

/* People-track rule; colour and alarm colour come before show-target. */
typedef struct VCAPeptRule {
    int32_t scene_id;
    int32_t rule_id;
    int32_t valid;
    int32_t display_rule;
    int32_t display_stat;
    int32_t color;
    int32_t alarm_color;
    int32_t display_target;
    int32_t max_size;
    int32_t min_size;
    int32_t sensitiv;
    int32_t model_type;
    int32_t tgt_type;
    int32_t time_thres_hold;
    int32_t point_num;
    VcaPoint points[MAX_VCA_PEPT_POINT_NUM];
} VCAPeptRule;
static_assert(sizeof(VCAPeptRule) == 124, "VCAPeptRule");
static_assert(offsetof(VCAPeptRule, scene_id) == 0, "VCAPeptRule.scene_id");
static_assert(offsetof(VCAPeptRule, rule_id) == 4, "VCAPeptRule.rule_id");
static_assert(offsetof(VCAPeptRule, valid) == 8, "VCAPeptRule.valid");
static_assert(offsetof(VCAPeptRule, display_rule) == 12, "VCAPeptRule.display_rule");
static_assert(offsetof(VCAPeptRule, display_stat) == 16, "VCAPeptRule.display_stat");
static_assert(offsetof(VCAPeptRule, color) == 20, "VCAPeptRule.color");
static_assert(offsetof(VCAPeptRule, alarm_color) == 24, "VCAPeptRule.alarm_color");
static_assert(offsetof(VCAPeptRule, display_target) == 28, "VCAPeptRule.display_target");
static_assert(offsetof(VCAPeptRule, max_size) == 32, "VCAPeptRule.max_size");
static_assert(offsetof(VCAPeptRule, min_size) == 36, "VCAPeptRule.min_size");
static_assert(offsetof(VCAPeptRule, sensitiv) == 40, "VCAPeptRule.sensitiv");
static_assert(offsetof(VCAPeptRule, model_type) == 44, "VCAPeptRule.model_type");
static_assert(offsetof(VCAPeptRule, tgt_type) == 48, "VCAPeptRule.tgt_type");
static_assert(offsetof(VCAPeptRule, time_thres_hold) == 52, "VCAPeptRule.time_thres_hold");
static_assert(offsetof(VCAPeptRule, point_num) == 56, "VCAPeptRule.point_num");
static_assert(offsetof(VCAPeptRule, points) == 60, "VCAPeptRule.points");

typedef struct VCAPeptEnable {
    int32_t enable;
} VCAPeptEnable;
static_assert(sizeof(VCAPeptEnable) == 4, "VCAPeptEnable");
static_assert(offsetof(VCAPeptEnable, enable) == 0, "VCAPeptEnable.enable");

/* Point-list rule of sub-commands 167, 168 (third = sensitivity, fourth =
 * push mode) and 173, 174 (third = enable, fourth = sensitivity). */
typedef struct VCAPointRule {
    int32_t scene_id;
    int32_t rule_id;
    int32_t third;
    int32_t fourth;
    int32_t point_num;
    VcaPoint points[MAX_VCA_PEPT_POINT_NUM];
} VCAPointRule;
static_assert(sizeof(VCAPointRule) == 84, "VCAPointRule");
static_assert(offsetof(VCAPointRule, scene_id) == 0, "VCAPointRule.scene_id");
static_assert(offsetof(VCAPointRule, rule_id) == 4, "VCAPointRule.rule_id");
static_assert(offsetof(VCAPointRule, third) == 8, "VCAPointRule.third");
static_assert(offsetof(VCAPointRule, fourth) == 12, "VCAPointRule.fourth");
static_assert(offsetof(VCAPointRule, point_num) == 16, "VCAPointRule.point_num");
static_assert(offsetof(VCAPointRule, points) == 20, "VCAPointRule.points");

typedef struct VCAPointRuleTyped {
    int32_t type;
    int32_t scene_id;
    int32_t rule_id;
    int32_t sensitiv;
    int32_t push_mode;
    int32_t point_num;
    VcaPoint points[MAX_VCA_PEPT_POINT_NUM];
} VCAPointRuleTyped;
static_assert(sizeof(VCAPointRuleTyped) == 88, "VCAPointRuleTyped");
static_assert(offsetof(VCAPointRuleTyped, type) == 0, "VCAPointRuleTyped.type");
static_assert(offsetof(VCAPointRuleTyped, scene_id) == 4, "VCAPointRuleTyped.scene_id");
static_assert(offsetof(VCAPointRuleTyped, rule_id) == 8, "VCAPointRuleTyped.rule_id");
static_assert(offsetof(VCAPointRuleTyped, sensitiv) == 12, "VCAPointRuleTyped.sensitiv");
static_assert(offsetof(VCAPointRuleTyped, push_mode) == 16, "VCAPointRuleTyped.push_mode");
static_assert(offsetof(VCAPointRuleTyped, point_num) == 20, "VCAPointRuleTyped.point_num");
static_assert(offsetof(VCAPointRuleTyped, points) == 24, "VCAPointRuleTyped.points");

typedef struct VCAAlarmStatisticClear {
    int32_t size;
    int32_t scene_id;
    int32_t rule_id;
    int32_t reserved;
} VCAAlarmStatisticClear;
static_assert(sizeof(VCAAlarmStatisticClear) == 16, "VCAAlarmStatisticClear");
static_assert(offsetof(VCAAlarmStatisticClear, size) == 0, "VCAAlarmStatisticClear.size");
static_assert(offsetof(VCAAlarmStatisticClear, scene_id) == 4, "VCAAlarmStatisticClear.scene_id");
static_assert(offsetof(VCAAlarmStatisticClear, rule_id) == 8, "VCAAlarmStatisticClear.rule_id");
static_assert(offsetof(VCAAlarmStatisticClear, reserved) == 12, "VCAAlarmStatisticClear.reserved");

typedef struct VCACpcAdvancePart2 {
    int32_t scene_id;
    int32_t pic_interval;
    int32_t reserved[2];
} VCACpcAdvancePart2;
static_assert(sizeof(VCACpcAdvancePart2) == 16, "VCACpcAdvancePart2");
static_assert(offsetof(VCACpcAdvancePart2, scene_id) == 0, "VCACpcAdvancePart2.scene_id");
static_assert(offsetof(VCACpcAdvancePart2, pic_interval) == 4, "VCACpcAdvancePart2.pic_interval");
static_assert(offsetof(VCACpcAdvancePart2, reserved) == 8, "VCACpcAdvancePart2.reserved");

/* Read from the device and written back: only the named fields change. */
typedef struct VCAFaceMosaic {
    int32_t size;
    uint8_t device_4[8];
    int32_t valid;
    uint8_t device_16[296];
    int32_t mosaic_level;
    uint8_t device_316[260];
} VCAFaceMosaic;
static_assert(sizeof(VCAFaceMosaic) == 576, "VCAFaceMosaic");
static_assert(offsetof(VCAFaceMosaic, size) == 0, "VCAFaceMosaic.size");
static_assert(offsetof(VCAFaceMosaic, device_4) == 4, "VCAFaceMosaic.device_4");
static_assert(offsetof(VCAFaceMosaic, valid) == 12, "VCAFaceMosaic.valid");
static_assert(offsetof(VCAFaceMosaic, device_16) == 16, "VCAFaceMosaic.device_16");
static_assert(offsetof(VCAFaceMosaic, mosaic_level) == 312, "VCAFaceMosaic.mosaic_level");
static_assert(offsetof(VCAFaceMosaic, device_316) == 316, "VCAFaceMosaic.device_316");

typedef struct VCANewFight {
    int32_t dev_type;
    uint8_t device_4[8];
    int32_t valid;
    uint8_t device_16[4204];
} VCANewFight;
static_assert(sizeof(VCANewFight) == 4220, "VCANewFight");
static_assert(offsetof(VCANewFight, dev_type) == 0, "VCANewFight.dev_type");
static_assert(offsetof(VCANewFight, device_4) == 4, "VCANewFight.device_4");
static_assert(offsetof(VCANewFight, valid) == 12, "VCANewFight.valid");
static_assert(offsetof(VCANewFight, device_16) == 16, "VCANewFight.device_16");

typedef struct AlgorithmEnableConfig {
    uint8_t device_0[4];
    int32_t scene_no;
    uint8_t device_8[32];
    uint32_t enable_high; /* bit n: algorithm type 32 + n */
    int32_t dev_type;
    uint32_t enable_low; /* bit n: algorithm type n (with three remapped types) */
    uint8_t device_52[40];
} AlgorithmEnableConfig;
static_assert(sizeof(AlgorithmEnableConfig) == 92, "AlgorithmEnableConfig");
static_assert(offsetof(AlgorithmEnableConfig, device_0) == 0, "AlgorithmEnableConfig.device_0");
static_assert(offsetof(AlgorithmEnableConfig, scene_no) == 4, "AlgorithmEnableConfig.scene_no");
static_assert(offsetof(AlgorithmEnableConfig, device_8) == 8, "AlgorithmEnableConfig.device_8");
static_assert(offsetof(AlgorithmEnableConfig, enable_high) == 40, "AlgorithmEnableConfig.enable_high");
static_assert(offsetof(AlgorithmEnableConfig, dev_type) == 44, "AlgorithmEnableConfig.dev_type");
static_assert(offsetof(AlgorithmEnableConfig, enable_low) == 48, "AlgorithmEnableConfig.enable_low");
static_assert(offsetof(AlgorithmEnableConfig, device_52) == 52, "AlgorithmEnableConfig.device_52");

typedef struct VcaDevEnableConfig {
    int32_t enable;
    int32_t dev_type;
} VcaDevEnableConfig;
static_assert(sizeof(VcaDevEnableConfig) == 8, "VcaDevEnableConfig");
static_assert(offsetof(VcaDevEnableConfig, enable) == 0, "VcaDevEnableConfig.enable");
static_assert(offsetof(VcaDevEnableConfig, dev_type) == 4, "VcaDevEnableConfig.dev_type");

/* ------------------------------------------------------------------------
 * Scene calibration and reference boundary. */

typedef struct VCACalibrationReference {
    int32_t size;
    int32_t scene_id;
    int32_t point_num;
    VcaPoint3 point_imgs[REFERENCE_POINT_NUM_MAX];
    VcaPoint3 point_wlds[REFERENCE_POINT_NUM_MAX];
    int32_t ipc_high;
    VcaPoint3 ipc_param;
    VcaPoint3 coordinate_o;
    VcaPoint3 coordinate_x;
    VcaPoint3 coordinate_y;
} VCACalibrationReference;
static_assert(sizeof(VCACalibrationReference) == 544, "VCACalibrationReference");
static_assert(offsetof(VCACalibrationReference, size) == 0, "VCACalibrationReference.size");
static_assert(offsetof(VCACalibrationReference, scene_id) == 4, "VCACalibrationReference.scene_id");
static_assert(offsetof(VCACalibrationReference, point_num) == 8, "VCACalibrationReference.point_num");
static_assert(offsetof(VCACalibrationReference, point_imgs) == 12, "VCACalibrationReference.point_imgs");
static_assert(offsetof(VCACalibrationReference, point_wlds) == 252, "VCACalibrationReference.point_wlds");
static_assert(offsetof(VCACalibrationReference, ipc_high) == 492, "VCACalibrationReference.ipc_high");
static_assert(offsetof(VCACalibrationReference, ipc_param) == 496, "VCACalibrationReference.ipc_param");
static_assert(offsetof(VCACalibrationReference, coordinate_o) == 508, "VCACalibrationReference.coordinate_o");
static_assert(offsetof(VCACalibrationReference, coordinate_x) == 520, "VCACalibrationReference.coordinate_x");
static_assert(offsetof(VCACalibrationReference, coordinate_y) == 532, "VCACalibrationReference.coordinate_y");

typedef struct VCARefBoundary {
    int32_t scene_id;
    int32_t enable;
    int32_t point_num;
    VcaPoint3 point_wlds[REFERENCE_POINT_NUM_MAX];
} VCARefBoundary;
static_assert(sizeof(VCARefBoundary) == 252, "VCARefBoundary");
static_assert(offsetof(VCARefBoundary, scene_id) == 0, "VCARefBoundary.scene_id");
static_assert(offsetof(VCARefBoundary, enable) == 4, "VCARefBoundary.enable");
static_assert(offsetof(VCARefBoundary, point_num) == 8, "VCARefBoundary.point_num");
static_assert(offsetof(VCARefBoundary, point_wlds) == 12, "VCARefBoundary.point_wlds");

/* ------------------------------------------------------------------------
 * Detection algorithm settings. */

typedef struct FaceDetectArithmetic {
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
    int32_t dentification; /* also the detection switch: 2 on, 1 off */
    int32_t dev_type;
    int32_t qpvalue_big;
    int32_t qpvalue_small;
    int32_t algsnap_mode;
    int32_t plate_minsize;
    uint8_t reserved[140];
} FaceDetectArithmetic;
static_assert(sizeof(FaceDetectArithmetic) == 500, "FaceDetectArithmetic");
static_assert(offsetof(FaceDetectArithmetic, size) == 0, "FaceDetectArithmetic.size");
static_assert(offsetof(FaceDetectArithmetic, scene_id) == 4, "FaceDetectArithmetic.scene_id");
static_assert(offsetof(FaceDetectArithmetic, max_size) == 8, "FaceDetectArithmetic.max_size");
static_assert(offsetof(FaceDetectArithmetic, min_size) == 12, "FaceDetectArithmetic.min_size");
static_assert(offsetof(FaceDetectArithmetic, level) == 16, "FaceDetectArithmetic.level");
static_assert(offsetof(FaceDetectArithmetic, sensitiv) == 20, "FaceDetectArithmetic.sensitiv");
static_assert(offsetof(FaceDetectArithmetic, pic_scale) == 24, "FaceDetectArithmetic.pic_scale");
static_assert(offsetof(FaceDetectArithmetic, snap_enable) == 28, "FaceDetectArithmetic.snap_enable");
static_assert(offsetof(FaceDetectArithmetic, snap_space) == 32, "FaceDetectArithmetic.snap_space");
static_assert(offsetof(FaceDetectArithmetic, snap_times) == 36, "FaceDetectArithmetic.snap_times");
static_assert(offsetof(FaceDetectArithmetic, point_num) == 40, "FaceDetectArithmetic.point_num");
static_assert(offsetof(FaceDetectArithmetic, point_area) == 44, "FaceDetectArithmetic.point_area");
static_assert(offsetof(FaceDetectArithmetic, display_target) == 300, "FaceDetectArithmetic.display_target");
static_assert(offsetof(FaceDetectArithmetic, exposure_bright) == 304, "FaceDetectArithmetic.exposure_bright");
static_assert(offsetof(FaceDetectArithmetic, display_rule) == 308, "FaceDetectArithmetic.display_rule");
static_assert(offsetof(FaceDetectArithmetic, min_sizeex) == 312, "FaceDetectArithmetic.min_sizeex");
static_assert(offsetof(FaceDetectArithmetic, max_sizeex) == 316, "FaceDetectArithmetic.max_sizeex");
static_assert(offsetof(FaceDetectArithmetic, push_mode) == 320, "FaceDetectArithmetic.push_mode");
static_assert(offsetof(FaceDetectArithmetic, push_level) == 324, "FaceDetectArithmetic.push_level");
static_assert(offsetof(FaceDetectArithmetic, snap_mode) == 328, "FaceDetectArithmetic.snap_mode");
static_assert(offsetof(FaceDetectArithmetic, snap_level) == 332, "FaceDetectArithmetic.snap_level");
static_assert(offsetof(FaceDetectArithmetic, dentification) == 336, "FaceDetectArithmetic.dentification");
static_assert(offsetof(FaceDetectArithmetic, dev_type) == 340, "FaceDetectArithmetic.dev_type");
static_assert(offsetof(FaceDetectArithmetic, qpvalue_big) == 344, "FaceDetectArithmetic.qpvalue_big");
static_assert(offsetof(FaceDetectArithmetic, qpvalue_small) == 348, "FaceDetectArithmetic.qpvalue_small");
static_assert(offsetof(FaceDetectArithmetic, algsnap_mode) == 352, "FaceDetectArithmetic.algsnap_mode");
static_assert(offsetof(FaceDetectArithmetic, plate_minsize) == 356, "FaceDetectArithmetic.plate_minsize");
static_assert(offsetof(FaceDetectArithmetic, reserved) == 360, "FaceDetectArithmetic.reserved");

typedef struct CallAnyScene {
    int32_t size;
    int32_t type;
    int32_t value;
    int32_t scene_type;
} CallAnyScene;
static_assert(sizeof(CallAnyScene) == 16, "CallAnyScene");
static_assert(offsetof(CallAnyScene, size) == 0, "CallAnyScene.size");
static_assert(offsetof(CallAnyScene, type) == 4, "CallAnyScene.type");
static_assert(offsetof(CallAnyScene, value) == 8, "CallAnyScene.value");
static_assert(offsetof(CallAnyScene, scene_type) == 12, "CallAnyScene.scene_type");

typedef struct VCAFireworks {
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
} VCAFireworks;
static_assert(sizeof(VCAFireworks) == 52, "VCAFireworks");
static_assert(offsetof(VCAFireworks, size) == 0, "VCAFireworks.size");
static_assert(offsetof(VCAFireworks, scene_id) == 4, "VCAFireworks.scene_id");
static_assert(offsetof(VCAFireworks, rule_id) == 8, "VCAFireworks.rule_id");
static_assert(offsetof(VCAFireworks, valid) == 12, "VCAFireworks.valid");
static_assert(offsetof(VCAFireworks, display_rule) == 16, "VCAFireworks.display_rule");
static_assert(offsetof(VCAFireworks, display_state) == 20, "VCAFireworks.display_state");
static_assert(offsetof(VCAFireworks, display_target) == 24, "VCAFireworks.display_target");
static_assert(offsetof(VCAFireworks, color) == 28, "VCAFireworks.color");
static_assert(offsetof(VCAFireworks, alarm_color) == 32, "VCAFireworks.alarm_color");
static_assert(offsetof(VCAFireworks, fire_sensitiv) == 36, "VCAFireworks.fire_sensitiv");
static_assert(offsetof(VCAFireworks, smoke_sensitiv) == 40, "VCAFireworks.smoke_sensitiv");
static_assert(offsetof(VCAFireworks, model_type) == 44, "VCAFireworks.model_type");
static_assert(offsetof(VCAFireworks, wait_time) == 48, "VCAFireworks.wait_time");

/* The wait time comes before the temperature-loss switch. */
typedef struct VCATemDetect {
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
} VCATemDetect;
static_assert(sizeof(VCATemDetect) == 48, "VCATemDetect");
static_assert(offsetof(VCATemDetect, size) == 0, "VCATemDetect.size");
static_assert(offsetof(VCATemDetect, scene_id) == 4, "VCATemDetect.scene_id");
static_assert(offsetof(VCATemDetect, rule_id) == 8, "VCATemDetect.rule_id");
static_assert(offsetof(VCATemDetect, valid) == 12, "VCATemDetect.valid");
static_assert(offsetof(VCATemDetect, display_tem_scale_enable) == 16, "VCATemDetect.display_tem_scale_enable");
static_assert(offsetof(VCATemDetect, high_tem_color) == 20, "VCATemDetect.high_tem_color");
static_assert(offsetof(VCATemDetect, low_tem_color) == 24, "VCATemDetect.low_tem_color");
static_assert(offsetof(VCATemDetect, model_type) == 28, "VCATemDetect.model_type");
static_assert(offsetof(VCATemDetect, tem_unit) == 32, "VCATemDetect.tem_unit");
static_assert(offsetof(VCATemDetect, tem_threshold) == 36, "VCATemDetect.tem_threshold");
static_assert(offsetof(VCATemDetect, wait_time) == 40, "VCATemDetect.wait_time");
static_assert(offsetof(VCATemDetect, temp_lose_enable) == 44, "VCATemDetect.temp_lose_enable");

typedef struct PersonStatisticArithmetic {
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
} PersonStatisticArithmetic;
static_assert(sizeof(PersonStatisticArithmetic) == 580, "PersonStatisticArithmetic");
static_assert(offsetof(PersonStatisticArithmetic, size) == 0, "PersonStatisticArithmetic.size");
static_assert(offsetof(PersonStatisticArithmetic, scene_id) == 4, "PersonStatisticArithmetic.scene_id");
static_assert(offsetof(PersonStatisticArithmetic, mode) == 8, "PersonStatisticArithmetic.mode");
static_assert(offsetof(PersonStatisticArithmetic, target_max_size) == 12, "PersonStatisticArithmetic.target_max_size");
static_assert(offsetof(PersonStatisticArithmetic, target_min_size) == 16, "PersonStatisticArithmetic.target_min_size");
static_assert(offsetof(PersonStatisticArithmetic, sensitiv) == 20, "PersonStatisticArithmetic.sensitiv");
static_assert(offsetof(PersonStatisticArithmetic, detect_type) == 24, "PersonStatisticArithmetic.detect_type");
static_assert(offsetof(PersonStatisticArithmetic, point_num) == 28, "PersonStatisticArithmetic.point_num");
static_assert(offsetof(PersonStatisticArithmetic, point) == 32, "PersonStatisticArithmetic.point");
static_assert(offsetof(PersonStatisticArithmetic, polygon_point_num) == 288,
              "PersonStatisticArithmetic.polygon_point_num");
static_assert(offsetof(PersonStatisticArithmetic, polygon_point) == 292, "PersonStatisticArithmetic.polygon_point");
static_assert(offsetof(PersonStatisticArithmetic, display_target) == 548, "PersonStatisticArithmetic.display_target");
static_assert(offsetof(PersonStatisticArithmetic, min_size_ex) == 552, "PersonStatisticArithmetic.min_size_ex");
static_assert(offsetof(PersonStatisticArithmetic, stay_num) == 556, "PersonStatisticArithmetic.stay_num");
static_assert(offsetof(PersonStatisticArithmetic, clear_mode) == 560, "PersonStatisticArithmetic.clear_mode");
static_assert(offsetof(PersonStatisticArithmetic, max_num) == 564, "PersonStatisticArithmetic.max_num");
static_assert(offsetof(PersonStatisticArithmetic, hour) == 568, "PersonStatisticArithmetic.hour");
static_assert(offsetof(PersonStatisticArithmetic, minute) == 572, "PersonStatisticArithmetic.minute");
static_assert(offsetof(PersonStatisticArithmetic, enable) == 576, "PersonStatisticArithmetic.enable");

#endif
