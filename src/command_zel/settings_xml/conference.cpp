// Conference calls (set 50) and their state (get 51), the bestir settings
// (get 58), and two small court settings (set 56 type value, set 57 case
// control), all carried as XML documents.
#include <memory>

#include "settings_xml/xml_config.h"
#include "settings_xml/xml_handlers.h"

namespace zel {
namespace {

// Members of one conference call that must be given.
constexpr IntMember<xml_h323_single_dev> kCallRequired[] = {
    {"set_type", &xml_h323_single_dev::set_type},   {"h323_call_id", &xml_h323_single_dev::call_id},
    {"call_mode", &xml_h323_single_dev::call_mode}, {"call_rate", &xml_h323_single_dev::call_rate},
    {"port", &xml_h323_single_dev::port},
};

// Copies an optional text member when it is there and not empty.
template <size_t N> void copy_non_empty(json_object *jso, const char *key, char (&field)[N]) {
    const char *text = json_object_get_field_string(jso, key);
    if (text != nullptr && *text != '\0')
        copy_text(field, text);
}

// One conference call; false (logged) for a faulty element, which then
// stays zero.
bool parse_h323_dev(json_object *item, xml_h323_single_dev &dev) {
    if (!read_required_members<xml_h323_single_dev>(item, kCallRequired, dev, kKeepErrno))
        return false;
    const char *ip = json_object_get_field_string(item, "ip_address");
    if (ip == nullptr)
        return ZREFUSE("ip_address == NULL");
    copy_text(dev.ip_address, ip);
    copy_non_empty(item, "net_name", dev.net_name);
    copy_non_empty(item, "uri", dev.uri);
    copy_non_empty(item, "call_msg", dev.call_msg);
    dev.stream_type = json_object_get_field_int(item, "stream_type", 0);
    dev.group_id = json_object_get_field_int(item, "h323_group_id", 0);
    dev.call_type = json_object_get_field_int(item, "call_type", 0);
    dev.sip_net_link_type = json_object_get_field_int(item, "sip_net_link_type", 0);
    return true;
}

bool parse_h323_param(json_object *jso, xml_h323_param &h323) {
    int32_t count = json_object_get_field_int(jso, "count", 0);
    if (count <= 0)
        return ZFAIL(CMD_ZEL_EINVAL, "count <= 0");
    json_object *list = array_member(jso, "h323_single_dev");
    if (list == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL,
                     "is_error(h323_single_dev) || !json_object_is_type(h323_single_dev, json_type_array)");
    // The structure holds 16 calls; more are not sent.
    if (count > H323_MAX_DEV) {
        ZLOG(kLogError, "count > %d, count:%d", H323_MAX_DEV, count);
        count = H323_MAX_DEV;
    }
    h323.count = count;
    for (int32_t i = 0; i < count; ++i) {
        json_object *item = json_object_array_get_idx(list, static_cast<size_t>(i));
        if (item == nullptr) {
            ZLOG(kLogError, "is_error(jso_tmp)");
            continue;
        }
        xml_h323_single_dev dev{};
        if (parse_h323_dev(item, dev))
            h323.devs[i] = dev;
    }
    return true;
}

struct Free {
    void operator()(void *p) const { std::free(p); }
};

// The answer of a get command whose document ends with "ret", the device's
// result: `fill` reads the device and adds the data members on success.
template <typename Fill> int32_t report_with_ret(void *host, json_object *jso, char **out_buf, Fill fill) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)");
    int32_t ret = fill(HostView(host), reply.get());
    add_int(reply.get(), "ret", ret);
    if (!reply_document(out_buf, reply.get(), {"*out_buf == NULL"}))
        return 0;
    return ret >= 0 ? 1 : 0;
}

constexpr IntMember<xml_bestir_param> kBestir[] = {
    {"mode", &xml_bestir_param::mode},         {"audio_ch", &xml_bestir_param::audio_ch},
    {"video_ch", &xml_bestir_param::video_ch}, {"mute", &xml_bestir_param::mute},
    {"volume", &xml_bestir_param::volume},
};

