// Device SDK request records of the analysis-rule commands, laid out as the
// device expects them on the wire (little-endian, 4-byte fields).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zel {

inline constexpr int32_t VCA_CMD_FACEMOSAIC = 0x4B;
inline constexpr int32_t VCA_CMD_ALARM_STATISTIC = 0x67;
inline constexpr int32_t VCA_CMD_NEW_FIGHT = 0x9E;
inline constexpr int32_t VCA_CMD_VCA_PEPT = 0xA2;
inline constexpr int32_t VCA_CMD_VCA_PEPT_ENABLE = 0xA3;
inline constexpr int32_t VCA_CMD_PUSH_RULE_167 = 0xA7;
inline constexpr int32_t VCA_CMD_PUSH_RULE_168 = 0xA8;
inline constexpr int32_t VCA_CMD_ZONE_RULE_173 = 0xAD;
inline constexpr int32_t VCA_CMD_ZONE_RULE_174 = 0xAE;
inline constexpr int32_t VCA_CMD_TYPED_RULE_182 = 0xB6;
inline constexpr int32_t VCA_CMD_CPC_ADVANCE_PART2 = 0xC4;
inline constexpr int32_t NET_CLIENT_ALGORITHM_ENABLE = 0x15;
inline constexpr int32_t NET_CLIENT_VCA_DEV_ENABLE = 0x20;

inline constexpr int32_t MAX_VCA_PEPT_POINT_NUM = 8;
inline constexpr int32_t VCA_MAX_RULE_NUM = 8;

struct VcaPoint {
    int32_t x;
    int32_t y;
};
static_assert(sizeof(VcaPoint) == 8);
static_assert(offsetof(VcaPoint, x) == 0 && offsetof(VcaPoint, y) == 4);

struct VCAPeptRule {
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
};
static_assert(sizeof(VCAPeptRule) == 124);
static_assert(offsetof(VCAPeptRule, scene_id) == 0);
static_assert(offsetof(VCAPeptRule, rule_id) == 4);
static_assert(offsetof(VCAPeptRule, valid) == 8);
static_assert(offsetof(VCAPeptRule, display_rule) == 12);
static_assert(offsetof(VCAPeptRule, display_stat) == 16);
static_assert(offsetof(VCAPeptRule, color) == 20);
static_assert(offsetof(VCAPeptRule, alarm_color) == 24);
static_assert(offsetof(VCAPeptRule, display_target) == 28);
static_assert(offsetof(VCAPeptRule, max_size) == 32);
static_assert(offsetof(VCAPeptRule, min_size) == 36);
static_assert(offsetof(VCAPeptRule, sensitiv) == 40);
static_assert(offsetof(VCAPeptRule, model_type) == 44);
static_assert(offsetof(VCAPeptRule, tgt_type) == 48);
static_assert(offsetof(VCAPeptRule, time_thres_hold) == 52);
static_assert(offsetof(VCAPeptRule, point_num) == 56);
static_assert(offsetof(VCAPeptRule, points) == 60);

struct VCAPeptEnable {
    int32_t enable;
};
static_assert(sizeof(VCAPeptEnable) == 4);
static_assert(offsetof(VCAPeptEnable, enable) == 0);

// Point-list rule of sub-commands 167, 168 (third = sensitivity, fourth =
// push mode) and 173, 174 (third = enable, fourth = sensitivity).
struct VCAPointRule {
    int32_t scene_id;
    int32_t rule_id;
    int32_t third;
    int32_t fourth;
    int32_t point_num;
    VcaPoint points[MAX_VCA_PEPT_POINT_NUM];
};
static_assert(sizeof(VCAPointRule) == 84);
static_assert(offsetof(VCAPointRule, scene_id) == 0);
static_assert(offsetof(VCAPointRule, rule_id) == 4);
static_assert(offsetof(VCAPointRule, third) == 8);
static_assert(offsetof(VCAPointRule, fourth) == 12);
static_assert(offsetof(VCAPointRule, point_num) == 16);
static_assert(offsetof(VCAPointRule, points) == 20);

