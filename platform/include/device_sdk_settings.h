/* Device SDK records of the device settings: GPS danger areas, channel
 * passwords, access accounts, snapshot schedules and FTP upload, channel
 * mode, volume, dormancy, audio tone, vertical water-gauge lines, water flow,
 * transparent parameters, channel alias names, the thermal screen, the
 * irrigation platform and phone contacts.
 *
 * Little-endian, zero-filled before use, passed with their size in bytes;
 * where a record starts with `size`, that word holds its own size. The
 * answers of the device's queries (abilities, records, versions, alarm port
 * lists, vertical-line and phone-contact pages) are in
 * device_sdk_settings_query.h. */
#ifndef PLATFORM_DEVICE_SDK_SETTINGS_H
#define PLATFORM_DEVICE_SDK_SETTINGS_H

#include <assert.h>
#include <stddef.h>
#include <stdint.h>

/* NetClient_GetDevConfig / NetClient_SetDevConfig sub-commands. */
enum {
    NET_CLIENT_DEV_VOLUME_CTRL = 19,
    NET_CLIENT_AUDIO_PONTICELLO = 74,
    NET_CLIENT_CHN_CONNECT_STATE = 90, /* one word: 1 = connected */
    NET_CLIENT_LOCALSNAP_SCHEDULE = 138,
    NET_CLIENT_CHANNEL_MODE = 159,
    NET_CLIENT_DZ_COMMON_EX = 171,
    NET_CLIENT_DORMANCY_STATE = 219,
    NET_CLIENT_GPS_DANGERAREA = 224,
    NET_CLIENT_CHN_PASSWORD = 230,
    NET_CLIENT_WATERFLOW_PARAM = 287,
    NET_CLIENT_IRRI_UPLOAD_PARAM = 309,
    NET_CLIENT_RECORDCHN_ALIASNAME = 343,
    NET_CLIENT_IRRI_SERVER_INFO_V2 = 344,
    NET_CLIENT_THMSCREEN_SENSORCORRECT = 348,
    NET_CLIENT_THMSCREEN_SYSTEM = 349
};

/* NetClient_CmdConfig sub-commands. */
enum { CMD_DORMANCY_SET = 2, CMD_VERTICALLINE = 14, CMD_PHONE_CONTACT_SET = 68 };

/* NetClient_GetFTPUploadConfig / NetClient_SetFTPUploadConfig sub-commands. */
enum { FTP_CMD_SET_SNAPSHOT = 0, FTP_CMD_GET_SNAPSHOT = 4, FTP_COMMON_CMD_SNAPSHOT_EX = 8 };

/* NetClient_GetDigitalChannelConfig / NetClient_SetDigitalChannelConfig. */
enum { DIGITAL_CHANNEL_GET = 0, DIGITAL_CHANNEL_SET = 1 };

/* NetClient_SetCommonEnable: the device enable value (whole device). */
enum { CI_COMMON_ID_ENABLE_VALUE = 0xE01D };

/* Capacities. */
enum {
    MAX_GPS_POINT_NUM = 8,
    MAX_TIMESEGMENT = 4,
    MAX_COFE_NUM = 20,
    MAX_DZTRANS_PARA_COUNT = 33, /* one more than the record's slots */
    MAX_DZTRANS_PARA_SLOTS = 32,
    MAX_RECORDCHN_ALIAS_NUM = 5,
    IRRI_PARAM_PARTS = 5
};

/* ---- GPS danger area (NET_CLIENT_GPS_DANGERAREA) ------------------------ */

typedef struct gps_coordinate {
    int32_t direction;
    int32_t degree;
    int32_t minute;
    int32_t second;
} gps_coordinate;
static_assert(sizeof(gps_coordinate) == 16, "gps_coordinate");
static_assert(offsetof(gps_coordinate, direction) == 0, "gps_coordinate.direction");
static_assert(offsetof(gps_coordinate, degree) == 4, "gps_coordinate.degree");
static_assert(offsetof(gps_coordinate, minute) == 8, "gps_coordinate.minute");
static_assert(offsetof(gps_coordinate, second) == 12, "gps_coordinate.second");

