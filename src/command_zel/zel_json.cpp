#include "zel_json.h"

#include <cstdio>
#include <cstring>

namespace zel {
namespace {

template <typename... Args> void reply_fixed(char **out_buf, const Oom &oom, const char *format, Args... args) {
    auto *buf = static_cast<char *>(xcalloc(1, kFixedReplySize, oom.what, oom.site));
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(buf, kFixedReplySize, format, args...);
#pragma GCC diagnostic pop
    *out_buf = buf;
}

JsonPtr made_or_die(json_object *made, const char *what, const Site &site) {
    if (made == nullptr)
        die(what, site);
    return JsonPtr(made);
}

}  // namespace

JsonPtr new_object(const char *what, Site site) { return made_or_die(json_object_new_object(), what, site); }
JsonPtr new_array(const char *what, Site site) { return made_or_die(json_object_new_array(), what, site); }

void add(json_object *obj, const char *key, json_object *value, const char *what, Site site) {
    if (value == nullptr)
        die(what, site);
    json_object_object_add(obj, key, value);
}

void append(json_object *array, json_object *value, const char *what, Site site) {
    if (value == nullptr)
        die(what, site);
    json_object_array_add(array, value);
}

void reply_ret(char **out_buf, int32_t ret, Oom oom) { reply_fixed(out_buf, oom, R"({"ret":%d})", ret); }
void reply_errno(char **out_buf, int32_t err, Oom oom) { reply_fixed(out_buf, oom, R"({"errno":%d})", err); }
void reply_ret_progress(char **out_buf, int32_t ret, int32_t progress, Oom oom) {
    reply_fixed(out_buf, oom, R"({"ret":%d,"progress":%d})", ret, progress);
}
void reply_result(char **out_buf, int32_t result, Oom oom) { reply_fixed(out_buf, oom, R"({"result":%d})", result); }
void reply_last_stop_time(char **out_buf, int64_t last_stop_time, Oom oom) {
    reply_fixed(out_buf, oom, R"({"last_stop_time":%lld})", static_cast<long long>(last_stop_time));
}
void reply_ret_err_code(char **out_buf, int32_t ret, int32_t err_code, Oom oom) {
    reply_fixed(out_buf, oom, R"({"ret":%d, "err_code":%d})", ret, err_code);
}

bool reply_document(char **out_buf, json_object *doc, Oom oom, const char *empty, int32_t empty_level) {
    const char *text = json_object_to_json_string(doc);
    if (text == nullptr) {
        log_debug_ex(empty_level, oom.site.file(), oom.site.line, "%s", empty);
        return false;
    }
    size_t len = std::strlen(text);
    auto *buf = static_cast<char *>(xcalloc(1, len + 1, oom.what, oom.site));
    std::memcpy(buf, text, len);
    *out_buf = buf;
    return true;
}

}  // namespace zel
