// Device and alarm events as the platform delivers them: routing by event
// number, the disk SMART rendezvous, the export publication and the host
// callbacks.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "message_service_control.h"
#include "platform_fixture.h"

namespace {

using test::Host;
using test::LogCapture;

// Host-record fields these events touch.
constexpr size_t kExportFinished = 31288;
constexpr size_t kExportFilename = 31572;
constexpr size_t kDisks = 6616;
constexpr size_t kDiskEntrySize = 96;
constexpr size_t kSmartReceived = 31848;
constexpr size_t kSmartMsg = 31856;
constexpr size_t kPendingCommand = 31952;

struct CallbackCall {
    void *host;
    uint32_t code;
    uint32_t now;
    void *payload;
    std::vector<unsigned char> bytes;  // payload contents during the call
    uint32_t value;
    uint32_t extra;
};
std::vector<CallbackCall> g_calls;

int32_t event_cb(void *host, uint32_t code, uint32_t now, void *payload) {
    auto *p = static_cast<unsigned char *>(payload);
    g_calls.push_back({host, code, now, payload, std::vector<unsigned char>(p, p + 20), 0, 0});
    return 0;
}

int32_t alarm_cb(void *host, uint32_t code, uint32_t value, void *reserved, uint32_t extra) {
    g_calls.push_back({host, code, 0, reserved, {}, value, extra});
    return 77;
}

class EventsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::init_library_once();
        ms_control_reset();
        g_calls.clear();
        errno = test::kSentinelErrno;
    }
    void TearDown() override { EXPECT_EQ(errno, test::kSentinelErrno); }

    std::vector<unsigned char> host_bytes() {
        auto *p = static_cast<unsigned char *>(host.data());
        return std::vector<unsigned char>(p, p + platform::host_offset::kSize);
    }
    void set_disk(size_t entry, int32_t disk, int32_t health) {
        host.put<int32_t>(kDisks + entry * kDiskEntrySize + 4, disk);
        host.put<int32_t>(kDisks + entry * kDiskEntrySize + 72, health);
    }
    int32_t disk_health(size_t entry) { return host.get<int32_t>(kDisks + entry * kDiskEntrySize + 72); }

    Host host;
    LogCapture log;
};

std::vector<unsigned char> smart_message(int32_t disk, int32_t health) {
    std::vector<unsigned char> msg(96);
    for (size_t i = 0; i < msg.size(); ++i)
        msg[i] = static_cast<unsigned char>(i + 1);
    std::memcpy(&msg[4], &disk, 4);
    std::memcpy(&msg[72], &health, 4);
    return msg;
}

TEST_F(EventsTest, ExportFinishedPublishesWhateverTheDataAndHighBits) {
    host.put_text(kExportFilename, "C:\\export\\dev.cfg");
    for (uint32_t event : {117u, 0x10075u}) {
        ms_control_reset();
        log.clear();
        host.put<uint32_t>(kExportFinished, 0);
        cmd_main_notify(host.data(), event, nullptr, 0);
        ASSERT_EQ(ms_control_published_count(), 1);
        char text[2048];
        ms_control_published(0, text, sizeof text);
        // Texts are inserted as they stand, backslashes included.
        EXPECT_STREQ(text, "{\"type\":25,\"param\":{\"type\":2,\"export_host_info\":{\"host_id\":\"dev-0001\","
                           "\"filename\":\"C:\\export\\dev.cfg\"}}}");
        EXPECT_EQ(host.get<uint32_t>(kExportFinished), 1u);
        ASSERT_EQ(log.entries().size(), 1u);
        EXPECT_EQ(log.entries()[0].level, 1);
        EXPECT_EQ(log.entries()[0].message,
                  "WCM_EXPORT_CONFIG_FINISHED, host->host.id: dev-0001, host->export_filename:C:\\export\\dev.cfg");
    }
}

TEST_F(EventsTest, UnhandledNumbersTouchNothing) {
    host.put<void *>(platform::host_offset::kEventCb, reinterpret_cast<void *>(&event_cb));
    host.put_text(kPendingCommand, "get_common_command");
    std::vector<unsigned char> data(1024, 0x5A);
    const auto before = host_bytes();
    for (uint32_t event : {0u, 116u, 118u, 119u, 120u, 121u, 122u, 125u, 178u, 222u, 230u, 0xFFFFu, 0x1007Du, 0x200E6u})
        cmd_main_notify(host.data(), event, data.data(), 0);
    EXPECT_EQ(host_bytes(), before);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(log.entries().empty());
    EXPECT_EQ(ms_control_published_count(), 0);
}

TEST_F(EventsTest, NullHostIsRefused) {
    cmd_main_notify(nullptr, 117, nullptr, 0);
    cmd_alarm_notify_ex(nullptr, 21, nullptr, 0);
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"host == NULL", "host == NULL"}));
    EXPECT_EQ(ms_control_published_count(), 0);
}

TEST_F(EventsTest, SmartMessageReachesOnlyTheWaitingCommand) {
    const auto msg = smart_message(3, 88);
    // Nobody waits: other text, empty, or the text with something after it.
    for (const char *pending : {"", "get_common_commands", "other"}) {
        host.put_text(kPendingCommand, pending);
        host.put<int32_t>(kSmartMsg + 4, 3);
        set_disk(0, 3, -1);
        const auto before = host_bytes();
        cmd_main_notify(host.data(), 123, const_cast<unsigned char *>(msg.data()), 0);
        EXPECT_EQ(host_bytes(), before) << pending;
    }
    EXPECT_TRUE(log.entries().empty());

    host.put_text(kPendingCommand, "get_common_command");
    cmd_main_notify(host.data(), 123, nullptr, 0);
    auto bad = smart_message(-1, 1);
    const auto before = host_bytes();
    cmd_main_notify(host.data(), 123, bad.data(), 0);
    EXPECT_EQ(host_bytes(), before);
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{"host->disk_smart_info.hard_disk_smart_msg == NULL, host_ip:10.1.2.3",
                                        "smart_msg->iDiskId < 0, iDiskId:-1, host_ip:10.1.2.3"}));
}

