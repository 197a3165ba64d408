// Driving the query commands as the platform does, with device pages built
// from the device's record layouts.
#pragma once

#include <json-c/json.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "command_test.h"
#include "device_sdk_face_search.h"
#include "os_support_control.h"

namespace query_test {

using test::Lines;
using Keys = std::vector<std::string>;

struct Outcome {
    int32_t result;
    int err;
    std::string reply;
};

// The reply's member names in order, and a member's value (INT64_MIN when
// absent).
Keys keys(const std::string &reply);
int64_t int_of(const std::string &reply, const char *key);
// The elements of an array member of a reply, each serialised.
std::vector<std::string> elements(const std::string &reply, const char *key);

// A page of 20 records: records [0, count) get a size (and, where the
// record has one, the index first+i); the first record carries `total` and
// `count`.
template <typename Record> std::vector<Record> page_of(int32_t total, int32_t count, int32_t first = 0) {
    std::vector<Record> page(FACE_PAGE_RECORDS);
    for (int32_t i = 0; i < std::min<int32_t>(count, FACE_PAGE_RECORDS); ++i) {
        page[i].size = sizeof(Record);
        if constexpr (requires { page[i].index; })
            page[i].index = first + i;
    }
    page[0].total = total;
    page[0].page_count = count;
    return page;
}
inline std::vector<face_result> face_page(int32_t total, int32_t count, int32_t first = 0) {
    return page_of<face_result>(total, count, first);
}

template <typename Record> void push_page(int32_t cmd, const std::vector<Record> &page, int32_t result = 0) {
    sdk_sim_push_answer("NetClient_FaceConfig", cmd, result, 0, page.data(),
                        static_cast<int32_t>(page.size() * sizeof(Record)));
}

class QueryTest : public test::CommandTest {
  protected:
    static void SetUpTestSuite() { os_support_timers_pause(1); }

    // One get command on `on` (this test's host record unless said), as
    // CommandTest::run does it.
    Outcome query(const std::string &json, test::Host *on = nullptr, const char *filename = nullptr);
    Outcome page(int32_t findfd, int32_t count, test::Host *on = nullptr);
    Outcome close(int32_t findfd, test::Host *on = nullptr);
    // Opens a picture search session whose first page is `first`; its number.
    int32_t open_face_search(const std::vector<face_result> &first, test::Host *on = nullptr);
};

}  // namespace query_test
