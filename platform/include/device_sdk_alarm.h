/* Device SDK records of the alarm functions: alarm input and output ports,
 * the water-level alarm, alarm-type switches, the remote-control alarm, the
 * water-speed switch and the list of alarms active on a channel.
 * Little-endian, zero-filled before use; every layout is checked below. */
#ifndef PLATFORM_DEVICE_SDK_ALARM_H
#define PLATFORM_DEVICE_SDK_ALARM_H

#include <assert.h>
#include <stddef.h>
#include <stdint.h>

/* NetClient_SetAlarmConfig / NetClient_GetAlarmConfig: sub-commands and the
 * alarm type argument each is sent with. */
enum {
    CMD_ALARM_IN_PORT_PARA = 113,
    CMD_ALARM_WATER_LEVEL_PARA = 115,
    CMD_ALARM_OUT_PORT_PARA = 116,
    ALARM_TYPE_PORT = 1,
    ALARM_TYPE_WATER_LEVEL = 24
};

/* NetClient_GetDevConfig: the alarms active on a channel. */
enum { NET_CLIENT_GETCURALARMINFO = 321 };

/* NetClient_CmdConfig sub-commands. */
enum { CMD_ALARM_TYPE_ENABLE = 64, CMD_REMOTE_CONTROL_ALARM = 72 };

/* NetClient_SetCommonEnable / NetClient_GetCommonEnable. */
enum { CI_COMMON_ID_WATER_SPEED_ENABLE = 0xE00C };

/* Alarm type of an analysis alarm in the active-alarm list. */
enum { ALARM_VCA_INFO = 4 };

/* An alarm input port (CMD_ALARM_IN_PORT_PARA). */
typedef struct alarm_in_port_para {
    int32_t size; /* 24 */
    int32_t mode;
    int32_t type;
    float param; /* meaningful when type is 2 */
    int32_t channel;
    int32_t inport;
} alarm_in_port_para;
static_assert(sizeof(alarm_in_port_para) == 24, "alarm_in_port_para");
static_assert(offsetof(alarm_in_port_para, size) == 0, "alarm_in_port_para.size");
static_assert(offsetof(alarm_in_port_para, mode) == 4, "alarm_in_port_para.mode");
static_assert(offsetof(alarm_in_port_para, type) == 8, "alarm_in_port_para.type");
static_assert(offsetof(alarm_in_port_para, param) == 12, "alarm_in_port_para.param");
static_assert(offsetof(alarm_in_port_para, channel) == 16, "alarm_in_port_para.channel");
static_assert(offsetof(alarm_in_port_para, inport) == 20, "alarm_in_port_para.inport");

/* An alarm output port (CMD_ALARM_OUT_PORT_PARA). */
typedef struct alarm_out_port_para {
    int32_t size; /* 20 */
    int32_t mode;
    int32_t pulse_width;
    int32_t iChannelNo;
    int32_t iPortNo;
} alarm_out_port_para;
static_assert(sizeof(alarm_out_port_para) == 20, "alarm_out_port_para");
static_assert(offsetof(alarm_out_port_para, size) == 0, "alarm_out_port_para.size");
static_assert(offsetof(alarm_out_port_para, mode) == 4, "alarm_out_port_para.mode");
static_assert(offsetof(alarm_out_port_para, pulse_width) == 8, "alarm_out_port_para.pulse_width");
static_assert(offsetof(alarm_out_port_para, iChannelNo) == 12, "alarm_out_port_para.iChannelNo");
static_assert(offsetof(alarm_out_port_para, iPortNo) == 16, "alarm_out_port_para.iPortNo");

/* The water-level alarm of a scene rule (CMD_ALARM_WATER_LEVEL_PARA). The
 * fields carry the names of their command members. */
