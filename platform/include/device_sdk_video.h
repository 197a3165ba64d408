/* Device SDK records of the picture settings: the time-range picture
 * parameters (sharpness), the picture combination of a video output, and the
 * capacity of a supported picture size list. The other picture requests
 * (frame rate, size code, byte rate) pass plain integers (device_sdk.h).
 * Little-endian, zero-filled before use, passed with their size in bytes. */
#ifndef PLATFORM_DEVICE_SDK_VIDEO_H
#define PLATFORM_DEVICE_SDK_VIDEO_H

#include <assert.h>
#include <stddef.h>
#include <stdint.h>

enum {
    /* First field of every time-range picture record the library sends. */
    HD_TIME_RANGE_PARAM_TYPE = 7,
    /* Time ranges of a channel: indexes 0..7 of NetClient_SetHDTimeRangeParam. */
    HD_TIME_RANGE_COUNT = 8,
    /* Size codes one NetClient_GetVideoSzList answer holds (128 bytes). */
    VIDEO_SIZE_LIST_MAX = 32,
    /* Width of the channel list text of a picture combination. */
    VIDEO_COMBINE_CHS_LEN = 300
};

/* Picture parameters of one time range of a channel
 * (NetClient_SetHDTimeRangeParam). */
typedef struct HDTimeRangeParam {
    int32_t type; /* HD_TIME_RANGE_PARAM_TYPE */
    uint8_t reserved0[204];
    int32_t sharpness;
    uint8_t reserved1[672];
} HDTimeRangeParam;
static_assert(sizeof(HDTimeRangeParam) == 884, "HDTimeRangeParam");
static_assert(offsetof(HDTimeRangeParam, type) == 0, "HDTimeRangeParam.type");
static_assert(offsetof(HDTimeRangeParam, reserved0) == 4, "HDTimeRangeParam.reserved0");
static_assert(offsetof(HDTimeRangeParam, sharpness) == 208, "HDTimeRangeParam.sharpness");
static_assert(offsetof(HDTimeRangeParam, reserved1) == 212, "HDTimeRangeParam.reserved1");

/* The pictures a video output combines (NetClient_SetVideoCombine). */
typedef struct VideoCombine {
    int32_t size; /* 316 */
    int32_t pic_num;
    int32_t rec;
    char chs[VIDEO_COMBINE_CHS_LEN]; /* terminated text */
    int32_t vo_dev_id;
} VideoCombine;
static_assert(sizeof(VideoCombine) == 316, "VideoCombine");
static_assert(offsetof(VideoCombine, size) == 0, "VideoCombine.size");
static_assert(offsetof(VideoCombine, pic_num) == 4, "VideoCombine.pic_num");
static_assert(offsetof(VideoCombine, rec) == 8, "VideoCombine.rec");
static_assert(offsetof(VideoCombine, chs) == 12, "VideoCombine.chs");
static_assert(offsetof(VideoCombine, vo_dev_id) == 312, "VideoCombine.vo_dev_id");

#endif
