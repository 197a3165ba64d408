#include "mq_config.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "handler_support.h"
#include "mq_sender.h"
#include "zel_json.h"
#include "zel_log.h"

namespace zel {

namespace {

constexpr int32_t kIpv4 = 0;
constexpr int32_t kIpv6 = 1;
constexpr size_t kMaxUsernameLen = 60;
constexpr size_t kMaxPasswordLen = 60;

json_object *member(json_object *obj, const char *key) {
    json_object *value = nullptr;
    return json_object_object_get_ex(obj, key, &value) ? value : nullptr;
}

// The options object for the broker kind: "amq" for type 0, "rmq" for 1.
json_object *options_member(json_object *obj, int32_t type) {
    const char *key = type == 0 ? "amq" : type == 1 ? "rmq" : nullptr;
    json_object *options = key != nullptr ? member(obj, key) : nullptr;
    return options != nullptr && json_object_is_type(options, json_type_object) ? options : nullptr;
}

// Leaves the sender stopped; its thread, if one runs, notices within a
// poll and shuts its link down.
void stop_sender(mq_send_record &record) {
    MqLock lock(record);
    store_flag(record.thr_isactive, 0);
    record.settings.type = -1;
}

bool ensure_queue(mq_send_record &record) {
    if (load_queue(record) == nullptr)
        store_queue(record, adt_dlist_create(sizeof(send_item *)));
    return load_queue(record) != nullptr;
}

}  // namespace

int32_t parse_mq_info(json_object *jso, mq_settings *settings) {
    if (settings == nullptr)
        return ZREFUSE("mq_info == NULL");
    if (jso == nullptr)
        return ZREFUSE("is_error(jso)");
    int32_t type = json_object_get_field_int(jso, "type", -1);
    if (type == -1)
        return ZREFUSE("type == -1");
    const char *ip = json_object_get_field_string(jso, "ip");
    if (ip == nullptr)
        return ZREFUSE("ip == NULL");
    int32_t ip_type = os_get_ip_type(ip);
    if (ip_type != kIpv4 && ip_type != kIpv6)
        return ZREFUSE("ip_type != IP_TYPE_IPV4 && ip_type != IP_TYPE_IPV6");
    int32_t port = json_object_get_field_int(jso, "port", -1);
    if (port == -1)
        return ZREFUSE("port == -1");
    const char *username = json_object_get_field_string(jso, "username");
    if (username == nullptr || std::strlen(username) > kMaxUsernameLen)
        return ZREFUSE("username == NULL || strlen(username) > MAX_USERNAME_LEN");
    const char *password = json_object_get_field_string(jso, "password");
    if (password == nullptr || std::strlen(password) > kMaxPasswordLen)
        return ZREFUSE("password == NULL || strlen(password) > MAX_PASSWORD_LEN");
    int32_t reconnect = json_object_get_field_int(jso, "isconnect", -1);
    if (reconnect == -1)
        return ZREFUSE("reconnect == -1");
    json_object *options = options_member(jso, type);
    if (options == nullptr)
        return ZREFUSE("is_error(jso_mq_param)");
    const char *options_text = json_object_to_json_string(options);
    if (options_text == nullptr)
        return ZREFUSE("jso_string == NULL");

    settings->type = type;
    copy_text(settings->ip, ip);
    settings->port = port;
    copy_text(settings->username, username);
    copy_text(settings->password, password);
    settings->is_reconnect = reconnect;
    settings->mq_param = os_strdup(options_text);
    if (settings->mq_param == nullptr)
        die("mq_info.mq_param == NULL");
    return 1;
}

int32_t compare_mq_info(const mq_settings *a, const mq_settings *b) {
    if (a == nullptr || b == nullptr) {
        ZLOG(kLogError, "mq_info_src == NULL || mq_info_des == NULL");
        return -1;
    }
    if (a->type != b->type || os_ip_cmp(a->ip, b->ip) == 0 || a->port != b->port)
        return 1;
    if (std::strcmp(a->username, b->username) != 0 || std::strcmp(a->password, b->password) != 0)
        return 1;
    if (a->is_reconnect != b->is_reconnect)
        return 1;
    if (a->mq_param == nullptr || b->mq_param == nullptr)
        return a->mq_param == b->mq_param ? 0 : 1;
    return std::strcmp(a->mq_param, b->mq_param) != 0 ? 1 : 0;
}

int32_t init_mq_param(json_object *jso, mq_send_record *record) {
    if (record == nullptr)
        return ZREFUSE("send_param == NULL");
    if (jso == nullptr)
        return ZREFUSE("is_error(jso)");
    MqLock lock(*record);
    if (parse_mq_info(jso, &record->settings) == 0)
        return ZREFUSE("parse_mq_info failed");
    if (!ensure_queue(*record))
        return ZREFUSE("send_param->ls_send_data == NULL");
    if (!start_sender(*record))
        return ZREFUSE("send_mq_message_thread failed");
    return 1;
}

int32_t init_parse_mq_param() {
    JsonPtr doc(json_object_from_file_ex(kMqConfigPath));
    if (doc == nullptr)
        return 1;
    int32_t result = 1;
    const std::pair<const char *, mq_send_record *> destinations[] = {{"trafficmq", s_traffic_send},
                                                                      {"temphummmq", s_temp_hum_send}};
    for (const auto &[key, record] : destinations) {
        json_object *destination = nullptr;
        if (json_object_object_get_ex(doc.get(), key, &destination) && init_mq_param(destination, record) == 0) {
            ZLOG(kLogError, "init_mq_param failed");
            result = 0;
        }
    }
    return result;
}

int32_t update_mq_param(json_object *jso, mq_send_record *record) {
    if (record == nullptr)
        return ZREFUSE("mq_param_src == NULL");
    if (jso == nullptr) {
        ZLOG(kLogError, "is_error(jso_mq)");
        stop_sender(*record);
        return 1;
    }
    mq_settings fresh{};
    if (parse_mq_info(jso, &fresh) == 0) {
        ZLOG(kLogError, "!parse_mq_info(jso_mq, mq_info)");
        stop_sender(*record);
        return 0;
    }
    // The whole decision runs under the sender's mutex, so it cannot
    // interleave with the thread's connection attempt or its shutdown.
    MqLock lock(*record);
    if (compare_mq_info(&fresh, &record->settings) == 0) {
        ZLOG(kLogError, "[cmd_zel] mq info is same return TRUE");
        std::free(fresh.mq_param);
        return 1;
    }
    std::free(record->settings.mq_param);
    record->settings = fresh;
    store_flag(record->need_update, 1);
    if (!ensure_queue(*record)) {
        ZLOG(kLogError, "s_traffic_mqInfo.ls_send_data == NULL");
        stop_sender(*record);
        return 0;
    }
    // A running thread picks the new settings up through need_update; a
    // thread still ending after a stop is kept rather than joined by a
    // second one (start_sender says why).
    if (!start_sender(*record)) {
        ZLOG(kLogError, "send_mq_message_thread failed");
        stop_sender(*record);
        return 0;
    }
    return 1;
}

int32_t update_mq_config() {
    if (s_traffic_send == nullptr || s_temp_hum_send == nullptr) {
        ZLOG(kLogError, "(s_traffic_send == NULL) || (s_temp_hum_send == NULL)");
        return 0;
    }
    JsonPtr doc(json_object_from_file_ex(kMqConfigPath));
    if (doc == nullptr) {
        stop_sender(*s_traffic_send);
        stop_sender(*s_temp_hum_send);
        return 1;
    }
    if (update_mq_param(member(doc.get(), "trafficmq"), s_traffic_send) == 0)
        ZLOG(kLogInfo, "update traffic param failed");
    if (update_mq_param(member(doc.get(), "temphummmq"), s_temp_hum_send) == 0)
        ZLOG(kLogInfo, "update temp param info failed");
    return 1;
}

}  // namespace zel
