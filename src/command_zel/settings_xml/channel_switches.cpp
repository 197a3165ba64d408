// Settings changed entry by entry: the device's document is read, the
// entries the command names are changed, and the whole document is written
// back, so entries the command does not name keep their values. Set 55
// switches analysis types of a channel; set 64 names the court channels.
#include "settings_xml/xml_config.h"
#include "settings_xml/xml_handlers.h"

namespace zel {
namespace {

// The members of set 55 that apply to every named analysis type.
struct JudgeParam {
    int32_t ch = -1;
    int32_t region_count = -1;
    json_object *types = nullptr;  // one element per analysis type to change
};

bool parse_judge_analyse_param(json_object *jso, JudgeParam &param) {
    int32_t type_count = 0;
    if (!read_required(jso, "ch", param.ch) ||
        !read_in_range(jso, "type_count", type_count, 1, INT32_MAX, "type_count <= 0") ||
        !read_non_negative(jso, "region_count", param.region_count, "region_count < 0"))
        return false;
    param.types = array_member(jso, "judge_any_param");
    if (param.types == nullptr || json_object_array_length(param.types) != static_cast<size_t>(type_count))
        return ZFAIL(CMD_ZEL_EINVAL, "type_count != json_object_array_length(judge_any_param)");
    // An entry holds 37 region numbers; more are not sent.
    if (param.region_count > JUDGE_ANY_REGIONS) {
        ZLOG(kLogError, "region_count > %d, region_count:%d", JUDGE_ANY_REGIONS, param.region_count);
        param.region_count = JUDGE_ANY_REGIONS;
    }
    return true;
}

// Applies one element of "judge_any_param" to every entry of its analysis
// type: the switch, and regions 1 to region_count. A faulty element is
// logged and changes nothing.
void apply_judge_type(json_object *item, int32_t region_count, xml_judge_any_info &info) {
    int32_t type = 0, enable = 0;
    if (!read_required(item, "analye_type", type, {nullptr, kKeepErrno}) ||
        !read_required(item, "enable", enable, {nullptr, kKeepErrno}))
        return;
    if (enable != 0 && enable != 1) {
        ZLOG(kLogError, "enable != 0 && enable != 1");
        return;
    }
    for (xml_judge_any_entry &entry : info.entries) {
        if (entry.analyse_type != type)
            continue;
        entry.enable = enable;
        entry.region_count = region_count;
        for (int32_t r = 0; r < region_count; ++r)
            entry.regions[r] = r + 1;
    }
}

// The members of set 64.
struct ZfParam {
    int32_t type = -1;
    json_object *channels = nullptr;  // one element per channel to rename
};

bool parse_zf_ch_info_param(json_object *jso, ZfParam &param) {
    int32_t count = 0;
    if (!read_non_negative(jso, "type", param.type, "type < 0") ||
        !read_in_range(jso, "count", count, 1, INT32_MAX, "count < 0"))
        return false;
    param.channels = array_member(jso, "zf_ch_info");
    if (param.channels == nullptr || json_object_array_length(param.channels) != static_cast<size_t>(count))
        return ZFAIL(CMD_ZEL_EINVAL, "type_count != json_object_array_length(zf_ch_info_param)");
    return true;
}

// Gives every device entry of the element's channel its name type; a
// faulty element is logged and changes nothing.
void apply_zf_channel(json_object *item, xml_zf_ch_info &info) {
    int32_t ch_no = 0, name_type = 0;
    if (!read_non_negative(item, "ch_no", ch_no, {"ch_no < 0", kKeepErrno}) ||
        !read_non_negative(item, "ch_name_type", name_type, {"ch_name_type < 0", kKeepErrno}))
        return;
    for (int32_t i = 0; i < info.count; ++i)
        if (info.entries[i].ch_no == ch_no)
            info.entries[i].ch_name_type = name_type;
}

// Calls `apply(element)` for every element of `array`; null elements are
// logged.
template <typename Apply> void for_each_element(json_object *array, Apply apply) {
    size_t len = json_object_array_length(array);
    for (size_t i = 0; i < len; ++i) {
        json_object *item = json_object_array_get_idx(array, i);
        if (item == nullptr)
            ZLOG(kLogError, "is_error(jso_tmp)");
        else
            apply(item);
    }
}

}  // namespace

int32_t set_judge_analyse_param(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    JudgeParam param;
    if (!parse_judge_analyse_param(jso, param))
        return ZREFUSE("!parse_judge_analyse_param(jso, &judge_any_info)");

    HostView view(host);
    xml_judge_any_info info{};
    info.channel = param.ch;
    for (xml_judge_any_entry &entry : info.entries)
        entry.size = sizeof(xml_judge_any_entry);
    if (xml_read(view, NETXMLCFG_JUDGEANYINFO, &info, info) != 0)
        return ZREFUSE("NetClient_XmlGetDevConfig() NETXMLCFG_JUDGEANYINFO, host_id: %s, ch : %d, error: %lx",
                       view.id(), param.ch, sdk_error());
    for_each_element(param.types, [&](json_object *item) { apply_judge_type(item, param.region_count, info); });

    if (!xml_write(view, NETXMLCFG_JUDGEANYINFO, info).ok())
        return ZREFUSE("ret_ex < 0 || (stu_res_status.iStatusCode != 0 && stu_res_status.iStatusCode != 1), host_id: "
                       "%s, ch : %d, error: %lx",
                       view.id(), param.ch, sdk_error());
    return 1;
}

int32_t set_zf_ch_info(void *host, json_object *jso) {
    if (!has_command(host, jso, {.code = kKeepErrno}))
        return 0;
    ZfParam param;
    if (!parse_zf_ch_info_param(jso, param))
        return ZREFUSE("!parse_zf_ch_info_param(jso, &zf_ch_info)");

    HostView view(host);
    xml_zf_ch_info info{};
    info.type = param.type;
    if (xml_read(view, NETXMLCFG_COURT_ZFCHNINFO, &info, info) < 0)
        return ZREFUSE("NetClient_XmlGetDevConfig() faild, NETXMLCFG_COURT_ZFCHNINFO, host_id : %s,  error: %lx",
                       view.id(), sdk_error());
    // The device's count, as far as the structure holds entries, is what is
    // changed and written back.
    info.count = clamp_count(info.count, ZF_CH_MAX);
    for_each_element(param.channels, [&](json_object *item) { apply_zf_channel(item, info); });

    if (!xml_write(view, NETXMLCFG_COURT_ZFCHNINFO, info).ok())
        return ZREFUSE("ret_ex < 0 || (stu_res_status.iStatusCode != 0 && stu_res_status.iStatusCode != 1), host_id: "
                       "%s, type : %d, error: %lx",
                       view.id(), param.type, sdk_error());
    return 1;
}

}  // namespace zel
