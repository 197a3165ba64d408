// json-c ownership and the reply forms of the command handlers.
#pragma once

#include <json-c/json.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "json_accessors.h"
#include "zel_log.h"

namespace zel {

struct JsonPut {
    void operator()(json_object *o) const { json_object_put(o); }
};
// Owner of one json-c reference; released with json_object_put.
using JsonPtr = std::unique_ptr<json_object, JsonPut>;

// json-c constructors that cannot fail: a null result is fatal, with `what`
// as the level-5 line ("is_error(jso_ret)", "is_error(jso_param)", ...).
JsonPtr new_object(const char *what, Site site = {});
JsonPtr new_array(const char *what, Site site = {});

// Adds a member / element built by a json-c constructor (json_object_new_int
// and friends); a null value is fatal like a failed constructor.
void add(json_object *obj, const char *key, json_object *value, const char *what = "is_error(jso_ret)", Site site = {});
void append(json_object *array, json_object *value, const char *what = "is_error(jso_param)", Site site = {});

// A device text field as a JSON string: the device may fill a field to its
// last byte, so it is never read past its width. (Null only when json-c
// runs out of memory; add() and append() treat that as fatal.)
inline json_object *field_string(const char *field, size_t width) {
    return json_object_new_string_len(field, static_cast<int>(strnlen(field, width)));
}
template <size_t N> json_object *field_string(const char (&field)[N]) { return field_string(field, N); }

// The members most replies are made of; `what` is the level-5 line when
// json-c cannot build them.
inline void add_int(json_object *obj, const char *key, int32_t value, const char *what = "is_error(jso_ret)",
                    Site site = {}) {
    add(obj, key, json_object_new_int(value), what, site);
}
inline void add_int64(json_object *obj, const char *key, int64_t value, const char *what = "is_error(jso_ret)",
                      Site site = {}) {
    add(obj, key, json_object_new_int64(value), what, site);
}
// A terminated text, such as a literal or a formatted value.
inline void add_string(json_object *obj, const char *key, const char *text, const char *what = "is_error(jso_ret)",
                       Site site = {}) {
    add(obj, key, json_object_new_string(text), what, site);
}
// A device text field, never read past its width.
template <size_t N>
void add_text(json_object *obj, const char *key, const char (&field)[N], const char *what = "is_error(jso_ret)",
              Site site = {}) {
    add(obj, key, field_string(field), what, site);
}

// What a reply allocation logs at level 5 before the process ends.
struct Oom {
    const char *what;
    Site site;
    Oom(const char *w = "*out_buf == NULL", Site s = {}) : what(w), site(s) {}
};

// Fixed replies: a zeroed 260-byte buffer from calloc holding one of the
// fixed formats, stored in the reply slot.
inline constexpr size_t kFixedReplySize = 260;
void reply_ret(char **out_buf, int32_t ret, Oom oom = {});
void reply_errno(char **out_buf, int32_t err, Oom oom = {});
void reply_ret_progress(char **out_buf, int32_t ret, int32_t progress, Oom oom = {});
void reply_result(char **out_buf, int32_t result, Oom oom = {});
void reply_last_stop_time(char **out_buf, int64_t last_stop_time, Oom oom = {});
void reply_ret_err_code(char **out_buf, int32_t ret, int32_t err_code, Oom oom = {});

// Document reply: serialises `doc` into a calloc'd buffer of the text length
// plus one and stores it in the reply slot. A serialisation that yields
// nothing logs `empty` (at `empty_level`) and returns false; the slot is
// untouched.
bool reply_document(char **out_buf, json_object *doc, Oom oom = {"*out_buf == NULL calloc err!"},
                    const char *empty = "jso_string == NULL", int32_t empty_level = kLogError);

}  // namespace zel