struct VCAPointRuleTyped {
    int32_t type;
    int32_t scene_id;
    int32_t rule_id;
    int32_t sensitiv;
    int32_t push_mode;
    int32_t point_num;
    VcaPoint points[MAX_VCA_PEPT_POINT_NUM];
};
static_assert(sizeof(VCAPointRuleTyped) == 88);
static_assert(offsetof(VCAPointRuleTyped, type) == 0);
static_assert(offsetof(VCAPointRuleTyped, scene_id) == 4);
static_assert(offsetof(VCAPointRuleTyped, rule_id) == 8);
static_assert(offsetof(VCAPointRuleTyped, sensitiv) == 12);
static_assert(offsetof(VCAPointRuleTyped, push_mode) == 16);
static_assert(offsetof(VCAPointRuleTyped, point_num) == 20);
static_assert(offsetof(VCAPointRuleTyped, points) == 24);

struct VCAAlarmStatisticClear {
    int32_t size;
    int32_t scene_id;
    int32_t rule_id;
    int32_t reserved;
};
static_assert(sizeof(VCAAlarmStatisticClear) == 16);
static_assert(offsetof(VCAAlarmStatisticClear, size) == 0);
static_assert(offsetof(VCAAlarmStatisticClear, scene_id) == 4);
static_assert(offsetof(VCAAlarmStatisticClear, rule_id) == 8);
static_assert(offsetof(VCAAlarmStatisticClear, reserved) == 12);

struct VCACpcAdvancePart2 {
    int32_t scene_id;
    int32_t pic_interval;
    int32_t reserved[2];
};
static_assert(sizeof(VCACpcAdvancePart2) == 16);
static_assert(offsetof(VCACpcAdvancePart2, scene_id) == 0);
static_assert(offsetof(VCACpcAdvancePart2, pic_interval) == 4);
static_assert(offsetof(VCACpcAdvancePart2, reserved) == 8);

// Read from the device and written back: only the named fields change.
struct VCAFaceMosaic {
    int32_t size;
    uint8_t device_4[8];
    int32_t valid;
    uint8_t device_16[296];
    int32_t mosaic_level;
    uint8_t device_316[260];
};
static_assert(sizeof(VCAFaceMosaic) == 576);
static_assert(offsetof(VCAFaceMosaic, size) == 0);
static_assert(offsetof(VCAFaceMosaic, device_4) == 4);
static_assert(offsetof(VCAFaceMosaic, valid) == 12);
static_assert(offsetof(VCAFaceMosaic, device_16) == 16);
static_assert(offsetof(VCAFaceMosaic, mosaic_level) == 312);
static_assert(offsetof(VCAFaceMosaic, device_316) == 316);

struct VCANewFight {
    int32_t dev_type;
    uint8_t device_4[8];
    int32_t valid;
    uint8_t device_16[4204];
};
static_assert(sizeof(VCANewFight) == 4220);
static_assert(offsetof(VCANewFight, dev_type) == 0);
static_assert(offsetof(VCANewFight, device_4) == 4);
static_assert(offsetof(VCANewFight, valid) == 12);
static_assert(offsetof(VCANewFight, device_16) == 16);

struct AlgorithmEnableConfig {
    uint8_t device_0[4];
    int32_t scene_no;
    uint8_t device_8[32];
    uint32_t enable_high;  // bit n: algorithm type 32 + n
    int32_t dev_type;
    uint32_t enable_low;  // bit n: algorithm type n (with three remapped types)
    uint8_t device_52[40];
};
static_assert(sizeof(AlgorithmEnableConfig) == 92);
static_assert(offsetof(AlgorithmEnableConfig, device_0) == 0);
static_assert(offsetof(AlgorithmEnableConfig, scene_no) == 4);
static_assert(offsetof(AlgorithmEnableConfig, device_8) == 8);
static_assert(offsetof(AlgorithmEnableConfig, enable_high) == 40);
static_assert(offsetof(AlgorithmEnableConfig, dev_type) == 44);
static_assert(offsetof(AlgorithmEnableConfig, enable_low) == 48);
static_assert(offsetof(AlgorithmEnableConfig, device_52) == 52);

struct VcaDevEnableConfig {
    int32_t enable;
    int32_t dev_type;
};
static_assert(sizeof(VcaDevEnableConfig) == 8);
static_assert(offsetof(VcaDevEnableConfig, enable) == 0);
static_assert(offsetof(VcaDevEnableConfig, dev_type) == 4);

}  // namespace zel