typedef struct gps_point {
    gps_coordinate longitude;
    gps_coordinate latitude;
} gps_point;
static_assert(sizeof(gps_point) == 32, "gps_point");
static_assert(offsetof(gps_point, longitude) == 0, "gps_point.longitude");
static_assert(offsetof(gps_point, latitude) == 16, "gps_point.latitude");

typedef struct gps_danger_area {
    int32_t size;
    int32_t channel;
    int32_t area_num;
    int32_t point_num;
    gps_point points[MAX_GPS_POINT_NUM];
} gps_danger_area;
static_assert(sizeof(gps_danger_area) == 272, "gps_danger_area");
static_assert(offsetof(gps_danger_area, size) == 0, "gps_danger_area.size");
static_assert(offsetof(gps_danger_area, channel) == 4, "gps_danger_area.channel");
static_assert(offsetof(gps_danger_area, area_num) == 8, "gps_danger_area.area_num");
static_assert(offsetof(gps_danger_area, point_num) == 12, "gps_danger_area.point_num");
static_assert(offsetof(gps_danger_area, points) == 16, "gps_danger_area.points");

/* ---- Channel passwords ------------------------------------------------- */

/* NET_CLIENT_CHN_PASSWORD: the texts fill their fields, a 16-character text
 * without terminator. */
typedef struct chn_password {
    int32_t size;
    char username[16];
    char old_password[16];
    char new_password[16];
} chn_password;
static_assert(sizeof(chn_password) == 52, "chn_password");
static_assert(offsetof(chn_password, size) == 0, "chn_password.size");
static_assert(offsetof(chn_password, username) == 4, "chn_password.username");
static_assert(offsetof(chn_password, old_password) == 20, "chn_password.old_password");
static_assert(offsetof(chn_password, new_password) == 36, "chn_password.new_password");

/* The digital channel's configuration; only the login texts are ours. */
typedef struct digital_channel {
    uint8_t device_0[131];
    char username[17];
    char password[17];
    uint8_t device_165[707];
} digital_channel;
static_assert(sizeof(digital_channel) == 872, "digital_channel");
static_assert(offsetof(digital_channel, device_0) == 0, "digital_channel.device_0");
static_assert(offsetof(digital_channel, username) == 131, "digital_channel.username");
static_assert(offsetof(digital_channel, password) == 148, "digital_channel.password");
static_assert(offsetof(digital_channel, device_165) == 165, "digital_channel.device_165");

/* ---- Access account (NET_CLIENT_DZ_COMMON_EX) -------------------------- */

typedef struct dz_common {
    int32_t size;
    int32_t dz_type;
    char username[128];
    char password[128];
    char url[128];
    uint8_t reserved[2180];
} dz_common;
static_assert(sizeof(dz_common) == 2572, "dz_common");
static_assert(offsetof(dz_common, size) == 0, "dz_common.size");
static_assert(offsetof(dz_common, dz_type) == 4, "dz_common.dz_type");
static_assert(offsetof(dz_common, username) == 8, "dz_common.username");
static_assert(offsetof(dz_common, password) == 136, "dz_common.password");
static_assert(offsetof(dz_common, url) == 264, "dz_common.url");
static_assert(offsetof(dz_common, reserved) == 392, "dz_common.reserved");

/* ---- Local snapshot schedule (NET_CLIENT_LOCALSNAP_SCHEDULE) ----------- */

typedef struct localsnap_segment {
    int16_t enable;
    int16_t start_hour;
    int16_t start_min;
    int16_t end_hour;
    int16_t end_min;
} localsnap_segment;
static_assert(sizeof(localsnap_segment) == 10, "localsnap_segment");
static_assert(offsetof(localsnap_segment, enable) == 0, "localsnap_segment.enable");
static_assert(offsetof(localsnap_segment, start_hour) == 2, "localsnap_segment.start_hour");
static_assert(offsetof(localsnap_segment, start_min) == 4, "localsnap_segment.start_min");
static_assert(offsetof(localsnap_segment, end_hour) == 6, "localsnap_segment.end_hour");
static_assert(offsetof(localsnap_segment, end_min) == 8, "localsnap_segment.end_min");

