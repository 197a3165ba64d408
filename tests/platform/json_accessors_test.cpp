#include "json_accessors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "portable.h"

namespace {

struct Doc {
    explicit Doc(const char *text) : obj(json_tokener_parse(text)) {}
    ~Doc() { json_object_put(obj); }
    json_object *obj;
};

const char *kMembers = R"({"n": 42, "ch": "3", "arr": [], "obj": {}, "f": 1.5, "g": -1.9, "t": true,
    "nul": null, "big": 1e300, "nbig": -1e300, "u": 9223372036854775808, "m": -9999999999, "name": 7})";

TEST(JsonFields, OnlyNumbersAreReadAsNumbersTruncatedAndClamped) {
    Doc d(kMembers);
    json_object_object_add(d.obj, "nan", json_object_new_double(NAN));
    struct {
        const char *key;
        int32_t i32;
        int64_t i64;
    } cases[] = {
        {"n", 42, 42},
        {"ch", -5, -5},
        {"arr", -5, -5},
        {"obj", -5, -5},
        {"t", -5, -5},
        {"nul", -5, -5},
        {"none", -5, -5},
        {"nan", -5, -5},
        {"f", 1, 1},
        {"g", -1, -1},
        {"big", INT32_MAX, INT64_MAX},
        {"nbig", INT32_MIN, INT64_MIN},
        {"u", INT32_MAX, INT64_MAX},
        {"m", INT32_MIN, -9999999999LL},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(json_object_get_field_int(d.obj, c.key, -5), c.i32);
        EXPECT_EQ(json_object_get_field_int64(d.obj, c.key, -5), c.i64);
    }
    EXPECT_EQ(json_object_get_field_double(d.obj, "n", 0.0), 42.0);
    EXPECT_EQ(json_object_get_field_double(d.obj, "g", 0.0), -1.9);
    EXPECT_EQ(json_object_get_field_double(d.obj, "u", 0.0), 9223372036854775808.0);
    for (const char *key : {"ch", "arr", "t", "nul", "none"})
        EXPECT_EQ(json_object_get_field_double(d.obj, key, 0.25), 0.25) << key;
}

TEST(JsonFields, StringsGiveTextOtherTypesTheirSerialisationNullGivesNull) {
    Doc d(kMembers);
    EXPECT_STREQ(json_object_get_field_string(d.obj, "ch"), "3");
    EXPECT_STREQ(json_object_get_field_string(d.obj, "name"), "7");
    EXPECT_STREQ(json_object_get_field_string(d.obj, "t"), "true");
    EXPECT_EQ(json_object_get_field_string(d.obj, "nul"), nullptr);
    EXPECT_EQ(json_object_get_field_string(d.obj, "none"), nullptr);
}

TEST(JsonFields, NoObjectOrKeyGivesDefault) {
    Doc d(R"({"a": 1})"), arr("[1]");
    EXPECT_EQ(json_object_get_field_int(nullptr, "a", -2), -2);
    EXPECT_EQ(json_object_get_field_int64(d.obj, nullptr, -2), -2);
    EXPECT_EQ(json_object_get_field_double(arr.obj, "a", 0.5), 0.5);
    EXPECT_EQ(json_object_get_field_string(arr.obj, "a"), nullptr);
}

struct TempFile {
    explicit TempFile(const std::string &content) { std::ofstream(path, std::ios::binary) << content; }
    ~TempFile() { std::filesystem::remove_all(dir); }
    const std::filesystem::path dir = test::make_scratch_dir("json_accessors_test");
    const std::string path = (dir / "file.json").string();
};

TEST(JsonFromFile, GivesParsedDocumentOrNull) {
    EXPECT_EQ(json_object_from_file_ex(nullptr), nullptr);
    EXPECT_EQ(json_object_from_file_ex("/nonexistent/config.json"), nullptr);
    EXPECT_EQ(json_object_from_file_ex(std::filesystem::temp_directory_path().string().c_str()), nullptr);
    for (const char *bad : {"", " \n", "{\"a\": 1", "{\"a\": 1} x", "{} {}"}) {
        TempFile f(bad);
        EXPECT_EQ(json_object_from_file_ex(f.path.c_str()), nullptr) << bad;
    }
    for (const char *good : {"{\"a\": 3}\n", "\xEF\xBB\xBF{\"a\": 3}", "3"}) {
        TempFile f(good);
        json_object *doc = json_object_from_file_ex(f.path.c_str());
        ASSERT_NE(doc, nullptr) << good;
        EXPECT_EQ(json_object_is_type(doc, json_type_object) ? json_object_get_field_int(doc, "a", -1)
                                                             : json_object_get_int(doc),
                  3);
        json_object_put(doc);
    }
}

}  // namespace
