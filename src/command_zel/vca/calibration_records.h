// Device SDK records of scene calibration and the reference boundary
// (little-endian 4-byte fields).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zel {

inline constexpr int32_t VCA_CMD_CALIBRATION_REFERENCE = 0xC6;
inline constexpr int32_t VCA_CMD_REFBOUNDARYINFO = 0xC7;
inline constexpr int32_t REFERENCE_POINT_NUM_MAX = 20;

struct VcaPoint3 {
    int32_t x;
    int32_t y;
    int32_t z;
};
static_assert(sizeof(VcaPoint3) == 12);
static_assert(offsetof(VcaPoint3, x) == 0 && offsetof(VcaPoint3, y) == 4 && offsetof(VcaPoint3, z) == 8);

struct VCACalibrationReference {
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
};
static_assert(sizeof(VCACalibrationReference) == 544);
static_assert(offsetof(VCACalibrationReference, size) == 0);
static_assert(offsetof(VCACalibrationReference, scene_id) == 4);
static_assert(offsetof(VCACalibrationReference, point_num) == 8);
static_assert(offsetof(VCACalibrationReference, point_imgs) == 12);
static_assert(offsetof(VCACalibrationReference, point_wlds) == 252);
static_assert(offsetof(VCACalibrationReference, ipc_high) == 492);
static_assert(offsetof(VCACalibrationReference, ipc_param) == 496);
static_assert(offsetof(VCACalibrationReference, coordinate_o) == 508);
static_assert(offsetof(VCACalibrationReference, coordinate_x) == 520);
static_assert(offsetof(VCACalibrationReference, coordinate_y) == 532);

struct VCARefBoundary {
    int32_t scene_id;
    int32_t enable;
    int32_t point_num;
    VcaPoint3 point_wlds[REFERENCE_POINT_NUM_MAX];
};
static_assert(sizeof(VCARefBoundary) == 252);
static_assert(offsetof(VCARefBoundary, scene_id) == 0);
static_assert(offsetof(VCARefBoundary, enable) == 4);
static_assert(offsetof(VCARefBoundary, point_num) == 8);
static_assert(offsetof(VCARefBoundary, point_wlds) == 12);

}  // namespace zel
