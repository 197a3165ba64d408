/* Device SDK: the face searches of a device. A search request is sent once
 * for every page of 20 result records; the first record of a page also
 * carries the search's total and the number of records in the page. Also the
 * snapshot search with its progress, the cut pictures of a snapshot and the
 * picture files of a uuid (NetClient_Query_V5).
 *
 * Records are little-endian and zero-filled before use. */
#ifndef PLATFORM_DEVICE_SDK_FACE_SEARCH_H
#define PLATFORM_DEVICE_SDK_FACE_SEARCH_H

#include <assert.h>
#include <stddef.h>
#include <stdint.h>

#include "device_sdk.h"
#include "device_sdk_face.h"

enum {
    FACE_PAGE_RECORDS = 20,      /* records of every result page */
    FACE_SNAP_MAX_CHANNELS = 64, /* channel entries of a snapshot search */
    QUERY_PIC_FILE = 7,          /* NetClient_Query_V5 query type of the picture files */
    FACE_PIC_FILE_ANSWER_LEN = 9932,
    FACE_PIC_FILE_ENTRIES = 591 /* entries the picture file answer area holds */
};

/* Face search by picture (FACE_CMD_SEARCH), kept in its session. */
typedef struct face_search_request {
    int32_t size; /* 348 */
    int32_t ch;
    int32_t task_id;
    char lib_uuid[64];
    char pic_name[64];
    uint8_t reserved[192];
    int32_t similarity;
    int32_t page_no;
    int32_t page_records;
    int32_t reserved2;
} face_search_request;
static_assert(sizeof(face_search_request) == 348, "face_search_request");
static_assert(offsetof(face_search_request, size) == 0, "face_search_request.size");
static_assert(offsetof(face_search_request, ch) == 4, "face_search_request.ch");
static_assert(offsetof(face_search_request, task_id) == 8, "face_search_request.task_id");
static_assert(offsetof(face_search_request, lib_uuid) == 12, "face_search_request.lib_uuid");
static_assert(offsetof(face_search_request, pic_name) == 76, "face_search_request.pic_name");
static_assert(offsetof(face_search_request, reserved) == 140, "face_search_request.reserved");
static_assert(offsetof(face_search_request, similarity) == 332, "face_search_request.similarity");
static_assert(offsetof(face_search_request, page_no) == 336, "face_search_request.page_no");
static_assert(offsetof(face_search_request, page_records) == 340, "face_search_request.page_records");
static_assert(offsetof(face_search_request, reserved2) == 344, "face_search_request.reserved2");

/* One face of a FACE_CMD_SEARCH or FACE_CMD_QUERY page. The first record of
 * a page also carries the total and the number of records in the page. The
 * channel and the two keys are filled by FACE_CMD_QUERY only. */