void add_call(json_object *calls, const xml_call_state_entry &call) {
    JsonPtr item = new_object("is_error(jso_tmp)");
    add_int(item.get(), "h323_call_id", call.call_id, "is_error(jso_tmp)");
    add_int(item.get(), "h323_group_id", call.group_id, "is_error(jso_tmp)");
    add_text(item.get(), "ip_address", call.ip_address, "is_error(jso_tmp)");
    add_int(item.get(), "port", call.port, "is_error(jso_tmp)");
    add_int(item.get(), "call_type", call.call_type, "is_error(jso_tmp)");
    add_int(item.get(), "sip_net_link_type", call.sip_net_link_type, "is_error(jso_tmp)");
    add_int(item.get(), "call_state", call.call_state, "is_error(jso_tmp)");
    append(calls, item.release(), "is_error(jso_tmp)");
}

}  // namespace

int32_t set_h323_param(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    std::unique_ptr<xml_h323_param, Free> h323(
        static_cast<xml_h323_param *>(xcalloc(1, sizeof(xml_h323_param), "h323_sing_dev == NULL")));
    if (!parse_h323_param(jso, *h323))
        return ZREFUSE("parse_h323_param(jso, &h323_sing) failed");
    HostView view(host);
    XmlWrite w = xml_write(view, NETXMLCFG_H323_PARAM, *h323);
    if (!w.ok())
        return ZREFUSE("ret < 0 || (res_status.iStatusCode != 0 && res_status.iStatusCode != 1), host_id: %s, ch : "
                       "%d, error: %lx",
                       view.id(), -1, sdk_error());
    return 1;
}

int32_t get_call_state(void *host, json_object *jso, char **out_buf) {
    return report_with_ret(host, jso, out_buf, [](const HostView &view, json_object *reply) {
        xml_call_state state{};
        int32_t ret = xml_read<xml_call_state>(view, NETXMLCFG_COURTAVP_CALLSTATE, nullptr, state);
        if (ret < 0) {
            ZLOG(kLogError, "NetClient_XmlGetDevConfig(), NETXMLCFG_COURTAVP_CALLSTATE, host_id : %s, error = %lx",
                 view.id(), sdk_error());
            return ret;
        }
        add_int(reply, "gk_state", state.gk_state);
        JsonPtr calls = new_array("is_error(jso_array)");
        int32_t count = clamp_count(state.count, CALL_STATE_MAX);
        for (int32_t i = 0; i < count; ++i)
            add_call(calls.get(), state.entries[i]);
        add(reply, "call_state", calls.release(), "is_error(jso_array)");
        return ret;
    });
}

int32_t get_bestir_param(void *host, json_object *jso, char **out_buf) {
    return report_with_ret(host, jso, out_buf, [](const HostView &view, json_object *reply) {
        xml_bestir_param bestir{};
        int32_t ret = xml_read<xml_bestir_param>(view, NETXMLCFG_BESTIR_PARAM, nullptr, bestir);
        if (ret < 0) {
            ZLOG(kLogError, "NetClient_XmlGetDevConfig(), NETXMLCFG_BESTIR_PARAM, host_id : %s, error : %lx", view.id(),
                 sdk_error());
            return ret;
        }
        add_members<xml_bestir_param>(reply, kBestir, bestir);
        return ret;
    });
}

int32_t set_xml_type_value(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    xml_type_value record{};
    if (!read_required(jso, "type", record.type) || !read_required(jso, "enable", record.enable))
        return 0;
    read_optional_text(jso, "value", record.value);
    HostView view(host);
    if (!xml_write(view, NETXMLCFG_TYPE_VALUE, record).ok())
        return ZREFUSE("ret_ex < 0 || (stu_res_status.iStatusCode != 0 && stu_res_status.iStatusCode != 1), host_id: "
                       "%s, error: %lx",
                       view.id(), sdk_error());
    return 1;
}

int32_t set_case_control(void *host, json_object *jso) {
    if (!has_command(host, jso, {.code = kKeepErrno}))
        return 0;
    xml_case_control record{};
    if (!read_required(jso, "ch", record.channel) || !read_required(jso, "part_in_num", record.part_in_num) ||
        !read_required(jso, "case_control", record.case_control))
        return 0;
    record.scene_id = json_object_get_field_int(jso, "scene_id", 0);
    HostView view(host);
    if (!xml_write(view, NETXMLCFG_CASE_CONTROL, record).ok())
        return ZREFUSE("ret_ex < 0 || (stu_res_status.iStatusCode != 0 && stu_res_status.iStatusCode != 1), host_id: "
                       "%s, ch : %d, error: %lx",
                       view.id(), record.channel, sdk_error());
    return 1;
}

}  // namespace zel
