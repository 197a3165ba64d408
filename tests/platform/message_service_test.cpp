// The message-service stand-in holds only its most recent texts: counts go
// on, older numbers read as absent, the newest stay readable.
#include <gtest/gtest.h>

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

}  // namespace