typedef struct face_result {
    int32_t size;
    int32_t ch;
    int32_t total;
    int32_t reserved0;
    int32_t page_count;
    int32_t index;
    int32_t reserved1;
    int32_t lib_key;
    int32_t face_key;
    int32_t check_code;
    int32_t file_type;
    int32_t modeling;
    char name[64];
    int32_t sex;
    char birth_time[16];
    int32_t nation;
    int32_t place;
    int32_t cert_type;
    char cert_num[64];
    int32_t opt_type;
    char lib_uuid[64];
    char face_uuid[64];
    char lib_version[64];
    char verify_code[64];
    int32_t task_id;
    char file_name[256];
    int32_t similar;
    uint8_t reserved2[140];
} face_result;
static_assert(sizeof(face_result) == 872, "face_result");
static_assert(offsetof(face_result, size) == 0, "face_result.size");
static_assert(offsetof(face_result, ch) == 4, "face_result.ch");
static_assert(offsetof(face_result, total) == 8, "face_result.total");
static_assert(offsetof(face_result, reserved0) == 12, "face_result.reserved0");
static_assert(offsetof(face_result, page_count) == 16, "face_result.page_count");
static_assert(offsetof(face_result, index) == 20, "face_result.index");
static_assert(offsetof(face_result, reserved1) == 24, "face_result.reserved1");
static_assert(offsetof(face_result, lib_key) == 28, "face_result.lib_key");
static_assert(offsetof(face_result, face_key) == 32, "face_result.face_key");
static_assert(offsetof(face_result, check_code) == 36, "face_result.check_code");
static_assert(offsetof(face_result, file_type) == 40, "face_result.file_type");
static_assert(offsetof(face_result, modeling) == 44, "face_result.modeling");
static_assert(offsetof(face_result, name) == 48, "face_result.name");
static_assert(offsetof(face_result, sex) == 112, "face_result.sex");
static_assert(offsetof(face_result, birth_time) == 116, "face_result.birth_time");
static_assert(offsetof(face_result, nation) == 132, "face_result.nation");
static_assert(offsetof(face_result, place) == 136, "face_result.place");
static_assert(offsetof(face_result, cert_type) == 140, "face_result.cert_type");
static_assert(offsetof(face_result, cert_num) == 144, "face_result.cert_num");
static_assert(offsetof(face_result, opt_type) == 208, "face_result.opt_type");
static_assert(offsetof(face_result, lib_uuid) == 212, "face_result.lib_uuid");
static_assert(offsetof(face_result, face_uuid) == 276, "face_result.face_uuid");
static_assert(offsetof(face_result, lib_version) == 340, "face_result.lib_version");
static_assert(offsetof(face_result, verify_code) == 404, "face_result.verify_code");
static_assert(offsetof(face_result, task_id) == 468, "face_result.task_id");
static_assert(offsetof(face_result, file_name) == 472, "face_result.file_name");
static_assert(offsetof(face_result, similar) == 728, "face_result.similar");
static_assert(offsetof(face_result, reserved2) == 732, "face_result.reserved2");

/* Face query by personal data (FACE_CMD_QUERY), kept in its session. */
typedef struct face_query_request {
    int32_t size; /* 464 */
    int32_t ch;
    int32_t page_no;
    int32_t page_records;
    int32_t reserved0;
    int32_t modeling;
    char name[64];
    int32_t sex;
    char birth_from[16];
    char birth_to[16];
    int32_t nation;
    int32_t place;
    int32_t cert_type;
    char cert_num[64];
    char lib_uuid[64];
    uint8_t reserved1[200];
} face_query_request;
static_assert(sizeof(face_query_request) == 464, "face_query_request");
static_assert(offsetof(face_query_request, size) == 0, "face_query_request.size");
static_assert(offsetof(face_query_request, ch) == 4, "face_query_request.ch");
static_assert(offsetof(face_query_request, page_no) == 8, "face_query_request.page_no");
static_assert(offsetof(face_query_request, page_records) == 12, "face_query_request.page_records");
static_assert(offsetof(face_query_request, reserved0) == 16, "face_query_request.reserved0");
static_assert(offsetof(face_query_request, modeling) == 20, "face_query_request.modeling");
static_assert(offsetof(face_query_request, name) == 24, "face_query_request.name");
static_assert(offsetof(face_query_request, sex) == 88, "face_query_request.sex");
static_assert(offsetof(face_query_request, birth_from) == 92, "face_query_request.birth_from");
static_assert(offsetof(face_query_request, birth_to) == 108, "face_query_request.birth_to");
static_assert(offsetof(face_query_request, nation) == 124, "face_query_request.nation");
static_assert(offsetof(face_query_request, place) == 128, "face_query_request.place");
static_assert(offsetof(face_query_request, cert_type) == 132, "face_query_request.cert_type");
static_assert(offsetof(face_query_request, cert_num) == 136, "face_query_request.cert_num");
static_assert(offsetof(face_query_request, lib_uuid) == 200, "face_query_request.lib_uuid");
static_assert(offsetof(face_query_request, reserved1) == 264, "face_query_request.reserved1");

