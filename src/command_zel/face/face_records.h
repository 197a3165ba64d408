// Device SDK records of the face library and face record commands, laid out
// byte for byte as the device reads them (little-endian, zero-filled before
// use), and the few helpers these commands share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "zel_json.h"
#include "zel_log.h"

namespace zel::face_data {

// Sub-commands of NetClient_FaceConfig used here.
inline constexpr int32_t FACE_CMD_EDIT = 0;
inline constexpr int32_t FACE_CMD_FACE_DELETE = 1;
inline constexpr int32_t FACE_CMD_LIB_EDIT = 4;
inline constexpr int32_t FACE_CMD_LIB_DELETE = 5;
inline constexpr int32_t FACE_CMD_FEATURE = 7;
inline constexpr int32_t FACE_CMD_LIB_SYNC = 15;
inline constexpr int32_t FACE_CMD_LIB_SYNC_STATUS = 16;
inline constexpr int32_t FACE_CMD_ALARM_PARAM = 21;

// Other SDK sub-commands.
inline constexpr int32_t kAlarmCmdFaceParam = 112;          // NetClient_SetAlarmConfig
inline constexpr int32_t NET_CLIENT_GET_FUNC_ABILITY = 99;  // NetClient_GetDevConfig
inline constexpr int32_t kDevCmdFaceLibCount = 126;         // NetClient_GetDevConfig
inline constexpr int32_t kDevCmdVcaEnable = 32;             // NetClient_SetDevConfig

inline constexpr size_t LEN_UUID = 64;
inline constexpr size_t LEN_64 = 64;
inline constexpr size_t LEN_16 = 16;

// Answer of every FaceConfig call that changes data.
struct face_reply {
    int32_t size;
    uint8_t reserved0[12];
    int32_t iResult;  // 0 = done, other values are the device's result codes
    uint8_t reserved1[128];
    int32_t detail;  // progress of a library delete; 20 after an edit = uuid exists
};
static_assert(sizeof(face_reply) == 152);
static_assert(offsetof(face_reply, size) == 0);
static_assert(offsetof(face_reply, reserved0) == 4);
static_assert(offsetof(face_reply, iResult) == 16);
static_assert(offsetof(face_reply, reserved1) == 20);
static_assert(offsetof(face_reply, detail) == 148);

// Detail code of an edit whose face uuid the device already holds.
inline constexpr int32_t kDetailFaceExists = 20;

// One face of a library: request of FACE_CMD_EDIT.
struct face_record {
    int32_t size;
    int32_t channel;
    char file_name[260];
    int32_t face_lib_key;
    int32_t face_key;
    int32_t reserved0;
    int32_t file_type;
    int32_t modeling;
    char name[64];
    int32_t sex;
    char birthtime[16];
    int32_t nation;
    int32_t place;
    int32_t certype;
    char certnum[64];
    int32_t opttype;
    char libuuid[64];
    char faceuuid[64];
    uint8_t reserved1[532];
};
static_assert(sizeof(face_record) == 1112);
static_assert(offsetof(face_record, size) == 0);
static_assert(offsetof(face_record, channel) == 4);
static_assert(offsetof(face_record, file_name) == 8);
static_assert(offsetof(face_record, face_lib_key) == 268);
static_assert(offsetof(face_record, face_key) == 272);
static_assert(offsetof(face_record, reserved0) == 276);
static_assert(offsetof(face_record, file_type) == 280);
static_assert(offsetof(face_record, modeling) == 284);
static_assert(offsetof(face_record, name) == 288);
static_assert(offsetof(face_record, sex) == 352);
static_assert(offsetof(face_record, birthtime) == 356);
static_assert(offsetof(face_record, nation) == 372);
static_assert(offsetof(face_record, place) == 376);
static_assert(offsetof(face_record, certype) == 380);
static_assert(offsetof(face_record, certnum) == 384);
static_assert(offsetof(face_record, opttype) == 448);
static_assert(offsetof(face_record, libuuid) == 452);
static_assert(offsetof(face_record, faceuuid) == 516);
static_assert(offsetof(face_record, reserved1) == 580);

// Names one stored face: request of FACE_CMD_FACE_DELETE and FACE_CMD_FEATURE.
struct face_key_record {
    int32_t size;
    int32_t channel;
    int32_t lib_key;
    int32_t face_key;
    char libuuid[64];
    char faceuuid[64];
};
static_assert(sizeof(face_key_record) == 144);
static_assert(offsetof(face_key_record, size) == 0);
static_assert(offsetof(face_key_record, channel) == 4);
static_assert(offsetof(face_key_record, lib_key) == 8);
static_assert(offsetof(face_key_record, face_key) == 12);
static_assert(offsetof(face_key_record, libuuid) == 16);
static_assert(offsetof(face_key_record, faceuuid) == 80);

// The delete request goes out with a face record's length: the key record
// first, zeros after it.
struct face_delete_request {
    face_key_record key;
    uint8_t zero[sizeof(face_record) - sizeof(face_key_record)];
};
static_assert(sizeof(face_delete_request) == sizeof(face_record));
static_assert(offsetof(face_delete_request, key) == 0);
static_assert(offsetof(face_delete_request, zero) == 144);

// A face library: request of FACE_CMD_LIB_EDIT.
struct face_lib_record {
    int32_t size;
    int32_t channel;
    int32_t inner_size;  // length of the library part from offset 8
    int32_t libkey;
    char name[64];
    int32_t threshold;
    char extrainfo[64];
    int32_t alarmtype;
    int32_t opttype;
    char libuuid[64];
    char libversion[64];
    uint8_t reserved[12];
};
static_assert(sizeof(face_lib_record) == 296);
static_assert(offsetof(face_lib_record, size) == 0);
static_assert(offsetof(face_lib_record, channel) == 4);
static_assert(offsetof(face_lib_record, inner_size) == 8);
static_assert(offsetof(face_lib_record, libkey) == 12);
static_assert(offsetof(face_lib_record, name) == 16);
static_assert(offsetof(face_lib_record, threshold) == 80);
static_assert(offsetof(face_lib_record, extrainfo) == 84);
static_assert(offsetof(face_lib_record, alarmtype) == 148);
static_assert(offsetof(face_lib_record, opttype) == 152);
static_assert(offsetof(face_lib_record, libuuid) == 156);
static_assert(offsetof(face_lib_record, libversion) == 220);
static_assert(offsetof(face_lib_record, reserved) == 284);
inline constexpr int32_t kFaceLibInnerSize = 288;

// Library delete: request of FACE_CMD_LIB_DELETE.
struct face_lib_delete_record {
    int32_t size;
    int32_t channel;
    int32_t libkey;
    char libuuid[64];
};
static_assert(sizeof(face_lib_delete_record) == 76);
static_assert(offsetof(face_lib_delete_record, size) == 0);
static_assert(offsetof(face_lib_delete_record, channel) == 4);
static_assert(offsetof(face_lib_delete_record, libkey) == 8);
static_assert(offsetof(face_lib_delete_record, libuuid) == 12);

// The library delete goes out with a library record's length.
struct face_lib_delete_request {
    face_lib_delete_record lib;
    uint8_t zero[sizeof(face_lib_record) - sizeof(face_lib_delete_record)];
};
static_assert(sizeof(face_lib_delete_request) == sizeof(face_lib_record));
static_assert(offsetof(face_lib_delete_request, lib) == 0);
static_assert(offsetof(face_lib_delete_request, zero) == 76);

// Library to channels: request of FACE_CMD_LIB_SYNC. Channel c is bit
// c % 32 of mask word c / 32.
inline constexpr int32_t kSyncMaskWords = 64;
struct face_lib_sync_record {
    int32_t size;
    int32_t mask_words;  // mask words in use
    uint32_t mask[kSyncMaskWords];
    int32_t reserved;
    char libuuid[64];
    int32_t status;
    int32_t similarity;
};
static_assert(sizeof(face_lib_sync_record) == 340);
static_assert(offsetof(face_lib_sync_record, size) == 0);
static_assert(offsetof(face_lib_sync_record, mask_words) == 4);
static_assert(offsetof(face_lib_sync_record, mask) == 8);
static_assert(offsetof(face_lib_sync_record, reserved) == 264);
static_assert(offsetof(face_lib_sync_record, libuuid) == 268);
static_assert(offsetof(face_lib_sync_record, status) == 332);
static_assert(offsetof(face_lib_sync_record, similarity) == 336);

// Request of FACE_CMD_LIB_SYNC_STATUS.
inline constexpr int32_t kSyncStatusEntries = 320;
struct face_sync_status_request {
    int32_t size;
    int32_t channel;  // or kAllChannels
    int32_t max_entries;
    int32_t reserved;
    char libuuid[64];
};
static_assert(sizeof(face_sync_status_request) == 80);
static_assert(offsetof(face_sync_status_request, size) == 0);
static_assert(offsetof(face_sync_status_request, channel) == 4);
static_assert(offsetof(face_sync_status_request, max_entries) == 8);
static_assert(offsetof(face_sync_status_request, reserved) == 12);
static_assert(offsetof(face_sync_status_request, libuuid) == 16);

// One entry of the FACE_CMD_LIB_SYNC_STATUS answer; valid when size > 0.
struct face_sync_status_entry {
    int32_t size;
    int32_t channel;
    int32_t reserved;
    char libuuid[64];
    int32_t state;
    int32_t process;
    int32_t success_num;
    int32_t fail_num;
};
static_assert(sizeof(face_sync_status_entry) == 92);
static_assert(offsetof(face_sync_status_entry, size) == 0);
static_assert(offsetof(face_sync_status_entry, channel) == 4);
static_assert(offsetof(face_sync_status_entry, reserved) == 8);
static_assert(offsetof(face_sync_status_entry, libuuid) == 12);
static_assert(offsetof(face_sync_status_entry, state) == 76);
static_assert(offsetof(face_sync_status_entry, process) == 80);
static_assert(offsetof(face_sync_status_entry, success_num) == 84);
static_assert(offsetof(face_sync_status_entry, fail_num) == 88);

// Face alarm parameters of a channel: request of NetClient_SetAlarmConfig
// and element of the FACE_CMD_ALARM_PARAM answer (valid when size >= 1).
inline constexpr int32_t kAlarmParamEntries = 300;
struct face_alarm_param {
    int32_t size;
    int32_t channel;
    int32_t alarm_type;
    int32_t param1;
    int32_t param2;
    int32_t param3;
    uint8_t reserved[64];
    int32_t recognition;
    int32_t similar;
    int32_t devtype;
    int32_t enable;
    char libuuid[64];
    int32_t libenable;
    int32_t freqgroup;
    char freqchannellist[256];
    char libuuid_stranger[64];
};
static_assert(sizeof(face_alarm_param) == 496);
static_assert(offsetof(face_alarm_param, size) == 0);
static_assert(offsetof(face_alarm_param, channel) == 4);
static_assert(offsetof(face_alarm_param, alarm_type) == 8);
static_assert(offsetof(face_alarm_param, param1) == 12);
static_assert(offsetof(face_alarm_param, param2) == 16);
static_assert(offsetof(face_alarm_param, param3) == 20);
static_assert(offsetof(face_alarm_param, reserved) == 24);
static_assert(offsetof(face_alarm_param, recognition) == 88);
static_assert(offsetof(face_alarm_param, similar) == 92);
static_assert(offsetof(face_alarm_param, devtype) == 96);
static_assert(offsetof(face_alarm_param, enable) == 100);
static_assert(offsetof(face_alarm_param, libuuid) == 104);
static_assert(offsetof(face_alarm_param, libenable) == 168);
static_assert(offsetof(face_alarm_param, freqgroup) == 172);
static_assert(offsetof(face_alarm_param, freqchannellist) == 176);
static_assert(offsetof(face_alarm_param, libuuid_stranger) == 432);

// Request of FACE_CMD_ALARM_PARAM.
struct face_alarm_param_query {
    int32_t size;
    int32_t param1;
    int32_t reserved;
};
static_assert(sizeof(face_alarm_param_query) == 12);
static_assert(offsetof(face_alarm_param_query, size) == 0);
static_assert(offsetof(face_alarm_param_query, param1) == 4);
static_assert(offsetof(face_alarm_param_query, reserved) == 8);

// NET_CLIENT_GET_FUNC_ABILITY: the device answers in cParam as decimal text.
struct face_func_ability {
    int32_t size;
    int32_t iMainFuncType;
    int32_t iSubFuncType;
    char cParam[1024];
};
static_assert(sizeof(face_func_ability) == 1036);
static_assert(offsetof(face_func_ability, size) == 0);
static_assert(offsetof(face_func_ability, iMainFuncType) == 4);
static_assert(offsetof(face_func_ability, iSubFuncType) == 8);
static_assert(offsetof(face_func_ability, cParam) == 12);
inline constexpr int32_t kAbilityMainStranger = 64;
inline constexpr int32_t kAbilitySubStranger = 162;

// Face library counts of a channel.
struct face_lib_count_record {
    int32_t size;
    int32_t total_count;
    int32_t sample_count;
    int32_t custom_count;
    int32_t reserved;
};
static_assert(sizeof(face_lib_count_record) == 20);
static_assert(offsetof(face_lib_count_record, size) == 0);
static_assert(offsetof(face_lib_count_record, total_count) == 4);
static_assert(offsetof(face_lib_count_record, sample_count) == 8);
static_assert(offsetof(face_lib_count_record, custom_count) == 12);
static_assert(offsetof(face_lib_count_record, reserved) == 16);

// Answer of FACE_CMD_FEATURE: up to 10 faces found in a stored picture, each
// with up to 10 rectangle points and its feature bytes.
inline constexpr int32_t kFeatureFaces = 10;
inline constexpr int32_t kFeatureRects = 10;
inline constexpr int32_t kFeatureBytes = 32768;
struct face_point {
    int32_t x;
    int32_t y;
};
static_assert(sizeof(face_point) == 8);
static_assert(offsetof(face_point, x) == 0);
static_assert(offsetof(face_point, y) == 4);
struct face_feature_record {
    int32_t size;
    int32_t channel;
    int32_t type;
    int32_t libkey;
    int32_t facekey;
    char libuuid[64];
    char faceuuid[64];
    int32_t face_num;
    int32_t rect_num[kFeatureFaces];
    face_point rects[kFeatureFaces][kFeatureRects];
    int32_t feature_len[kFeatureFaces];
    uint8_t feature[kFeatureFaces][kFeatureBytes];
};
static_assert(sizeof(face_feature_record) == 328712);
static_assert(offsetof(face_feature_record, size) == 0);
static_assert(offsetof(face_feature_record, channel) == 4);
static_assert(offsetof(face_feature_record, type) == 8);
static_assert(offsetof(face_feature_record, libkey) == 12);
static_assert(offsetof(face_feature_record, facekey) == 16);
static_assert(offsetof(face_feature_record, libuuid) == 20);
static_assert(offsetof(face_feature_record, faceuuid) == 84);
static_assert(offsetof(face_feature_record, face_num) == 148);
static_assert(offsetof(face_feature_record, rect_num) == 152);
static_assert(offsetof(face_feature_record, rects) == 192);
static_assert(offsetof(face_feature_record, feature_len) == 992);
static_assert(offsetof(face_feature_record, feature) == 1032);

// Uuids are copied with up to the whole field width: a uuid that fills its
// field is sent without a terminator, as the device expects.
template <size_t N> void copy_uuid(char (&field)[N], const char *text) {
    std::memset(field, 0, N);
    if (text != nullptr)
        std::memcpy(field, text, strnlen(text, N));
}

// Text for log lines of an optional member that may be absent.
inline const char *or_empty(const char *text) { return text != nullptr ? text : ""; }

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using heap_ptr = std::unique_ptr<T, FreeDeleter>;

// A zeroed heap area of `count` records (too large for a handler's stack);
// exhaustion is fatal with `what` as the level-5 line.
template <typename T> heap_ptr<T[]> zeroed_records(size_t count, const char *what, Site site = {}) {
    return heap_ptr<T[]>(static_cast<T *>(xcalloc(count, sizeof(T), what, site)));
}

}  // namespace zel::face_data
