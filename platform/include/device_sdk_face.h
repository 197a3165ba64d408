/* Device SDK: the face functions of a device. Face libraries and the faces
 * in them, their synchronisation to channels, face features and face-alarm
 * parameters (NetClient_FaceConfig and the few GetDevConfig, SetDevConfig and
 * SetAlarmConfig sub-commands that go with them). The searches and their
 * result pages are in device_sdk_face_search.h.
 *
 * Records are little-endian, zero-filled before use, and begin with their
 * own size unless said otherwise. */
#ifndef PLATFORM_DEVICE_SDK_FACE_H
#define PLATFORM_DEVICE_SDK_FACE_H

#include <assert.h>
#include <stddef.h>
#include <stdint.h>

#include "device_sdk.h"

/* NetClient_FaceConfig sub-commands. */
enum {
    FACE_CMD_EDIT = 0,
    FACE_CMD_FACE_DELETE = 1,
    FACE_CMD_QUERY = 2,
    FACE_CMD_LIB_EDIT = 4,
    FACE_CMD_LIB_DELETE = 5,
    FACE_CMD_LIB_QUERY = 6,
    FACE_CMD_FEATURE = 7,
    FACE_CMD_SEARCH = 14,
    FACE_CMD_LIB_SYNC = 15,
    FACE_CMD_LIB_SYNC_STATUS = 16,
    FACE_CMD_CUT_EX = 17,
    FACE_CMD_SEARCH_SNAP = 18,
    FACE_CMD_SEARCH_SNAP_PROCESS = 19,
    FACE_CMD_SEARCH_SNAP_RESULT = 20,
    FACE_CMD_ALARM_PARAM = 21
};

/* Sub-commands of the other request functions. */
enum {
    NET_CLIENT_FACE_ALARM_PARAM = 112, /* NetClient_SetAlarmConfig */
    NET_CLIENT_FACE_LIB_COUNT = 126    /* NetClient_GetDevConfig */
};

/* Capacities and fixed values of the records below. */
enum {
    FACE_REPLY_UUID_EXISTS = 20, /* face_reply.detail after FACE_CMD_EDIT: the face uuid is taken */
    FACE_LIB_INNER_SIZE = 288,   /* face_lib_record.inner_size */
    FACE_SYNC_MASK_WORDS = 64,
    FACE_SYNC_STATUS_ENTRIES = 320,
    FACE_ALARM_PARAM_ENTRIES = 300,
    FACE_FEATURE_FACES = 10,
    FACE_FEATURE_RECTS = 10,
    FACE_FEATURE_BYTES = 32768,
    /* NET_CLIENT_GET_FUNC_ABILITY pair: does the device keep a stranger library */
    FACE_ABILITY_MAIN_STRANGER = 64,
    FACE_ABILITY_SUB_STRANGER = 162
};

/* Answer of every FaceConfig call that changes data. */
typedef struct face_reply {
    int32_t size;
    uint8_t reserved0[12];
    int32_t iResult; /* 0 = done, other values are the device's result codes */
    uint8_t reserved1[128];
    int32_t detail; /* progress of a library delete or snapshot search; after an edit see
                     * FACE_REPLY_UUID_EXISTS */
} face_reply;
static_assert(sizeof(face_reply) == 152, "face_reply");
static_assert(offsetof(face_reply, size) == 0, "face_reply.size");
static_assert(offsetof(face_reply, reserved0) == 4, "face_reply.reserved0");
static_assert(offsetof(face_reply, iResult) == 16, "face_reply.iResult");
static_assert(offsetof(face_reply, reserved1) == 20, "face_reply.reserved1");
static_assert(offsetof(face_reply, detail) == 148, "face_reply.detail");

/* One face of a library: request of FACE_CMD_EDIT. */
typedef struct face_record {
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
} face_record;
static_assert(sizeof(face_record) == 1112, "face_record");
static_assert(offsetof(face_record, size) == 0, "face_record.size");
static_assert(offsetof(face_record, channel) == 4, "face_record.channel");
static_assert(offsetof(face_record, file_name) == 8, "face_record.file_name");
static_assert(offsetof(face_record, face_lib_key) == 268, "face_record.face_lib_key");
static_assert(offsetof(face_record, face_key) == 272, "face_record.face_key");
static_assert(offsetof(face_record, reserved0) == 276, "face_record.reserved0");
static_assert(offsetof(face_record, file_type) == 280, "face_record.file_type");
static_assert(offsetof(face_record, modeling) == 284, "face_record.modeling");
static_assert(offsetof(face_record, name) == 288, "face_record.name");
static_assert(offsetof(face_record, sex) == 352, "face_record.sex");
static_assert(offsetof(face_record, birthtime) == 356, "face_record.birthtime");
static_assert(offsetof(face_record, nation) == 372, "face_record.nation");
static_assert(offsetof(face_record, place) == 376, "face_record.place");
static_assert(offsetof(face_record, certype) == 380, "face_record.certype");
static_assert(offsetof(face_record, certnum) == 384, "face_record.certnum");
static_assert(offsetof(face_record, opttype) == 448, "face_record.opttype");
static_assert(offsetof(face_record, libuuid) == 452, "face_record.libuuid");
static_assert(offsetof(face_record, faceuuid) == 516, "face_record.faceuuid");
static_assert(offsetof(face_record, reserved1) == 580, "face_record.reserved1");

