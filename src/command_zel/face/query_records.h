// Device records of the face and snapshot searches: requests, result pages
// and the answers of the direct queries. Little-endian, laid out byte for
// byte as the device SDK exchanges them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "comm_func/comm_func.h"

namespace zel {

// NetClient_FaceConfig sub-commands of the searches.
inline constexpr int32_t FACE_CMD_QUERY = 2;
inline constexpr int32_t FACE_CMD_LIB_QUERY = 6;
inline constexpr int32_t FACE_CMD_SEARCH = 14;
inline constexpr int32_t FACE_CMD_CUT_EX = 17;
inline constexpr int32_t FACE_CMD_SEARCH_SNAP = 18;
inline constexpr int32_t FACE_CMD_SEARCH_SNAP_PROCESS = 19;
inline constexpr int32_t FACE_CMD_SEARCH_SNAP_RESULT = 20;

// NetClient_Query_V5 query type of the picture files.
inline constexpr int32_t QUERY_PIC_FILE = 7;

// Every paged search answers pages of this many records.
inline constexpr int32_t kPageRecords = 20;
// Channel entries a snapshot search carries at most.
inline constexpr int32_t kMaxSnapChannels = 64;
inline constexpr int32_t kLen16 = 16;
inline constexpr int32_t kLen64 = 64;

// Face search by picture (FACE_CMD_SEARCH), kept in its session.
struct face_search_request {
    int32_t size;  // 348
    int32_t ch;
    int32_t task_id;
    char lib_uuid[64];
    char pic_name[64];
    uint8_t reserved[192];
    int32_t similarity;
    int32_t page_no;
    int32_t page_records;
    int32_t reserved2;
};
static_assert(sizeof(face_search_request) == 348);
static_assert(offsetof(face_search_request, size) == 0);
static_assert(offsetof(face_search_request, ch) == 4);
static_assert(offsetof(face_search_request, task_id) == 8);
static_assert(offsetof(face_search_request, lib_uuid) == 12);
static_assert(offsetof(face_search_request, pic_name) == 76);
static_assert(offsetof(face_search_request, reserved) == 140);
static_assert(offsetof(face_search_request, similarity) == 332);
static_assert(offsetof(face_search_request, page_no) == 336);
static_assert(offsetof(face_search_request, page_records) == 340);
static_assert(offsetof(face_search_request, reserved2) == 344);

// One face of a FACE_CMD_SEARCH or FACE_CMD_QUERY page. The first record of
// a page also carries the total and the number of records in the page. The
// channel and the two keys are filled by FACE_CMD_QUERY only.
struct face_result {
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
};
static_assert(sizeof(face_result) == 872);
static_assert(offsetof(face_result, size) == 0);
static_assert(offsetof(face_result, ch) == 4);
static_assert(offsetof(face_result, total) == 8);
static_assert(offsetof(face_result, reserved0) == 12);
static_assert(offsetof(face_result, page_count) == 16);
static_assert(offsetof(face_result, index) == 20);
static_assert(offsetof(face_result, reserved1) == 24);
static_assert(offsetof(face_result, lib_key) == 28);
static_assert(offsetof(face_result, face_key) == 32);
static_assert(offsetof(face_result, check_code) == 36);
static_assert(offsetof(face_result, file_type) == 40);
static_assert(offsetof(face_result, modeling) == 44);
static_assert(offsetof(face_result, name) == 48);
static_assert(offsetof(face_result, sex) == 112);
static_assert(offsetof(face_result, birth_time) == 116);
static_assert(offsetof(face_result, nation) == 132);
static_assert(offsetof(face_result, place) == 136);
static_assert(offsetof(face_result, cert_type) == 140);
static_assert(offsetof(face_result, cert_num) == 144);
static_assert(offsetof(face_result, opt_type) == 208);
static_assert(offsetof(face_result, lib_uuid) == 212);
static_assert(offsetof(face_result, face_uuid) == 276);
static_assert(offsetof(face_result, lib_version) == 340);
static_assert(offsetof(face_result, verify_code) == 404);
static_assert(offsetof(face_result, task_id) == 468);
static_assert(offsetof(face_result, file_name) == 472);
static_assert(offsetof(face_result, similar) == 728);
static_assert(offsetof(face_result, reserved2) == 732);

// Face query by personal data (FACE_CMD_QUERY), kept in its session.
struct face_query_request {
    int32_t size;  // 464
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
};
static_assert(sizeof(face_query_request) == 464);
static_assert(offsetof(face_query_request, size) == 0);
static_assert(offsetof(face_query_request, ch) == 4);
static_assert(offsetof(face_query_request, page_no) == 8);
static_assert(offsetof(face_query_request, page_records) == 12);
static_assert(offsetof(face_query_request, reserved0) == 16);
static_assert(offsetof(face_query_request, modeling) == 20);
static_assert(offsetof(face_query_request, name) == 24);
static_assert(offsetof(face_query_request, sex) == 88);
static_assert(offsetof(face_query_request, birth_from) == 92);
static_assert(offsetof(face_query_request, birth_to) == 108);
static_assert(offsetof(face_query_request, nation) == 124);
static_assert(offsetof(face_query_request, place) == 128);
static_assert(offsetof(face_query_request, cert_type) == 132);
static_assert(offsetof(face_query_request, cert_num) == 136);
static_assert(offsetof(face_query_request, lib_uuid) == 200);
static_assert(offsetof(face_query_request, reserved1) == 264);

// Face libraries of a channel (FACE_CMD_LIB_QUERY), kept in its session.
struct lib_query_request {
    int32_t size;  // 16
    int32_t ch;
    int32_t page_no;
    int32_t page_records;
};
static_assert(sizeof(lib_query_request) == 16);
static_assert(offsetof(lib_query_request, size) == 0);
static_assert(offsetof(lib_query_request, ch) == 4);
static_assert(offsetof(lib_query_request, page_no) == 8);
static_assert(offsetof(lib_query_request, page_records) == 12);

// One library of a FACE_CMD_LIB_QUERY page.
struct lib_query_result {
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
};
static_assert(sizeof(lib_query_result) == 312);
static_assert(offsetof(lib_query_result, size) == 0);
static_assert(offsetof(lib_query_result, ch) == 4);
static_assert(offsetof(lib_query_result, total) == 8);
static_assert(offsetof(lib_query_result, reserved0) == 12);
static_assert(offsetof(lib_query_result, index) == 16);
static_assert(offsetof(lib_query_result, page_count) == 20);
static_assert(offsetof(lib_query_result, reserved1) == 24);
static_assert(offsetof(lib_query_result, lib_key) == 28);
static_assert(offsetof(lib_query_result, name) == 32);
static_assert(offsetof(lib_query_result, threshold) == 96);
static_assert(offsetof(lib_query_result, extra_info) == 100);
static_assert(offsetof(lib_query_result, alarm_type) == 164);
static_assert(offsetof(lib_query_result, opt_type) == 168);
static_assert(offsetof(lib_query_result, lib_uuid) == 172);
static_assert(offsetof(lib_query_result, lib_version) == 236);
static_assert(offsetof(lib_query_result, reserved2) == 300);

// One channel of a snapshot search or a picture file query.
struct channel_entry {
    int32_t ch;
    int32_t zero;
};
static_assert(sizeof(channel_entry) == 8);
static_assert(offsetof(channel_entry, ch) == 0);
static_assert(offsetof(channel_entry, zero) == 4);

// Starts a snapshot search (FACE_CMD_SEARCH_SNAP).
struct snap_search_request {
    int32_t size;  // 320
    int32_t channel_count;
    int32_t entry_size;  // 8
    int32_t reserved0;
    channel_entry *channels;
    dvr_time begin_time;
    dvr_time end_time;
    char pic_name[256];
    int32_t similarity;
    int32_t short_mode;
    int32_t task_id;
    int32_t reserved1;
};
static_assert(sizeof(snap_search_request) == 320);
static_assert(offsetof(snap_search_request, size) == 0);
static_assert(offsetof(snap_search_request, channel_count) == 4);
static_assert(offsetof(snap_search_request, entry_size) == 8);
static_assert(offsetof(snap_search_request, reserved0) == 12);
static_assert(offsetof(snap_search_request, channels) == 16);
static_assert(offsetof(snap_search_request, begin_time) == 24);
static_assert(offsetof(snap_search_request, end_time) == 36);
static_assert(offsetof(snap_search_request, pic_name) == 48);
static_assert(offsetof(snap_search_request, similarity) == 304);
static_assert(offsetof(snap_search_request, short_mode) == 308);
static_assert(offsetof(snap_search_request, task_id) == 312);
static_assert(offsetof(snap_search_request, reserved1) == 316);

// Pages of a snapshot search (FACE_CMD_SEARCH_SNAP_RESULT), kept in its
// session.
struct snap_result_request {
    int32_t size;  // 16
    int32_t task_id;
    int32_t page_records;
    int32_t page_no;
};
static_assert(sizeof(snap_result_request) == 16);
static_assert(offsetof(snap_result_request, size) == 0);
static_assert(offsetof(snap_result_request, task_id) == 4);
static_assert(offsetof(snap_result_request, page_records) == 8);
static_assert(offsetof(snap_result_request, page_no) == 12);

// One snapshot of a FACE_CMD_SEARCH_SNAP_RESULT page.
struct snap_result {
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
};
static_assert(sizeof(snap_result) == 932);
static_assert(offsetof(snap_result, size) == 0);
static_assert(offsetof(snap_result, ch) == 4);
static_assert(offsetof(snap_result, total) == 8);
static_assert(offsetof(snap_result, page_count) == 12);
static_assert(offsetof(snap_result, reserved0) == 16);
static_assert(offsetof(snap_result, begin_time) == 20);
static_assert(offsetof(snap_result, end_time) == 32);
static_assert(offsetof(snap_result, age) == 44);
static_assert(offsetof(snap_result, sex) == 48);
static_assert(offsetof(snap_result, nation) == 52);
static_assert(offsetof(snap_result, wears_glasses) == 56);
static_assert(offsetof(snap_result, wears_mask) == 60);
static_assert(offsetof(snap_result, similar) == 64);
static_assert(offsetof(snap_result, reserved1) == 68);
static_assert(offsetof(snap_result, pic1_name) == 72);
static_assert(offsetof(snap_result, pic1_size) == 328);
static_assert(offsetof(snap_result, pic1_type) == 332);
static_assert(offsetof(snap_result, reserved2) == 336);
static_assert(offsetof(snap_result, pic2_name) == 408);
static_assert(offsetof(snap_result, pic2_size) == 664);
static_assert(offsetof(snap_result, pic2_type) == 668);
static_assert(offsetof(snap_result, reserved3) == 672);

// Progress of a snapshot search (FACE_CMD_SEARCH_SNAP_PROCESS).
struct snap_progress_request {
    int32_t size;  // 8
    int32_t task_id;
};
static_assert(sizeof(snap_progress_request) == 8);
static_assert(offsetof(snap_progress_request, size) == 0);
static_assert(offsetof(snap_progress_request, task_id) == 4);

// The device's answer to a face command; the progress query reads its
// result code and its last word.
struct snap_progress_reply {
    int32_t size;  // 152
    uint8_t reserved0[12];
    int32_t result;
    uint8_t reserved1[128];
    int32_t progress;
};
static_assert(sizeof(snap_progress_reply) == 152);
static_assert(offsetof(snap_progress_reply, size) == 0);
static_assert(offsetof(snap_progress_reply, reserved0) == 4);
static_assert(offsetof(snap_progress_reply, result) == 16);
static_assert(offsetof(snap_progress_reply, reserved1) == 20);
static_assert(offsetof(snap_progress_reply, progress) == 148);

// Cut pictures of a snapshot (FACE_CMD_CUT_EX).
struct cut_pic_request {
    int32_t size;  // 340
    int32_t ch;
    char check_code[64];
    int32_t pic_type;
    char file_name[256];
    int32_t page_no;
    int32_t page_records;
};
static_assert(sizeof(cut_pic_request) == 340);
static_assert(offsetof(cut_pic_request, size) == 0);
static_assert(offsetof(cut_pic_request, ch) == 4);
static_assert(offsetof(cut_pic_request, check_code) == 8);
static_assert(offsetof(cut_pic_request, pic_type) == 72);
static_assert(offsetof(cut_pic_request, file_name) == 76);
static_assert(offsetof(cut_pic_request, page_no) == 332);
static_assert(offsetof(cut_pic_request, page_records) == 336);

// One picture of the FACE_CMD_CUT_EX answer; the first record also carries
// the task id, the total, the page number and the number of pictures.
struct cut_pic_record {
    int32_t reserved0[2];
    int32_t task_id;
    int32_t total;
    int32_t page_no;
    int32_t index;
    int32_t pic_count;
    char file_name[272];
};
static_assert(sizeof(cut_pic_record) == 300);
static_assert(offsetof(cut_pic_record, reserved0) == 0);
static_assert(offsetof(cut_pic_record, task_id) == 8);
static_assert(offsetof(cut_pic_record, total) == 12);
static_assert(offsetof(cut_pic_record, page_no) == 16);
static_assert(offsetof(cut_pic_record, index) == 20);
static_assert(offsetof(cut_pic_record, pic_count) == 24);
static_assert(offsetof(cut_pic_record, file_name) == 28);

// Picture files of a uuid (NetClient_Query_V5, QUERY_PIC_FILE).
struct pic_file_request {
    int32_t zero;
    int32_t channel_count;  // 1
    int32_t entry_size;     // 8
    int32_t reserved0;
    channel_entry *channels;
    int32_t one;
    int32_t file_type;
    uint8_t reserved1[148];
    int32_t twenty;
    int32_t zero2;
    int32_t two;
    int32_t one2;
    char uuid[256];
    uint8_t reserved2[7940];
};
static_assert(sizeof(pic_file_request) == 8392);
static_assert(offsetof(pic_file_request, zero) == 0);
static_assert(offsetof(pic_file_request, channel_count) == 4);
static_assert(offsetof(pic_file_request, entry_size) == 8);
static_assert(offsetof(pic_file_request, reserved0) == 12);
static_assert(offsetof(pic_file_request, channels) == 16);
static_assert(offsetof(pic_file_request, one) == 24);
static_assert(offsetof(pic_file_request, file_type) == 28);
static_assert(offsetof(pic_file_request, reserved1) == 32);
static_assert(offsetof(pic_file_request, twenty) == 180);
static_assert(offsetof(pic_file_request, zero2) == 184);
static_assert(offsetof(pic_file_request, two) == 188);
static_assert(offsetof(pic_file_request, one2) == 192);
static_assert(offsetof(pic_file_request, uuid) == 196);
static_assert(offsetof(pic_file_request, reserved2) == 452);

struct pic_file_entry {
    char file_name[260];
    int32_t type;
    uint8_t reserved[72];
};
static_assert(sizeof(pic_file_entry) == 336);
static_assert(offsetof(pic_file_entry, file_name) == 0);
static_assert(offsetof(pic_file_entry, type) == 260);
static_assert(offsetof(pic_file_entry, reserved) == 264);

// The picture file answer area: the device's count, then as many entries as
// the 198640 bytes hold.
inline constexpr int32_t kPicFileAnswerLen = 9932;  // length argument of the call
inline constexpr size_t kPicFileAnswerBytes = 198640;
inline constexpr int32_t kMaxPicFiles = 591;
struct pic_file_answer {
    int32_t reserved0[2];
    int32_t count;
    int32_t reserved1;
    pic_file_entry files[kMaxPicFiles];
    uint8_t reserved2[kPicFileAnswerBytes - 16 - kMaxPicFiles * sizeof(pic_file_entry)];
};
static_assert(sizeof(pic_file_answer) == kPicFileAnswerBytes);
static_assert(offsetof(pic_file_answer, reserved0) == 0);
static_assert(offsetof(pic_file_answer, count) == 8);
static_assert(offsetof(pic_file_answer, reserved1) == 12);
static_assert(offsetof(pic_file_answer, files) == 16);
static_assert(offsetof(pic_file_answer, reserved2) == 16 + kMaxPicFiles * sizeof(pic_file_entry));

}  // namespace zel
