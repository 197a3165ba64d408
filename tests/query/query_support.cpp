#include "query_support.h"

namespace query_test {
namespace {

// A reply parsed for reading its members (null when it is not JSON).
struct Parsed {
    explicit Parsed(const std::string &text) : obj(json_tokener_parse(text.c_str())) {}
    ~Parsed() { json_object_put(obj); }
    Parsed(const Parsed &) = delete;
    Parsed &operator=(const Parsed &) = delete;
    json_object *member(const char *key) const {
        json_object *value = nullptr;
        return json_object_object_get_ex(obj, key, &value) ? value : nullptr;
    }
    json_object *obj;
};

}  // namespace

Keys keys(const std::string &reply) {
    Parsed parsed(reply);
    Keys names;
    if (json_object_is_type(parsed.obj, json_type_object)) {
        json_object_object_foreach(parsed.obj, key, value) {
            (void)value;
            names.emplace_back(key);
        }
    }
    return names;
}

int64_t int_of(const std::string &reply, const char *key) {
    Parsed parsed(reply);
    json_object *value = parsed.member(key);
    return value != nullptr ? json_object_get_int64(value) : INT64_MIN;
}

std::vector<std::string> elements(const std::string &reply, const char *key) {
    Parsed parsed(reply);
    json_object *array = parsed.member(key);
    std::vector<std::string> out;
    for (size_t i = 0; json_object_is_type(array, json_type_array) && i < json_object_array_length(array); ++i)
        out.emplace_back(json_object_to_json_string_ext(json_object_array_get_idx(array, i), JSON_C_TO_STRING_PLAIN));
    return out;
}

Outcome QueryTest::query(const std::string &json, test::Host *on, const char *filename) {
    test::Command cmd(json);
    cmd.opit.filename = const_cast<char *>(filename);
    log.clear();
    errno = test::kSentinelErrno;
    int32_t result = cmd_common_get_config((on != nullptr ? on : &host)->data(), &cmd.opit, sizeof cmd.opit);
    int err_after = errno;
    return {result, err_after, cmd.reply()};
}

Outcome QueryTest::page(int32_t findfd, int32_t count, test::Host *on) {
    return query(R"({"command":1,"findfd":)" + std::to_string(findfd) + R"(,"count":)" + std::to_string(count) + "}",
                 on);
}

Outcome QueryTest::close(int32_t findfd, test::Host *on) {
    return query(R"({"command":2,"findfd":)" + std::to_string(findfd) + "}", on);
}

int32_t QueryTest::open_face_search(const std::vector<face_result> &first, test::Host *on) {
    push_page(FACE_CMD_SEARCH, first);
    Outcome opened = query(R"({"command":0,"ch":3,"taskid":9,"picname":"p.jpg","libuuid":"lib-1","similar":80})", on);
    EXPECT_EQ(opened.result, 1) << opened.reply;
    return static_cast<int32_t>(int_of(opened.reply, "findfd"));
}

}  // namespace query_test
