// Device and alarm events as the platform delivers them: routing by event
// number, the disk SMART rendezvous, the export publication and the host
// callbacks.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "device_sdk_events.h"
#include "message_service_control.h"
#include "platform_fixture.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Strings = std::vector<std::string>;

// Host-record fields these events touch.
constexpr size_t kExportFinished = 31288;
constexpr size_t kExportFilename = 31572;
constexpr size_t kDisks = 6616;
constexpr size_t kSmartReceived = 31848;
constexpr size_t kSmartMsg = 31856;
constexpr size_t kPendingCommand = 31952;

struct CallbackCall {
    void *host;
    uint32_t code, now;
    void *payload;
    Bytes bytes;  // payload contents during the call
    uint32_t value, extra;
};
std::vector<CallbackCall> g_calls;

int32_t event_cb(void *host, uint32_t code, uint32_t now, void *payload) {
    auto *p = static_cast<unsigned char *>(payload);
    g_calls.push_back({host, code, now, payload, Bytes(p, p + 20), 0, 0});
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

    Bytes host_bytes() {
        auto *p = static_cast<unsigned char *>(host.data());
        return Bytes(p, p + platform::host_offset::kSize);
    }
    // Disk entry `entry` of the host record, laid out as a SMART message.
    size_t disk(size_t entry) { return kDisks + entry * sizeof(HardDiskSmartMsg); }
    void set_disk(size_t entry, int32_t id, int32_t health) {
        host.put<int32_t>(disk(entry) + offsetof(HardDiskSmartMsg, iDiskId), id);
        host.put<int32_t>(disk(entry) + offsetof(HardDiskSmartMsg, iHealth), health);
    }
    int32_t disk_health(size_t entry) { return host.get<int32_t>(disk(entry) + offsetof(HardDiskSmartMsg, iHealth)); }
    // A command waits for disk 3's answer; every disk entry is free but
    // those given.
    void await_disk_3(const std::vector<std::pair<size_t, int32_t>> &entries) {
        host.put_text(kPendingCommand, "get_common_command");
        host.put<int32_t>(kSmartMsg + offsetof(HardDiskSmartMsg, iDiskId), 3);
        for (size_t i = 0; i < 256; ++i)
            set_disk(i, -1, -1);
        for (const auto &[entry, id] : entries)
            set_disk(entry, id, -1);
    }
    void smart(HardDiskSmartMsg msg) { cmd_main_notify(host.data(), WCM_HARD_DISK_SMART, &msg, 0); }

    test::Host host;
    test::LogCapture log;
};

HardDiskSmartMsg smart_message(int32_t disk, int32_t health) {
    HardDiskSmartMsg msg;
    auto *bytes = reinterpret_cast<unsigned char *>(&msg);
    for (size_t i = 0; i < sizeof msg; ++i)
        bytes[i] = static_cast<unsigned char>(i + 1);
    msg.iDiskId = disk;
    msg.iHealth = health;
    return msg;
}

TEST_F(EventsTest, ExportFinishedPublishesWhateverTheDataAndHighBits) {
    host.put_text(kExportFilename, "C:\\export\\dev.cfg");
    for (uint32_t event : {117u, 0x10075u}) {
        ms_control_reset();
        log.clear();
        host.put<uint32_t>(kExportFinished, 0);
        cmd_main_notify(host.data(), event, nullptr, 0);
        char text[2048] = {};
        ASSERT_EQ(ms_control_published_count(), 1);
        ms_control_published(0, text, sizeof text);
        // Texts are inserted as they stand, backslashes included.
        EXPECT_STREQ(text, "{\"type\":25,\"param\":{\"type\":2,\"export_host_info\":{\"host_id\":\"dev-0001\","
                           "\"filename\":\"C:\\export\\dev.cfg\"}}}");
        EXPECT_EQ(host.get<uint32_t>(kExportFinished), 1u);
        EXPECT_EQ(log.lines(), Strings{"1 event_notify.cpp: WCM_EXPORT_CONFIG_FINISHED, host->host.id: dev-0001, "
                                       "host->export_filename:C:\\export\\dev.cfg"});
    }
}

TEST_F(EventsTest, UnhandledNumbersAndMissingHostTouchNothing) {
    host.put<void *>(platform::host_offset::kEventCb, reinterpret_cast<void *>(&event_cb));
    host.put_text(kPendingCommand, "get_common_command");
    Bytes data(1024, 0x5A);
    const auto before = host_bytes();
    for (uint32_t event : {0u, 116u, 118u, 119u, 120u, 121u, 122u, 125u, 178u, 222u, 230u, 0xFFFFu, 0x1007Du, 0x200E6u})
        cmd_main_notify(host.data(), event, data.data(), 0);
    EXPECT_EQ(host_bytes(), before);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(log.entries().empty());
    cmd_main_notify(nullptr, 117, nullptr, 0);
    cmd_alarm_notify_ex(nullptr, 21, nullptr, 0);
    EXPECT_EQ(log.messages(), (Strings{"host == NULL", "host == NULL"}));
    EXPECT_EQ(ms_control_published_count(), 0);
}

