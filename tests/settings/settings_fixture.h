// Playing the platform for the device-settings commands.
#pragma once

#include <json-c/json.h>

#include <string>

#include "command_test.h"

namespace settings_test {

using test::Bytes;
using test::Command;
using test::input;
using test::Lines;
using test::text_at;
using test::word_at;
using SettingsTest = test::CommandTest;

inline constexpr int32_t kWholeDevice = 0x7FFFFFFF;

// The number of elements of the reply's array `key` (-1 when there is none).
inline int array_length(const std::string &reply, const char *key) {
    json_object *doc = json_tokener_parse(reply.c_str());
    json_object *array = nullptr;
    int length = -1;
    if (doc != nullptr && json_object_object_get_ex(doc, key, &array) && json_object_is_type(array, json_type_array))
        length = static_cast<int>(json_object_array_length(array));
    json_object_put(doc);
    return length;
}

}  // namespace settings_test