enum { WATER_ALARM_LEVELS = 5 };
typedef struct water_alarm_para {
    int32_t size; /* 152 */
    int32_t alert_water_value;
    int32_t alarm_link_time;
    int32_t scene_id;
    int32_t rule_id;
    int32_t is_main_channel;
    int32_t check_stand;
    int32_t default_upload_time;
    int32_t first_water_level_upload_time;
    int32_t second_water_level_upload_time;
    int32_t third_water_level_upload_time;
    int32_t first_water_level_thershold;
    int32_t second_water_level_thershold;
    int32_t third_water_level_thershold;
    int32_t algorithm_type;
    int32_t water_num;
    int32_t water_alarm[WATER_ALARM_LEVELS];
    int32_t water_low_value;
    int32_t warn_high_value;
    int32_t warn_low_value;
    int32_t water_filter_enable;
    int32_t water_filter_level;
    int32_t water_filter_time;
    int32_t threshold_enable;
    int32_t threshold_level;
    int32_t alarm_high_add_enable;
    int32_t alarm_high_add_interval;
    int32_t threshold_add_report_enable;
    int32_t threshold_add_report_value;
    int32_t threshold_add_report_interval;
    int32_t threshold_growth_rate_enable;
    int32_t threshold_growth_rate;
    int32_t water_correct_val;
    int32_t reserved;
} water_alarm_para;
static_assert(sizeof(water_alarm_para) == 152, "water_alarm_para");
static_assert(offsetof(water_alarm_para, size) == 0, "water_alarm_para.size");
static_assert(offsetof(water_alarm_para, alert_water_value) == 4, "water_alarm_para.alert_water_value");
static_assert(offsetof(water_alarm_para, alarm_link_time) == 8, "water_alarm_para.alarm_link_time");
static_assert(offsetof(water_alarm_para, scene_id) == 12, "water_alarm_para.scene_id");
static_assert(offsetof(water_alarm_para, rule_id) == 16, "water_alarm_para.rule_id");
static_assert(offsetof(water_alarm_para, is_main_channel) == 20, "water_alarm_para.is_main_channel");
static_assert(offsetof(water_alarm_para, check_stand) == 24, "water_alarm_para.check_stand");
static_assert(offsetof(water_alarm_para, default_upload_time) == 28, "water_alarm_para.default_upload_time");
static_assert(offsetof(water_alarm_para, first_water_level_upload_time) == 32,
              "water_alarm_para.first_water_level_upload_time");
static_assert(offsetof(water_alarm_para, second_water_level_upload_time) == 36,
              "water_alarm_para.second_water_level_upload_time");
static_assert(offsetof(water_alarm_para, third_water_level_upload_time) == 40,
              "water_alarm_para.third_water_level_upload_time");
static_assert(offsetof(water_alarm_para, first_water_level_thershold) == 44,
              "water_alarm_para.first_water_level_thershold");
static_assert(offsetof(water_alarm_para, second_water_level_thershold) == 48,
              "water_alarm_para.second_water_level_thershold");
static_assert(offsetof(water_alarm_para, third_water_level_thershold) == 52,
              "water_alarm_para.third_water_level_thershold");
static_assert(offsetof(water_alarm_para, algorithm_type) == 56, "water_alarm_para.algorithm_type");
static_assert(offsetof(water_alarm_para, water_num) == 60, "water_alarm_para.water_num");
static_assert(offsetof(water_alarm_para, water_alarm) == 64, "water_alarm_para.water_alarm");
static_assert(offsetof(water_alarm_para, water_low_value) == 84, "water_alarm_para.water_low_value");
static_assert(offsetof(water_alarm_para, warn_high_value) == 88, "water_alarm_para.warn_high_value");
static_assert(offsetof(water_alarm_para, warn_low_value) == 92, "water_alarm_para.warn_low_value");
static_assert(offsetof(water_alarm_para, water_filter_enable) == 96, "water_alarm_para.water_filter_enable");
static_assert(offsetof(water_alarm_para, water_filter_level) == 100, "water_alarm_para.water_filter_level");
static_assert(offsetof(water_alarm_para, water_filter_time) == 104, "water_alarm_para.water_filter_time");
static_assert(offsetof(water_alarm_para, threshold_enable) == 108, "water_alarm_para.threshold_enable");
static_assert(offsetof(water_alarm_para, threshold_level) == 112, "water_alarm_para.threshold_level");
static_assert(offsetof(water_alarm_para, alarm_high_add_enable) == 116, "water_alarm_para.alarm_high_add_enable");
static_assert(offsetof(water_alarm_para, alarm_high_add_interval) == 120, "water_alarm_para.alarm_high_add_interval");
static_assert(offsetof(water_alarm_para, threshold_add_report_enable) == 124,
              "water_alarm_para.threshold_add_report_enable");