/* Names one stored face: request of FACE_CMD_FACE_DELETE and FACE_CMD_FEATURE. */
typedef struct face_key_record {
    int32_t size;
    int32_t channel;
    int32_t lib_key;
    int32_t face_key;
    char libuuid[64];
    char faceuuid[64];
} face_key_record;
static_assert(sizeof(face_key_record) == 144, "face_key_record");
static_assert(offsetof(face_key_record, size) == 0, "face_key_record.size");
static_assert(offsetof(face_key_record, channel) == 4, "face_key_record.channel");
static_assert(offsetof(face_key_record, lib_key) == 8, "face_key_record.lib_key");
static_assert(offsetof(face_key_record, face_key) == 12, "face_key_record.face_key");
static_assert(offsetof(face_key_record, libuuid) == 16, "face_key_record.libuuid");
static_assert(offsetof(face_key_record, faceuuid) == 80, "face_key_record.faceuuid");

/* The delete request goes out with a face record's length: the key record
 * first, zeros after it. */
typedef struct face_delete_request {
    face_key_record key;
    uint8_t zero[968];
} face_delete_request;
static_assert(sizeof(face_delete_request) == 1112, "face_delete_request");
static_assert(offsetof(face_delete_request, key) == 0, "face_delete_request.key");
static_assert(offsetof(face_delete_request, zero) == 144, "face_delete_request.zero");

/* A face library: request of FACE_CMD_LIB_EDIT. */
typedef struct face_lib_record {
    int32_t size;
    int32_t channel;
    int32_t inner_size; /* length of the library part from offset 8 */
    int32_t libkey;
    char name[64];
    int32_t threshold;
    char extrainfo[64];
    int32_t alarmtype;
    int32_t opttype;
    char libuuid[64];
    char libversion[64];
    uint8_t reserved[12];
} face_lib_record;
static_assert(sizeof(face_lib_record) == 296, "face_lib_record");
static_assert(offsetof(face_lib_record, size) == 0, "face_lib_record.size");
static_assert(offsetof(face_lib_record, channel) == 4, "face_lib_record.channel");
static_assert(offsetof(face_lib_record, inner_size) == 8, "face_lib_record.inner_size");
static_assert(offsetof(face_lib_record, libkey) == 12, "face_lib_record.libkey");
static_assert(offsetof(face_lib_record, name) == 16, "face_lib_record.name");
static_assert(offsetof(face_lib_record, threshold) == 80, "face_lib_record.threshold");
static_assert(offsetof(face_lib_record, extrainfo) == 84, "face_lib_record.extrainfo");
static_assert(offsetof(face_lib_record, alarmtype) == 148, "face_lib_record.alarmtype");
static_assert(offsetof(face_lib_record, opttype) == 152, "face_lib_record.opttype");
static_assert(offsetof(face_lib_record, libuuid) == 156, "face_lib_record.libuuid");
static_assert(offsetof(face_lib_record, libversion) == 220, "face_lib_record.libversion");
static_assert(offsetof(face_lib_record, reserved) == 284, "face_lib_record.reserved");

/* Library delete: request of FACE_CMD_LIB_DELETE. */
typedef struct face_lib_delete_record {
    int32_t size;
    int32_t channel;
    int32_t libkey;
    char libuuid[64];
} face_lib_delete_record;
static_assert(sizeof(face_lib_delete_record) == 76, "face_lib_delete_record");
static_assert(offsetof(face_lib_delete_record, size) == 0, "face_lib_delete_record.size");
static_assert(offsetof(face_lib_delete_record, channel) == 4, "face_lib_delete_record.channel");
static_assert(offsetof(face_lib_delete_record, libkey) == 8, "face_lib_delete_record.libkey");
static_assert(offsetof(face_lib_delete_record, libuuid) == 12, "face_lib_delete_record.libuuid");

