// The catalogue of commands: every number of the set and get tables with
// its handler's name and call form. It is plain constant data so that the
// console and the command reference can describe the commands without the
// library; command_tables.cpp binds the handlers that exist to it and checks
// at compile time that names and forms agree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace zel {

// How the dispatcher calls a handler: with the command object (J), the
// command object and the reply slot (JO), only the reply slot (O), or the
// record's file name, the command object and the reply slot (FJO).
enum class CallForm : uint8_t { None, J, JO, O, FJO };

constexpr const char *call_form_name(CallForm form) {
    switch (form) {
    case CallForm::J: return "J";
    case CallForm::JO: return "JO";
    case CallForm::O: return "O";
    case CallForm::FJO: return "FJO";
    case CallForm::None: break;
    }
    return "";
}

struct CommandInfo {
    int32_t number;
    const char *handler;  // null: the number has no command
    CallForm form;
    bool stores_result;   // the result is also stored in the record's result field
};

namespace catalog_detail {
constexpr CommandInfo none(int32_t number) { return {number, nullptr, CallForm::None, false}; }
constexpr CommandInfo cmd(int32_t number, const char *handler, CallForm form, bool stores_result = false) {
    return {number, handler, form, stores_result};
}
inline constexpr bool kStoresResult = true;
using enum CallForm;

inline constexpr CommandInfo kSetCommands[] = {
    cmd(0, "set_face_alarm_param", JO, kStoresResult),
    cmd(1, "set_face_info", JO),
    cmd(2, "set_face_lib", JO),
    cmd(3, "set_face_lib_sync", J),
    cmd(4, "face_set_del_face_pic", J),
    cmd(5, "face_set_del_face_lib", JO),
    cmd(6, "set_vca_pept_rule", JO),
    cmd(7, "set_gps_danger_area", J),
    cmd(8, "set_vca_pept_enable", JO),
    cmd(9, "set_sharpness", J),
    cmd(10, "set_frame_rate", J),
    cmd(11, "set_channel_password", JO),
    cmd(12, "set_digital_channel_password", JO),
    cmd(13, "modify_password", JO),
    cmd(14, "set_disk_group", J),
    cmd(15, "nvr_set_diskquota_state", J),
    cmd(16, "nvr_set_channel_param", J),
    cmd(17, "set_vca_push_rule_167", J),
    cmd(18, "set_vca_push_rule_168", J),
    cmd(19, "set_algorithm_enable", J),
    cmd(20, "set_vca_dev_enable", JO, kStoresResult),
    cmd(21, "set_vca_zone_rule_173", J),
    cmd(22, "set_vca_zone_rule_174", J),
    cmd(23, "set_face_info_ex", JO),
    cmd(24, "del_face_pic_ex", J),
    cmd(25, "set_water_speed_enable", J),
    cmd(26, "set_face_detect_arithmetic", J),
    cmd(27, "set_call_anyscene", J),
    cmd(28, "set_vca_typed_rule_182", J),
    cmd(29, "upgrade_device", J),
    cmd(30, "set_fireworks_param", J),
    cmd(31, "set_tem_detect_param", J),
    cmd(32, "clear_vca_alarm_statistic", J),
    cmd(33, "set_dz_common", J),
    cmd(34, "set_localsnap_schedule", J),
    cmd(35, "set_ftp_snapshot", J),
    cmd(36, "set_alarm_in_port", J),
    cmd(37, "set_channel_mode", J),
    cmd(38, "absolute_coordinates", J),
    cmd(39, "send_channel_command", J),
    cmd(40, "set_alarm_out_port", J),
    cmd(41, "set_dome_ptz", J),
    cmd(42, "set_volume_ctrl", J),
    none(43),
    cmd(44, "set_video_combine", J),
    cmd(45, "set_face_detect_enable", J),
    cmd(46, "set_dormancy", J),
    cmd(47, "set_person_statistic_param", J),
    cmd(48, "set_cpc_advance_part2", J),
    cmd(49, "set_ftp_snapshot_timing", J),
    cmd(50, "set_h323_param", J),
    cmd(51, "set_calibration_reference", J),
    cmd(52, "set_face_mosaic", J),
    cmd(53, "set_audio_ponticello", J),
    cmd(54, "set_new_fight", J),
    cmd(55, "set_judge_analyse_param", J),
    cmd(56, "set_xml_type_value", J),
    cmd(57, "set_case_control", J),
    cmd(58, "set_ref_boundary", J),
    none(59),
    cmd(60, "set_cdburn_cmd", J),
    cmd(61, "set_disk_usage", JO),
    cmd(62, "check_disk_file", J),
    none(63),
    cmd(64, "set_zf_ch_info", J),
    cmd(65, "set_enable_value", J),
    cmd(66, "set_mix_audio_config", J),
    cmd(67, "set_vertical_line", J),
    cmd(68, "set_waterflow_param", J),
    cmd(69, "lock_record_file", J),
    cmd(70, "set_face_track_enable", J),
    cmd(71, "set_dz_transparent_para", J),
    none(72),
    cmd(73, "set_record_mission", J),
    cmd(74, "set_host_common_enable", J),
    cmd(75, "set_linkage_single_screen", J),
    cmd(76, "set_alarm_type_enable", J),
    cmd(77, "set_record_channel_alias", J),
    cmd(78, "set_cruise_template", J),
    cmd(79, "set_ptz_scan", J),
    cmd(80, "set_host_replenish_rec_stop", JO, kStoresResult),
    cmd(81, "set_thmscreen_sensorcorrect", J),
    cmd(82, "set_thmscreen_system_para", J),
    cmd(83, "set_current_video_param", J),
    cmd(84, "set_water_alarm_param", J),
    cmd(85, "set_irri_upload_param", J),
    cmd(86, "set_irri_server_info_v2", J),
    cmd(87, "set_phone_contact", J),
    cmd(88, "set_remote_control_alarm", J),
    cmd(89, "set_defogging_configuration_parameters", J),
    cmd(90, "set_param_frame_decrypted_password", JO),
};

inline constexpr CommandInfo kGetCommands[] = {
    cmd(0, "face_search", JO),
    cmd(1, "get_query_result", JO),
    cmd(2, "close_query", J),
    cmd(3, "get_face_alarm_param", JO),
    cmd(4, "face_get_query_snap", JO),
    cmd(5, "get_query_snap_process", JO),
    cmd(6, "get_face_lib_sync_status", JO),
    cmd(7, "get_host_ability", JO),
    cmd(8, "get_face_cut_pic", FJO),
    cmd(9, "get_vca_pept_rule", JO),
    cmd(10, "get_vca_pept_enable", JO),
    cmd(11, "query_face_lib", JO),
    cmd(12, "query_faceimg_result", JO),
    cmd(13, "get_common_enable_mode", O),
    cmd(14, "get_disk_group", O),
    cmd(15, "get_diskquota_state", JO),
    cmd(16, "get_channel_param", JO),
    cmd(17, "get_netfile_schedule", JO),
    cmd(18, "query_pic_file", JO),
    cmd(19, "get_face_lib_count", JO),
    cmd(20, "get_face_feature", JO),
    cmd(21, "get_water_speed_enable", JO),
    cmd(22, "get_upgrade_percent", O),
    cmd(23, "get_export_config", JO),
    cmd(24, "get_fireworks_param", JO),
    cmd(25, "get_tem_detect_param", JO),
    cmd(26, "get_ftp_snapshot", JO),
    cmd(27, "get_dz_common", JO),
    cmd(28, "get_localsnap_schedule", JO),
    cmd(29, "get_alarm_in_port", JO),
    cmd(30, "get_channel_mode", JO),
    cmd(31, "get_reprot_records", JO),
    cmd(32, "get_ptz_wait_act", JO),
    cmd(33, "get_dormancy", JO),
    cmd(34, "get_person_statistic_param", JO),
    cmd(35, "get_cpc_advance_part2", JO),
    cmd(36, "get_ftp_snapshot_timing", JO),
    cmd(37, "get_face_detect_enable", JO),
    cmd(38, "get_calibration_reference", JO),
    cmd(39, "get_ref_boundary", JO),
    none(40),
    cmd(41, "get_cmd_records", JO),
    none(42),
    cmd(43, "get_func_ability", JO),
    cmd(44, "get_vertical_line", JO),
    cmd(45, "get_waterflow_param", JO),
    cmd(46, "get_face_track_enable", JO),
    none(47),
    none(48),
    none(49),
    none(50),
    cmd(51, "get_call_state", JO),
    none(52),
    none(53),
    none(54),
    none(55),
    none(56),
    none(57),
    cmd(58, "get_bestir_param", JO),
    cmd(59, "get_cur_alarm_info", JO),
    none(60),
    cmd(61, "get_cdburn_status", JO),
    cmd(62, "get_video_size", JO),
    cmd(63, "get_frame_rate", JO),
    cmd(64, "get_mix_audio_config", JO),
    cmd(65, "get_alarm_in_out_info", JO),
    cmd(66, "get_hard_disk_info", O),
    cmd(67, "get_dz_transparent_para", JO),
    none(68),
    none(69),
    cmd(70, "get_version_info", O),
    none(71),
    cmd(72, "get_replenish_rec_state", JO),
    cmd(73, "get_scene_algorithm", JO),
    cmd(74, "get_video_rate_size", JO),
    cmd(75, "get_replenish_rec_ability", JO),
    cmd(76, "get_thmscreen_sensorcorrect", JO),
    cmd(77, "get_thmscreen_system_para", JO),
    cmd(78, "get_current_video_param", JO),
    cmd(79, "get_support_video_param_info", JO),
    cmd(80, "get_water_alarm_param", JO),
    cmd(81, "get_irri_upload_param", JO),
    cmd(82, "get_irri_server_info_v2", JO),
    cmd(83, "get_phone_contacts", JO),
    cmd(84, "disk_smart_info", JO),
    cmd(85, "get_host_status", O),
    cmd(86, "get_host_replenish_video_task_list", JO),
    cmd(87, "get_defogging_configuration_parameters", JO),
    none(88),
    cmd(89, "get_host_disk_status", JO),
};
}  // namespace catalog_detail

using catalog_detail::kGetCommands;
using catalog_detail::kSetCommands;

inline constexpr size_t kSetCommandCount = std::size(kSetCommands);
inline constexpr size_t kGetCommandCount = std::size(kGetCommands);

// Entry i stands for command number i.
constexpr bool numbered_in_order(const CommandInfo *table, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (table[i].number != static_cast<int32_t>(i))
            return false;
    return true;
}
static_assert(kSetCommandCount == 91 && numbered_in_order(kSetCommands, kSetCommandCount));
static_assert(kGetCommandCount == 90 && numbered_in_order(kGetCommands, kGetCommandCount));

}  // namespace zel
