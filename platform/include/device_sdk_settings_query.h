/* Device SDK records of the device's answers about itself: abilities, report
 * and command records, scene algorithm, identity and versions, alarm port
 * lists, and the pages of vertical water-gauge lines and phone contacts.
 * Conventions as in device_sdk_settings.h. */
#ifndef PLATFORM_DEVICE_SDK_SETTINGS_QUERY_H
#define PLATFORM_DEVICE_SDK_SETTINGS_QUERY_H

#include <assert.h>
#include <stddef.h>
#include <stdint.h>

#include "device_sdk.h"
#include "device_sdk_settings.h"

/* NetClient_GetDevConfig sub-commands. */
enum { NET_CLIENT_SCENE_ALGORITHM = 21, NET_CLIENT_DEV_IDENTITY = 61 };

/* NetClient_CmdConfig sub-commands. */
enum { CMD_VERTICALLINE_QUERY = 15, CMD_REPORT_RECORDS = 22, CMD_COMMAND_RECORDS = 40, CMD_PHONE_CONTACT_QUERY = 69 };

/* NetClient_GetDevConfig_V5 sub-commands. */
enum { NETCLIENT_GET_ALARMINPORT_V5 = 1, NETCLIENT_GET_ALARMOUTPORT_V5 = 2 };

/* NetClient_GetCommonEnable: the device mode (whole device). */
enum { CI_COMMON_ID_DEVICE_MODE = 0xA000 };

/* Capacities. */
enum {
    MAX_VERTICALLINE_PAGE = 20, /* lines of one vertical-line answer area */
    MAX_PHONE_CONTACT_PAGE = 21,
    MAX_ALARM_PORT_NUM = 1024,
    VERSION_TEXT_LEN = 64
};

/* ---- Report records (CMD_REPORT_RECORDS) -------------------------------- */

typedef struct report_records_query {
    int32_t size;
    int32_t type;
    int64_t seq_start;
    int64_t seq_stop;
    int32_t page_no;
    int32_t page_size;
    uint8_t reserved[32];
} report_records_query;
static_assert(sizeof(report_records_query) == 64, "report_records_query");
static_assert(offsetof(report_records_query, size) == 0, "report_records_query.size");
static_assert(offsetof(report_records_query, type) == 4, "report_records_query.type");
static_assert(offsetof(report_records_query, seq_start) == 8, "report_records_query.seq_start");
static_assert(offsetof(report_records_query, seq_stop) == 16, "report_records_query.seq_stop");
static_assert(offsetof(report_records_query, page_no) == 24, "report_records_query.page_no");
static_assert(offsetof(report_records_query, page_size) == 28, "report_records_query.page_size");
static_assert(offsetof(report_records_query, reserved) == 32, "report_records_query.reserved");

typedef struct report_records_answer {
    int32_t size;
    int32_t result;
    int64_t first_seq;
    int64_t last_seq;
    int32_t record_num;
    uint8_t reserved[16];
    int32_t max_seq_no;
} report_records_answer;
static_assert(sizeof(report_records_answer) == 48, "report_records_answer");
static_assert(offsetof(report_records_answer, size) == 0, "report_records_answer.size");
static_assert(offsetof(report_records_answer, result) == 4, "report_records_answer.result");
static_assert(offsetof(report_records_answer, first_seq) == 8, "report_records_answer.first_seq");
static_assert(offsetof(report_records_answer, last_seq) == 16, "report_records_answer.last_seq");
static_assert(offsetof(report_records_answer, record_num) == 24, "report_records_answer.record_num");
static_assert(offsetof(report_records_answer, reserved) == 28, "report_records_answer.reserved");
static_assert(offsetof(report_records_answer, max_seq_no) == 44, "report_records_answer.max_seq_no");

/* ---- Command records (CMD_COMMAND_RECORDS) ------------------------------ */

typedef struct cmd_records_query {
    int32_t size;
    int32_t type;
    int32_t reserved;
} cmd_records_query;
static_assert(sizeof(cmd_records_query) == 12, "cmd_records_query");
static_assert(offsetof(cmd_records_query, size) == 0, "cmd_records_query.size");
static_assert(offsetof(cmd_records_query, type) == 4, "cmd_records_query.type");
static_assert(offsetof(cmd_records_query, reserved) == 8, "cmd_records_query.reserved");

/* `time` is the device's calendar time in UTC: year, month, day, hour,
 * minute, second. */
