// Settings of the devices that watch water and fields: vertical water-gauge
// lines, water flow, the thermal screen, the irrigation platform and its
// phone contacts. Each handler runs the Setting that describes it.
#include "device_sdk_settings.h"
#include "device_sdk_settings_query.h"
#include "settings/setting_engine.h"
#include "settings/settings_handlers.h"

namespace zel {

using namespace settings;

// Tables are constexpr, so each stays local to this file.
constexpr Field kChannel = non_negative("ch", kChannelArg);
// The irrigation and phone-contact commands read a missing channel as -2.
constexpr Field kIrriChannel = non_negative("ch", kChannelArg, "ch < 0", -2);

// ---- Vertical water-gauge line ------------------------------------------------------

constexpr Field kCofeMembers[] = {
    required("water_level", offsetof(vertical_line_cofe, water_level)),
    required("cofe", offsetof(vertical_line_cofe, cofe)),
};
// Coefficients the count asks for and the array lacks are refused as missing.
constexpr List kCofeInfo =
    slots<vertical_line_cofe>("cofe_info", offsetof(vertical_line, cofe_info), MAX_COFE_NUM,
                              offsetof(vertical_line, cofe_num), kCofeMembers)
        .refusing("jso_cofe_info == NULL", "!json_object_is_type(jso_cofe_info, json_type_array)")
        .counted_by_member();
constexpr Field kVerticalLineMembers[] = {
    kChannel,
    non_negative("scene_id", offsetof(vertical_line, scene_id)),
    non_negative("control_cmd", offsetof(vertical_line, control_cmd)),
    non_negative("line_id", offsetof(vertical_line, line_id)),
    non_negative("start_distance", offsetof(vertical_line, start_distance)),
    non_negative("bottom_altitude", offsetof(vertical_line, bottom_altitude)),
    in_range("cofe_num", offsetof(vertical_line, cofe_num), 0, MAX_COFE_NUM, "cofe_num < 0 || cofe_num > MAX_COFE_NUM"),
    list(kCofeInfo),
};
int32_t set_vertical_line(void *host, json_object *jso) {
    return apply_setting(
        host, jso,
        cmd_config<vertical_line, vertical_line>(SDK_SUB(CMD_VERTICALLINE))
            .reading(kVerticalLineMembers)
            .failing_with(CMD_ZEL_EDEVICE)
            .checking_result(offsetof(vertical_line, result), "set_verticalline_info result err, host_id:%s, ch:%d"));
}

// ---- Water flow --------------------------------------------------------------------------

constexpr Setting kWaterflow = dev_config<waterflow_param>(SDK_SUB(NET_CLIENT_WATERFLOW_PARAM));
// Only the flow coefficient changes; the rest of the device's record stays.
constexpr Field kWaterflowMembers[] = {kChannel, non_negative("flow_coef", offsetof(waterflow_param, flow_coef))};
int32_t set_waterflow_param(void *host, json_object *jso) {
    return apply_setting(host, jso, kWaterflow.reading(kWaterflowMembers).changing_device_record());
}

constexpr Field kWaterflowQuery[] = {kChannel, non_negative("scene_id", offsetof(waterflow_param, scene_id))};
constexpr Field kWaterflowReply[] = {
    field("scene_id", offsetof(waterflow_param, scene_id)),
    field("flow_coef", offsetof(waterflow_param, flow_coef)),
    field("flow_source", offsetof(waterflow_param, flow_source)),
    field("water_slope", offsetof(waterflow_param, water_slope)),
    field("roughness", offsetof(waterflow_param, roughness)),
    field("weir_flow", offsetof(waterflow_param, weir_flow)),
};
int32_t get_waterflow_param(void *host, json_object *jso, char **out_buf) {
    return query_setting(
        host, jso, out_buf,
        kWaterflow.reading(kWaterflowQuery).failing_with(CMD_ZEL_EDEVICE).answering(kWaterflowReply, Ret::Last));
}

// ---- Thermal screen ------------------------------------------------------------------------

// Each handler puts its own name in front of its lines; a get command asks
// with the leading members of its set command and is answered the rest.
constexpr Setting kSensorCorrect = dev_config<thmscreen_sensorcorrect>(SDK_SUB(NET_CLIENT_THMSCREEN_SENSORCORRECT));
constexpr Field kSensorCorrectMembers[] = {
    non_negative("ch", kChannelArg, "ch < 0"),
    non_negative("type", offsetof(thmscreen_sensorcorrect, type), "type < 0"),
    required("value", offsetof(thmscreen_sensorcorrect, value), "value == 65535", 65535),
};
int32_t set_thmscreen_sensorcorrect(void *host, json_object *jso) {
    return apply_setting(host, jso,
                         kSensorCorrect.reading(kSensorCorrectMembers).thermal("set_thmscreen_sensorcorrect "));
}
int32_t get_thmscreen_sensorcorrect(void *host, json_object *jso, char **out_buf) {
    std::span members(kSensorCorrectMembers);
    return query_setting(
        host, jso, out_buf,
        kSensorCorrect.reading(members.first(2)).answering(members.subspan(1)).thermal("get_thmscreen_sensorcorrect "));
}

constexpr Setting kScreenSystem = dev_config<thmscreen_system>(SDK_SUB(NET_CLIENT_THMSCREEN_SYSTEM));
constexpr Field kScreenSystemMembers[] = {
    non_negative("ch", kChannelArg, "ch < 0"),
    non_negative("screen_bright", offsetof(thmscreen_system, screen_bright), "screen_bright < 0"),
    non_negative("switch_ctrl", offsetof(thmscreen_system, switch_ctrl), "switch_ctrl < 0"),
};
int32_t set_thmscreen_system_para(void *host, json_object *jso) {
    return apply_setting(host, jso, kScreenSystem.reading(kScreenSystemMembers).thermal("set_thmscreen_system_para "));
}
int32_t get_thmscreen_system_para(void *host, json_object *jso, char **out_buf) {
    std::span members(kScreenSystemMembers);
    return query_setting(
        host, jso, out_buf,
        kScreenSystem.reading(members.first(1)).answering(members.subspan(1)).thermal("get_thmscreen_system_para "));
}

// ---- Irrigation platform ----------------------------------------------------------------------

// An irrigation setting is asked by the first four members of its set
// command (channel, platform and types), answered with its members from
// `answered` on, and its reply is logged.
namespace {
int32_t query_irrigation(void *host, json_object *jso, char **out_buf, const Setting &set, size_t answered) {
    return query_setting(host, jso, out_buf,
                         set.reading(set.members.first(4))
                             .answering(set.members.subspan(answered))
                             .logging_reply("****** jso_string:<%s>"));
}
}  // namespace

constexpr Setting kIrriUpload = dev_config<irri_upload_param>(SDK_SUB(NET_CLIENT_IRRI_UPLOAD_PARAM));
constexpr Field kIrriUploadMembers[] = {
    kIrriChannel,
    required("platform_type", offsetof(irri_upload_param, platform_type)),
    required("main_type", offsetof(irri_upload_param, main_type)),
    required("sub_type", offsetof(irri_upload_param, sub_type)),
    required("enable", offsetof(irri_upload_param, enable)),
    required("interval", offsetof(irri_upload_param, interval)),
};
int32_t set_irri_upload_param(void *host, json_object *jso) {
    return apply_setting(host, jso, kIrriUpload.reading(kIrriUploadMembers));
}
int32_t get_irri_upload_param(void *host, json_object *jso, char **out_buf) {
    return query_irrigation(host, jso, out_buf, kIrriUpload.reading(kIrriUploadMembers), 4);
}

// The parameter text is cut into the record's five 256-byte parts and
// answered joined.
constexpr Setting kIrriServer = dev_config<irri_server_info>(SDK_SUB(NET_CLIENT_IRRI_SERVER_INFO_V2));
constexpr Field kIrriServerMembers[] = {
    kIrriChannel,
    required("platform_type", offsetof(irri_server_info, platform_type)),
    required("data_sum", offsetof(irri_server_info, data_sum)),
    required("data_type", offsetof(irri_server_info, data_type)),
    text("param", offsetof(irri_server_info, param), sizeof(irri_server_info::param[0]), IRRI_PARAM_PARTS),
};
int32_t set_irri_server_info_v2(void *host, json_object *jso) {
    return apply_setting(host, jso, kIrriServer.reading(kIrriServerMembers));
}
int32_t get_irri_server_info_v2(void *host, json_object *jso, char **out_buf) {
    return query_irrigation(host, jso, out_buf, kIrriServer.reading(kIrriServerMembers), 1);
}

// ---- Phone contacts ------------------------------------------------------------------------------

constexpr Field kPhoneContactMembers[] = {
    kIrriChannel,
    non_negative("control_type", offsetof(phone_contact, control_type)),
    non_negative("people_id", offsetof(phone_contact, people_id)),
    text("name", offsetof(phone_contact, name), sizeof(phone_contact::name)),
    text("phone_number", offsetof(phone_contact, phone_number), sizeof(phone_contact::phone_number)),
    non_negative("type", offsetof(phone_contact, type)),
};
int32_t set_phone_contact(void *host, json_object *jso) {
    return apply_setting(
        host, jso,
        cmd_config<phone_contact, phone_contact_reply>(SDK_SUB(CMD_PHONE_CONTACT_SET)).reading(kPhoneContactMembers));
}

constexpr Field kPhoneContactQuery[] = {
    kIrriChannel,
    required("page_no", offsetof(phone_contact_query, page_no)),
    required("people_id_start", offsetof(phone_contact_query, people_id_start)),
};
constexpr Field kContactReply[] = {
    field("people_id", offsetof(phone_contact_entry, people_id)),
    text("name", offsetof(phone_contact_entry, name), sizeof(phone_contact_entry::name)),
    text("phone_number", offsetof(phone_contact_entry, phone_number), sizeof(phone_contact_entry::phone_number)),
    field("type", offsetof(phone_contact_entry, type)),
};
constexpr List kContacts =
    slots<phone_contact_entry>("find_result", offsetof(phone_contact_page, contacts), MAX_PHONE_CONTACT_PAGE,
                               offsetof(phone_contact_page, current_num), kContactReply);
constexpr Field kPhoneContactsReply[] = {
    field("total_num", offsetof(phone_contact_page, total_num)),
    field("current_num", offsetof(phone_contact_page, current_num)),
    list(kContacts),
};
int32_t get_phone_contacts(void *host, json_object *jso, char **out_buf) {
    return query_setting(host, jso, out_buf,
                         cmd_config<phone_contact_query, phone_contact_page>(SDK_SUB(CMD_PHONE_CONTACT_QUERY))
                             .reading(kPhoneContactQuery)
                             .answering(kPhoneContactsReply)
                             .logging_reply("******jso_string:<%s>"));
}

}  // namespace zel