TEST_F(EventsTest, SmartMessageForTheAwaitedDiskIsCopiedBeforeTheFlag) {
    host.put_text(kPendingCommand, "get_common_command");
    host.put<int32_t>(kSmartMsg + 4, 3);
    for (size_t i = 0; i < 256; ++i)
        set_disk(i, -1, -1);
    set_disk(2, 3, -1);
    set_disk(9, 3, -1);  // only the first entry of a disk is updated
    const auto msg = smart_message(3, 88);
    cmd_main_notify(host.data(), 123, const_cast<unsigned char *>(msg.data()), 0);
    EXPECT_EQ(std::memcmp(static_cast<unsigned char *>(host.data()) + kSmartMsg, msg.data(), 96), 0);
    EXPECT_EQ(host.get<uint32_t>(kSmartReceived), 1u);
    EXPECT_EQ(disk_health(2), 88);
    EXPECT_EQ(disk_health(9), -1);
    EXPECT_EQ(host.text(kPendingCommand), "get_common_command");
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(EventsTest, SmartMessageForAnotherDiskOnlySetsItsEntry) {
    host.put_text(kPendingCommand, "get_common_command");
    host.put<int32_t>(kSmartMsg + 4, 3);
    for (size_t i = 0; i < 256; ++i)
        set_disk(i, -1, -1);
    set_disk(7, 5, -1);
    const auto msg = smart_message(5, 42);
    cmd_main_notify(host.data(), 123, const_cast<unsigned char *>(msg.data()), 0);
    EXPECT_EQ(host.get<uint32_t>(kSmartReceived), 0u);
    EXPECT_EQ(host.get<int32_t>(kSmartMsg + 72), 0);
    EXPECT_EQ(disk_health(7), 42);

    // A disk in no entry changes nothing at all.
    const auto before = host_bytes();
    const auto other = smart_message(200, 1);
    cmd_main_notify(host.data(), 123, const_cast<unsigned char *>(other.data()), 0);
    EXPECT_EQ(host_bytes(), before);
}

TEST_F(EventsTest, NorthAndVisualEventsReachTheEventCallback) {
    std::vector<unsigned char> data(64);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(0xA0 + i);

    // Without a callback both are no-ops; without data both are refused.
    cmd_main_notify(host.data(), 223, data.data(), 0);
    cmd_main_notify(host.data(), 229, data.data(), 0);
    EXPECT_TRUE(log.entries().empty());
    host.put<void *>(platform::host_offset::kEventCb, reinterpret_cast<void *>(&event_cb));
    cmd_main_notify(host.data(), 223, nullptr, 0);
    cmd_main_notify(host.data(), 229, nullptr, 0);
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"north == NULL", "visual == NULL"}));
    EXPECT_TRUE(g_calls.empty());

    const auto t0 = static_cast<uint32_t>(std::time(nullptr));
    cmd_main_notify(host.data(), 223, data.data(), 0);
    cmd_main_notify(host.data(), 0x300E5, data.data(), 0);
    const auto t1 = static_cast<uint32_t>(std::time(nullptr));
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0].host, host.data());
    EXPECT_EQ(g_calls[0].code, 10501u);
    EXPECT_EQ(g_calls[0].payload, data.data() + 4);
    EXPECT_EQ(g_calls[1].code, 10502u);
    EXPECT_NE(g_calls[1].payload, data.data());  // a copy, not the platform's buffer
    EXPECT_EQ(g_calls[1].bytes, std::vector<unsigned char>(data.begin(), data.begin() + 20));
    for (const auto &call : g_calls) {
        EXPECT_GE(call.now, t0);
        EXPECT_LE(call.now, t1);
    }
}

TEST_F(EventsTest, AlarmType21ReachesTheAlarmCallback) {
    uint32_t info[4] = {0xDEAD, 0x1234, 0x77, 0x00010002};
    EXPECT_EQ(cmd_alarm_notify_ex(host.data(), 21, info, 0), 0);  // no callback: no-op
    host.put<void *>(platform::host_offset::kAlarmCb, reinterpret_cast<void *>(&alarm_cb));
    EXPECT_EQ(cmd_alarm_notify_ex(host.data(), 20, info, 0), 0);
    EXPECT_EQ(cmd_alarm_notify_ex(host.data(), 22, info, 0), 0);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(log.entries().empty());

    EXPECT_EQ(cmd_alarm_notify_ex(host.data(), 21, info, 9), 77);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].host, host.data());
    EXPECT_EQ(g_calls[0].code, 227u);
    EXPECT_EQ(g_calls[0].value, 0x1234u | 0x00020000u);  // only w3's low 16 bits survive the shift
    EXPECT_EQ(g_calls[0].payload, nullptr);
    EXPECT_EQ(g_calls[0].extra, 0x77u);

    cmd_alarm_notify_ex(host.data(), 21, nullptr, 0);
    EXPECT_EQ(log.messages(), std::vector<std::string>{"_pInfo == NULL"});
}

}  // namespace