typedef struct cmd_records_answer {
    int32_t size;
    int32_t value;
    dvr_time time;
    uint8_t reserved[8];
} cmd_records_answer;
static_assert(sizeof(cmd_records_answer) == 28, "cmd_records_answer");
static_assert(offsetof(cmd_records_answer, size) == 0, "cmd_records_answer.size");
static_assert(offsetof(cmd_records_answer, value) == 4, "cmd_records_answer.value");
static_assert(offsetof(cmd_records_answer, time) == 8, "cmd_records_answer.time");
static_assert(offsetof(cmd_records_answer, reserved) == 20, "cmd_records_answer.reserved");

/* ---- Scene algorithm (NET_CLIENT_SCENE_ALGORITHM) ----------------------- */

/* The same sub-command also carries the analysis switches of the scene. */
typedef struct scene_algorithm {
    int32_t algorithm_type;
    int32_t scene_id;
    char scene_name[32];
    uint32_t enable_high;
    int32_t dev_type;
    uint32_t enable_low;
    uint8_t device_52[40];
} scene_algorithm;
static_assert(sizeof(scene_algorithm) == 92, "scene_algorithm");
static_assert(offsetof(scene_algorithm, algorithm_type) == 0, "scene_algorithm.algorithm_type");
static_assert(offsetof(scene_algorithm, scene_id) == 4, "scene_algorithm.scene_id");
static_assert(offsetof(scene_algorithm, scene_name) == 8, "scene_algorithm.scene_name");
static_assert(offsetof(scene_algorithm, enable_high) == 40, "scene_algorithm.enable_high");
static_assert(offsetof(scene_algorithm, dev_type) == 44, "scene_algorithm.dev_type");
static_assert(offsetof(scene_algorithm, enable_low) == 48, "scene_algorithm.enable_low");
static_assert(offsetof(scene_algorithm, device_52) == 52, "scene_algorithm.device_52");

/* ---- Identity and versions ---------------------------------------------- */

/* NET_CLIENT_DEV_IDENTITY on the whole device. */
typedef struct dev_identity {
    char barcode[64];
} dev_identity;
static_assert(sizeof(dev_identity) == 64, "dev_identity");
static_assert(offsetof(dev_identity, barcode) == 0, "dev_identity.barcode");

/* NetClient_GetServerVersion_V1. */
typedef struct server_version {
    char kernel[VERSION_TEXT_LEN];
    char ui[VERSION_TEXT_LEN];
    char app[VERSION_TEXT_LEN];
    char algo[VERSION_TEXT_LEN];
    char onvif[VERSION_TEXT_LEN];
    char its[VERSION_TEXT_LEN];
    char algs[VERSION_TEXT_LEN];
    char net[VERSION_TEXT_LEN];
} server_version;
static_assert(sizeof(server_version) == 512, "server_version");
static_assert(offsetof(server_version, kernel) == 0, "server_version.kernel");
static_assert(offsetof(server_version, ui) == 64, "server_version.ui");
static_assert(offsetof(server_version, app) == 128, "server_version.app");
static_assert(offsetof(server_version, algo) == 192, "server_version.algo");
static_assert(offsetof(server_version, onvif) == 256, "server_version.onvif");
static_assert(offsetof(server_version, its) == 320, "server_version.its");
static_assert(offsetof(server_version, algs) == 384, "server_version.algs");
static_assert(offsetof(server_version, net) == 448, "server_version.net");

/* ---- Alarm port lists (NETCLIENT_GET_ALARMINPORT_V5 / _ALARMOUTPORT_V5) -- */

typedef struct alarm_port {
    int32_t type;
    int32_t no;
    int32_t on_or_off;
    int32_t online;
    char alias_name[128];
} alarm_port;
static_assert(sizeof(alarm_port) == 144, "alarm_port");
static_assert(offsetof(alarm_port, type) == 0, "alarm_port.type");
static_assert(offsetof(alarm_port, no) == 4, "alarm_port.no");
static_assert(offsetof(alarm_port, on_or_off) == 8, "alarm_port.on_or_off");
static_assert(offsetof(alarm_port, online) == 12, "alarm_port.online");
static_assert(offsetof(alarm_port, alias_name) == 16, "alarm_port.alias_name");

typedef struct alarm_port_list {
    int32_t count;
    alarm_port ports[MAX_ALARM_PORT_NUM];
} alarm_port_list;
static_assert(sizeof(alarm_port_list) == 147460, "alarm_port_list");
static_assert(offsetof(alarm_port_list, count) == 0, "alarm_port_list.count");
static_assert(offsetof(alarm_port_list, ports) == 4, "alarm_port_list.ports");

/* ---- Vertical-line pages (CMD_VERTICALLINE_QUERY) ----------------------- */

