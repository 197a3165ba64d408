// The dome's wait action: what it does after waiting "keep_time" (set 41
// writes it, get 32 reads it back). The device keeps one action code: going
// to preset `id` (2 and up) is 100 + id, every other action is its action
// type, whose id is 1.
#include "device_sdk_ptz.h"
#include "handler_support.h"
#include "host_view.h"
#include "ptz/ptz_handlers.h"

namespace zel {
namespace {

constexpr int32_t kPresetBase = 100;
constexpr int32_t kFirstCodedPreset = 2;
constexpr int32_t kLastPresetCode = 600;

int32_t encode_action(int32_t action_type, int32_t id) {
    if (action_type != 0 || id < kFirstCodedPreset)
        return action_type;
    // Wraps like the device's own 32-bit arithmetic for ids near the top.
    return static_cast<int32_t>(static_cast<uint32_t>(id) + kPresetBase);
}

struct WaitAction {
    int32_t action_type;
    int32_t id;
};

WaitAction decode_action(int32_t code) {
    if (code >= kPresetBase + kFirstCodedPreset && code <= kLastPresetCode)
        return {0, code - kPresetBase};
    return {code, 1};
}

zel_domeptz wait_action_record() {
    auto record = sized_record<zel_domeptz>();
    record.function = DOME_PTZ_WAIT_ACTION;
    return record;
}

int32_t dome_channel(json_object *jso) {
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    return ch < 0 ? kAllChannels : ch;
}

}  // namespace

int32_t set_dome_ptz(void *host, json_object *jso) {
    if (!has_command(host, jso, {.host_code = CMD_ZEL_ENOHOST}))
        return 0;
    int32_t ch = dome_channel(jso);
    zel_domeptz record = wait_action_record();
    int32_t action_type = json_object_get_field_int(jso, "action_type", 0);
    record.enable = json_object_get_field_int(jso, "enable", 0);
    record.keep_time = json_object_get_field_int(jso, "keep_time", 0);
    record.action = encode_action(action_type, json_object_get_field_int(jso, "id", 1));

    HostView dev(host);
    int32_t ret = NetClient_SetDomePTZ(dev.loginfd(), ch, &record, record_len<zel_domeptz>());
    if (ret != 0)
        return ZREFUSE("NetClient_SetDomePTZ failed id:%s, ret:%d", dev.id(), ret);
    return 1;
}

int32_t get_ptz_wait_act(void *host, json_object *jso, char **out_buf) {
    if (!has_host_and_reply(host, out_buf, {.prefix = "<get_reprot_records> "}))
        return 0;
    if (jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "<get_reprot_records> is_error(jso)");
    int32_t ch = dome_channel(jso);
    zel_domeptz record = wait_action_record();
    HostView dev(host);
    int32_t ret = NetClient_GetDomePTZ(dev.loginfd(), ch, &record, record_len<zel_domeptz>());
    if (ret != 0)
        return ZREFUSE("NetClient_GetDomePTZ failed id:%s, ret:%d", dev.id(), ret);

    WaitAction action = decode_action(record.action);
    const char *what = "<get_ptz_wait_act> is_error(jso_ret)";
    JsonPtr reply = new_object(what);
    add_int(reply.get(), "ret", ret, what);
    add_int(reply.get(), "enable", record.enable, what);
    add_int(reply.get(), "keep_time", record.keep_time, what);
    add_int(reply.get(), "action_type", action.action_type, what);
    add_int(reply.get(), "id", action.id, what);
    return reply_document(out_buf, reply.get(), {"<get_ptz_wait_act> *out_buf == NULL calloc err!"},
                          "<get_ptz_wait_act> jso_string == NULL")
               ? 1
               : 0;
}

}  // namespace zel
