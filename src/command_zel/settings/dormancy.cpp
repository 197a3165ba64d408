// Dormancy: switching a device to sleep (set 46) and reading its state
// (get 33). Both tell the device how the platform reaches it, from the host
// record's connection type and text.
#include "device_sdk_settings.h"
#include "handler_support.h"
#include "host_view.h"
#include "settings/settings_handlers.h"

namespace zel {
namespace {

// The connection value the device expects for the host's connection type.
int32_t connection_value(uint32_t conn_type) {
    switch (conn_type) {
    case 3:
    case 6: return 1;
    case 5: return 2;
    default: return 0;
    }
}

// Connection types whose text the device needs to wake the device up.
bool sends_conn_text(uint32_t conn_type) { return conn_type == 3 || conn_type == 5 || conn_type == 6; }

}  // namespace

int32_t set_dormancy(void *host, json_object *jso) {
    if (host == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "NULL == host");
    if (jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso)");
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0) {
        ZLOG(kLogError, "ch < 0");
        ch = kAllChannels;
    }
    auto dormancy = sized_record<dormancy_set>();
    if (!read_required(jso, "dormancy_type", dormancy.dormancy_type, "-1 == dormancy_type") ||
        !read_required(jso, "enable", dormancy.enable, "-1 == enable"))
        return 0;
    HostView dev(host);
    if (dormancy.dormancy_type == 2 || dormancy.dormancy_type == 3) {
        dormancy.conn_value = connection_value(dev.conn_type());
        copy_text(dormancy.conn_text, dev.conn_text());
    }
    int32_t ret =
        NetClient_CmdConfig(dev.loginfd(), CMD_DORMANCY_SET, ch, &dormancy, record_len<dormancy_set>(), nullptr, 0);
    if (ret < 0 || dormancy.result < 0)
        return ZREFUSE("NetClient_CmdConfig  iRet:%d, CMD_DORMANCY_SET failed: id: %s, ch:%d, dormancy_set.iResult:%d",
                       ret, dev.id(), ch, dormancy.result);
    return 1;
}

int32_t get_dormancy(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        ch = kAllChannels;
    HostView dev(host);
    auto state = sized_record<dormancy_state>();
    state.conn_value = connection_value(dev.conn_type());
    if (sends_conn_text(dev.conn_type()))
        copy_text(state.conn_text, dev.conn_text());
    int32_t returned = 0;
    int32_t ret = NetClient_GetDevConfig(dev.loginfd(), NET_CLIENT_DORMANCY_STATE, ch, &state,
                                         record_len<dormancy_state>(), &returned);
    if (ret != 0)
        return ZREFUSE("NetClient_GetDevConfig-NET_CLIENT_DORMANCY_STATE failed, host_id:%s, err_code:%lx, "
                       "ret_value:%d",
                       dev.id(), sdk_error(), ret);
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "dormancy_type", state.dormancy_type);
    add_int(reply.get(), "enable", state.enable);
    add_int(reply.get(), "wakeup_time", state.wakeup_time);
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

}  // namespace zel