typedef struct localsnap_schedule {
    int32_t weekday;
    int32_t devtype;
    int32_t schedule_num;
    localsnap_segment segments[MAX_TIMESEGMENT];
} localsnap_schedule;
static_assert(sizeof(localsnap_schedule) == 52, "localsnap_schedule");
static_assert(offsetof(localsnap_schedule, weekday) == 0, "localsnap_schedule.weekday");
static_assert(offsetof(localsnap_schedule, devtype) == 4, "localsnap_schedule.devtype");
static_assert(offsetof(localsnap_schedule, schedule_num) == 8, "localsnap_schedule.schedule_num");
static_assert(offsetof(localsnap_schedule, segments) == 12, "localsnap_schedule.segments");

/* ---- FTP snapshot upload ----------------------------------------------- */

/* FTP_COMMON_CMD_SNAPSHOT_EX. */
typedef struct ftp_snapshot_ex {
    int32_t size;
    int32_t channel;
    int32_t enable_type;
    int32_t quality;
    char interval[16];
    int32_t pic_size;
    int32_t pic_count;
    int32_t mode;
    int32_t devtype;
} ftp_snapshot_ex;
static_assert(sizeof(ftp_snapshot_ex) == 48, "ftp_snapshot_ex");
static_assert(offsetof(ftp_snapshot_ex, size) == 0, "ftp_snapshot_ex.size");
static_assert(offsetof(ftp_snapshot_ex, channel) == 4, "ftp_snapshot_ex.channel");
static_assert(offsetof(ftp_snapshot_ex, enable_type) == 8, "ftp_snapshot_ex.enable_type");
static_assert(offsetof(ftp_snapshot_ex, quality) == 12, "ftp_snapshot_ex.quality");
static_assert(offsetof(ftp_snapshot_ex, interval) == 16, "ftp_snapshot_ex.interval");
static_assert(offsetof(ftp_snapshot_ex, pic_size) == 32, "ftp_snapshot_ex.pic_size");
static_assert(offsetof(ftp_snapshot_ex, pic_count) == 36, "ftp_snapshot_ex.pic_count");
static_assert(offsetof(ftp_snapshot_ex, mode) == 40, "ftp_snapshot_ex.mode");
static_assert(offsetof(ftp_snapshot_ex, devtype) == 44, "ftp_snapshot_ex.devtype");

/* FTP_CMD_SET_SNAPSHOT / FTP_CMD_GET_SNAPSHOT: timed snapshots. */
typedef struct ftp_snapshot {
    int32_t size;
    int32_t channel;
    int32_t res_ratio;
    int32_t time_interval;
    int32_t enable;
    int32_t reserved;
} ftp_snapshot;
static_assert(sizeof(ftp_snapshot) == 24, "ftp_snapshot");
static_assert(offsetof(ftp_snapshot, size) == 0, "ftp_snapshot.size");
static_assert(offsetof(ftp_snapshot, channel) == 4, "ftp_snapshot.channel");
static_assert(offsetof(ftp_snapshot, res_ratio) == 8, "ftp_snapshot.res_ratio");
static_assert(offsetof(ftp_snapshot, time_interval) == 12, "ftp_snapshot.time_interval");
static_assert(offsetof(ftp_snapshot, enable) == 16, "ftp_snapshot.enable");
static_assert(offsetof(ftp_snapshot, reserved) == 20, "ftp_snapshot.reserved");

/* ---- Channel mode, volume, audio tone ---------------------------------- */

typedef struct channel_mode {
    int32_t size;
    int32_t mode;
} channel_mode;
static_assert(sizeof(channel_mode) == 8, "channel_mode");
static_assert(offsetof(channel_mode, size) == 0, "channel_mode.size");
static_assert(offsetof(channel_mode, mode) == 4, "channel_mode.mode");

typedef struct volume_ctrl {
    int32_t size;
    int32_t type;
    int32_t value;
} volume_ctrl;
static_assert(sizeof(volume_ctrl) == 12, "volume_ctrl");
static_assert(offsetof(volume_ctrl, size) == 0, "volume_ctrl.size");
static_assert(offsetof(volume_ctrl, type) == 4, "volume_ctrl.type");
static_assert(offsetof(volume_ctrl, value) == 8, "volume_ctrl.value");