/* Face libraries of a channel (FACE_CMD_LIB_QUERY), kept in its session. */
typedef struct face_lib_query_request {
    int32_t size; /* 16 */
    int32_t ch;
    int32_t page_no;
    int32_t page_records;
} face_lib_query_request;
static_assert(sizeof(face_lib_query_request) == 16, "face_lib_query_request");
static_assert(offsetof(face_lib_query_request, size) == 0, "face_lib_query_request.size");
static_assert(offsetof(face_lib_query_request, ch) == 4, "face_lib_query_request.ch");
static_assert(offsetof(face_lib_query_request, page_no) == 8, "face_lib_query_request.page_no");
static_assert(offsetof(face_lib_query_request, page_records) == 12, "face_lib_query_request.page_records");

/* One library of a FACE_CMD_LIB_QUERY page. */
typedef struct face_lib_query_result {
    int32_t size;
    int32_t ch;
    int32_t total;
    int32_t reserved0;
    int32_t index;
    int32_t page_count;
    int32_t reserved1;
    int32_t lib_key;
    char name[64];
    int32_t threshold;
    char extra_info[64];
    int32_t alarm_type;
    int32_t opt_type;
    char lib_uuid[64];
    char lib_version[64];
    uint8_t reserved2[12];
} face_lib_query_result;
static_assert(sizeof(face_lib_query_result) == 312, "face_lib_query_result");
static_assert(offsetof(face_lib_query_result, size) == 0, "face_lib_query_result.size");
static_assert(offsetof(face_lib_query_result, ch) == 4, "face_lib_query_result.ch");
static_assert(offsetof(face_lib_query_result, total) == 8, "face_lib_query_result.total");
static_assert(offsetof(face_lib_query_result, reserved0) == 12, "face_lib_query_result.reserved0");
static_assert(offsetof(face_lib_query_result, index) == 16, "face_lib_query_result.index");
static_assert(offsetof(face_lib_query_result, page_count) == 20, "face_lib_query_result.page_count");
static_assert(offsetof(face_lib_query_result, reserved1) == 24, "face_lib_query_result.reserved1");
static_assert(offsetof(face_lib_query_result, lib_key) == 28, "face_lib_query_result.lib_key");
static_assert(offsetof(face_lib_query_result, name) == 32, "face_lib_query_result.name");
static_assert(offsetof(face_lib_query_result, threshold) == 96, "face_lib_query_result.threshold");
static_assert(offsetof(face_lib_query_result, extra_info) == 100, "face_lib_query_result.extra_info");
static_assert(offsetof(face_lib_query_result, alarm_type) == 164, "face_lib_query_result.alarm_type");
static_assert(offsetof(face_lib_query_result, opt_type) == 168, "face_lib_query_result.opt_type");
static_assert(offsetof(face_lib_query_result, lib_uuid) == 172, "face_lib_query_result.lib_uuid");
static_assert(offsetof(face_lib_query_result, lib_version) == 236, "face_lib_query_result.lib_version");
static_assert(offsetof(face_lib_query_result, reserved2) == 300, "face_lib_query_result.reserved2");

/* One channel of a snapshot search or a picture file query. */
typedef struct face_channel_entry {
    int32_t ch;
    int32_t zero;
} face_channel_entry;
static_assert(sizeof(face_channel_entry) == 8, "face_channel_entry");
static_assert(offsetof(face_channel_entry, ch) == 0, "face_channel_entry.ch");
static_assert(offsetof(face_channel_entry, zero) == 4, "face_channel_entry.zero");

