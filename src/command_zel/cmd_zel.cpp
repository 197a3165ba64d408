// The library's exported entry points: initialisation, the two command
// dispatchers and the event notifications.
#include "cmd_zel.h"

#include <json-c/json.h>

#include <cstdlib>
#include <new>

#include "command_tables.h"
#include "events/event_notify.h"
#include "face/find_session.h"
#include "host_view.h"
#include "maintenance/upgrade_table.h"
#include "mq/mq_config.h"
#include "mq/mq_send_record.h"
#include "xml_sdk/http_xml.h"
#include "zel_json.h"
#include "zel_log.h"

namespace zel {

mq_send_record *s_temp_hum_send = nullptr;
mq_send_record *s_traffic_send = nullptr;
hash_table_t *s_host_upgrade_status = nullptr;

namespace {

int32_t s_initialised = 0;

// Runs an entry point's body so that nothing escapes into the platform: the
// caller's errno is kept unless the body set a library error code, and an
// exception (only an exhausted heap can throw here) ends the process the
// way every other allocation failure does.
template <typename Body> auto entry(Body body) noexcept -> decltype(body()) {
    ErrnoKeeper keeper;
    try {
        return body();
    } catch (const std::bad_alloc &) {
        die("memory exhausted");
    } catch (...) {
        die("unexpected exception");
    }
}

// A sender record as initialisation leaves it: zeroed, no broker handles.
mq_send_record *new_sender(const char *oom, const char *mutex_failed) {
    auto *sender = static_cast<mq_send_record *>(xcalloc(1, sizeof(mq_send_record), oom));
    sender->conn_fd = kNoHandle;
    sender->produce_fd = kNoHandle;
    if (os_mutex_init(&sender->mq_mutex, 0) == 0)
        ZLOG(kLogError, "%s", mutex_failed);
    return sender;
}

int32_t init_library() {
    if (s_initialised)
        return 1;
    s_ls_findfds = adt_dlist_create(sizeof(find_info *));
    if (s_ls_findfds == nullptr) {
        ZLOG(kLogError, "s_ls_findfds == NULL");
        return 0;
    }
    s_find_check_timer = os_timer_create(find_check_timer_cb, 1000, nullptr);
    if (s_find_check_timer == nullptr) {
        ZLOG(kLogError, "s_find_check_timer == NULL");
        return 0;
    }
    s_temp_hum_send = new_sender("s_temp_hum_send == NULL", "os_mutex_init temp hum mq mutex failed");
    s_traffic_send = new_sender("s_traffic_send == NULL", "os_mutex_init traffic mq mutex failed");
    if (init_parse_mq_param() == 0)
        ZLOG(kLogError, "!init_parse_mq_param");
    s_host_upgrade_status = hash_create();
    if (s_host_upgrade_status == nullptr)
        die("s_host_upgrade_status == NULL");
    s_initialised = 1;
    return 1;
}

// What distinguishes the set dispatcher from the get dispatcher.
struct Dispatcher {
    const Handler *(*find)(int32_t number);
    bool logs_text_on_parse_error;
    const char *kind;  // "set" or "get", as the refusal of an unknown number names it
};

constexpr Dispatcher kSetDispatcher{find_set_handler, true, "set"};
constexpr Dispatcher kGetDispatcher{find_get_handler, false, "get"};

int32_t call_handler(const Handler &handler, void *host, AsynOpIt_ComCmd &opit, json_object *jso) {
    switch (handler.form) {
    case CallForm::J: return handler.j(host, jso);
    case CallForm::JO: return handler.jo(host, jso, &opit.out_buf);
    case CallForm::O: return handler.o(host, &opit.out_buf);
    case CallForm::FJO: return handler.fjo(host, opit.filename, jso, &opit.out_buf);
    case CallForm::None: break;
    }
    return 0;
}

int32_t dispatch(const Dispatcher &dispatcher, void *host, void *record, int32_t size) {
    if (host == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "host == NULL");
    if (record == nullptr || size != static_cast<int32_t>(sizeof(AsynOpIt_ComCmd)))
        return ZFAIL(CMD_ZEL_EINVAL, "opit == NULL || size != sizeof(AsynOpIt_ComCmd)");
    auto &opit = *static_cast<AsynOpIt_ComCmd *>(record);
    if (opit.in_buf == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "opit->in_buf == NULL");

    JsonPtr jso(json_tokener_parse(opit.in_buf));
    if (jso == nullptr) {
        if (dispatcher.logs_text_on_parse_error)
            return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso_param), jso_param:%s", opit.in_buf);
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso_param)");
    }
    int32_t command = json_object_get_field_int(jso.get(), "command", -1);
    if (command == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "cmd_type == -1");

    const Handler *handler = dispatcher.find(command);
    if (handler == nullptr) {
        ZLOG(kLogError, "%s_config not support command:%d", dispatcher.kind, command);
        return 0;
    }
    int32_t result = call_handler(*handler, host, opit, jso.get());
    if (handler->stores_result)
        opit.result = result;
    return result;
}

}  // namespace
}  // namespace zel

using zel::entry;

extern "C" {

CMD_ZEL_API int32_t init_command_lib(void) {
    return entry([] { return zel::init_library(); });
}

CMD_ZEL_API int32_t cmd_common_set_config(void *host, void *opit, int32_t size) {
    return entry([&] { return zel::dispatch(zel::kSetDispatcher, host, opit, size); });
}

CMD_ZEL_API int32_t cmd_common_get_config(void *host, void *opit, int32_t size) {
    return entry([&] { return zel::dispatch(zel::kGetDispatcher, host, opit, size); });
}

CMD_ZEL_API int32_t video_to_cmd_common_get_config(void *host, int32_t type, void *opit, int32_t size) {
    return entry([&]() -> int32_t {
        if (host == nullptr)
            return ZFAIL(CMD_ZEL_EINVAL, "host == NULL");
        if (opit == nullptr)
            return ZFAIL(CMD_ZEL_EINVAL, "opit == NULL");
        // Type 1 is the all-channels testimony query; its outcome is the
        // record's contents, not the result.
        if (type == 1)
            zel::get_all_testimony_channel_info(host, opit, size);
        else
            ZLOG(zel::kLogError, "type unkown, type:%d", type);
        return 1;
    });
}

CMD_ZEL_API int32_t cmd_update_config(void) {
    return entry([] { return zel::update_mq_config(); });
}

CMD_ZEL_API void cmd_main_notify(void *host, uint32_t event, void *data, int64_t) {
    entry([&] { zel::main_notify(host, event, data); });
}

CMD_ZEL_API int32_t cmd_alarm_notify_ex(void *host, uint32_t alarm_type, void *info, uint32_t) {
    return entry([&] { return zel::alarm_notify_ex(host, alarm_type, info); });
}

CMD_ZEL_API void cmd_alarm_notify(void *, int32_t, int32_t, int32_t) {}

CMD_ZEL_API void cmd_parachange_notify(void *, int32_t, int32_t, int64_t) {}

CMD_ZEL_API void cmd_proxy_notify(void *, int32_t, int64_t, int32_t) {}

}  // extern "C"
