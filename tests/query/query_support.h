// Driving the query commands as the platform does, with device pages built
// from the record layouts.
#pragma once

#include <json-c/json.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "device_sdk_sim.h"
#include "face/query_records.h"
#include "os_support_control.h"
#include "platform_fixture.h"

namespace query_test {

struct Outcome {
    int32_t result;
    int err;
    std::string reply;
};

// One get command through cmd_common_get_config, errno preset to the
// sentinel.
Outcome get(test::Host &host, const std::string &json, const char *filename = nullptr);

// The reply's member names in order, and a member's value (null: absent).
std::vector<std::string> keys(const std::string &reply);
int64_t int_of(const std::string &reply, const char *key);
// The "param" or "pic_info" array of a reply, each element serialised.
std::vector<std::string> elements(const std::string &reply, const char *key);
// An element's member names in order.
std::vector<std::string> keys_of_element(const std::string &reply, const char *array, size_t index);

// A page of 20 records: records [0, count) get a size (and, where the
// record has one, the index first+i); the first record carries `total` and
// `count`.
template <typename Record> std::vector<Record> page_of(int32_t total, int32_t count, int32_t first = 0) {
    std::vector<Record> page(zel::kPageRecords);
    for (int32_t i = 0; i < std::min(count, zel::kPageRecords); ++i) {
        page[i].size = sizeof(Record);
        if constexpr (requires { page[i].index; })
            page[i].index = first + i;
    }
    page[0].total = total;
    page[0].page_count = count;
    return page;
}
inline std::vector<zel::face_result> face_page(int32_t total, int32_t count, int32_t first = 0) {
    return page_of<zel::face_result>(total, count, first);
}

template <typename Record> void push_page(int32_t cmd, const std::vector<Record> &page, int32_t result = 0) {
    sdk_sim_push_answer("NetClient_FaceConfig", cmd, result, 0, page.data(),
                        static_cast<int32_t>(page.size() * sizeof(Record)));
}

// The logged calls of one SDK function.
std::vector<sdk_sim_call> calls_of(const char *function);

template <typename Record> Record input_of(const sdk_sim_call &call) {
    Record record{};
    EXPECT_EQ(call.in_len, static_cast<int32_t>(sizeof(Record)));
    std::memcpy(&record, call.in, std::min(sizeof record, static_cast<size_t>(call.in_len)));
    return record;
}

class QueryTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        os_support_timers_pause(1);
        test::init_library_once();
    }
    void SetUp() override { sdk_sim_reset(); }

    // Opens a picture search session whose first page is `page`; its number.
    int32_t open_face_search(test::Host &on, const std::vector<zel::face_result> &page);

    test::Host host;
    test::LogCapture log;
};

}  // namespace query_test