/* Starts a snapshot search (FACE_CMD_SEARCH_SNAP). */
typedef struct face_snap_search_request {
    int32_t size; /* 320 */
    int32_t channel_count;
    int32_t entry_size; /* 8 */
    int32_t reserved0;
    face_channel_entry *channels;
    dvr_time begin_time;
    dvr_time end_time;
    char pic_name[256];
    int32_t similarity;
    int32_t short_mode;
    int32_t task_id;
    int32_t reserved1;
} face_snap_search_request;
static_assert(sizeof(face_snap_search_request) == 320, "face_snap_search_request");
static_assert(offsetof(face_snap_search_request, size) == 0, "face_snap_search_request.size");
static_assert(offsetof(face_snap_search_request, channel_count) == 4, "face_snap_search_request.channel_count");
static_assert(offsetof(face_snap_search_request, entry_size) == 8, "face_snap_search_request.entry_size");
static_assert(offsetof(face_snap_search_request, reserved0) == 12, "face_snap_search_request.reserved0");
static_assert(offsetof(face_snap_search_request, channels) == 16, "face_snap_search_request.channels");
static_assert(offsetof(face_snap_search_request, begin_time) == 24, "face_snap_search_request.begin_time");
static_assert(offsetof(face_snap_search_request, end_time) == 36, "face_snap_search_request.end_time");
static_assert(offsetof(face_snap_search_request, pic_name) == 48, "face_snap_search_request.pic_name");
static_assert(offsetof(face_snap_search_request, similarity) == 304, "face_snap_search_request.similarity");
static_assert(offsetof(face_snap_search_request, short_mode) == 308, "face_snap_search_request.short_mode");
static_assert(offsetof(face_snap_search_request, task_id) == 312, "face_snap_search_request.task_id");
static_assert(offsetof(face_snap_search_request, reserved1) == 316, "face_snap_search_request.reserved1");

/* Pages of a snapshot search (FACE_CMD_SEARCH_SNAP_RESULT), kept in its
 * session. */
typedef struct face_snap_result_request {
    int32_t size; /* 16 */
    int32_t task_id;
    int32_t page_records;
    int32_t page_no;
} face_snap_result_request;
static_assert(sizeof(face_snap_result_request) == 16, "face_snap_result_request");
static_assert(offsetof(face_snap_result_request, size) == 0, "face_snap_result_request.size");
static_assert(offsetof(face_snap_result_request, task_id) == 4, "face_snap_result_request.task_id");
static_assert(offsetof(face_snap_result_request, page_records) == 8, "face_snap_result_request.page_records");
static_assert(offsetof(face_snap_result_request, page_no) == 12, "face_snap_result_request.page_no");

/* One snapshot of a FACE_CMD_SEARCH_SNAP_RESULT page. */
typedef struct face_snap_result {
    int32_t size;
    int32_t ch;
    int32_t total;
    int32_t page_count;
    int32_t reserved0;
    dvr_time begin_time;
    dvr_time end_time;
    int32_t age;
    int32_t sex;
    int32_t nation;
    int32_t wears_glasses;
    int32_t wears_mask;
    int32_t similar;
    int32_t reserved1;
    char pic1_name[256];
    int32_t pic1_size;
    int32_t pic1_type;
    uint8_t reserved2[72];
    char pic2_name[256];
    int32_t pic2_size;
    int32_t pic2_type;
    uint8_t reserved3[260];
} face_snap_result;
static_assert(sizeof(face_snap_result) == 932, "face_snap_result");
static_assert(offsetof(face_snap_result, size) == 0, "face_snap_result.size");
static_assert(offsetof(face_snap_result, ch) == 4, "face_snap_result.ch");
static_assert(offsetof(face_snap_result, total) == 8, "face_snap_result.total");
static_assert(offsetof(face_snap_result, page_count) == 12, "face_snap_result.page_count");
static_assert(offsetof(face_snap_result, reserved0) == 16, "face_snap_result.reserved0");
static_assert(offsetof(face_snap_result, begin_time) == 20, "face_snap_result.begin_time");
static_assert(offsetof(face_snap_result, end_time) == 32, "face_snap_result.end_time");
static_assert(offsetof(face_snap_result, age) == 44, "face_snap_result.age");
static_assert(offsetof(face_snap_result, sex) == 48, "face_snap_result.sex");
static_assert(offsetof(face_snap_result, nation) == 52, "face_snap_result.nation");
static_assert(offsetof(face_snap_result, wears_glasses) == 56, "face_snap_result.wears_glasses");
static_assert(offsetof(face_snap_result, wears_mask) == 60, "face_snap_result.wears_mask");
static_assert(offsetof(face_snap_result, similar) == 64, "face_snap_result.similar");
static_assert(offsetof(face_snap_result, reserved1) == 68, "face_snap_result.reserved1");
static_assert(offsetof(face_snap_result, pic1_name) == 72, "face_snap_result.pic1_name");
static_assert(offsetof(face_snap_result, pic1_size) == 328, "face_snap_result.pic1_size");
static_assert(offsetof(face_snap_result, pic1_type) == 332, "face_snap_result.pic1_type");
static_assert(offsetof(face_snap_result, reserved2) == 336, "face_snap_result.reserved2");
static_assert(offsetof(face_snap_result, pic2_name) == 408, "face_snap_result.pic2_name");
static_assert(offsetof(face_snap_result, pic2_size) == 664, "face_snap_result.pic2_size");
static_assert(offsetof(face_snap_result, pic2_type) == 668, "face_snap_result.pic2_type");
static_assert(offsetof(face_snap_result, reserved3) == 672, "face_snap_result.reserved3");