typedef struct audio_ponticello {
    int32_t size;
    int32_t touch_type;
    int32_t touch_param;
    int32_t pitch_level;
} audio_ponticello;
static_assert(sizeof(audio_ponticello) == 16, "audio_ponticello");
static_assert(offsetof(audio_ponticello, size) == 0, "audio_ponticello.size");
static_assert(offsetof(audio_ponticello, touch_type) == 4, "audio_ponticello.touch_type");
static_assert(offsetof(audio_ponticello, touch_param) == 8, "audio_ponticello.touch_param");
static_assert(offsetof(audio_ponticello, pitch_level) == 12, "audio_ponticello.pitch_level");

/* ---- Dormancy ----------------------------------------------------------- */

/* CMD_DORMANCY_SET; the device fills `result`. The connection value and
 * text are sent for dormancy types 2 and 3 only. */
typedef struct dormancy_set {
    int32_t size;
    int32_t enable;
    int32_t result;
    int32_t dormancy_type;
    int32_t conn_value;
    char conn_text[60];
    int32_t reserved;
} dormancy_set;
static_assert(sizeof(dormancy_set) == 84, "dormancy_set");
static_assert(offsetof(dormancy_set, size) == 0, "dormancy_set.size");
static_assert(offsetof(dormancy_set, enable) == 4, "dormancy_set.enable");
static_assert(offsetof(dormancy_set, result) == 8, "dormancy_set.result");
static_assert(offsetof(dormancy_set, dormancy_type) == 12, "dormancy_set.dormancy_type");
static_assert(offsetof(dormancy_set, conn_value) == 16, "dormancy_set.conn_value");
static_assert(offsetof(dormancy_set, conn_text) == 20, "dormancy_set.conn_text");
static_assert(offsetof(dormancy_set, reserved) == 80, "dormancy_set.reserved");

/* NET_CLIENT_DORMANCY_STATE: request (connection value and text) and answer. */
typedef struct dormancy_state {
    int32_t size;
    int32_t enable;
    int32_t dormancy_type;
    char conn_text[60];
    int32_t reserved;
    int32_t conn_value;
    int32_t wakeup_time;
} dormancy_state;
static_assert(sizeof(dormancy_state) == 84, "dormancy_state");
static_assert(offsetof(dormancy_state, size) == 0, "dormancy_state.size");
static_assert(offsetof(dormancy_state, enable) == 4, "dormancy_state.enable");
static_assert(offsetof(dormancy_state, dormancy_type) == 8, "dormancy_state.dormancy_type");
static_assert(offsetof(dormancy_state, conn_text) == 12, "dormancy_state.conn_text");
static_assert(offsetof(dormancy_state, reserved) == 72, "dormancy_state.reserved");
static_assert(offsetof(dormancy_state, conn_value) == 76, "dormancy_state.conn_value");
static_assert(offsetof(dormancy_state, wakeup_time) == 80, "dormancy_state.wakeup_time");

/* ---- Vertical water-gauge line (CMD_VERTICALLINE) ----------------------- */

typedef struct vertical_line_cofe {
    int32_t water_level;
    int32_t cofe;
} vertical_line_cofe;
static_assert(sizeof(vertical_line_cofe) == 8, "vertical_line_cofe");
static_assert(offsetof(vertical_line_cofe, water_level) == 0, "vertical_line_cofe.water_level");
static_assert(offsetof(vertical_line_cofe, cofe) == 4, "vertical_line_cofe.cofe");

