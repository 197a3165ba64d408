/* The face records as the simulated recorder reads and writes them: library
 * and face edits, deletes, searches and their result pages. Little-endian,
 * byte for byte as they cross the SDK interface. */
#ifndef PLATFORM_DEVICE_SDK_FACE_LAYOUTS_H
#define PLATFORM_DEVICE_SDK_FACE_LAYOUTS_H

#include <cstddef>
#include <cstdint>

namespace device_sdk_sim::face {

/* FaceConfig sub-commands the recorder serves. */
inline constexpr int32_t kEditFace = 0;
inline constexpr int32_t kDeleteFace = 1;
inline constexpr int32_t kQueryFaces = 2;
inline constexpr int32_t kEditLibrary = 4;
inline constexpr int32_t kDeleteLibrary = 5;
inline constexpr int32_t kQueryLibraries = 6;
inline constexpr int32_t kSearchByPicture = 14;
inline constexpr int32_t kStartSnapSearch = 18;
inline constexpr int32_t kSnapSearchProgress = 19;
inline constexpr int32_t kSnapSearchPage = 20;
/* GetDevConfig: library and face counts of a channel. */
inline constexpr int32_t kDevFaceCounts = 126;

inline constexpr int32_t kPageRecords = 20;

struct Reply {
    int32_t size;
    uint8_t reserved0[12];
    int32_t result;
    uint8_t reserved1[128];
    int32_t detail;
};
static_assert(sizeof(Reply) == 152);
static_assert(offsetof(Reply, size) == 0);
static_assert(offsetof(Reply, reserved0) == 4);
static_assert(offsetof(Reply, result) == 16);
static_assert(offsetof(Reply, reserved1) == 20);
static_assert(offsetof(Reply, detail) == 148);

/* Detail of an added face whose uuid the library already holds. */
inline constexpr int32_t kDetailFaceExists = 20;

struct Library {
    int32_t size;
    int32_t ch;
    int32_t inner_size;
    int32_t key;
    char name[64];
    int32_t threshold;
    char extra_info[64];
    int32_t alarm_type;
    int32_t opt_type;
    char uuid[64];
    char version[64];
    uint8_t reserved[12];
};
static_assert(sizeof(Library) == 296);
static_assert(offsetof(Library, size) == 0);
static_assert(offsetof(Library, ch) == 4);
static_assert(offsetof(Library, inner_size) == 8);
static_assert(offsetof(Library, key) == 12);
static_assert(offsetof(Library, name) == 16);
static_assert(offsetof(Library, threshold) == 80);
static_assert(offsetof(Library, extra_info) == 84);
static_assert(offsetof(Library, alarm_type) == 148);
static_assert(offsetof(Library, opt_type) == 152);
static_assert(offsetof(Library, uuid) == 156);
static_assert(offsetof(Library, version) == 220);
static_assert(offsetof(Library, reserved) == 284);

/* Library delete: channel, key and uuid at the start of a library's length. */
struct LibraryKey {
    int32_t size;
    int32_t ch;
    int32_t key;
    char uuid[64];
};
static_assert(sizeof(LibraryKey) == 76);
static_assert(offsetof(LibraryKey, size) == 0);
static_assert(offsetof(LibraryKey, ch) == 4);
static_assert(offsetof(LibraryKey, key) == 8);
static_assert(offsetof(LibraryKey, uuid) == 12);

struct Face {
    int32_t size;
    int32_t ch;
    char file_name[260];
    int32_t lib_key;
    int32_t face_key;
    int32_t reserved0;
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
    uint8_t reserved1[532];
};
static_assert(sizeof(Face) == 1112);
static_assert(offsetof(Face, size) == 0);
static_assert(offsetof(Face, ch) == 4);
static_assert(offsetof(Face, file_name) == 8);
static_assert(offsetof(Face, lib_key) == 268);
static_assert(offsetof(Face, face_key) == 272);
static_assert(offsetof(Face, reserved0) == 276);
static_assert(offsetof(Face, file_type) == 280);
static_assert(offsetof(Face, modeling) == 284);
static_assert(offsetof(Face, name) == 288);
static_assert(offsetof(Face, sex) == 352);
static_assert(offsetof(Face, birth_time) == 356);
static_assert(offsetof(Face, nation) == 372);
static_assert(offsetof(Face, place) == 376);
static_assert(offsetof(Face, cert_type) == 380);
static_assert(offsetof(Face, cert_num) == 384);
static_assert(offsetof(Face, opt_type) == 448);
static_assert(offsetof(Face, lib_uuid) == 452);
static_assert(offsetof(Face, face_uuid) == 516);
static_assert(offsetof(Face, reserved1) == 580);

/* Face delete: the face's keys and uuids at the start of a face's length. */
struct FaceKey {
    int32_t size;
    int32_t ch;
    int32_t lib_key;
    int32_t face_key;
    char lib_uuid[64];
    char face_uuid[64];
};
static_assert(sizeof(FaceKey) == 144);
static_assert(offsetof(FaceKey, size) == 0);
static_assert(offsetof(FaceKey, ch) == 4);
static_assert(offsetof(FaceKey, lib_key) == 8);
static_assert(offsetof(FaceKey, face_key) == 12);
static_assert(offsetof(FaceKey, lib_uuid) == 16);
static_assert(offsetof(FaceKey, face_uuid) == 80);

struct LibraryPageRequest {
    int32_t size;
    int32_t ch;
    int32_t page_no;
    int32_t page_records;
};
static_assert(sizeof(LibraryPageRequest) == 16);
static_assert(offsetof(LibraryPageRequest, size) == 0);
static_assert(offsetof(LibraryPageRequest, ch) == 4);
static_assert(offsetof(LibraryPageRequest, page_no) == 8);
static_assert(offsetof(LibraryPageRequest, page_records) == 12);

struct LibraryResult {
    int32_t size;
    int32_t ch;
    int32_t total;
    int32_t reserved0;
    int32_t index;
    int32_t page_count;
    int32_t reserved1;
    int32_t key;
    char name[64];
    int32_t threshold;
    char extra_info[64];
    int32_t alarm_type;
    int32_t opt_type;
    char uuid[64];
    char version[64];
    uint8_t reserved2[12];
};
static_assert(sizeof(LibraryResult) == 312);
static_assert(offsetof(LibraryResult, size) == 0);
static_assert(offsetof(LibraryResult, ch) == 4);
static_assert(offsetof(LibraryResult, total) == 8);
static_assert(offsetof(LibraryResult, reserved0) == 12);
static_assert(offsetof(LibraryResult, index) == 16);
static_assert(offsetof(LibraryResult, page_count) == 20);
static_assert(offsetof(LibraryResult, reserved1) == 24);
static_assert(offsetof(LibraryResult, key) == 28);
static_assert(offsetof(LibraryResult, name) == 32);
static_assert(offsetof(LibraryResult, threshold) == 96);
static_assert(offsetof(LibraryResult, extra_info) == 100);
static_assert(offsetof(LibraryResult, alarm_type) == 164);
static_assert(offsetof(LibraryResult, opt_type) == 168);
static_assert(offsetof(LibraryResult, uuid) == 172);
static_assert(offsetof(LibraryResult, version) == 236);
static_assert(offsetof(LibraryResult, reserved2) == 300);

/* Faces by personal data; an empty text matches every face. */
struct FaceQueryRequest {
    int32_t size;
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
static_assert(sizeof(FaceQueryRequest) == 464);
static_assert(offsetof(FaceQueryRequest, size) == 0);
static_assert(offsetof(FaceQueryRequest, ch) == 4);
static_assert(offsetof(FaceQueryRequest, page_no) == 8);
static_assert(offsetof(FaceQueryRequest, page_records) == 12);
static_assert(offsetof(FaceQueryRequest, reserved0) == 16);
static_assert(offsetof(FaceQueryRequest, modeling) == 20);
static_assert(offsetof(FaceQueryRequest, name) == 24);
static_assert(offsetof(FaceQueryRequest, sex) == 88);
static_assert(offsetof(FaceQueryRequest, birth_from) == 92);
static_assert(offsetof(FaceQueryRequest, birth_to) == 108);
static_assert(offsetof(FaceQueryRequest, nation) == 124);
static_assert(offsetof(FaceQueryRequest, place) == 128);
static_assert(offsetof(FaceQueryRequest, cert_type) == 132);
static_assert(offsetof(FaceQueryRequest, cert_num) == 136);
static_assert(offsetof(FaceQueryRequest, lib_uuid) == 200);
static_assert(offsetof(FaceQueryRequest, reserved1) == 264);

/* Faces of a library that resemble a picture. */
struct PictureSearchRequest {
    int32_t size;
    int32_t ch;
    int32_t task_id;
    char lib_uuid[64];
    char pic_name[64];
    uint8_t reserved0[192];
    int32_t similarity;
    int32_t page_no;
    int32_t page_records;
    int32_t reserved1;
};
static_assert(sizeof(PictureSearchRequest) == 348);
static_assert(offsetof(PictureSearchRequest, size) == 0);
static_assert(offsetof(PictureSearchRequest, ch) == 4);
static_assert(offsetof(PictureSearchRequest, task_id) == 8);
static_assert(offsetof(PictureSearchRequest, lib_uuid) == 12);
static_assert(offsetof(PictureSearchRequest, pic_name) == 76);
static_assert(offsetof(PictureSearchRequest, reserved0) == 140);
static_assert(offsetof(PictureSearchRequest, similarity) == 332);
static_assert(offsetof(PictureSearchRequest, page_no) == 336);
static_assert(offsetof(PictureSearchRequest, page_records) == 340);
static_assert(offsetof(PictureSearchRequest, reserved1) == 344);

/* One face of a face query or picture search page. */
struct FaceResult {
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
static_assert(sizeof(FaceResult) == 872);
static_assert(offsetof(FaceResult, size) == 0);
static_assert(offsetof(FaceResult, ch) == 4);
static_assert(offsetof(FaceResult, total) == 8);
static_assert(offsetof(FaceResult, reserved0) == 12);
static_assert(offsetof(FaceResult, page_count) == 16);
static_assert(offsetof(FaceResult, index) == 20);
static_assert(offsetof(FaceResult, reserved1) == 24);
static_assert(offsetof(FaceResult, lib_key) == 28);
static_assert(offsetof(FaceResult, face_key) == 32);
static_assert(offsetof(FaceResult, check_code) == 36);
static_assert(offsetof(FaceResult, file_type) == 40);
static_assert(offsetof(FaceResult, modeling) == 44);
static_assert(offsetof(FaceResult, name) == 48);
static_assert(offsetof(FaceResult, sex) == 112);
static_assert(offsetof(FaceResult, birth_time) == 116);
static_assert(offsetof(FaceResult, nation) == 132);
static_assert(offsetof(FaceResult, place) == 136);
static_assert(offsetof(FaceResult, cert_type) == 140);
static_assert(offsetof(FaceResult, cert_num) == 144);
static_assert(offsetof(FaceResult, opt_type) == 208);
static_assert(offsetof(FaceResult, lib_uuid) == 212);
static_assert(offsetof(FaceResult, face_uuid) == 276);
static_assert(offsetof(FaceResult, lib_version) == 340);
static_assert(offsetof(FaceResult, verify_code) == 404);
static_assert(offsetof(FaceResult, task_id) == 468);
static_assert(offsetof(FaceResult, file_name) == 472);
static_assert(offsetof(FaceResult, similar) == 728);
static_assert(offsetof(FaceResult, reserved2) == 732);

struct Time {
    uint16_t year, month, day, hour, minute, second;
};
static_assert(sizeof(Time) == 12);

struct ChannelEntry {
    int32_t ch;
    int32_t zero;
};
static_assert(sizeof(ChannelEntry) == 8);
static_assert(offsetof(ChannelEntry, ch) == 0);
static_assert(offsetof(ChannelEntry, zero) == 4);

/* Starts a snapshot search; the channel list is the caller's memory. */
struct SnapSearchRequest {
    int32_t size;
    int32_t channel_count;
    int32_t entry_size;
    int32_t reserved0;
    const ChannelEntry *channels;
    Time begin;
    Time end;
    char pic_name[256];
    int32_t similarity;
    int32_t short_mode;
    int32_t task_id;
    int32_t reserved1;
};
static_assert(sizeof(SnapSearchRequest) == 320);
static_assert(offsetof(SnapSearchRequest, size) == 0);
static_assert(offsetof(SnapSearchRequest, channel_count) == 4);
static_assert(offsetof(SnapSearchRequest, entry_size) == 8);
static_assert(offsetof(SnapSearchRequest, reserved0) == 12);
static_assert(offsetof(SnapSearchRequest, channels) == 16);
static_assert(offsetof(SnapSearchRequest, begin) == 24);
static_assert(offsetof(SnapSearchRequest, end) == 36);
static_assert(offsetof(SnapSearchRequest, pic_name) == 48);
static_assert(offsetof(SnapSearchRequest, similarity) == 304);
static_assert(offsetof(SnapSearchRequest, short_mode) == 308);
static_assert(offsetof(SnapSearchRequest, task_id) == 312);
static_assert(offsetof(SnapSearchRequest, reserved1) == 316);

/* Progress query and page request of a snapshot search. */
struct SnapTask {
    int32_t size;
    int32_t task_id;
};
static_assert(sizeof(SnapTask) == 8);
static_assert(offsetof(SnapTask, size) == 0);
static_assert(offsetof(SnapTask, task_id) == 4);

struct SnapPageRequest {
    int32_t size;
    int32_t task_id;
    int32_t page_records;
    int32_t page_no;
};
static_assert(sizeof(SnapPageRequest) == 16);
static_assert(offsetof(SnapPageRequest, size) == 0);
static_assert(offsetof(SnapPageRequest, task_id) == 4);
static_assert(offsetof(SnapPageRequest, page_records) == 8);
static_assert(offsetof(SnapPageRequest, page_no) == 12);

struct SnapResult {
    int32_t size;
    int32_t ch;
    int32_t total;
    int32_t page_count;
    int32_t reserved0;
    Time begin;
    Time end;
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
static_assert(sizeof(SnapResult) == 932);
static_assert(offsetof(SnapResult, size) == 0);
static_assert(offsetof(SnapResult, ch) == 4);
static_assert(offsetof(SnapResult, total) == 8);
static_assert(offsetof(SnapResult, page_count) == 12);
static_assert(offsetof(SnapResult, reserved0) == 16);
static_assert(offsetof(SnapResult, begin) == 20);
static_assert(offsetof(SnapResult, end) == 32);
static_assert(offsetof(SnapResult, age) == 44);
static_assert(offsetof(SnapResult, sex) == 48);
static_assert(offsetof(SnapResult, nation) == 52);
static_assert(offsetof(SnapResult, wears_glasses) == 56);
static_assert(offsetof(SnapResult, wears_mask) == 60);
static_assert(offsetof(SnapResult, similar) == 64);
static_assert(offsetof(SnapResult, reserved1) == 68);
static_assert(offsetof(SnapResult, pic1_name) == 72);
static_assert(offsetof(SnapResult, pic1_size) == 328);
static_assert(offsetof(SnapResult, pic1_type) == 332);
static_assert(offsetof(SnapResult, reserved2) == 336);
static_assert(offsetof(SnapResult, pic2_name) == 408);
static_assert(offsetof(SnapResult, pic2_size) == 664);
static_assert(offsetof(SnapResult, pic2_type) == 668);
static_assert(offsetof(SnapResult, reserved3) == 672);

struct FaceCounts {
    int32_t size;
    int32_t total;
    int32_t sample;
    int32_t custom;
    int32_t reserved;
};
static_assert(sizeof(FaceCounts) == 20);
static_assert(offsetof(FaceCounts, size) == 0);
static_assert(offsetof(FaceCounts, total) == 4);
static_assert(offsetof(FaceCounts, sample) == 8);
static_assert(offsetof(FaceCounts, custom) == 12);
static_assert(offsetof(FaceCounts, reserved) == 16);

}  // namespace device_sdk_sim::face

#endif