/* Progress of a snapshot search (FACE_CMD_SEARCH_SNAP_PROCESS). */
typedef struct face_snap_progress_request {
    int32_t size; /* 8 */
    int32_t task_id;
} face_snap_progress_request;
static_assert(sizeof(face_snap_progress_request) == 8, "face_snap_progress_request");
static_assert(offsetof(face_snap_progress_request, size) == 0, "face_snap_progress_request.size");
static_assert(offsetof(face_snap_progress_request, task_id) == 4, "face_snap_progress_request.task_id");

/* Cut pictures of a snapshot (FACE_CMD_CUT_EX). */
typedef struct face_cut_pic_request {
    int32_t size; /* 340 */
    int32_t ch;
    char check_code[64];
    int32_t pic_type;
    char file_name[256];
    int32_t page_no;
    int32_t page_records;
} face_cut_pic_request;
static_assert(sizeof(face_cut_pic_request) == 340, "face_cut_pic_request");
static_assert(offsetof(face_cut_pic_request, size) == 0, "face_cut_pic_request.size");
static_assert(offsetof(face_cut_pic_request, ch) == 4, "face_cut_pic_request.ch");
static_assert(offsetof(face_cut_pic_request, check_code) == 8, "face_cut_pic_request.check_code");
static_assert(offsetof(face_cut_pic_request, pic_type) == 72, "face_cut_pic_request.pic_type");
static_assert(offsetof(face_cut_pic_request, file_name) == 76, "face_cut_pic_request.file_name");
static_assert(offsetof(face_cut_pic_request, page_no) == 332, "face_cut_pic_request.page_no");
static_assert(offsetof(face_cut_pic_request, page_records) == 336, "face_cut_pic_request.page_records");

/* One picture of the FACE_CMD_CUT_EX answer; the first record also carries
 * the task id, the total, the page number and the number of pictures. */
typedef struct face_cut_pic_record {
    int32_t reserved0[2];
    int32_t task_id;
    int32_t total;
    int32_t page_no;
    int32_t index;
    int32_t pic_count;
    char file_name[272];
} face_cut_pic_record;
static_assert(sizeof(face_cut_pic_record) == 300, "face_cut_pic_record");
static_assert(offsetof(face_cut_pic_record, reserved0) == 0, "face_cut_pic_record.reserved0");
static_assert(offsetof(face_cut_pic_record, task_id) == 8, "face_cut_pic_record.task_id");
static_assert(offsetof(face_cut_pic_record, total) == 12, "face_cut_pic_record.total");
static_assert(offsetof(face_cut_pic_record, page_no) == 16, "face_cut_pic_record.page_no");
static_assert(offsetof(face_cut_pic_record, index) == 20, "face_cut_pic_record.index");
static_assert(offsetof(face_cut_pic_record, pic_count) == 24, "face_cut_pic_record.pic_count");
static_assert(offsetof(face_cut_pic_record, file_name) == 28, "face_cut_pic_record.file_name");