/* Request and answer; the device answers `result` 0 when it took the line. */
typedef struct vertical_line {
    int32_t size;
    int32_t result;
    int32_t scene_id;
    int32_t control_cmd;
    int32_t line_id;
    int32_t start_distance;
    int32_t bottom_altitude;
    int32_t cofe_num;
    vertical_line_cofe cofe_info[MAX_COFE_NUM];
    uint8_t reserved[80];
} vertical_line;
static_assert(sizeof(vertical_line) == 272, "vertical_line");
static_assert(offsetof(vertical_line, size) == 0, "vertical_line.size");
static_assert(offsetof(vertical_line, result) == 4, "vertical_line.result");
static_assert(offsetof(vertical_line, scene_id) == 8, "vertical_line.scene_id");
static_assert(offsetof(vertical_line, control_cmd) == 12, "vertical_line.control_cmd");
static_assert(offsetof(vertical_line, line_id) == 16, "vertical_line.line_id");
static_assert(offsetof(vertical_line, start_distance) == 20, "vertical_line.start_distance");
static_assert(offsetof(vertical_line, bottom_altitude) == 24, "vertical_line.bottom_altitude");
static_assert(offsetof(vertical_line, cofe_num) == 28, "vertical_line.cofe_num");
static_assert(offsetof(vertical_line, cofe_info) == 32, "vertical_line.cofe_info");
static_assert(offsetof(vertical_line, reserved) == 192, "vertical_line.reserved");

/* ---- Water flow (NET_CLIENT_WATERFLOW_PARAM) ---------------------------- */

typedef struct waterflow_param {
    int32_t size;
    int32_t scene_id;
    int32_t flow_coef;
    int32_t flow_source;
    int32_t water_slope;
    int32_t roughness;
    int32_t weir_flow;
} waterflow_param;
static_assert(sizeof(waterflow_param) == 28, "waterflow_param");
static_assert(offsetof(waterflow_param, size) == 0, "waterflow_param.size");
static_assert(offsetof(waterflow_param, scene_id) == 4, "waterflow_param.scene_id");
static_assert(offsetof(waterflow_param, flow_coef) == 8, "waterflow_param.flow_coef");
static_assert(offsetof(waterflow_param, flow_source) == 12, "waterflow_param.flow_source");
static_assert(offsetof(waterflow_param, water_slope) == 16, "waterflow_param.water_slope");
static_assert(offsetof(waterflow_param, roughness) == 20, "waterflow_param.roughness");
static_assert(offsetof(waterflow_param, weir_flow) == 24, "waterflow_param.weir_flow");

/* ---- Transparent parameters (NetClient_Get/SetDzTransparentPara) ------- */

typedef struct dz_transparent_para {
    int32_t size;
    int32_t channel;
    int32_t dzparam_type;
    int32_t dzparam_num;
    char dzparams[MAX_DZTRANS_PARA_SLOTS][128];
} dz_transparent_para;
static_assert(sizeof(dz_transparent_para) == 4112, "dz_transparent_para");
static_assert(offsetof(dz_transparent_para, size) == 0, "dz_transparent_para.size");
static_assert(offsetof(dz_transparent_para, channel) == 4, "dz_transparent_para.channel");
static_assert(offsetof(dz_transparent_para, dzparam_type) == 8, "dz_transparent_para.dzparam_type");
static_assert(offsetof(dz_transparent_para, dzparam_num) == 12, "dz_transparent_para.dzparam_num");
static_assert(offsetof(dz_transparent_para, dzparams) == 16, "dz_transparent_para.dzparams");

/* ---- Channel alias names (NET_CLIENT_RECORDCHN_ALIASNAME) --------------- */

typedef struct recordchn_alias {
    int32_t channel;
    char alias_name[256];
    int32_t reserved;
} recordchn_alias;
static_assert(sizeof(recordchn_alias) == 264, "recordchn_alias");
static_assert(offsetof(recordchn_alias, channel) == 0, "recordchn_alias.channel");
static_assert(offsetof(recordchn_alias, alias_name) == 4, "recordchn_alias.alias_name");
static_assert(offsetof(recordchn_alias, reserved) == 260, "recordchn_alias.reserved");

