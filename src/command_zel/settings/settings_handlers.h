// Command handlers of the remaining device settings: GPS danger areas,
// channel passwords, accounts, snapshots and FTP upload, channel mode,
// volume, dormancy, audio tone, enable switches, water gauges and water
// flow, transparent parameters, alias names, the thermal screen, the
// irrigation platform, phone contacts, abilities, records, versions and
// alarm port lists.
#pragma once

#include <json-c/json.h>

#include <cstdint>

namespace zel {

// Hand-written: GPS danger area, channel passwords, dormancy.
int32_t set_gps_danger_area(void *host, json_object *jso);
int32_t set_channel_password(void *host, json_object *jso, char **out_buf);
int32_t set_digital_channel_password(void *host, json_object *jso, char **out_buf);
int32_t set_dormancy(void *host, json_object *jso);
int32_t get_dormancy(void *host, json_object *jso, char **out_buf);

// Hand-written: abilities, enable switches, records, versions, alarm ports.
int32_t get_host_ability(void *host, json_object *jso, char **out_buf);
int32_t get_func_ability(void *host, json_object *jso, char **out_buf);
int32_t set_enable_value(void *host, json_object *jso);
int32_t set_host_common_enable(void *host, json_object *jso);
int32_t get_common_enable_mode(void *host, char **out_buf);
int32_t get_reprot_records(void *host, json_object *jso, char **out_buf);
int32_t get_version_info(void *host, char **out_buf);
int32_t get_alarm_in_out_info(void *host, json_object *jso, char **out_buf);
int32_t get_vertical_line(void *host, json_object *jso, char **out_buf);

// Described as settings (device_settings.cpp).
int32_t set_dz_common(void *host, json_object *jso);
int32_t get_dz_common(void *host, json_object *jso, char **out_buf);
int32_t set_localsnap_schedule(void *host, json_object *jso);
int32_t get_localsnap_schedule(void *host, json_object *jso, char **out_buf);
int32_t set_ftp_snapshot(void *host, json_object *jso);
int32_t get_ftp_snapshot(void *host, json_object *jso, char **out_buf);
int32_t set_ftp_snapshot_timing(void *host, json_object *jso);
int32_t get_ftp_snapshot_timing(void *host, json_object *jso, char **out_buf);
int32_t set_channel_mode(void *host, json_object *jso);
int32_t get_channel_mode(void *host, json_object *jso, char **out_buf);
int32_t set_volume_ctrl(void *host, json_object *jso);
int32_t set_audio_ponticello(void *host, json_object *jso);
int32_t set_dz_transparent_para(void *host, json_object *jso);
int32_t get_dz_transparent_para(void *host, json_object *jso, char **out_buf);
int32_t set_record_channel_alias(void *host, json_object *jso);
int32_t get_cmd_records(void *host, json_object *jso, char **out_buf);
int32_t get_scene_algorithm(void *host, json_object *jso, char **out_buf);

// Described as settings (sensor_settings.cpp).
int32_t set_vertical_line(void *host, json_object *jso);
int32_t set_waterflow_param(void *host, json_object *jso);
int32_t get_waterflow_param(void *host, json_object *jso, char **out_buf);
int32_t set_thmscreen_sensorcorrect(void *host, json_object *jso);
int32_t get_thmscreen_sensorcorrect(void *host, json_object *jso, char **out_buf);
int32_t set_thmscreen_system_para(void *host, json_object *jso);
int32_t get_thmscreen_system_para(void *host, json_object *jso, char **out_buf);
int32_t set_irri_upload_param(void *host, json_object *jso);
int32_t get_irri_upload_param(void *host, json_object *jso, char **out_buf);
int32_t set_irri_server_info_v2(void *host, json_object *jso);
int32_t get_irri_server_info_v2(void *host, json_object *jso, char **out_buf);
int32_t set_phone_contact(void *host, json_object *jso);
int32_t get_phone_contacts(void *host, json_object *jso, char **out_buf);

}  // namespace zel
