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
    const char *request = R"({"cmd":"create_connection","param":{"type":1,"port":5672}})";
    char reply[64];
    int32_t size = 0;
    const auto at = [](const void *p) { return std::to_string(reinterpret_cast<intptr_t>(p)); };
    const std::string tail = ",\"ret_buf_size\":64,\"ret_size\":" + at(&size);
    const std::string own = "{\"cmd\":" + at(request) + ",\"cmd_size\":60,\"ret\":" + at(reply) + tail + "}";
    const std::string other = "{ \"ret_size\": " + at(&size) + ", \"ret\": " + at(reply) + ", \"cmd\": " + at(request) +
                              ", \"ret_buf_size\": 64, \"cmd_size\": 60 }";
    for (const auto &[envelope, result] :
         {std::pair{own, 0}, std::pair{other, 0}, std::pair{own.substr(0, own.size() - 1), -1},
          std::pair{"[" + own + "]", -1}}) {
        SCOPED_TRACE(envelope);
        ms_control_reset();
        std::strcpy(reply, "untouched");
        EXPECT_EQ(ms_push_message(5, envelope.c_str()), result);
        EXPECT_STREQ(reply, result == 0 ? R"({"ret":0,"connect_fd":1})" : "untouched");
    }
}

}  // namespace