typedef struct recordchn_aliasname {
    int32_t size;
    int32_t ch_num;
    recordchn_alias channels[MAX_RECORDCHN_ALIAS_NUM];
    int32_t reserved;
} recordchn_aliasname;
static_assert(sizeof(recordchn_aliasname) == 1332, "recordchn_aliasname");
static_assert(offsetof(recordchn_aliasname, size) == 0, "recordchn_aliasname.size");
static_assert(offsetof(recordchn_aliasname, ch_num) == 4, "recordchn_aliasname.ch_num");
static_assert(offsetof(recordchn_aliasname, channels) == 8, "recordchn_aliasname.channels");
static_assert(offsetof(recordchn_aliasname, reserved) == 1328, "recordchn_aliasname.reserved");

/* ---- Thermal screen ----------------------------------------------------- */

typedef struct thmscreen_sensorcorrect {
    int32_t type;
    int32_t value;
} thmscreen_sensorcorrect;
static_assert(sizeof(thmscreen_sensorcorrect) == 8, "thmscreen_sensorcorrect");
static_assert(offsetof(thmscreen_sensorcorrect, type) == 0, "thmscreen_sensorcorrect.type");
static_assert(offsetof(thmscreen_sensorcorrect, value) == 4, "thmscreen_sensorcorrect.value");

typedef struct thmscreen_system {
    int32_t screen_bright;
    int32_t switch_ctrl;
} thmscreen_system;
static_assert(sizeof(thmscreen_system) == 8, "thmscreen_system");
static_assert(offsetof(thmscreen_system, screen_bright) == 0, "thmscreen_system.screen_bright");
static_assert(offsetof(thmscreen_system, switch_ctrl) == 4, "thmscreen_system.switch_ctrl");

/* ---- Irrigation platform ------------------------------------------------ */

typedef struct irri_upload_param {
    int32_t platform_type;
    int32_t main_type;
    int32_t sub_type;
    int32_t enable;
    int32_t interval;
} irri_upload_param;
static_assert(sizeof(irri_upload_param) == 20, "irri_upload_param");
static_assert(offsetof(irri_upload_param, platform_type) == 0, "irri_upload_param.platform_type");
static_assert(offsetof(irri_upload_param, main_type) == 4, "irri_upload_param.main_type");
static_assert(offsetof(irri_upload_param, sub_type) == 8, "irri_upload_param.sub_type");
static_assert(offsetof(irri_upload_param, enable) == 12, "irri_upload_param.enable");
static_assert(offsetof(irri_upload_param, interval) == 16, "irri_upload_param.interval");

/* The parameter text travels in five parts of up to 255 characters. */
typedef struct irri_server_info {
    int32_t platform_type;
    int32_t data_sum;
    int32_t data_type;
    char param[IRRI_PARAM_PARTS][256];
} irri_server_info;
static_assert(sizeof(irri_server_info) == 1292, "irri_server_info");
static_assert(offsetof(irri_server_info, platform_type) == 0, "irri_server_info.platform_type");
static_assert(offsetof(irri_server_info, data_sum) == 4, "irri_server_info.data_sum");
static_assert(offsetof(irri_server_info, data_type) == 8, "irri_server_info.data_type");
static_assert(offsetof(irri_server_info, param) == 12, "irri_server_info.param");

/* ---- Phone contacts (CMD_PHONE_CONTACT_SET) ----------------------------- */

typedef struct phone_contact {
    int32_t control_type;
    int32_t people_id;
    char name[64];
    char phone_number[64];
    int32_t type;
} phone_contact;
static_assert(sizeof(phone_contact) == 140, "phone_contact");
static_assert(offsetof(phone_contact, control_type) == 0, "phone_contact.control_type");
static_assert(offsetof(phone_contact, people_id) == 4, "phone_contact.people_id");
static_assert(offsetof(phone_contact, name) == 8, "phone_contact.name");
static_assert(offsetof(phone_contact, phone_number) == 72, "phone_contact.phone_number");
static_assert(offsetof(phone_contact, type) == 136, "phone_contact.type");

typedef struct phone_contact_reply {
    int32_t result;
    phone_contact contact;
} phone_contact_reply;
static_assert(sizeof(phone_contact_reply) == 144, "phone_contact_reply");
static_assert(offsetof(phone_contact_reply, result) == 0, "phone_contact_reply.result");
static_assert(offsetof(phone_contact_reply, contact) == 4, "phone_contact_reply.contact");

#endif
