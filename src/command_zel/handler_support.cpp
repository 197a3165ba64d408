#include "handler_support.h"

#include <cstdio>

#include "host_view.h"

namespace zel {
namespace {

// Logs one opening refusal as the handler words it and sets its code.
bool refuse_opening(const Opening &opening, const char *text, int32_t code, void *host, const Site &site) {
    char id[host_field::kIdSize + 64] = "";
    if (opening.host_id != nullptr && host != nullptr) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
        std::snprintf(id, sizeof id, opening.host_id, HostView(host).id());
#pragma GCC diagnostic pop
    }
    const char *shown = opening.any_missing != nullptr ? opening.any_missing : text;
    log_debug_ex(kLogError, site.file(), site.line, "%s%s%s%s", opening.prefix, shown, opening.suffix, id);
    if (code != kKeepErrno)
        set_error(code);
    return false;
}

// Without a refusal text the line names the key: "<key> == -1", or for a
// text member "<key> == NULL".
bool refuse_member(const Refusal &refusal, const char *key, const Site &site, bool text_member = false) {
    if (refusal.text != nullptr)
        log_debug_ex(kLogError, site.file(), site.line, "%s", refusal.text);
    else if (text_member)
        log_debug_ex(kLogError, site.file(), site.line, "%s == NULL", key);
    else
        log_debug_ex(kLogError, site.file(), site.line, "%s == -1", key);
    if (refusal.code != kKeepErrno)
        set_error(refusal.code);
    return false;
}

}  // namespace

bool has_host(void *host, const Opening &opening, Site site) {
    return host != nullptr || refuse_opening(opening, "host == NULL", opening.host_code, nullptr, site);
}

bool has_command(void *host, json_object *jso, const Opening &opening, Site site) {
    if (!has_host(host, opening, site))
        return false;
    return jso != nullptr || refuse_opening(opening, "is_error(jso)", opening.code, host, site);
}

bool has_reply_slot(void *host, char **out_buf, const Opening &opening, Site site) {
    return out_buf != nullptr || refuse_opening(opening, "out_buf == NULL", opening.code, host, site);
}

bool has_command_and_reply(void *host, json_object *jso, char **out_buf, const Opening &opening, Site site) {
    return has_command(host, jso, opening, site) && has_reply_slot(host, out_buf, opening, site);
}

bool has_host_and_reply(void *host, char **out_buf, const Opening &opening, Site site) {
    return has_host(host, opening, site) && has_reply_slot(host, out_buf, opening, site);
}

bool read_required(json_object *jso, const char *key, int32_t &value, const Refusal &refusal, int32_t absent,
                   Site site) {
    value = json_object_get_field_int(jso, key, absent);
    return value != absent || refuse_member(refusal, key, site);
}

bool read_non_negative(json_object *jso, const char *key, int32_t &value, const Refusal &refusal, Site site) {
    value = json_object_get_field_int(jso, key, -1);
    return value >= 0 || refuse_member(refusal, key, site);
}

bool read_in_range(json_object *jso, const char *key, int32_t &value, int32_t low, int32_t high, const Refusal &refusal,
                   Site site) {
    value = json_object_get_field_int(jso, key, -1);
    return (value >= low && value <= high) || refuse_member(refusal, key, site);
}

void read_optional(json_object *jso, const char *key, int32_t &field, const char *absent_log, Site site) {
    int32_t value = json_object_get_field_int(jso, key, -1);
    if (value != -1)
        field = value;
    else if (absent_log != nullptr)
        log_debug_ex(kLogError, site.file(), site.line, "%s", absent_log);
}

bool read_device_channel(json_object *jso, int32_t &ch, const Refusal &refusal, Site site) {
    ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < -1)
        return refuse_member(refusal, "ch", site);
    if (ch == -1)
        ch = kAllChannels;
    return true;
}

const char *bounded_text(json_object *jso, const char *key, size_t limit) {
    const char *text = json_object_get_field_string(jso, key);
    return text != nullptr && strnlen(text, limit) < limit ? text : nullptr;
}

bool read_text(json_object *jso, const char *key, const char *&text, const Refusal &refusal, Site site) {
    text = json_object_get_field_string(jso, key);
    return text != nullptr || refuse_member(refusal, key, site, true);
}

bool read_bounded_text(json_object *jso, const char *key, size_t limit, const char *&text, const Refusal &refusal,
                       Site site) {
    text = bounded_text(jso, key, limit);
    return text != nullptr || refuse_member(refusal, key, site, true);
}

std::optional<bool> take_analysis_off_answer(void *host, int32_t ch) {
    constexpr int32_t kPasses = 100;
    constexpr int32_t kPauseMs = 10;
    constexpr int32_t kNoAnswer = -1;
    HostView view(host);
    for (int32_t pass = 0; pass < kPasses; ++pass) {
        if (void *record = view.find_channel(static_cast<uint32_t>(ch)); record != nullptr) {
            ChannelView channel(record);
            int32_t answer = channel.load_flag(channel_field::kVcaEnableReply);
            if (answer == 0 || answer == 1) {
                channel.store_flag(channel_field::kVcaEnableReply, kNoAnswer);
                return answer == 1;
            }
        }
        os_sleep(kPauseMs);
    }
    return std::nullopt;
}

}  // namespace zel