static_assert(offsetof(water_alarm_para, threshold_add_report_value) == 128,
              "water_alarm_para.threshold_add_report_value");
static_assert(offsetof(water_alarm_para, threshold_add_report_interval) == 132,
              "water_alarm_para.threshold_add_report_interval");
static_assert(offsetof(water_alarm_para, threshold_growth_rate_enable) == 136,
              "water_alarm_para.threshold_growth_rate_enable");
static_assert(offsetof(water_alarm_para, threshold_growth_rate) == 140, "water_alarm_para.threshold_growth_rate");
static_assert(offsetof(water_alarm_para, water_correct_val) == 144, "water_alarm_para.water_correct_val");
static_assert(offsetof(water_alarm_para, reserved) == 148, "water_alarm_para.reserved");

/* Switching one alarm type of a channel (CMD_ALARM_TYPE_ENABLE) ... */
typedef struct alarm_type_enable_request {
    int32_t size; /* 16 */
    int32_t channel;
    int32_t alarm_type;
    int32_t enable;
} alarm_type_enable_request;
static_assert(sizeof(alarm_type_enable_request) == 16, "alarm_type_enable_request");
static_assert(offsetof(alarm_type_enable_request, size) == 0, "alarm_type_enable_request.size");
static_assert(offsetof(alarm_type_enable_request, channel) == 4, "alarm_type_enable_request.channel");
static_assert(offsetof(alarm_type_enable_request, alarm_type) == 8, "alarm_type_enable_request.alarm_type");
static_assert(offsetof(alarm_type_enable_request, enable) == 12, "alarm_type_enable_request.enable");

/* ... and the device's answer: 0 in iRes when the switch was made. */
typedef struct alarm_type_enable_reply {
    int32_t reserved[3];
    int32_t iRes;
} alarm_type_enable_reply;
static_assert(sizeof(alarm_type_enable_reply) == 16, "alarm_type_enable_reply");
static_assert(offsetof(alarm_type_enable_reply, reserved) == 0, "alarm_type_enable_reply.reserved");
static_assert(offsetof(alarm_type_enable_reply, iRes) == 12, "alarm_type_enable_reply.iRes");

/* The remote-control alarm state with its free parameters
 * (CMD_REMOTE_CONTROL_ALARM); the device answers one i32 result. */
enum { REMOTE_ALARM_TEXT_LEN = 256 };
typedef struct remote_control_alarm {
    int32_t reserved[2];
    int32_t alarm_state;
    int32_t param1;
    int32_t param2;
    int32_t param3;
    char param4[REMOTE_ALARM_TEXT_LEN];
    char param5[REMOTE_ALARM_TEXT_LEN];
    char param6[REMOTE_ALARM_TEXT_LEN];
} remote_control_alarm;
static_assert(sizeof(remote_control_alarm) == 792, "remote_control_alarm");
static_assert(offsetof(remote_control_alarm, reserved) == 0, "remote_control_alarm.reserved");
static_assert(offsetof(remote_control_alarm, alarm_state) == 8, "remote_control_alarm.alarm_state");
static_assert(offsetof(remote_control_alarm, param1) == 12, "remote_control_alarm.param1");
static_assert(offsetof(remote_control_alarm, param2) == 16, "remote_control_alarm.param2");
static_assert(offsetof(remote_control_alarm, param3) == 20, "remote_control_alarm.param3");
static_assert(offsetof(remote_control_alarm, param4) == 24, "remote_control_alarm.param4");
static_assert(offsetof(remote_control_alarm, param5) == 280, "remote_control_alarm.param5");
static_assert(offsetof(remote_control_alarm, param6) == 536, "remote_control_alarm.param6");

