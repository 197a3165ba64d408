// Channel passwords (set 11) and digital-channel passwords (set 12): a batch
// of channels, each sent on its own and answered "ok" or "err" in a
// "channels" array; one failing channel never stops the others.
#include <cstring>

#include "device_sdk_settings.h"
#include "handler_support.h"
#include "host_view.h"
#include "settings/settings_handlers.h"

namespace zel {
namespace {

// One element of the batch, its texts borrowed from the command.
struct ChannelLogin {
    int32_t ch;
    const char *username;
    const char *oldpass;
    const char *newpass;
};

// Sends one channel's new login; true when the device took it.
using SendLogin = bool (*)(const HostView &dev, const ChannelLogin &login);

// Copies up to 16 characters: a 16-character text fills the field without
// terminator, as the device reads these fields.
void fill_field(char (&field)[16], const char *text) { std::memcpy(field, text, strnlen(text, sizeof field)); }

bool send_channel_password(const HostView &dev, const ChannelLogin &login) {
    int32_t state = 0;
    int32_t returned = 0;
    int32_t ret =
        NetClient_GetDevConfig(dev.loginfd(), NET_CLIENT_CHN_CONNECT_STATE, login.ch, &state, sizeof state, &returned);
    if (ret != 0)
        return ZREFUSE("NetClient_GetDevConfig-NET_CLIENT_CHN_CONNECT_STATE failed, host_id:%s, ch:%d, ret_value:%d",
                       dev.id(), login.ch, ret);
    if (state != 1)
        return ZREFUSE("CHN DISCONNECT status:%d", state);
    auto password = sized_record<chn_password>();
    fill_field(password.username, login.username);
    fill_field(password.old_password, login.oldpass);
    fill_field(password.new_password, login.newpass);
    ret =
        NetClient_SetDevConfig(dev.loginfd(), NET_CLIENT_CHN_PASSWORD, login.ch, &password, record_len<chn_password>());
    if (ret != 0)
        return ZREFUSE("NetClient_SetDevConfig-NET_CLIENT_CHN_PASSWORD failed, host_id:%s, ch:%d, ret_value:%d",
                       dev.id(), login.ch, ret);
    return true;
}

// The digital channel's own record is read, its login texts replaced and
// written back; the old password is not part of it.
bool send_digital_channel_password(const HostView &dev, const ChannelLogin &login) {
    digital_channel config{};
    int32_t ret = NetClient_GetDigitalChannelConfig(dev.loginfd(), login.ch, DIGITAL_CHANNEL_GET, &config,
                                                    record_len<digital_channel>());
    if (ret != 0)
        return ZREFUSE("NetClient_GetDigitalChannelConfig failed, host_id:%s, ch:%d, ret_value:%d", dev.id(), login.ch,
                       ret);
    copy_text(config.username, login.username);
    copy_text(config.password, login.newpass);
    ret = NetClient_SetDigitalChannelConfig(dev.loginfd(), login.ch, DIGITAL_CHANNEL_SET, &config,
                                            record_len<digital_channel>());
    if (ret != 0)
        return ZREFUSE("NetClient_SetDigitalChannelConfig failed, host_id:%s, ch:%d, ret_value:%d", dev.id(), login.ch,
                       ret);
    return true;
}

// An element with a channel and all three texts; others are logged.
bool read_login(json_object *element, ChannelLogin &login) {
    if (element == nullptr)
        return ZREFUSE("is_error(jso_channel)");
    login.ch = json_object_get_field_int(element, "ch", -1);
    if (login.ch < 0)
        return ZREFUSE("ch < 0");
    if ((login.username = json_object_get_field_string(element, "username")) == nullptr)
        return ZREFUSE("username == NULL");
    if ((login.oldpass = json_object_get_field_string(element, "oldpass")) == nullptr)
        return ZREFUSE("oldpass == NULL");
    if ((login.newpass = json_object_get_field_string(element, "newpass")) == nullptr)
        return ZREFUSE("newpass == NULL");
    return true;
}

// Every valid element gets an entry {"ch", "status"}; "ret" is 0 once the
// batch ran, -1 when there was none.
int32_t run_batch(void *host, json_object *jso, char **out_buf, SendLogin send) {
    if (!has_command_and_reply(host, jso, out_buf, {.host_code = CMD_ZEL_ENOHOST}))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)");
    JsonPtr entries = new_array("is_error(jso_channels_ret)");
    json_object *list = entries.get();
    add(reply.get(), "channels", entries.release());

    int32_t ret = -1;
    json_object *channels = json_object_object_get(jso, "channels");
    if (channels == nullptr || !json_object_is_type(channels, json_type_array))
        ZFAIL(CMD_ZEL_EINVAL, "is_error(jso_channels)");
    else if (json_object_array_length(channels) == 0)
        ZFAIL(CMD_ZEL_EINVAL, "channel_num == 0");
    else {
        HostView dev(host);
        for (size_t i = 0; i < json_object_array_length(channels); ++i) {
            ChannelLogin login{};
            if (!read_login(json_object_array_get_idx(channels, i), login))
                continue;
            JsonPtr entry = new_object("is_error(jso_channel_ret)");
            add_int(entry.get(), "ch", login.ch);
            bool sent = send(dev, login);
            add(entry.get(), "status", json_object_new_string(sent ? "ok" : "err"));
            append(list, entry.release());
        }
        ret = 0;
    }
    add_int(reply.get(), "ret", ret);
    if (!reply_document(out_buf, reply.get()))
        return 0;
    return ret == 0 ? 1 : 0;
}

}  // namespace

int32_t set_channel_password(void *host, json_object *jso, char **out_buf) {
    return run_batch(host, jso, out_buf, send_channel_password);
}

int32_t set_digital_channel_password(void *host, json_object *jso, char **out_buf) {
    return run_batch(host, jso, out_buf, send_digital_channel_password);
}

}  // namespace zel
