#include "query_support.h"

#include <algorithm>

namespace query_test {
namespace {

json_object *parsed(const std::string &text) {
    json_object *obj = json_tokener_parse(text.c_str());
    EXPECT_NE(obj, nullptr) << text;
    return obj;
}

std::vector<std::string> member_names(json_object *obj) {
    std::vector<std::string> names;
    if (obj != nullptr && json_object_is_type(obj, json_type_object)) {
        json_object_object_foreach(obj, key, value) {
            (void)value;
            names.emplace_back(key);
        }
    }
    return names;
}

}  // namespace

Outcome get(test::Host &host, const std::string &json, const char *filename) {
    test::Command cmd(json);
    std::string name = filename != nullptr ? filename : "";
    cmd.opit.filename = filename != nullptr ? name.data() : nullptr;
    errno = test::kSentinelErrno;
    int32_t result = cmd_common_get_config(host.data(), &cmd.opit, sizeof cmd.opit);
    int err = errno;
    return {result, err, cmd.reply()};
}

std::vector<std::string> keys(const std::string &reply) {
    json_object *obj = parsed(reply);
    auto names = member_names(obj);
    json_object_put(obj);
    return names;
}

int64_t int_of(const std::string &reply, const char *key) {
    json_object *obj = parsed(reply);
    json_object *value = nullptr;
    int64_t result = json_object_object_get_ex(obj, key, &value) ? json_object_get_int64(value) : INT64_MIN;
    json_object_put(obj);
    return result;
}

std::vector<std::string> elements(const std::string &reply, const char *key) {
    std::vector<std::string> out;
    json_object *obj = parsed(reply);
    json_object *array = nullptr;
    if (json_object_object_get_ex(obj, key, &array) && json_object_is_type(array, json_type_array))
        for (size_t i = 0; i < json_object_array_length(array); ++i)
            out.emplace_back(
                json_object_to_json_string_ext(json_object_array_get_idx(array, i), JSON_C_TO_STRING_PLAIN));
    json_object_put(obj);
    return out;
}

std::vector<std::string> keys_of_element(const std::string &reply, const char *array, size_t index) {
    auto all = elements(reply, array);
    return index < all.size() ? keys(all[index]) : std::vector<std::string>{};
}

std::vector<sdk_sim_call> calls_of(const char *function) {
    std::vector<sdk_sim_call> out;
    for (int32_t i = 0; i < sdk_sim_call_count(); ++i) {
        sdk_sim_call call{};
        if (sdk_sim_get_call(i, &call) == 1 && std::string(call.function) == function)
            out.push_back(call);
    }
    return out;
}

int32_t QueryTest::open_face_search(test::Host &on, const std::vector<zel::face_result> &page) {
    push_page(zel::FACE_CMD_SEARCH, page);
    Outcome opened = get(on, R"({"command":0,"ch":3,"taskid":9,"picname":"p.jpg","libuuid":"lib-1","similar":80})");
    EXPECT_EQ(opened.result, 1) << opened.reply;
    return static_cast<int32_t>(int_of(opened.reply, "findfd"));
}

}  // namespace query_test