TEST_F(EventsTest, SmartMessageReachesOnlyTheWaitingCommand) {
    // Nobody waits: other text, empty, or the text with something after it.
    for (const char *pending : {"", "get_common_commands", "other"}) {
        await_disk_3({{0, 3}});
        host.put_text(kPendingCommand, pending);
        const auto before = host_bytes();
        smart(smart_message(3, 88));
        EXPECT_EQ(host_bytes(), before) << pending;
    }
    EXPECT_TRUE(log.entries().empty());

    await_disk_3({{0, 3}});
    const auto before = host_bytes();
    cmd_main_notify(host.data(), WCM_HARD_DISK_SMART, nullptr, 0);
    smart(smart_message(-1, 1));
    smart(smart_message(200, 1));  // a disk in no entry
    EXPECT_EQ(host_bytes(), before);
    EXPECT_EQ(log.messages(), (Strings{"host->disk_smart_info.hard_disk_smart_msg == NULL, host_ip:10.1.2.3",
                                       "smart_msg->iDiskId < 0, iDiskId:-1, host_ip:10.1.2.3"}));
}

TEST_F(EventsTest, SmartMessageForTheAwaitedDiskIsCopiedOthersOnlySetTheirEntry) {
    await_disk_3({{2, 3}, {9, 3}, {7, 5}});  // only the first entry of a disk is updated
    const HardDiskSmartMsg other = smart_message(5, 42);
    smart(other);
    EXPECT_EQ(host.get<uint32_t>(kSmartReceived), 0u);
    EXPECT_EQ(host.get<int32_t>(kSmartMsg + offsetof(HardDiskSmartMsg, iHealth)), 0);
    EXPECT_EQ(disk_health(7), 42);

    const HardDiskSmartMsg awaited = smart_message(3, 88);
    smart(awaited);
    EXPECT_EQ(std::memcmp(static_cast<unsigned char *>(host.data()) + kSmartMsg, &awaited, sizeof awaited), 0);
    EXPECT_EQ(host.get<uint32_t>(kSmartReceived), 1u);
    EXPECT_EQ(disk_health(2), 88);
    EXPECT_EQ(disk_health(9), -1);
    EXPECT_EQ(host.text(kPendingCommand), "get_common_command");
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(EventsTest, NorthAndVisualEventsReachTheEventCallback) {
    Bytes data(64);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(0xA0 + i);
    // Without a callback both are no-ops; without data both are refused.
    cmd_main_notify(host.data(), WCM_NORTH_EVENT, data.data(), 0);
    cmd_main_notify(host.data(), WCM_VISUAL_EVENT, data.data(), 0);
    EXPECT_TRUE(log.entries().empty());
    host.put<void *>(platform::host_offset::kEventCb, reinterpret_cast<void *>(&event_cb));
    cmd_main_notify(host.data(), WCM_NORTH_EVENT, nullptr, 0);
    cmd_main_notify(host.data(), WCM_VISUAL_EVENT, nullptr, 0);
    EXPECT_EQ(log.messages(), (Strings{"north == NULL", "visual == NULL"}));
    EXPECT_TRUE(g_calls.empty());

    const auto t0 = static_cast<uint32_t>(std::time(nullptr));
    cmd_main_notify(host.data(), WCM_NORTH_EVENT, data.data(), 0);
    cmd_main_notify(host.data(), 0x30000 | WCM_VISUAL_EVENT, data.data(), 0);
    const auto t1 = static_cast<uint32_t>(std::time(nullptr));
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0].host, host.data());
    EXPECT_EQ(g_calls[0].code, 10501u);
    EXPECT_EQ(g_calls[0].payload, data.data() + 4);
    EXPECT_EQ(g_calls[1].code, 10502u);
    EXPECT_NE(g_calls[1].payload, data.data());  // a copy, not the platform's buffer
    EXPECT_EQ(g_calls[1].bytes, Bytes(data.begin(), data.begin() + 20));
    for (const auto &call : g_calls)
        EXPECT_TRUE(call.now >= t0 && call.now <= t1);
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
    EXPECT_EQ(log.messages(), Strings{"_pInfo == NULL"});
}

}  // namespace
