// What the device can do and its enable switches: host ability (get 7),
// function ability (get 43), the device enable value (set 65), any enable
// switch (set 74) and the device mode (get 13).
#include <cstdlib>
#include <cstring>

#include "device_sdk_settings.h"
#include "device_sdk_settings_query.h"
#include "handler_support.h"
#include "host_view.h"
#include "settings/settings_handlers.h"

namespace zel {
namespace {

// Ability main types.
constexpr int32_t kAbilityHost = 9;

// The ability (main, sub) that tells whether a product has the function
// get 43 asks for; product types the device reports.
struct ProductAbility {
    int32_t product_type;
    int32_t main_type;
    int32_t sub_type;
};
constexpr ProductAbility kFuncAbilities[] = {{1, 20, 116}, {2, 64, 105}};

// The function is there when the ability has bit 3 or bit 4 set.
constexpr long kFuncAbilityBits = 24;

// Asks the device for one ability; the SDK's result.
int32_t ask_ability(const HostView &dev, int32_t ch, int32_t main_type, int32_t sub_type, FuncAbility &ability) {
    ability = sized_record<FuncAbility>();
    ability.iMainFuncType = main_type;
    ability.iSubFuncType = sub_type;
    int32_t returned = 0;
    int32_t ret = NetClient_GetDevConfig(dev.loginfd(), NET_CLIENT_GET_FUNC_ABILITY, ch, &ability,
                                         record_len<FuncAbility>(), &returned);
    if (ret != 0)
        ZLOG(kLogError,
             "NetClient_GetDevConfig-NET_CLIENT_GET_FUNC_ABILITY failed, host_id:%s, err_code:%lx, ret_value:%d",
             dev.id(), sdk_error(), ret);
    return ret;
}

// The ability text read as a number (0 when it holds none); the device may
// fill the field to its last byte.
long ability_value(const FuncAbility &ability) {
    char text[sizeof ability.cParam + 1] = {};
    std::memcpy(text, ability.cParam, sizeof ability.cParam);
    return std::strtol(text, nullptr, 10);
}

}  // namespace

int32_t get_host_ability(void *host, json_object *jso, char **out_buf) {
    return run_with_document_reply(host, jso, out_buf, {}, [](void *h, json_object *j, json_object *reply) {
        int32_t subtype = 0;
        if (!read_required(j, "subtype", subtype))
            return -1;
        int32_t ch = json_object_get_field_int(j, "ch", -1);
        if (ch < 0) {
            ZLOG(kLogError, "ch == -1 get host ability");
            ch = kAllChannels;
        }
        FuncAbility ability;
        if (ask_ability(HostView(h), ch, kAbilityHost, subtype, ability) != 0) {
            set_error(CMD_ZEL_EDEVICE);
            return -1;  // the reply holds only "ret" -1
        }
        bool supported = ability.cParam[0] != '\0' && ability_value(ability) >= 1;
        add(reply, "param", supported ? field_string(ability.cParam) : json_object_new_string("0"));
        add(reply, "reason", json_object_new_string(supported ? "" : "not support"));
        return 0;
    });
}

int32_t get_func_ability(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    int32_t ch = 0;
    if (!read_required(jso, "ch", ch))
        return 0;
    HostView dev(host);
    int32_t product_type = 0;
    int32_t ret = NetClient_GetProductTypeEx(dev.loginfd(), &product_type);
    if (ret != 0)
        return ZREFUSE("[NetClient_GetProductTypeEx]\tret:%d\tloginfd:%d\tid:%s", ret, dev.loginfd(), dev.id());

    int32_t is_support = 0;
    const ProductAbility *asked = nullptr;
    for (const ProductAbility &p : kFuncAbilities)
        if (p.product_type == product_type)
            asked = &p;
    if (asked == nullptr) {
        ZLOG(kLogError, "unknown product_type:%d", product_type);
    } else {
        FuncAbility ability;
        if (ask_ability(dev, ch, asked->main_type, asked->sub_type, ability) != 0)
            return 0;
        is_support = (ability_value(ability) & kFuncAbilityBits) != 0 ? 1 : 0;
    }
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "is_support", is_support);
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

int32_t set_enable_value(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    int32_t value = 0;
    if (!read_non_negative(jso, "enable_value", value))
        return 0;
    HostView dev(host);
    if (NetClient_SetCommonEnable(dev.loginfd(), CI_COMMON_ID_ENABLE_VALUE, kAllChannels, value) < 0)
        return ZREFUSE("enable < 0, host_id: %s, error: %lu", dev.id(), sdk_error());
    return 1;
}

int32_t set_host_common_enable(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    int32_t enable_id = 0, enable = 0, ch = 0;
    if (!read_non_negative(jso, "enable_id", enable_id) || !read_non_negative(jso, "enable", enable) ||
        !read_device_channel(jso, ch))
        return 0;
    HostView dev(host);
    ZLOG(kLogInfo, "set_host_common_enable host_id: %s, ch:%d, enable_id: %d, enable: %d", dev.id(), ch, enable_id,
         enable);
    int32_t ret = NetClient_SetCommonEnable(dev.loginfd(), enable_id, ch, enable);
    if (ret != 0)
        return ZREFUSE("NetClient_SetCommonEnable failed, host_id:%s, enable_id:%d, err_code:%lx, ret_value:%d",
                       dev.id(), enable_id, sdk_error(), ret);
    return 1;
}

int32_t get_common_enable_mode(void *host, char **out_buf) {
    if (!has_host_and_reply(host, out_buf))
        return 0;
    HostView dev(host);
    int32_t mode = 0;
    int32_t ret = NetClient_GetCommonEnable(dev.loginfd(), CI_COMMON_ID_DEVICE_MODE, kAllChannels, &mode);
    if (ret != 0)
        ZLOG(kLogError,
             "NetClient_GetCommonEnable-CI_COMMON_ID_DEVICE_MODE failed, host_id:%s, err_code:%lx, "
             "ret_value:%d",
             dev.id(), sdk_error(), ret);
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "ret", ret);
    if (ret == 0)
        add_int(reply.get(), "mode", mode);
    if (!reply_document(out_buf, reply.get()))
        return 0;
    return ret >= 0 ? 1 : 0;
}

}  // namespace zel