/* The library delete goes out with a library record's length. */
typedef struct face_lib_delete_request {
    face_lib_delete_record lib;
    uint8_t zero[220];
} face_lib_delete_request;
static_assert(sizeof(face_lib_delete_request) == 296, "face_lib_delete_request");
static_assert(offsetof(face_lib_delete_request, lib) == 0, "face_lib_delete_request.lib");
static_assert(offsetof(face_lib_delete_request, zero) == 76, "face_lib_delete_request.zero");

/* Library to channels: request of FACE_CMD_LIB_SYNC. Channel c is bit
 * c % 32 of mask word c / 32. */
typedef struct face_lib_sync_record {
    int32_t size;
    int32_t mask_words; /* mask words in use */
    uint32_t mask[FACE_SYNC_MASK_WORDS];
    int32_t reserved;
    char libuuid[64];
    int32_t status;
    int32_t similarity;
} face_lib_sync_record;
static_assert(sizeof(face_lib_sync_record) == 340, "face_lib_sync_record");
static_assert(offsetof(face_lib_sync_record, size) == 0, "face_lib_sync_record.size");
static_assert(offsetof(face_lib_sync_record, mask_words) == 4, "face_lib_sync_record.mask_words");
static_assert(offsetof(face_lib_sync_record, mask) == 8, "face_lib_sync_record.mask");
static_assert(offsetof(face_lib_sync_record, reserved) == 264, "face_lib_sync_record.reserved");
static_assert(offsetof(face_lib_sync_record, libuuid) == 268, "face_lib_sync_record.libuuid");
static_assert(offsetof(face_lib_sync_record, status) == 332, "face_lib_sync_record.status");
static_assert(offsetof(face_lib_sync_record, similarity) == 336, "face_lib_sync_record.similarity");

/* Request of FACE_CMD_LIB_SYNC_STATUS. */
typedef struct face_sync_status_request {
    int32_t size;
    int32_t channel; /* or NETCLIENT_ALL_CHANNELS */
    int32_t max_entries;
    int32_t reserved;
    char libuuid[64];
} face_sync_status_request;
static_assert(sizeof(face_sync_status_request) == 80, "face_sync_status_request");
static_assert(offsetof(face_sync_status_request, size) == 0, "face_sync_status_request.size");
static_assert(offsetof(face_sync_status_request, channel) == 4, "face_sync_status_request.channel");
static_assert(offsetof(face_sync_status_request, max_entries) == 8, "face_sync_status_request.max_entries");
static_assert(offsetof(face_sync_status_request, reserved) == 12, "face_sync_status_request.reserved");
static_assert(offsetof(face_sync_status_request, libuuid) == 16, "face_sync_status_request.libuuid");

/* One entry of the FACE_CMD_LIB_SYNC_STATUS answer; valid when size > 0. */
typedef struct face_sync_status_entry {
    int32_t size;
    int32_t channel;
    int32_t reserved;
    char libuuid[64];
    int32_t state;
    int32_t process;
    int32_t success_num;
    int32_t fail_num;
} face_sync_status_entry;
static_assert(sizeof(face_sync_status_entry) == 92, "face_sync_status_entry");
static_assert(offsetof(face_sync_status_entry, size) == 0, "face_sync_status_entry.size");
static_assert(offsetof(face_sync_status_entry, channel) == 4, "face_sync_status_entry.channel");
static_assert(offsetof(face_sync_status_entry, reserved) == 8, "face_sync_status_entry.reserved");
static_assert(offsetof(face_sync_status_entry, libuuid) == 12, "face_sync_status_entry.libuuid");
static_assert(offsetof(face_sync_status_entry, state) == 76, "face_sync_status_entry.state");
static_assert(offsetof(face_sync_status_entry, process) == 80, "face_sync_status_entry.process");
static_assert(offsetof(face_sync_status_entry, success_num) == 84, "face_sync_status_entry.success_num");
static_assert(offsetof(face_sync_status_entry, fail_num) == 88, "face_sync_status_entry.fail_num");

/* Face alarm parameters of a channel: request of NetClient_SetAlarmConfig
 * and element of the FACE_CMD_ALARM_PARAM answer (valid when size >= 1). */
