#include "command_tables.h"

#include <array>
#include <span>
#include <string_view>

#include "alarm/alarm_handlers.h"
#include "face/face_handlers.h"
#include "face/face_query.h"
#include "maintenance/maintenance_handlers.h"
#include "password/password_handlers.h"
#include "ptz/ptz_handlers.h"
#include "settings/settings_handlers.h"
#include "settings_xml/xml_handlers.h"
#include "storage/storage_handlers.h"
#include "vca/vca_handlers.h"
#include "video/video_handlers.h"

namespace zel {
namespace {

struct Binding {
    int32_t number;
    const char *name;
    Handler handler;
};

// BIND(number, handler): the handler's own name is checked against the
// catalogue, so a table can never call a function under another name.
#define BIND(number, fn)                                                                                               \
    Binding { number, #fn, Handler(fn) }

constexpr auto kSetBindings = std::to_array<Binding>({
    BIND(0, set_face_alarm_param),
    BIND(1, set_face_info),
    BIND(2, set_face_lib),
    BIND(3, set_face_lib_sync),
    BIND(4, face_set_del_face_pic),
    BIND(5, face_set_del_face_lib),
    BIND(6, set_vca_pept_rule),
    BIND(7, set_gps_danger_area),
    BIND(8, set_vca_pept_enable),
    BIND(9, set_sharpness),
    BIND(10, set_frame_rate),
    BIND(11, set_channel_password),
    BIND(12, set_digital_channel_password),
    BIND(13, modify_password),
    BIND(14, set_disk_group),
    BIND(15, nvr_set_diskquota_state),
    BIND(16, nvr_set_channel_param),
    BIND(17, set_vca_push_rule_167),
    BIND(18, set_vca_push_rule_168),
    BIND(19, set_algorithm_enable),
    BIND(20, set_vca_dev_enable),
    BIND(21, set_vca_zone_rule_173),
    BIND(22, set_vca_zone_rule_174),
    BIND(23, set_face_info_ex),
    BIND(24, del_face_pic_ex),
    BIND(25, set_water_speed_enable),
    BIND(26, set_face_detect_arithmetic),
    BIND(27, set_call_anyscene),
    BIND(28, set_vca_typed_rule_182),
    BIND(29, upgrade_device),
    BIND(30, set_fireworks_param),
    BIND(31, set_tem_detect_param),
    BIND(32, clear_vca_alarm_statistic),
    BIND(33, set_dz_common),
    BIND(34, set_localsnap_schedule),
    BIND(35, set_ftp_snapshot),
    BIND(36, set_alarm_in_port),
    BIND(37, set_channel_mode),
    BIND(38, absolute_coordinates),
    BIND(39, send_channel_command),
    BIND(40, set_alarm_out_port),
    BIND(41, set_dome_ptz),
    BIND(42, set_volume_ctrl),
    BIND(44, set_video_combine),
    BIND(45, set_face_detect_enable),
    BIND(46, set_dormancy),
    BIND(47, set_person_statistic_param),
    BIND(48, set_cpc_advance_part2),
    BIND(49, set_ftp_snapshot_timing),
    BIND(50, set_h323_param),
    BIND(51, set_calibration_reference),
    BIND(52, set_face_mosaic),
    BIND(53, set_audio_ponticello),
    BIND(54, set_new_fight),
    BIND(55, set_judge_analyse_param),
    BIND(56, set_xml_type_value),
    BIND(57, set_case_control),
    BIND(58, set_ref_boundary),
    BIND(60, set_cdburn_cmd),
    BIND(61, set_disk_usage),
    BIND(62, check_disk_file),
    BIND(64, set_zf_ch_info),
    BIND(65, set_enable_value),
    BIND(66, set_mix_audio_config),
    BIND(67, set_vertical_line),
    BIND(68, set_waterflow_param),
    BIND(69, lock_record_file),
    BIND(70, set_face_track_enable),
    BIND(71, set_dz_transparent_para),
    BIND(73, set_record_mission),
    BIND(74, set_host_common_enable),
    BIND(75, set_linkage_single_screen),
    BIND(76, set_alarm_type_enable),
    BIND(77, set_record_channel_alias),
    BIND(78, set_cruise_template),
    BIND(79, set_ptz_scan),
    BIND(80, set_host_replenish_rec_stop),
    BIND(81, set_thmscreen_sensorcorrect),
    BIND(82, set_thmscreen_system_para),
    BIND(83, set_current_video_param),
    BIND(84, set_water_alarm_param),
    BIND(85, set_irri_upload_param),
    BIND(86, set_irri_server_info_v2),
    BIND(87, set_phone_contact),
    BIND(88, set_remote_control_alarm),
    BIND(89, set_defogging_configuration_parameters),
    BIND(90, set_param_frame_decrypted_password),
});
constexpr auto kGetBindings = std::to_array<Binding>({
    BIND(0, face_search),
    BIND(1, get_query_result),
    BIND(2, close_query),
    BIND(3, get_face_alarm_param),
    BIND(4, face_get_query_snap),
    BIND(5, get_query_snap_process),
    BIND(6, get_face_lib_sync_status),
    BIND(7, get_host_ability),
    BIND(8, get_face_cut_pic),
    BIND(9, get_vca_pept_rule),
    BIND(10, get_vca_pept_enable),
    BIND(11, query_face_lib),
    BIND(12, query_faceimg_result),
    BIND(13, get_common_enable_mode),
    BIND(14, get_disk_group),
    BIND(15, get_diskquota_state),
    BIND(16, get_channel_param),
    BIND(17, get_netfile_schedule),
    BIND(18, query_pic_file),
    BIND(19, get_face_lib_count),
    BIND(20, get_face_feature),
    BIND(21, get_water_speed_enable),
    BIND(22, get_upgrade_percent),
    BIND(23, get_export_config),
    BIND(24, get_fireworks_param),
    BIND(25, get_tem_detect_param),
    BIND(26, get_ftp_snapshot),
    BIND(27, get_dz_common),
    BIND(28, get_localsnap_schedule),
    BIND(29, get_alarm_in_port),
    BIND(30, get_channel_mode),
    BIND(31, get_reprot_records),
    BIND(32, get_ptz_wait_act),
    BIND(33, get_dormancy),
    BIND(34, get_person_statistic_param),
    BIND(35, get_cpc_advance_part2),
    BIND(36, get_ftp_snapshot_timing),
    BIND(37, get_face_detect_enable),
    BIND(38, get_calibration_reference),
    BIND(39, get_ref_boundary),
    BIND(41, get_cmd_records),
    BIND(43, get_func_ability),
    BIND(44, get_vertical_line),
    BIND(45, get_waterflow_param),
    BIND(46, get_face_track_enable),
    BIND(51, get_call_state),
    BIND(58, get_bestir_param),
    BIND(59, get_cur_alarm_info),
    BIND(61, get_cdburn_status),
    BIND(62, get_video_size),
    BIND(63, get_frame_rate),
    BIND(64, get_mix_audio_config),
    BIND(65, get_alarm_in_out_info),
    BIND(66, get_hard_disk_info),
    BIND(67, get_dz_transparent_para),
    BIND(70, get_version_info),
    BIND(72, get_replenish_rec_state),
    BIND(73, get_scene_algorithm),
    BIND(74, get_video_rate_size),
    BIND(75, get_replenish_rec_ability),
    BIND(76, get_thmscreen_sensorcorrect),
    BIND(77, get_thmscreen_system_para),
    BIND(78, get_current_video_param),
    BIND(79, get_support_video_param_info),
    BIND(80, get_water_alarm_param),
    BIND(81, get_irri_upload_param),
    BIND(82, get_irri_server_info_v2),
    BIND(83, get_phone_contacts),
    BIND(84, disk_smart_info),
    BIND(85, get_host_status),
    BIND(86, get_host_replenish_video_task_list),
    BIND(87, get_defogging_configuration_parameters),
    BIND(89, get_host_disk_status),
});

#undef BIND

// Lays the bindings out by number, refusing at compile time a binding whose
// number, name or call form disagrees with the catalogue.
template <size_t N, size_t B>
consteval std::array<Handler, N> build_table(const CommandInfo (&catalog)[N], std::span<const Binding, B> bindings) {
    std::array<Handler, N> table{};
    for (const Binding &b : bindings) {
        if (b.number < 0 || static_cast<size_t>(b.number) >= N)
            throw "binding for a number outside the table";
        const CommandInfo &info = catalog[b.number];
        if (info.handler == nullptr || std::string_view(info.handler) != b.name)
            throw "bound handler is not the catalogue's handler for this number";
        if (info.form != b.handler.form)
            throw "bound handler's call form differs from the catalogue";
        if (table[b.number].bound())
            throw "number bound twice";
        table[b.number] = b.handler;
        table[b.number].stores_result = info.stores_result;
    }
    return table;
}

constexpr auto kSetTable = build_table(kSetCommands, std::span(kSetBindings));
constexpr auto kGetTable = build_table(kGetCommands, std::span(kGetBindings));

template <size_t N> const Handler *find(const std::array<Handler, N> &table, int32_t number) {
    if (number < 0 || static_cast<size_t>(number) >= N || !table[number].bound())
        return nullptr;
    return &table[number];
}

}  // namespace

const Handler *find_set_handler(int32_t number) { return find(kSetTable, number); }
const Handler *find_get_handler(int32_t number) { return find(kGetTable, number); }

}  // namespace zel