/* Picture files of a uuid (NetClient_Query_V5, QUERY_PIC_FILE). The values
 * named for what they hold are fixed. */
typedef struct face_pic_file_request {
    int32_t zero;
    int32_t channel_count; /* 1 */
    int32_t entry_size;    /* 8 */
    int32_t reserved0;
    face_channel_entry *channels;
    int32_t one;
    int32_t file_type;
    uint8_t reserved1[148];
    int32_t twenty;
    int32_t zero2;
    int32_t two;
    int32_t one2;
    char uuid[256];
    uint8_t reserved2[7940];
} face_pic_file_request;
static_assert(sizeof(face_pic_file_request) == 8392, "face_pic_file_request");
static_assert(offsetof(face_pic_file_request, zero) == 0, "face_pic_file_request.zero");
static_assert(offsetof(face_pic_file_request, channel_count) == 4, "face_pic_file_request.channel_count");
static_assert(offsetof(face_pic_file_request, entry_size) == 8, "face_pic_file_request.entry_size");
static_assert(offsetof(face_pic_file_request, reserved0) == 12, "face_pic_file_request.reserved0");
static_assert(offsetof(face_pic_file_request, channels) == 16, "face_pic_file_request.channels");
static_assert(offsetof(face_pic_file_request, one) == 24, "face_pic_file_request.one");
static_assert(offsetof(face_pic_file_request, file_type) == 28, "face_pic_file_request.file_type");
static_assert(offsetof(face_pic_file_request, reserved1) == 32, "face_pic_file_request.reserved1");
static_assert(offsetof(face_pic_file_request, twenty) == 180, "face_pic_file_request.twenty");
static_assert(offsetof(face_pic_file_request, zero2) == 184, "face_pic_file_request.zero2");
static_assert(offsetof(face_pic_file_request, two) == 188, "face_pic_file_request.two");
static_assert(offsetof(face_pic_file_request, one2) == 192, "face_pic_file_request.one2");
static_assert(offsetof(face_pic_file_request, uuid) == 196, "face_pic_file_request.uuid");
static_assert(offsetof(face_pic_file_request, reserved2) == 452, "face_pic_file_request.reserved2");

typedef struct face_pic_file_entry {
    char file_name[260];
    int32_t type;
    uint8_t reserved[72];
} face_pic_file_entry;
static_assert(sizeof(face_pic_file_entry) == 336, "face_pic_file_entry");
static_assert(offsetof(face_pic_file_entry, file_name) == 0, "face_pic_file_entry.file_name");
static_assert(offsetof(face_pic_file_entry, type) == 260, "face_pic_file_entry.type");
static_assert(offsetof(face_pic_file_entry, reserved) == 264, "face_pic_file_entry.reserved");

/* The picture file answer area: the device's count, then as many entries as
 * its 198640 bytes hold. The call's length argument is FACE_PIC_FILE_ANSWER_LEN. */
typedef struct face_pic_file_answer {
    int32_t reserved0[2];
    int32_t count;
    int32_t reserved1;
    face_pic_file_entry files[FACE_PIC_FILE_ENTRIES];
    uint8_t reserved2[48];
} face_pic_file_answer;
static_assert(sizeof(face_pic_file_answer) == 198640, "face_pic_file_answer");
static_assert(offsetof(face_pic_file_answer, reserved0) == 0, "face_pic_file_answer.reserved0");
static_assert(offsetof(face_pic_file_answer, count) == 8, "face_pic_file_answer.count");
static_assert(offsetof(face_pic_file_answer, reserved1) == 12, "face_pic_file_answer.reserved1");
static_assert(offsetof(face_pic_file_answer, files) == 16, "face_pic_file_answer.files");
static_assert(offsetof(face_pic_file_answer, reserved2) == 198592, "face_pic_file_answer.reserved2");

#endif
