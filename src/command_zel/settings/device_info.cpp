// What the device reports about itself: report records (get 31), alarm
// port lists (get 65) and versions (get 70).
#include <cstdlib>
#include <cstring>
#include <memory>

#include "device_sdk_settings_query.h"
#include "handler_support.h"
#include "host_view.h"
#include "settings/settings_handlers.h"

namespace zel {
namespace {

// Reads a 64-bit member that must not be negative.
bool read_non_negative64(json_object *jso, const char *key, int64_t &value, const char *refusal) {
    value = json_object_get_field_int64(jso, key, -1);
    return value >= 0 || ZFAIL(CMD_ZEL_EINVAL, "%s", refusal);
}

bool read_report_query(json_object *jso, int32_t &ch, report_records_query &query) {
    return read_device_channel(jso, ch) &&
           read_non_negative(jso, "type", query.type, "<get_reprot_records> type < -1") &&
           read_non_negative64(jso, "seqstart", query.seq_start, "<get_reprot_records> seqstart < -1") &&
           read_non_negative64(jso, "seqstop", query.seq_stop, "<get_reprot_records> seq_stop < -1") &&
           read_non_negative(jso, "pageno", query.page_no, "<get_reprot_records> page_no < -1") &&
           read_non_negative(jso, "pagesize", query.page_size, "<get_reprot_records> page_size < -1");
}

constexpr IntMember<alarm_port> kPortMembers[] = {
    {"type", &alarm_port::type},
    {"no", &alarm_port::no},
    {"on_or_off", &alarm_port::on_or_off},
    {"online", &alarm_port::online},
};

// Adds one port list as an array; never more ports than the list holds.
void add_ports(json_object *reply, const char *key, const alarm_port_list &list) {
    JsonPtr ports = new_array("is_error(jso_ports)");
    for (int32_t i = 0; i < clamp_count(list.count, MAX_ALARM_PORT_NUM); ++i) {
        JsonPtr port = new_object("is_error(jso_port)");
        add_members<alarm_port>(port.get(), kPortMembers, list.ports[i]);
        add_text(port.get(), "alias_name", list.ports[i].alias_name);
        append(ports.get(), port.release());
    }
    add(reply, key, ports.release());
}

// The version texts in the order they are answered, after the bar code.
struct VersionText {
    const char *key;
    char (server_version::*field)[VERSION_TEXT_LEN];
};
constexpr VersionText kVersionTexts[] = {
    {"kernel_version", &server_version::kernel}, {"ui_version", &server_version::ui},
    {"app_version", &server_version::app},       {"algo_version", &server_version::algo},
    {"onvif_version", &server_version::onvif},   {"its_version", &server_version::its},
    {"algs_version", &server_version::algs},     {"net_version", &server_version::net},
};

// One port list from the device (147,460 bytes, on the heap); the SDK's result.
int32_t read_ports(const HostView &dev, int32_t cmd, const char *label, alarm_port_list &list) {
    int32_t ret = NetClient_GetDevConfig_V5(dev.loginfd(), cmd, nullptr, 0, &list, record_len<alarm_port_list>());
    if (ret != 0)
        ZLOG(kLogError, "NetClient_GetDevConfig_V5-%s failed, host_id:%s, err_code:%lx, ret_value:%d", label, dev.id(),
             sdk_error(), ret);
    return ret;
}

}  // namespace

int32_t get_reprot_records(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)");
    int32_t ch = 0;
    auto query = sized_record<report_records_query>();
    auto answer = sized_record<report_records_answer>();
    int32_t ret = -1;
    if (read_report_query(jso, ch, query)) {
        HostView dev(host);
        ret = NetClient_CmdConfig(dev.loginfd(), CMD_REPORT_RECORDS, ch, &query, record_len<report_records_query>(),
                                  &answer, record_len<report_records_answer>());
        // A failed device call gets no reply.
        if (ret != 0)
            return ZREFUSE("NetClient_CmdConfig-CMD_REPORT_RECORDS failed, host_id:%s, err_code:%lx, ret_value:%d",
                           dev.id(), sdk_error(), ret);
    }
    add_int(reply.get(), "ret", ret);
    if (ret == 0)
        add_int(reply.get(), "maxseqno", answer.max_seq_no);
    return reply_document(out_buf, reply.get()) && ret >= 0 ? 1 : 0;
}

int32_t get_alarm_in_out_info(void *host, json_object *jso, char **out_buf) {
    return run_with_document_reply(host, jso, out_buf, {}, [](void *h, json_object *, json_object *reply) {
        HostView dev(h);
        std::unique_ptr<alarm_port_list, decltype(&std::free)> list(
            static_cast<alarm_port_list *>(xcalloc(1, sizeof(alarm_port_list), "alarm_port_list == NULL")), std::free);
        int32_t ret = read_ports(dev, NETCLIENT_GET_ALARMINPORT_V5, "NETCLIENT_GET_ALARMINPORT_V5", *list);
        if (ret != 0)
            return ret;
        add_ports(reply, "alarm_ins", *list);
        std::memset(list.get(), 0, sizeof(alarm_port_list));
        ret = read_ports(dev, NETCLIENT_GET_ALARMOUTPORT_V5, "NETCLIENT_GET_ALARMOUTPORT_V5", *list);
        if (ret == 0)
            add_ports(reply, "alarm_outs", *list);
        return ret;
    });
}

int32_t get_version_info(void *host, char **out_buf) {
    if (!has_host_and_reply(host, out_buf))
        return 0;
    HostView dev(host);
    server_version version{};
    int32_t ret = NetClient_GetServerVersion_V1(dev.loginfd(), &version, record_len<server_version>());
    if (ret != 0)
        return ZREFUSE("NetClient_GetServerVersion_V1 failed, host_id:%s, err_code:%lx, ret_value:%d", dev.id(),
                       sdk_error(), ret);
    dev_identity identity{};
    int32_t returned = 0;
    ret = NetClient_GetDevConfig(dev.loginfd(), NET_CLIENT_DEV_IDENTITY, kAllChannels, &identity,
                                 record_len<dev_identity>(), &returned);
    if (ret != 0)
        return ZREFUSE("NetClient_GetDevConfig-NET_CLIENT_DEV_IDENTITY failed, host_id:%s, err_code:%lx, ret_value:%d",
                       dev.id(), sdk_error(), ret);
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_text(reply.get(), "barcode", identity.barcode);
    for (const VersionText &t : kVersionTexts)
        add_text(reply.get(), t.key, version.*t.field);
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

}  // namespace zel
