// The message-service stand-in: it holds only its most recent texts (counts
// go on, older numbers read as absent, the newest stay readable) and reads
// the broker request envelope and the message requests whatever their
// layout.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <string>
#include <thread>

#include "message_service.h"
#include "message_service_control.h"

namespace {

std::string address(const void *p) { return std::to_string(reinterpret_cast<intptr_t>(p)); }

// The reply to one broker request, sent in the library's envelope.
std::string request(const std::string &text) {
    char reply[256] = {};
    int32_t size = 0;
    const std::string envelope = "{\"cmd\":" + address(text.c_str()) +
                                 ",\"cmd_size\":" + std::to_string(text.size() + 1) + ",\"ret\":" + address(reply) +
                                 ",\"ret_buf_size\":256,\"ret_size\":" + address(&size) + "}";
    return ms_push_message(5, envelope.c_str()) == 0 ? reply : "refused";
}

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

// A message request is read in place in the library's form (json-c's
// default), and any other text is parsed as JSON with the same meaning.
TEST(MessageService, ReadsMessageRequestsInAnyLayout) {
    ms_control_reset();
    ASSERT_EQ(request(R"({"cmd":"create_connection","param":{"type":0,"ip":"127.0.0.1","port":61616}})"),
              R"({"ret":0,"connect_fd":1})");
    ASSERT_EQ(request(R"({"cmd":"create_productor","param":{"connect_fd":1,"opt":{"queue":"q"}}})"),
              R"({"ret":0,"productor_fd":2})");
    static const char text[] = "hello";
    const auto own = [&](const std::string &producer, const std::string &size) {
        return R"({ "cmd": "send_message", "param": { "productor_fd": )" + producer + R"(, "data": )" + address(text) +
               R"(, "data_size": )" + size + " } }";
    };
    const std::string other =
        R"({"param":{"data_size":6,"data":)" + address(text) + R"(,"productor_fd":2},"cmd":"send_message"})";
    for (const auto &[req, reply] :
         {std::pair{own("2", "6"), R"({"ret":0})"}, std::pair{other, R"({"ret":0})"},
          std::pair{own("2", "3"), R"({"ret":0})"}, std::pair{own("9", "6"), R"({"ret":-1})"},
          std::pair{own("2", "0"), R"({"ret":-1})"}, std::pair{own("2", "6").substr(1), R"({"ret":-1})"}}) {
        SCOPED_TRACE(req);
        EXPECT_EQ(request(req), reply);
    }
    ASSERT_EQ(ms_control_delivered_count(), 3);
    char out[16];
    for (const auto &[i, delivered] : {std::pair{0, "hello"}, std::pair{1, "hello"}, std::pair{2, "hel"}}) {
        ASSERT_GT(ms_control_delivered(i, out, sizeof out), 0);
        EXPECT_STREQ(out, delivered);
    }
    ms_control_reset();
}

// Waiters for different counts each wake when their own count is reached,
// not at their time limit.
TEST(MessageService, EachWaiterWakesAtItsOwnCount) {
    ms_control_reset();
    request(R"({"cmd":"create_connection","param":{"type":0,"ip":"127.0.0.1","port":61616}})");
    request(R"({"cmd":"create_productor","param":{"connect_fd":1,"opt":{"queue":"q"}}})");
    const auto wait = [](int32_t count) {
        return std::async(std::launch::async, [count] { return ms_control_wait_delivered(count, 60000); });
    };
    auto two = wait(2), four = wait(4);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // both waiting
    static const char text[] = "m";
    const auto send = [&] {
        request(R"({"cmd":"send_message","param":{"productor_fd":2,"data":)" + address(text) + R"(,"data_size":2}})");
    };
    const auto start = std::chrono::steady_clock::now();
    send();
    send();
    EXPECT_EQ(two.get(), 2);  // the first waiter is gone before the second's count comes
    send();
    send();
    EXPECT_EQ(four.get(), 4);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    ms_control_reset();
}

}  // namespace