/* One active alarm (NET_CLIENT_GETCURALARMINFO). */
enum { CUR_ALARM_TIME_LEN = 20 };
typedef struct cur_alarm_entry {
    int32_t device_type;
    int32_t alarm_state;
    char alarm_time[CUR_ALARM_TIME_LEN];
    int32_t iAlarmType;
    int32_t scene_id;
    int32_t rule_id;
    int32_t event_type;
} cur_alarm_entry;
static_assert(sizeof(cur_alarm_entry) == 44, "cur_alarm_entry");
static_assert(offsetof(cur_alarm_entry, device_type) == 0, "cur_alarm_entry.device_type");
static_assert(offsetof(cur_alarm_entry, alarm_state) == 4, "cur_alarm_entry.alarm_state");
static_assert(offsetof(cur_alarm_entry, alarm_time) == 8, "cur_alarm_entry.alarm_time");
static_assert(offsetof(cur_alarm_entry, iAlarmType) == 28, "cur_alarm_entry.iAlarmType");
static_assert(offsetof(cur_alarm_entry, scene_id) == 32, "cur_alarm_entry.scene_id");
static_assert(offsetof(cur_alarm_entry, rule_id) == 36, "cur_alarm_entry.rule_id");
static_assert(offsetof(cur_alarm_entry, event_type) == 40, "cur_alarm_entry.event_type");

/* An active analysis alarm: the entry above and the bits of its sub-types. */
typedef struct cur_vca_alarm_entry {
    cur_alarm_entry alarm;
    uint32_t sub_type;
} cur_vca_alarm_entry;
static_assert(sizeof(cur_vca_alarm_entry) == 48, "cur_vca_alarm_entry");
static_assert(offsetof(cur_vca_alarm_entry, alarm) == 0, "cur_vca_alarm_entry.alarm");
static_assert(offsetof(cur_vca_alarm_entry, sub_type) == 44, "cur_vca_alarm_entry.sub_type");

/* The answer area of NET_CLIENT_GETCURALARMINFO: analysis alarms first,
 * then the others. Each part starts with a size field that the caller
 * presets (the part's bytes after that field) and the device's count. */
enum { MAX_CUR_VCA_ALARMS = 46592, MAX_CUR_OTHER_ALARMS = 96 };
typedef struct cur_vca_alarm_list {
    int32_t size; /* 2236420 */
    int32_t count;
    cur_vca_alarm_entry entries[MAX_CUR_VCA_ALARMS];
} cur_vca_alarm_list;
static_assert(sizeof(cur_vca_alarm_list) == 2236424, "cur_vca_alarm_list");
static_assert(offsetof(cur_vca_alarm_list, size) == 0, "cur_vca_alarm_list.size");
static_assert(offsetof(cur_vca_alarm_list, count) == 4, "cur_vca_alarm_list.count");
static_assert(offsetof(cur_vca_alarm_list, entries) == 8, "cur_vca_alarm_list.entries");

typedef struct cur_other_alarm_list {
    int32_t size; /* 4228 */
    int32_t count;
    cur_alarm_entry entries[MAX_CUR_OTHER_ALARMS];
} cur_other_alarm_list;
static_assert(sizeof(cur_other_alarm_list) == 4232, "cur_other_alarm_list");
static_assert(offsetof(cur_other_alarm_list, size) == 0, "cur_other_alarm_list.size");
static_assert(offsetof(cur_other_alarm_list, count) == 4, "cur_other_alarm_list.count");
static_assert(offsetof(cur_other_alarm_list, entries) == 8, "cur_other_alarm_list.entries");

typedef struct channel_cur_alarm_info {
    cur_vca_alarm_list vca;
    cur_other_alarm_list other;
} channel_cur_alarm_info;
static_assert(sizeof(channel_cur_alarm_info) == 2240656, "channel_cur_alarm_info");
static_assert(offsetof(channel_cur_alarm_info, vca) == 0, "channel_cur_alarm_info.vca");
static_assert(offsetof(channel_cur_alarm_info, other) == 2236424, "channel_cur_alarm_info.other");

#endif
