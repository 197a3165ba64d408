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
    bool stores_result;        // the result is also stored in the record's result field
    const char *members = "";  // the members the handler reads, e.g. "ch, libuuid, name"
    const char *example = "";  // a document the handler accepts on the simulated device

    // The same entry with its members and example filled in.
    constexpr CommandInfo takes(const char *read, const char *accepted) const {
        CommandInfo described = *this;
        described.members = read;
        described.example = accepted;
        return described;
    }
};

namespace catalog_detail {
constexpr CommandInfo none(int32_t number) { return {number, nullptr, CallForm::None, false}; }
constexpr CommandInfo cmd(int32_t number, const char *handler, CallForm form, bool stores_result = false) {
    return {number, handler, form, stores_result};
}
inline constexpr bool kStoresResult = true;
using enum CallForm;

// clang-format off
inline constexpr CommandInfo kSetCommands[] = {
    cmd(0, "set_face_alarm_param", JO, kStoresResult)
        .takes("ch, alarm_type, param1, param2, param3, similar, devtype, recognition, libuuid, enable, libenable, freqgroup, freqchannellist, libuuid_stranger",
               R"({"command":0,"ch":0,"alarm_type":1,"param1":1,"similar":80,"devtype":1,"recognition":1,"libuuid":"lib-staff","enable":1,"libenable":1})"),
    cmd(1, "set_face_info", JO)
        .takes("ch, opttype, libuuid, faceuuid, modeling, name, sex, birthtime, nation, place, certype, certnum, file_type, file_name, face_key, face_lib_key",
               R"({"command":1,"ch":0,"opttype":1,"libuuid":"lib-staff","faceuuid":"face-0001","modeling":1,"name":"Ada","sex":1,"birthtime":"1990-01-01","nation":1,"place":1,"certype":1,"certnum":"A1234567","file_type":1,"file_name":"ada.jpg","face_key":1,"face_lib_key":1})"),
    cmd(2, "set_face_lib", JO)
        .takes("ch, libkey, name, threshold, extrainfo, alarmtype, libuuid, libversion, opttype",
               R"({"command":2,"ch":0,"libkey":1,"name":"staff","threshold":80,"extrainfo":"front door","alarmtype":1,"libuuid":"lib-staff","libversion":"1","opttype":1})"),
    cmd(3, "set_face_lib_sync", J)
        .takes("libuuid, similar, status, ch_list[].ch",
               R"({"command":3,"libuuid":"lib-staff","similar":80,"status":1,"ch_list":[{"ch":0},{"ch":1}]})"),
    cmd(4, "face_set_del_face_pic", J)
        .takes("ch, face_lib_key, face_key, libuuid, faceuuid",
               R"({"command":4,"ch":0,"face_lib_key":1,"face_key":1,"libuuid":"lib-staff","faceuuid":"face-0001"})"),
    cmd(5, "face_set_del_face_lib", JO)
        .takes("ch, libkey, libuuid",
               R"({"command":5,"ch":0,"libkey":1,"libuuid":"lib-staff"})"),
    cmd(6, "set_vca_pept_rule", JO)
        .takes("ch, scene_id, rule_id, valid, display_rule, display_stat, display_target, color, alarm_color, max_size, min_size, sensitiv, model_type, tgt_type, time_thres_hold, point[].x/y",
               R"({"command":6,"ch":0,"scene_id":0,"rule_id":0,"valid":1,"display_rule":1,"display_stat":1,"display_target":1,"color":1,"alarm_color":2,"max_size":200,"min_size":20,"sensitiv":50,"model_type":0,"tgt_type":1,"time_thres_hold":5,"point":[{"x":10,"y":10},{"x":300,"y":10},{"x":300,"y":200},{"x":10,"y":200}]})"),
    cmd(7, "set_gps_danger_area", J)
        .takes("ch, area_num, gps_point[].latitude/longitude{direction, degree, minute, second}",
               R"({"command":7,"ch":0,"area_num":3,"gps_point":[)"
               R"({"latitude":{"direction":0,"degree":31,"minute":12,"second":3000},)"
               R"("longitude":{"direction":1,"degree":121,"minute":28,"second":1200}},)"
               R"({"latitude":{"direction":0,"degree":31,"minute":13,"second":0},)"
               R"("longitude":{"direction":1,"degree":121,"minute":29,"second":0}},)"
               R"({"latitude":{"direction":0,"degree":31,"minute":11,"second":0},)"
               R"("longitude":{"direction":1,"degree":121,"minute":30,"second":0}}]})"),
    cmd(8, "set_vca_pept_enable", JO)
        .takes("ch, enable",
               R"({"command":8,"ch":0,"enable":1})"),
    cmd(9, "set_sharpness", J)
        .takes("ch, sharp",
               R"({"command":9,"ch":0,"sharp":128})"),
    cmd(10, "set_frame_rate", J)
        .takes("ch, frame_rate, stream_type",
               R"({"command":10,"ch":0,"frame_rate":25,"stream_type":0})"),
    cmd(11, "set_channel_password", JO)
        .takes("channels[].ch/username/oldpass/newpass",
               R"({"command":11,"channels":[{"ch":0,"username":"admin","oldpass":"old","newpass":"new"},{"ch":1,"username":"admin","oldpass":"old","newpass":"new"}]})"),
    cmd(12, "set_digital_channel_password", JO)
        .takes("channels[].ch/username/oldpass/newpass",
               R"({"command":12,"channels":[{"ch":2,"username":"admin","oldpass":"old-pass","newpass":"new-pass"}]})"),
    cmd(13, "modify_password", JO)
        .takes("username, oldpass, newpass",
               R"({"command":13,"username":"admin","oldpass":"admin123","newpass":"n3w-Pa55"})"),
    cmd(14, "set_disk_group", J)
        .takes("param[]{group_no, disks[].diskno, channel[].ch}",
               R"({"command":14,"param":[{"group_no":0,"disks":[{"diskno":1},{"diskno":2}],"channel":[{"ch":1},{"ch":2}]}]})"),
    cmd(15, "nvr_set_diskquota_state", J)
        .takes("ch, record_quota, picture_quota",
               R"({"command":15,"ch":0,"record_quota":80,"picture_quota":20})"),
    cmd(16, "nvr_set_channel_param", J)
        .takes("ch, type, value",
               R"({"command":16,"ch":0,"type":1,"value":30})"),
    cmd(17, "set_vca_push_rule_167", J)
        .takes("channel, scene_id, rule_id, sensitiv, push_mode, point_num, point_list[].x/y",
               R"({"command":17,"channel":0,"scene_id":0,"rule_id":0,"sensitiv":50,"push_mode":1,"point_num":2,"point_list":[{"x":10,"y":10},{"x":200,"y":150}]})"),
    cmd(18, "set_vca_push_rule_168", J)
        .takes("channel, scene_id, rule_id, sensitiv, push_mode, point_num, point_list[].x/y",
               R"({"command":18,"channel":0,"scene_id":0,"rule_id":1,"sensitiv":50,"push_mode":1,"point_num":2,"point_list":[{"x":10,"y":10},{"x":200,"y":150}]})"),
    cmd(19, "set_algorithm_enable", J)
        .takes("algorithm_type, algorithm_enable, channel, devtype, sceneno",
               R"({"command":19,"algorithm_type":1,"algorithm_enable":1,"channel":0,"devtype":0,"sceneno":0})"),
    cmd(20, "set_vca_dev_enable", JO, kStoresResult)
        .takes("ch, dev_type, enable",
               R"({"command":20,"ch":0,"dev_type":1,"enable":1})"),
    cmd(21, "set_vca_zone_rule_173", J)
        .takes("ch, scene_id, rule_id, sensitiv, enable, point_num, point_list[].x/y",
               R"({"command":21,"ch":0,"scene_id":0,"rule_id":0,"sensitiv":50,"enable":1,"point_num":3,"point_list":[{"x":10,"y":10},{"x":200,"y":10},{"x":100,"y":150}]})"),
    cmd(22, "set_vca_zone_rule_174", J)
        .takes("ch, scene_id, rule_id, sensitiv, enable, point_num, point_list[].x/y",
               R"({"command":22,"ch":0,"scene_id":0,"rule_id":1,"sensitiv":50,"enable":1,"point_num":3,"point_list":[{"x":10,"y":10},{"x":200,"y":10},{"x":100,"y":150}]})"),
    cmd(23, "set_face_info_ex", JO)
        .takes("host_info{ch, is_suspend_vca}, face_info{the members of set 1}",
               R"({"command":23,"host_info":{"ch":0,"is_suspend_vca":1},"face_info":{"ch":0,"opttype":1,"libuuid":"lib-staff","faceuuid":"face-0002","modeling":1,"name":"Grace","sex":2,"birthtime":"1990-01-01","nation":1,"place":1,"certype":1,"certnum":"B7654321","file_type":1,"file_name":"grace.jpg","face_key":2,"face_lib_key":1}})"),
    cmd(24, "del_face_pic_ex", J)
        .takes("host_info{ch, is_suspend_vca}, face_info{the members of set 4}",
               R"({"command":24,"host_info":{"ch":0,"is_suspend_vca":1},"face_info":{"ch":0,"face_lib_key":1,"face_key":2,"libuuid":"lib-staff","faceuuid":"face-0002"}})"),
    cmd(25, "set_water_speed_enable", J)
        .takes("ch, enable",
               R"({"command":25,"ch":0,"enable":1})"),
    cmd(26, "set_face_detect_arithmetic", J)
        .takes("channel, scene_id, max_size, min_size, level, sensitiv, pic_scale, snap_enable, snap_space, snap_times, point_num, point_area[].x/y, display_target, exposure_bright, display_rule, min_sizeex, max_sizeex, push_mode, push_level, snap_mode, snap_level, dentification, dev_type, qpvalue_big, qpvalue_small, algsnap_mode, plate_minsize",
               R"({"command":26,"channel":0,"scene_id":0,"max_size":300,"min_size":40,"level":2,"sensitiv":50,"pic_scale":1,"snap_enable":1,"snap_space":2,"snap_times":1,"point_num":4,"point_area":[{"x":0,"y":0},{"x":1000,"y":0},{"x":1000,"y":1000},{"x":0,"y":1000}],"display_target":1,"exposure_bright":0,"display_rule":1,"min_sizeex":40,"max_sizeex":300,"push_mode":0,"push_level":1,"snap_mode":0,"snap_level":1,"dentification":1})"),
    cmd(27, "set_call_anyscene", J)
        .takes("channel, type, value, scene_type",
               R"({"command":27,"channel":0,"type":1,"value":2,"scene_type":0})"),
    cmd(28, "set_vca_typed_rule_182", J)
        .takes("channel, type, scene_id, rule_id, sensitiv, push_mode, point_num, point_list[].x/y",
               R"({"command":28,"channel":0,"type":1,"scene_id":0,"rule_id":0,"sensitiv":50,"push_mode":1,"point_num":2,"point_list":[{"x":10,"y":10},{"x":200,"y":150}]})"),
    cmd(29, "upgrade_device", J)
        .takes("upgrade_type, filename (the image file)",
               R"({"command":29,"upgrade_type":0,"filename":"firmware.img"})"),
    cmd(30, "set_fireworks_param", J)
        .takes("ch, scene_id, rule_id, valid, display_rule, display_state, display_target, color, alarm_color, fire_sensitiv, smoke_sensitiv, model_type, wait_time",
               R"({"command":30,"ch":0,"scene_id":0,"rule_id":0,"valid":1,"display_rule":1,"display_state":1,"display_target":1,"color":1,"alarm_color":2,"fire_sensitiv":60,"smoke_sensitiv":40,"model_type":0,"wait_time":10})"),
    cmd(31, "set_tem_detect_param", J)
        .takes("ch, scene_id, rule_id, valid, display_tem_scale_enable, high_tem_color, low_tem_color, model_type, tem_unit, tem_threshold, temp_lose_enable, wait_time",
               R"({"command":31,"ch":0,"scene_id":0,"rule_id":0,"valid":1,"display_tem_scale_enable":1,"high_tem_color":1,"low_tem_color":2,"model_type":0,"tem_unit":0,"tem_threshold":38,"temp_lose_enable":0,"wait_time":10})"),
    cmd(32, "clear_vca_alarm_statistic", J)
        .takes("channel, rule_id",
               R"({"command":32,"channel":0,"rule_id":0})"),
    cmd(33, "set_dz_common", J)
        .takes("ch, dz_type, usrname, password, url",
               R"({"command":33,"ch":0,"dz_type":1,"usrname":"operator","password":"secret","url":"rtsp://192.0.2.20/live"})"),
    cmd(34, "set_localsnap_schedule", J)
        .takes("ch, weekday, devtype, schedule_num, schedule[].enable/start_hour/start_min/end_hour/end_min",
               R"({"command":34,"ch":0,"weekday":1,"devtype":0,"schedule_num":2,"schedule":[{"enable":1,"start_hour":8,"start_min":0,"end_hour":12,"end_min":0},{"enable":1,"start_hour":13,"start_min":30,"end_hour":18,"end_min":0}]})"),
    cmd(35, "set_ftp_snapshot", J)
        .takes("ch, enable_type, quality, interval, pic_size, pic_count, mode, devtype",
               R"({"command":35,"ch":0,"enable_type":1,"quality":80,"interval":"5","pic_size":2,"pic_count":3,"mode":1,"devtype":0})"),
    cmd(36, "set_alarm_in_port", J)
        .takes("channel, mode, type, param, inport",
               R"({"command":36,"channel":0,"mode":1,"type":2,"param":1.5,"inport":1})"),
    cmd(37, "set_channel_mode", J)
        .takes("ch, mode",
               R"({"command":37,"ch":0,"mode":2})"),
    cmd(38, "absolute_coordinates", J)
        .takes("channel, type, pan, tilt, zoom (-1 keeps the current value)",
               R"({"command":38,"channel":0,"type":1,"pan":1800,"tilt":450,"zoom":10})"),
    cmd(39, "send_channel_command", J)
        .takes("ch",
               R"({"command":39,"ch":0})"),
    cmd(40, "set_alarm_out_port", J)
        .takes("channel, mode, outport, pulsewidth",
               R"({"command":40,"channel":0,"mode":1,"outport":1,"pulsewidth":5})"),
    cmd(41, "set_dome_ptz", J)
        .takes("ch, action_type, enable, keep_time, id",
               R"({"command":41,"ch":0,"action_type":0,"enable":1,"keep_time":30,"id":3})"),
    cmd(42, "set_volume_ctrl", J)
        .takes("ch, type, value",
               R"({"command":42,"ch":0,"type":1,"value":60})"),
    none(43),
    cmd(44, "set_video_combine", J)
        .takes("pic_num, rec, chs, vo_dev_id",
               R"({"command":44,"pic_num":4,"rec":0,"chs":"0,1,2,3","vo_dev_id":0})"),
    cmd(45, "set_face_detect_enable", J)
        .takes("ch, enable, dev_type, sceneid",
               R"({"command":45,"ch":0,"enable":1,"dev_type":1,"sceneid":0})"),
    cmd(46, "set_dormancy", J)
        .takes("ch, dormancy_type, enable",
               R"({"command":46,"ch":0,"dormancy_type":1,"enable":1})"),
    cmd(47, "set_person_statistic_param", J)
        .takes("ch, scene_id, mode, target_max_size, target_min_size, sensitiv, detect_type, point_num, point[].x/y, polygon_point_num, polygon_point[].x/y, display_target, min_size_ex, stay_num, clear_mode, max_num, hour, minute, enable",
               R"({"command":47,"ch":0,"scene_id":0,"mode":1,"target_max_size":300,"target_min_size":30,"sensitiv":50,"detect_type":0,"point_num":2,"point":[{"x":100,"y":300},{"x":900,"y":300}],"polygon_point_num":0,"polygon_point":[],"display_target":1,"min_size_ex":30,"stay_num":5,"clear_mode":0,"max_num":50,"hour":0,"minute":0,"enable":1})"),
    cmd(48, "set_cpc_advance_part2", J)
        .takes("ch, scene_id, pic_interval",
               R"({"command":48,"ch":0,"scene_id":0,"pic_interval":5})"),
    cmd(49, "set_ftp_snapshot_timing", J)
        .takes("ch, res_ratio, time_interval, enable",
               R"({"command":49,"ch":0,"res_ratio":2,"time_interval":30,"enable":1})"),
    cmd(50, "set_h323_param", J)
        .takes("count, h323_single_dev[].set_type/h323_call_id/call_mode/call_rate/port/ip_address/net_name/uri/call_msg/stream_type/h323_group_id/call_type/sip_net_link_type",
               R"({"command":50,"count":1,"h323_single_dev":[{"set_type":1,"h323_call_id":1,"call_mode":0,"call_rate":1024,"port":1720,"ip_address":"192.0.2.20","net_name":"court-2","uri":"sip:court2@example.org","call_msg":"hearing","stream_type":0,"h323_group_id":1,"call_type":1,"sip_net_link_type":0}]})"),
    cmd(51, "set_calibration_reference", J)
        .takes("ch, scene_id, point_num, point_imgs[].x/y/z, point_wlds[].x/y/z, ipc_high, ipc_param{x,y,z}, coordinate_o{x,y,z}, coordinate_x{x,y,z}, coordinate_y{x,y,z}",
               R"({"command":51,"ch":0,"scene_id":0,"point_num":2,"point_imgs":[{"x":10,"y":20,"z":0},{"x":300,"y":20,"z":0}],"point_wlds":[{"x":0,"y":0,"z":0},{"x":500,"y":0,"z":0}],"ipc_high":300,"ipc_param":{"x":1,"y":1,"z":1},"coordinate_o":{"x":0,"y":0,"z":0},"coordinate_x":{"x":1,"y":0,"z":0},"coordinate_y":{"x":0,"y":1,"z":0}})"),
    cmd(52, "set_face_mosaic", J)
        .takes("ch, valid, mosaic_level",
               R"({"command":52,"ch":0,"valid":1,"mosaic_level":3})"),
    cmd(53, "set_audio_ponticello", J)
        .takes("ch, touch_type, touch_param, pitch_level",
               R"({"command":53,"ch":0,"touch_type":1,"touch_param":5,"pitch_level":3})"),
    cmd(54, "set_new_fight", J)
        .takes("ch, dev_type, valid",
               R"({"command":54,"ch":0,"dev_type":1,"valid":1})"),
    cmd(55, "set_judge_analyse_param", J)
        .takes("ch, type_count, region_count, judge_any_param[].analye_type/enable",
               R"({"command":55,"ch":0,"type_count":1,"region_count":2,"judge_any_param":[{"analye_type":1,"enable":1}]})"),
    cmd(56, "set_xml_type_value", J)
        .takes("type, enable, value",
               R"({"command":56,"type":1,"enable":1,"value":"on"})"),
    cmd(57, "set_case_control", J)
        .takes("ch, scene_id, part_in_num, case_control",
               R"({"command":57,"ch":0,"scene_id":0,"part_in_num":2,"case_control":1})"),
    cmd(58, "set_ref_boundary", J)
        .takes("ch, scene_id, enable, point_num, point_wlds[].x/y/z",
               R"({"command":58,"ch":0,"scene_id":0,"enable":1,"point_num":2,"point_wlds":[{"x":0,"y":0,"z":0},{"x":500,"y":0,"z":0}]})"),
    none(59),
    cmd(60, "set_cdburn_cmd", J)
        .takes("cmd, cdromid, flagbits",
               R"({"command":60,"cmd":1,"cdromid":0,"flagbits":1})"),
    cmd(61, "set_disk_usage", JO)
        .takes("disk_no, usage",
               R"({"command":61,"disk_no":1,"usage":0})"),
    cmd(62, "check_disk_file", J)
        .takes("file_path, file_size, file_md5",
               R"({"command":62,"file_path":"/rec/ch00/20261205-0800.mp4","file_size":104857600,"file_md5":"9e107d9d372bb6826bd81d3542a419d6"})"),
    none(63),
    cmd(64, "set_zf_ch_info", J)
        .takes("type, count, zf_ch_info[].ch_no/ch_name_type",
               R"({"command":64,"type":0,"count":1,"zf_ch_info":[{"ch_no":0,"ch_name_type":2}]})"),
    cmd(65, "set_enable_value", J)
        .takes("enable_value",
               R"({"command":65,"enable_value":1})"),
    cmd(66, "set_mix_audio_config", J)
        .takes("mix_audio_config_list[].output_src_name/input_src_list[].input_src_name/enable",
               R"({"command":66,"mix_audio_config_list":[{"output_src_name":"Output 1","input_src_list":[{"input_src_name":"Mic 1","enable":1},{"input_src_name":"Line in","enable":0}]}]})"),
    cmd(67, "set_vertical_line", J)
        .takes("ch, scene_id, control_cmd, line_id, start_distance, bottom_altitude, cofe_num, cofe_info[].water_level/cofe",
               R"({"command":67,"ch":0,"scene_id":0,"control_cmd":1,"line_id":1,"start_distance":100,"bottom_altitude":50,"cofe_num":2,"cofe_info":[{"water_level":10,"cofe":95},{"water_level":20,"cofe":97}]})"),
    cmd(68, "set_waterflow_param", J)
        .takes("ch, flow_coef",
               R"({"command":68,"ch":0,"flow_coef":85})"),
    cmd(69, "lock_record_file", J)
        .takes("filename, lock",
               R"({"command":69,"filename":"/rec/ch00/20261205-0800.mp4","lock":1})"),
    cmd(70, "set_face_track_enable", J)
        .takes("ch, sence_id, enabled",
               R"({"command":70,"ch":0,"sence_id":0,"enabled":1})"),
    cmd(71, "set_dz_transparent_para", J)
        .takes("ch, dzparam_type, dzparams[].dzparam",
               R"({"command":71,"ch":0,"dzparam_type":1,"dzparams":[{"dzparam":"baud=9600"},{"dzparam":"parity=none"}]})"),
    none(72),
    cmd(73, "set_record_mission", J)
        .takes("dev_id, dev_sup_id, client_sup_id, client_sup_ip, mission_id, alias_name, rec_host_id, storage_ms_ip, cmd_type, storage_ms_port, rec_ch, client_sup_port, start_time, end_time, data_type, file_type, disk_group_no, ch",
               R"({"command":73,"dev_id":"cam-0001","dev_sup_id":"sup-01","client_sup_id":"sup-02","client_sup_ip":"192.0.2.20","mission_id":"rep-0002","alias_name":"gate","rec_host_id":"SIM-NVR-0001","storage_ms_ip":"192.0.2.30","cmd_type":"record","storage_ms_port":9000,"rec_ch":1,"client_sup_port":9100,"start_time":1796457600,"end_time":1796461200,"data_type":0,"file_type":1,"disk_group_no":0,"ch":1})"),
    cmd(74, "set_host_common_enable", J)
        .takes("enable_id, enable, ch",
               R"({"command":74,"enable_id":57356,"enable":1,"ch":-1})"),
    cmd(75, "set_linkage_single_screen", J)
        .takes("vo_devid, action, ch",
               R"({"command":75,"ch":0,"vo_devid":1,"action":1})"),
    cmd(76, "set_alarm_type_enable", J)
        .takes("enable, alarm_type, ch",
               R"({"command":76,"ch":0,"alarm_type":1,"enable":1})"),
    cmd(77, "set_record_channel_alias", J)
        .takes("ch_num, channels[].ch/ch_alias_name",
               R"({"command":77,"ch_num":2,"channels":[{"ch":0,"ch_alias_name":"Gate"},{"ch":1,"ch_alias_name":"Yard"}]})"),
    cmd(78, "set_cruise_template", J)
        .takes("ch, scene_type, cruise_type, cruise_id, scene_id, enable, week, detect_car_type, start_time, end_time, time_range[].remain_time/scene_id",
               R"({"command":78,"ch":0,"scene_type":0,"cruise_type":0,"cruise_id":1,"scene_id":1,"enable":1,"week":127,"detect_car_type":0,"start_time":"08:30","end_time":"17:05","time_range":[{"scene_id":1,"remain_time":60},{"scene_id":2,"remain_time":30}]})"),
    cmd(79, "set_ptz_scan", J)
        .takes("ch, group_id, scan_type, scan_speed, operation",
               R"({"command":79,"ch":0,"group_id":1,"scan_type":0,"scan_speed":4,"operation":1})"),
    cmd(80, "set_host_replenish_rec_stop", JO, kStoresResult)
        .takes("mission_id, ctrl",
               R"({"command":80,"mission_id":"rep-0001","ctrl":1})"),
    cmd(81, "set_thmscreen_sensorcorrect", J)
        .takes("ch, type, value",
               R"({"command":81,"ch":0,"type":1,"value":12})"),
    cmd(82, "set_thmscreen_system_para", J)
        .takes("ch, screen_bright, switch_ctrl",
               R"({"command":82,"ch":0,"screen_bright":70,"switch_ctrl":1})"),
    cmd(83, "set_current_video_param", J)
        .takes("ch, data_type, video_size_enable, video_size, video_kbyterate_enable, video_kbyterate",
               R"({"command":83,"ch":0,"data_type":0,"video_size_enable":1,"video_size":13,"video_kbyterate_enable":1,"video_kbyterate":4096})"),
    cmd(84, "set_water_alarm_param", J)
        .takes("ch, dev_param{alert_water_value, alarm_link_time, scene_id, rule_id, is_main_channel, check_stand, default_upload_time, first/second/third_water_level_upload_time, first/second/third_water_level_thershold, algorithm_type, water_num, water_alarm[5], water_low_value, warn_high_value, warn_low_value, water_filter_enable, water_filter_level, water_filter_time, threshold_enable, threshold_level, alarm_high_add_enable, alarm_high_add_interval, threshold_add_report_enable, threshold_add_report_value, threshold_add_report_interval, threshold_growth_rate_enable, threshold_growth_rate, water_correct_val}",
               R"({"command":84,"ch":0,"dev_param":{"alert_water_value":250,"alarm_link_time":10,"scene_id":0,"rule_id":0,"is_main_channel":1,"algorithm_type":0,"water_num":3,"water_alarm":[100,200,300],"water_low_value":50,"threshold_enable":1,"threshold_level":2}})"),
    cmd(85, "set_irri_upload_param", J)
        .takes("ch, platform_type, main_type, sub_type, enable, interval",
               R"({"command":85,"ch":0,"platform_type":1,"main_type":2,"sub_type":3,"enable":1,"interval":60})"),
    cmd(86, "set_irri_server_info_v2", J)
        .takes("ch, platform_type, data_sum, data_type, param",
               R"({"command":86,"ch":0,"platform_type":1,"data_sum":2,"data_type":3,"param":"server=192.0.2.30;port=9000"})"),
    cmd(87, "set_phone_contact", J)
        .takes("ch, control_type, people_id, name, phone_number, type",
               R"({"command":87,"ch":0,"control_type":0,"people_id":7,"name":"Field office","phone_number":"555-0107","type":1})"),
    cmd(88, "set_remote_control_alarm", J)
        .takes("ch, alarm_state, reserved_params{param1, param2, param3, param4, param5, param6}",
               R"({"command":88,"ch":0,"alarm_state":1,"reserved_params":{"param1":1,"param2":0,"param3":0,"param4":"gate"}})"),
    cmd(89, "set_defogging_configuration_parameters", J)
        .takes("ch, enable, time_schedule[].time_ranges[].start_time/end_time/time_vaild (7 days of 4 ranges)",
               R"({"command":89,"ch":0,"enable":1,"time_schedule":[{"time_ranges":[{"start_time":"06:00:00","end_time":"09:00:00","time_vaild":1}]}]})"),
    cmd(90, "set_param_frame_decrypted_password", JO)
        .takes("newpass (RSA-encrypted with the public half of etc/conf/direct_dev_privkey.pem, Base64)",
               // "newpass": "Demo-Pa55" encrypted with the demo key of tools/demo
               // (scripts/password-key.sh makes such texts).
               R"({"command":90,"newpass":"HolE7OXUK6IItDVtfMFWELzS01/HHOGrnGqbmaoz48Frbid0+7Mz6shZw/GsVBNCUIicEN3BO+kqgBFI15epkCXhH69VRzSwASyi141YG6imMPFWTUjvGFdcQ5Gu0B+ZOQp/jnZnZ011Sw4ciiuoMi2ToXCIF27cZu+4AMCfJ87sdCzBPRAbN9+qbafJySihNv8RFoO6rHdNRC4w/XEJBzO8d1/tdlzqy1eQwqFsIQvMKAEPq3Zo+NmNFyvrZjEpnfDnVZN6JjC/HzDv5vCdxMCig2tyzokyVZTovItW/cmC59OwaVEzJcJcCW74pKxZb5G8lZUaiVGn0vPdfnOZ+Q=="})"),
};
// clang-format on

// clang-format off
inline constexpr CommandInfo kGetCommands[] = {
    cmd(0, "face_search", JO)
        .takes("ch, taskid, picname, libuuid, similar",
               R"({"command":0,"ch":0,"taskid":1,"picname":"probe.jpg","libuuid":"lib-staff","similar":70})"),
    cmd(1, "get_query_result", JO)
        .takes("findfd, count",
               R"({"command":1,"findfd":1,"count":20})"),
    cmd(2, "close_query", J)
        .takes("findfd",
               R"({"command":2,"findfd":1})"),
    cmd(3, "get_face_alarm_param", JO)
        .takes("ch, alarm_type, param1",
               R"({"command":3,"ch":0,"alarm_type":1,"param1":1})"),
    cmd(4, "face_get_query_snap", JO)
        .takes("taskid, picname, similar, shortmode, begin_time, end_time, ch_info[].ch_no",
               R"({"command":4,"taskid":2,"picname":"probe.jpg","similar":70,"shortmode":0,"begin_time":"2026-12-01 00:00:00","end_time":"2026-12-05 23:59:59","ch_info":[{"ch_no":0},{"ch_no":1}]})"),
    cmd(5, "get_query_snap_process", JO)
        .takes("findfd",
               R"({"command":5,"findfd":1})"),
    cmd(6, "get_face_lib_sync_status", JO)
        .takes("ch, libuuid",
               R"({"command":6,"ch":0,"libuuid":"lib-staff"})"),
    cmd(7, "get_host_ability", JO)
        .takes("subtype, ch",
               R"({"command":7,"subtype":5,"ch":-1})"),
    cmd(8, "get_face_cut_pic", FJO)
        .takes("ch, picuuid, pictype, checkcode; the file name from the command record",
               R"({"command":8,"ch":0,"picuuid":"pic-0001","pictype":1,"checkcode":"1234"})"),
    cmd(9, "get_vca_pept_rule", JO)
        .takes("ch, scene_id, rule_id",
               R"({"command":9,"ch":0,"scene_id":0,"rule_id":0})"),
    cmd(10, "get_vca_pept_enable", JO)
        .takes("ch",
               R"({"command":10,"ch":0})"),
    cmd(11, "query_face_lib", JO)
        .takes("ch",
               R"({"command":11,"ch":0})"),
    cmd(12, "query_faceimg_result", JO)
        .takes("ch, libkey, modeling, name, sex, birthstart, birthend, nation, place, certtype, certnum, libuuid",
               R"({"command":12,"ch":0,"libkey":1,"modeling":0,"name":"","sex":0,"birthstart":"","birthend":"","nation":0,"place":0,"certtype":0,"certnum":"","libuuid":"lib-staff"})"),
    cmd(13, "get_common_enable_mode", O)
        .takes("none",
               R"({"command":13})"),
    cmd(14, "get_disk_group", O)
        .takes("none",
               R"({"command":14})"),
    cmd(15, "get_diskquota_state", JO)
        .takes("ch",
               R"({"command":15,"ch":0})"),
    cmd(16, "get_channel_param", JO)
        .takes("ch, type",
               R"({"command":16,"ch":0,"type":1})"),
    cmd(17, "get_netfile_schedule", JO)
        .takes("ch, weekday",
               R"({"command":17,"ch":0,"weekday":1})"),
    cmd(18, "query_pic_file", JO)
        .takes("ch, uuid, type",
               R"({"command":18,"ch":0,"uuid":"pic-0001","type":54})"),
    cmd(19, "get_face_lib_count", JO)
        .takes("ch",
               R"({"command":19,"ch":0})"),
    cmd(20, "get_face_feature", JO)
        .takes("ch, libuuid, faceuuid, libkey, facekey",
               R"({"command":20,"ch":0,"libuuid":"lib-staff","faceuuid":"face-0001","libkey":1,"facekey":1})"),
    cmd(21, "get_water_speed_enable", JO)
        .takes("ch",
               R"({"command":21,"ch":0})"),
    cmd(22, "get_upgrade_percent", O)
        .takes("none: the progress of the host's upgrade",
               R"({"command":22})"),
    cmd(23, "get_export_config", JO)
        .takes("none: the document goes to the export step",
               R"({"command":23})"),
    cmd(24, "get_fireworks_param", JO)
        .takes("channel, scene_id, rule_id",
               R"({"command":24,"channel":0,"scene_id":0,"rule_id":0})"),
    cmd(25, "get_tem_detect_param", JO)
        .takes("channel, scene_id, rule_id, model_type",
               R"({"command":25,"channel":0,"scene_id":0,"rule_id":0,"model_type":0})"),
    cmd(26, "get_ftp_snapshot", JO)
        .takes("ch, devtype, enable_type, mode",
               R"({"command":26,"ch":0,"devtype":0,"enable_type":1,"mode":1})"),
    cmd(27, "get_dz_common", JO)
        .takes("ch, dz_type",
               R"({"command":27,"ch":0,"dz_type":1})"),
    cmd(28, "get_localsnap_schedule", JO)
        .takes("ch, weekday, devtype",
               R"({"command":28,"ch":0,"weekday":1,"devtype":0})"),
    cmd(29, "get_alarm_in_port", JO)
        .takes("channel, inport",
               R"({"command":29,"channel":0,"inport":1})"),
    cmd(30, "get_channel_mode", JO)
        .takes("ch",
               R"({"command":30,"ch":0})"),
    cmd(31, "get_reprot_records", JO)
        .takes("ch, type, seqstart, seqstop, pageno, pagesize",
               R"({"command":31,"ch":-1,"type":1,"seqstart":4294967296,"seqstop":4294967396,"pageno":0,"pagesize":20})"),
    cmd(32, "get_ptz_wait_act", JO)
        .takes("ch",
               R"({"command":32,"ch":0})"),
    cmd(33, "get_dormancy", JO)
        .takes("ch",
               R"({"command":33,"ch":0})"),
    cmd(34, "get_person_statistic_param", JO)
        .takes("ch, scene_id, mode",
               R"({"command":34,"ch":0,"scene_id":0,"mode":1})"),
    cmd(35, "get_cpc_advance_part2", JO)
        .takes("ch, scene_id",
               R"({"command":35,"ch":0,"scene_id":0})"),
    cmd(36, "get_ftp_snapshot_timing", JO)
        .takes("ch, res_ratio, time_interval, enable",
               R"({"command":36,"ch":0,"res_ratio":0,"time_interval":0,"enable":0})"),
    cmd(37, "get_face_detect_enable", JO)
        .takes("ch, dev_type, sceneid",
               R"({"command":37,"ch":0,"dev_type":1,"sceneid":0})"),
    cmd(38, "get_calibration_reference", JO)
        .takes("ch, scene_id",
               R"({"command":38,"ch":0,"scene_id":0})"),
    cmd(39, "get_ref_boundary", JO)
        .takes("ch, scene_id",
               R"({"command":39,"ch":0,"scene_id":0})"),
    none(40),
    cmd(41, "get_cmd_records", JO)
        .takes("ch, type",
               R"({"command":41,"ch":0,"type":1})"),
    none(42),
    cmd(43, "get_func_ability", JO)
        .takes("ch",
               R"({"command":43,"ch":0})"),
    cmd(44, "get_vertical_line", JO)
        .takes("ch, scene_id, page_no, each_page_size, line_id_start",
               R"({"command":44,"ch":0,"scene_id":0,"page_no":0,"each_page_size":20,"line_id_start":0})"),
    cmd(45, "get_waterflow_param", JO)
        .takes("ch, scene_id",
               R"({"command":45,"ch":0,"scene_id":0})"),
    cmd(46, "get_face_track_enable", JO)
        .takes("ch, sence_id",
               R"({"command":46,"ch":0,"sence_id":0})"),
    none(47),
    none(48),
    none(49),
    none(50),
    cmd(51, "get_call_state", JO)
        .takes("no members",
               R"({"command":51})"),
    none(52),
    none(53),
    none(54),
    none(55),
    none(56),
    none(57),
    cmd(58, "get_bestir_param", JO)
        .takes("no members",
               R"({"command":58})"),
    cmd(59, "get_cur_alarm_info", JO)
        .takes("ch",
               R"({"command":59,"ch":0})"),
    none(60),
    cmd(61, "get_cdburn_status", JO)
        .takes("cdromid",
               R"({"command":61,"cdromid":0})"),
    cmd(62, "get_video_size", JO)
        .takes("ch, stream_no",
               R"({"command":62,"ch":0,"stream_no":0})"),
    cmd(63, "get_frame_rate", JO)
        .takes("ch, stream_no",
               R"({"command":63,"ch":0,"stream_no":0})"),
    cmd(64, "get_mix_audio_config", JO)
        .takes("no members",
               R"({"command":64})"),
    cmd(65, "get_alarm_in_out_info", JO)
        .takes("none",
               R"({"command":65})"),
    cmd(66, "get_hard_disk_info", O)
        .takes("none",
               R"({"command":66})"),
    cmd(67, "get_dz_transparent_para", JO)
        .takes("ch, dzparam_type",
               R"({"command":67,"ch":0,"dzparam_type":1})"),
    none(68),
    none(69),
    cmd(70, "get_version_info", O)
        .takes("none",
               R"({"command":70})"),
    none(71),
    cmd(72, "get_replenish_rec_state", JO)
        .takes("ch, mission_id",
               R"({"command":72,"ch":0,"mission_id":"rep-0001"})"),
    cmd(73, "get_scene_algorithm", JO)
        .takes("ch, scene_id",
               R"({"command":73,"ch":0,"scene_id":0})"),
    cmd(74, "get_video_rate_size", JO)
        .takes("ch, data_type",
               R"({"command":74,"ch":0,"data_type":0})"),
    cmd(75, "get_replenish_rec_ability", JO)
        .takes("ch",
               R"({"command":75,"ch":0})"),
    cmd(76, "get_thmscreen_sensorcorrect", JO)
        .takes("ch, type",
               R"({"command":76,"ch":0,"type":1})"),
    cmd(77, "get_thmscreen_system_para", JO)
        .takes("ch",
               R"({"command":77,"ch":0})"),
    cmd(78, "get_current_video_param", JO)
        .takes("ch, data_type",
               R"({"command":78,"ch":0,"data_type":0})"),
    cmd(79, "get_support_video_param_info", JO)
        .takes("ch, data_type",
               R"({"command":79,"ch":0,"data_type":0})"),
    cmd(80, "get_water_alarm_param", JO)
        .takes("ch, scene_id, rule_id, algorithm_type",
               R"({"command":80,"ch":0,"scene_id":0,"rule_id":0,"algorithm_type":0})"),
    cmd(81, "get_irri_upload_param", JO)
        .takes("ch, platform_type, main_type, sub_type",
               R"({"command":81,"ch":0,"platform_type":1,"main_type":2,"sub_type":3})"),
    cmd(82, "get_irri_server_info_v2", JO)
        .takes("ch, platform_type, data_sum, data_type",
               R"({"command":82,"ch":0,"platform_type":1,"data_sum":2,"data_type":3})"),
    cmd(83, "get_phone_contacts", JO)
        .takes("ch, page_no, people_id_start",
               R"({"command":83,"ch":0,"page_no":0,"people_id_start":0})"),
    cmd(84, "disk_smart_info", JO)
        .takes("disk_no",
               R"({"command":84,"disk_no":0})"),
    cmd(85, "get_host_status", O)
        .takes("none",
               R"({"command":85})"),
    cmd(86, "get_host_replenish_video_task_list", JO)
        .takes("ch",
               R"({"command":86,"ch":0})"),
    cmd(87, "get_defogging_configuration_parameters", JO)
        .takes("ch",
               R"({"command":87,"ch":0})"),
    none(88),
    cmd(89, "get_host_disk_status", JO)
        .takes("disk_num",
               R"({"command":89,"disk_num":0})"),
};
// clang-format on
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