typedef struct vertical_line_query {
    int32_t size;
    int32_t scene_id;
    int32_t page_no;
    int32_t each_page_size;
    int32_t line_id_start;
} vertical_line_query;
static_assert(sizeof(vertical_line_query) == 20, "vertical_line_query");
static_assert(offsetof(vertical_line_query, size) == 0, "vertical_line_query.size");
static_assert(offsetof(vertical_line_query, scene_id) == 4, "vertical_line_query.scene_id");
static_assert(offsetof(vertical_line_query, page_no) == 8, "vertical_line_query.page_no");
static_assert(offsetof(vertical_line_query, each_page_size) == 12, "vertical_line_query.each_page_size");
static_assert(offsetof(vertical_line_query, line_id_start) == 16, "vertical_line_query.line_id_start");

/* One line of an answer area of MAX_VERTICALLINE_PAGE; the first one also
 * carries the total and the number of lines in the area. */
typedef struct vertical_line_result {
    int32_t size;
    int32_t result;
    int32_t total_num;
    int32_t page_no;
    int32_t line_num;
    int32_t index;
    int32_t line_id;
    int32_t start_distance;
    int32_t bottom_altitude;
    int32_t cofe_num;
    vertical_line_cofe cofe_info[MAX_COFE_NUM];
    uint8_t reserved[84];
} vertical_line_result;
static_assert(sizeof(vertical_line_result) == 284, "vertical_line_result");
static_assert(offsetof(vertical_line_result, size) == 0, "vertical_line_result.size");
static_assert(offsetof(vertical_line_result, result) == 4, "vertical_line_result.result");
static_assert(offsetof(vertical_line_result, total_num) == 8, "vertical_line_result.total_num");
static_assert(offsetof(vertical_line_result, page_no) == 12, "vertical_line_result.page_no");
static_assert(offsetof(vertical_line_result, line_num) == 16, "vertical_line_result.line_num");
static_assert(offsetof(vertical_line_result, index) == 20, "vertical_line_result.index");
static_assert(offsetof(vertical_line_result, line_id) == 24, "vertical_line_result.line_id");
static_assert(offsetof(vertical_line_result, start_distance) == 28, "vertical_line_result.start_distance");
static_assert(offsetof(vertical_line_result, bottom_altitude) == 32, "vertical_line_result.bottom_altitude");
static_assert(offsetof(vertical_line_result, cofe_num) == 36, "vertical_line_result.cofe_num");
static_assert(offsetof(vertical_line_result, cofe_info) == 40, "vertical_line_result.cofe_info");
static_assert(offsetof(vertical_line_result, reserved) == 200, "vertical_line_result.reserved");

/* ---- Phone-contact pages (CMD_PHONE_CONTACT_QUERY) ---------------------- */

typedef struct phone_contact_query {
    int32_t size;
    int32_t page_no;
    int32_t people_id_start;
} phone_contact_query;
static_assert(sizeof(phone_contact_query) == 12, "phone_contact_query");
static_assert(offsetof(phone_contact_query, size) == 0, "phone_contact_query.size");
static_assert(offsetof(phone_contact_query, page_no) == 4, "phone_contact_query.page_no");
static_assert(offsetof(phone_contact_query, people_id_start) == 8, "phone_contact_query.people_id_start");

typedef struct phone_contact_entry {
    int32_t people_id;
    char name[64];
    char phone_number[64];
    int32_t type;
    uint8_t reserved[8];
} phone_contact_entry;
static_assert(sizeof(phone_contact_entry) == 144, "phone_contact_entry");
static_assert(offsetof(phone_contact_entry, people_id) == 0, "phone_contact_entry.people_id");
static_assert(offsetof(phone_contact_entry, name) == 4, "phone_contact_entry.name");
static_assert(offsetof(phone_contact_entry, phone_number) == 68, "phone_contact_entry.phone_number");
static_assert(offsetof(phone_contact_entry, type) == 132, "phone_contact_entry.type");
static_assert(offsetof(phone_contact_entry, reserved) == 136, "phone_contact_entry.reserved");

typedef struct phone_contact_page {
    int32_t result;
    int32_t total_num;
    int32_t current_num;
    int32_t reserved;
    phone_contact_entry contacts[MAX_PHONE_CONTACT_PAGE];
} phone_contact_page;
static_assert(sizeof(phone_contact_page) == 3040, "phone_contact_page");
static_assert(offsetof(phone_contact_page, result) == 0, "phone_contact_page.result");
static_assert(offsetof(phone_contact_page, total_num) == 4, "phone_contact_page.total_num");
static_assert(offsetof(phone_contact_page, current_num) == 8, "phone_contact_page.current_num");
static_assert(offsetof(phone_contact_page, reserved) == 12, "phone_contact_page.reserved");
static_assert(offsetof(phone_contact_page, contacts) == 16, "phone_contact_page.contacts");

#endif