typedef struct face_alarm_param {
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
} face_alarm_param;
static_assert(sizeof(face_alarm_param) == 496, "face_alarm_param");
static_assert(offsetof(face_alarm_param, size) == 0, "face_alarm_param.size");
static_assert(offsetof(face_alarm_param, channel) == 4, "face_alarm_param.channel");
static_assert(offsetof(face_alarm_param, alarm_type) == 8, "face_alarm_param.alarm_type");
static_assert(offsetof(face_alarm_param, param1) == 12, "face_alarm_param.param1");
static_assert(offsetof(face_alarm_param, param2) == 16, "face_alarm_param.param2");
static_assert(offsetof(face_alarm_param, param3) == 20, "face_alarm_param.param3");
static_assert(offsetof(face_alarm_param, reserved) == 24, "face_alarm_param.reserved");
static_assert(offsetof(face_alarm_param, recognition) == 88, "face_alarm_param.recognition");
static_assert(offsetof(face_alarm_param, similar) == 92, "face_alarm_param.similar");
static_assert(offsetof(face_alarm_param, devtype) == 96, "face_alarm_param.devtype");
static_assert(offsetof(face_alarm_param, enable) == 100, "face_alarm_param.enable");
static_assert(offsetof(face_alarm_param, libuuid) == 104, "face_alarm_param.libuuid");
static_assert(offsetof(face_alarm_param, libenable) == 168, "face_alarm_param.libenable");
static_assert(offsetof(face_alarm_param, freqgroup) == 172, "face_alarm_param.freqgroup");
static_assert(offsetof(face_alarm_param, freqchannellist) == 176, "face_alarm_param.freqchannellist");
static_assert(offsetof(face_alarm_param, libuuid_stranger) == 432, "face_alarm_param.libuuid_stranger");

/* Request of FACE_CMD_ALARM_PARAM. */
typedef struct face_alarm_param_query {
    int32_t size;
    int32_t param1;
    int32_t reserved;
} face_alarm_param_query;
static_assert(sizeof(face_alarm_param_query) == 12, "face_alarm_param_query");
static_assert(offsetof(face_alarm_param_query, size) == 0, "face_alarm_param_query.size");
static_assert(offsetof(face_alarm_param_query, param1) == 4, "face_alarm_param_query.param1");
static_assert(offsetof(face_alarm_param_query, reserved) == 8, "face_alarm_param_query.reserved");

/* Face library counts of a channel. */
typedef struct face_lib_count_record {
    int32_t size;
    int32_t total_count;
    int32_t sample_count;
    int32_t custom_count;
    int32_t reserved;
} face_lib_count_record;
static_assert(sizeof(face_lib_count_record) == 20, "face_lib_count_record");
static_assert(offsetof(face_lib_count_record, size) == 0, "face_lib_count_record.size");
static_assert(offsetof(face_lib_count_record, total_count) == 4, "face_lib_count_record.total_count");
static_assert(offsetof(face_lib_count_record, sample_count) == 8, "face_lib_count_record.sample_count");
static_assert(offsetof(face_lib_count_record, custom_count) == 12, "face_lib_count_record.custom_count");
static_assert(offsetof(face_lib_count_record, reserved) == 16, "face_lib_count_record.reserved");

/* Answer of FACE_CMD_FEATURE: up to 10 faces found in a stored picture, each
 * with up to 10 rectangle points and its feature bytes. */
typedef struct face_point {
    int32_t x;
    int32_t y;
} face_point;
static_assert(sizeof(face_point) == 8, "face_point");
static_assert(offsetof(face_point, x) == 0, "face_point.x");
static_assert(offsetof(face_point, y) == 4, "face_point.y");
typedef struct face_feature_record {
    int32_t size;
    int32_t channel;
    int32_t type;
    int32_t libkey;
    int32_t facekey;
    char libuuid[64];
    char faceuuid[64];
    int32_t face_num;
    int32_t rect_num[FACE_FEATURE_FACES];
    face_point rects[FACE_FEATURE_FACES][FACE_FEATURE_RECTS];
    int32_t feature_len[FACE_FEATURE_FACES];
    uint8_t feature[FACE_FEATURE_FACES][FACE_FEATURE_BYTES];
} face_feature_record;
static_assert(sizeof(face_feature_record) == 328712, "face_feature_record");
static_assert(offsetof(face_feature_record, size) == 0, "face_feature_record.size");
static_assert(offsetof(face_feature_record, channel) == 4, "face_feature_record.channel");
static_assert(offsetof(face_feature_record, type) == 8, "face_feature_record.type");
static_assert(offsetof(face_feature_record, libkey) == 12, "face_feature_record.libkey");
static_assert(offsetof(face_feature_record, facekey) == 16, "face_feature_record.facekey");
static_assert(offsetof(face_feature_record, libuuid) == 20, "face_feature_record.libuuid");
static_assert(offsetof(face_feature_record, faceuuid) == 84, "face_feature_record.faceuuid");
static_assert(offsetof(face_feature_record, face_num) == 148, "face_feature_record.face_num");
static_assert(offsetof(face_feature_record, rect_num) == 152, "face_feature_record.rect_num");
static_assert(offsetof(face_feature_record, rects) == 192, "face_feature_record.rects");
static_assert(offsetof(face_feature_record, feature_len) == 992, "face_feature_record.feature_len");
static_assert(offsetof(face_feature_record, feature) == 1032, "face_feature_record.feature");

#endif
