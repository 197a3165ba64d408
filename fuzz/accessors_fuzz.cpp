// The platform JSON accessors on any document: every reader with every key
// the document has and a few it may not have.
#include <json-c/json.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "json_accessors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string text(reinterpret_cast<const char *>(data), size);
    json_object *doc = json_tokener_parse(text.c_str());
    const char *fixed_keys[] = {"command", "ch", "name", "", "\xff"};
    auto read_all = [doc](const char *key) {
        (void)json_object_get_field_int(doc, key, -1);
        (void)json_object_get_field_int64(doc, key, -1);
        (void)json_object_get_field_double(doc, key, 0.0);
        if (const char *s = json_object_get_field_string(doc, key))
            (void)std::string(s);
    };
    for (const char *key : fixed_keys)
        read_all(key);
    if (doc != nullptr && json_object_is_type(doc, json_type_object)) {
        json_object_object_foreach(doc, key, value) {
            (void)value;
            read_all(key);
        }
    }
    json_object_put(doc);
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) { return 0; }
