/* Member accessors over json-c objects, as the command library reads its
 * command documents, broker replies and configuration files.
 *
 * Type rules for integrators
 * --------------------------
 * Every accessor first looks up member `key` of `obj`. The lookup finds
 * nothing when `obj` or `key` is NULL, when `obj` is not a JSON object, when
 * the member is absent, or when the member is JSON null; the accessor then
 * gives its default (the string accessor gives NULL).
 *
 *  - json_object_get_field_int / _int64: only JSON numbers count. An integer
 *    member gives its value clamped to the result's range (json-c keeps
 *    positive integers above INT64_MAX as unsigned; they clamp to INT64_MAX).
 *    A floating-point member is truncated toward zero and clamped; NaN gives
 *    the default. Strings (even "3"), booleans, arrays and objects give the
 *    default: callers detect a missing or unusable member by comparing with
 *    the default they passed, so a member of the wrong type must look
 *    missing rather than turn into 0 or 1.
 *  - json_object_get_field_double: an integer or floating-point member as a
 *    double; every other type gives the default.
 *  - json_object_get_field_string: the member's text as json_object_get_string
 *    gives it, owned by `obj` (valid while `obj` lives and the member is not
 *    replaced). For a string member that is its text; for any other type it
 *    is json-c's serialisation of the member, so "name":7 gives "7",
 *    "name":true gives "true" and "name":[1] gives "[ 1 ]". This is
 *    deliberate: callers that copy a text member must see the device's value
 *    even when a sender wrote it as a number.
 *  - json_object_from_file_ex: the parsed document (any JSON value), or NULL
 *    when `path` is NULL, the file cannot be read, is not valid JSON, or has
 *    anything but whitespace after the value. A leading UTF-8 byte-order mark
 *    is skipped. The caller releases the result with json_object_put.
 *
 * Every function leaves errno as it found it: json-c's number conversions and
 * parser change errno, and callers read errno after a command. */
#include "json_accessors.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "platform_export.h"

#define JSON_ACCESSOR_EXPORT extern "C" PLATFORM_EXPORT

namespace {

class ErrnoGuard {
  public:
    ErrnoGuard() : saved_(errno) {}
    ~ErrnoGuard() { errno = saved_; }
    ErrnoGuard(const ErrnoGuard &) = delete;
    ErrnoGuard &operator=(const ErrnoGuard &) = delete;

  private:
    int saved_;
};

/* The member, or NULL when there is nothing usable to read (see above). */
json_object *member(json_object *obj, const char *key) {
    if (obj == nullptr || key == nullptr || !json_object_is_type(obj, json_type_object))
        return nullptr;
    json_object *value = nullptr;
    if (!json_object_object_get_ex(obj, key, &value))
        return nullptr;
    return value; /* NULL for a JSON null member */
}

bool is_number(const json_object *value) {
    return json_object_is_type(value, json_type_int) || json_object_is_type(value, json_type_double);
}

/* Truncate toward zero and clamp to T's range. The caller has excluded NaN. */
template <typename T> T clamp_double(double d) {
    /* T's minimum is -2^N, exactly representable; 2^N is the first value above the maximum. */
    constexpr double lower = static_cast<double>(std::numeric_limits<T>::min());
    constexpr double upper = -lower;
    if (d >= upper)
        return std::numeric_limits<T>::max();
    if (d <= lower)
        return std::numeric_limits<T>::min();
    return static_cast<T>(d);
}

template <typename T> T integer_member(json_object *obj, const char *key, T def) {
    json_object *value = member(obj, key);
    if (value == nullptr || !is_number(value))
        return def;
    if (json_object_is_type(value, json_type_double)) {
        double d = json_object_get_double(value);
        return std::isnan(d) ? def : clamp_double<T>(d);
    }
    /* json-c's int64 getter already clamps unsigned values above INT64_MAX. */
    int64_t v = json_object_get_int64(value);
    if (v > std::numeric_limits<T>::max())
        return std::numeric_limits<T>::max();
    if (v < std::numeric_limits<T>::min())
        return std::numeric_limits<T>::min();
    return static_cast<T>(v);
}

bool is_json_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool read_file(const char *path, std::string &text) {
    FILE *f = std::fopen(path, "rb");
    if (f == nullptr)
        return false;
    char chunk[8192];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        text.append(chunk, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

json_object *parse_document(const std::string &text) {
    size_t start = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3;
    size_t len = text.size() - start;
    if (len >= static_cast<size_t>(std::numeric_limits<int>::max()))
        return nullptr;

    json_tokener *tok = json_tokener_new();
    if (tok == nullptr)
        return nullptr;
    /* Pass the terminating NUL too, so a document that is a bare number ends. */
    json_object *doc = json_tokener_parse_ex(tok, text.c_str() + start, static_cast<int>(len) + 1);
    bool ok = json_tokener_get_error(tok) == json_tokener_success;
    size_t end = json_tokener_get_parse_end(tok);
    json_tokener_free(tok);
    for (size_t i = start + end; ok && i < text.size(); ++i)
        ok = is_json_space(text[i]);
    if (!ok) {
        json_object_put(doc);
        return nullptr;
    }
    return doc;
}

}  // namespace

JSON_ACCESSOR_EXPORT int32_t json_object_get_field_int(struct json_object *obj, const char *key, int32_t def) {
    ErrnoGuard guard;
    return integer_member<int32_t>(obj, key, def);
}

JSON_ACCESSOR_EXPORT int64_t json_object_get_field_int64(struct json_object *obj, const char *key, int64_t def) {
    ErrnoGuard guard;
    return integer_member<int64_t>(obj, key, def);
}

JSON_ACCESSOR_EXPORT double json_object_get_field_double(struct json_object *obj, const char *key, double def) {
    ErrnoGuard guard;
    json_object *value = member(obj, key);
    if (value == nullptr || !is_number(value))
        return def;
    return json_object_get_double(value);
}

JSON_ACCESSOR_EXPORT const char *json_object_get_field_string(struct json_object *obj, const char *key) {
    ErrnoGuard guard;
    json_object *value = member(obj, key);
    return value == nullptr ? nullptr : json_object_get_string(value);
}

JSON_ACCESSOR_EXPORT struct json_object *json_object_from_file_ex(const char *path) {
    ErrnoGuard guard;
    std::string text;
    if (path == nullptr || !read_file(path, text))
        return nullptr;
    return parse_document(text);
}
