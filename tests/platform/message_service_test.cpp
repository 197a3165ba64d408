// The message-service stand-in: it holds only its most recent texts (counts
// go on, older numbers read as absent, the newest stay readable) and reads
// the broker request envelope whatever its layout.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "message_service.h"
#include "message_service_control.h"

namespace {

TEST(MessageService, KeepsCountsAndAWindowOfRecentTexts) {
    ms_control_reset();
    constexpr int32_t kTexts = MS_CONTROL_KEPT + 100;
    for (int32_t i = 0; i < kTexts; ++i)
        ASSERT_EQ(ms_push_message(150, ("{\"n\":" + std::to_string(i) + "}").c_str()), 0);
    EXPECT_EQ(ms_control_published_count(), kTexts);
    char text[32];
    EXPECT_EQ(ms_control_published(kTexts - MS_CONTROL_KEPT - 1, text, sizeof text), -1);
    for (int32_t i : {kTexts - MS_CONTROL_KEPT, kTexts - 1}) {
        ASSERT_GT(ms_control_published(i, text, sizeof text), 0);
        EXPECT_EQ(std::string(text), "{\"n\":" + std::to_string(i) + "}");
    }
    EXPECT_EQ(ms_control_published(kTexts, text, sizeof text), -1);
    ms_control_reset();
    EXPECT_EQ(ms_control_published_count(), 0);
    EXPECT_EQ(ms_control_published(0, text, sizeof text), -1);
}

// The envelope is read in the library's own layout and as any other JSON
// object with the same members; anything else is refused untouched.
TEST(MessageService, ReadsEnvelopesInAnyLayout) {
    ms_control_reset();
    const char *request = R"({"cmd":"create_connection","param":{"type":1,"port":5672}})";
    char reply[64];
    int32_t size = 0;
    const auto address = [](const void *p) { return std::to_string(reinterpret_cast<intptr_t>(p)); };
    const std::string cmd = address(request), cmd_size = std::to_string(std::strlen(request) + 1), ret = address(reply),
                      ret_buf_size = std::to_string(sizeof reply), ret_size = address(&size);
    const struct {
        std::string envelope;
        int32_t result;
    } cases[] = {
        {"{\"cmd\":" + cmd + ",\"cmd_size\":" + cmd_size + ",\"ret\":" + ret + ",\"ret_buf_size\":" + ret_buf_size +
             ",\"ret_size\":" + ret_size + "}",
         0},
        {"{ \"ret\": " + ret + ", \"cmd\": " + cmd + ", \"ret_size\": " + ret_size + ", \"cmd_size\": " + cmd_size +
             ", \"ret_buf_size\": " + ret_buf_size + " }",
         0},
        {"{\"cmd\":" + cmd + ",\"cmd_size\":" + cmd_size + ",\"ret\":" + ret + ",\"ret_buf_size\":" + ret_buf_size +
             ",\"ret_size\":" + ret_size,
         -1},
        {"{\"cmd\":" + cmd + ",\"cmd_size\":" + cmd_size + ",\"ret\":" + ret + ",\"ret_buf_size\":" + ret_buf_size +
             "}",
         -1},
        {"[" + cmd + "," + cmd_size + "," + ret + "," + ret_buf_size + "," + ret_size + "]", -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.envelope);
        std::strcpy(reply, "untouched");
        EXPECT_EQ(ms_push_message(5, c.envelope.c_str()), c.result);
        EXPECT_STREQ(reply, c.result == 0 ? R"({"ret":0,"connect_fd":1})" : "untouched");
        ms_control_reset();
    }
}

}  // namespace
