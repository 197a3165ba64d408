// Disk commands whose answers the platform's event thread stores in the host
// record: delivered at a chosen poll, from another thread, too late or never,
// for another disk, partly, and from the simulated recorder itself.
#include <future>
#include <thread>

#include "command_test.h"
#include "device_sdk.h"
#include "device_sdk_storage.h"

namespace {

namespace host_offset = test::host_offset;
using test::Bytes;
using test::Command;
using test::input;
using test::Lines;
using test::word_at;

constexpr size_t kDisks = host_offset::kDisks;
constexpr size_t kEntry = host_offset::kDiskEntrySize;
constexpr int32_t kNoAnswer = -1;

HardDiskSmartMsg smart(int32_t disk, int32_t health) {
    HardDiskSmartMsg msg{};
    msg.size = sizeof msg;
    msg.iDiskId = disk;
    msg.iTotalPackageNum = 1;
    msg.iCurrentPackageMsgNo = 1;
    std::memcpy(msg.cHDDModel, "M-0123456789-0123456789-01234567", 32);  // fills its field
    std::memcpy(msg.cSericalNum, "SN1", 3);
    msg.iTemprt = 41;
    msg.iUsedTime = 9000;
    msg.iHealth = health;
    msg.iAllHealth = 2;
    return msg;
}

class DiskHealthTest : public test::CommandTest {
  protected:
    void deliver(const void *data) { cmd_main_notify(host.data(), 123, const_cast<void *>(data), 0); }
    void deliver(int32_t disk, int32_t health) {
        HardDiskSmartMsg msg = smart(disk, health);
        deliver(&msg);
    }
    int32_t entry_word(size_t entry, size_t at) { return host.get<int32_t>(kDisks + entry * kEntry + at); }
    int32_t smart_slot_disk() { return host.get<int32_t>(host_offset::kDiskSmartMsg + 4); }
    // A disk inventory of the given disks: number and total space.
    static Bytes inventory(int32_t count, std::vector<std::pair<int32_t, int32_t>> disks) {
        Bytes info(sizeof(HardDiskInfo));
        info.put(0, count);
        for (size_t i = 0; i < disks.size(); ++i)
            info.put(12 + 364 * i + 4, disks[i].first)
                .put(12 + 364 * i + 8, disks[i].second)
                .put(12 + 364 * i + 12, 2048);
        return info;
    }
};

TEST_F(DiskHealthTest, SmartQueryTakesOnlyTheAskedDisksMessage) {
    host.put<int32_t>(kDisks + 3 * kEntry + 4, 9);  // disk 9 has an entry, but was not asked for
    on_poll = [&](int32_t poll) {
        if (poll == 2)
            deliver(9, 1);
        if (poll == 5) {
            // Longer data than the message: only the message is copied.
            std::vector<uint8_t> longer(200, 0xAB);
            HardDiskSmartMsg msg = smart(2, 7);
            std::memcpy(longer.data(), &msg, sizeof msg);
            deliver(longer.data());
        }
    };
    Command cmd(R"({"command":84,"disk_no":2})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(sleeps, 5);
    EXPECT_EQ(cmd.reply(), R"({ "iDiskId": 2, "iTotalPackageNum": 1, "iCurrentPackageMsgNo": 1, )"
                           R"("cHDDModel": "M-0123456789-0123456789-01234567", "cSericalNum": "SN1", "iTemprt": 41, )"
                           R"("iUsedTime": 9000, "iHealth": 7, "iAllHealth": 2 })");
    EXPECT_EQ(entry_word(3, 72), 1);
    EXPECT_EQ(host.text(host_offset::kPendingCommand), "get_common_command");
    EXPECT_EQ(smart_slot_disk(), -1);
    auto requests = calls("NetClient_SetDevDiskConfig");
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].cmd, 0x48);
    EXPECT_EQ(requests[0].ch, NETCLIENT_ALL_CHANNELS);
    EXPECT_EQ(input(requests[0]), Bytes(12).put(0, 12).put(4, 2).put(8, 1).data);
    EXPECT_EQ(requests[1].cmd, 0x49);
    EXPECT_EQ(input(requests[1]), Bytes(96).put(0, 96).put(4, 2).data);
}

TEST_F(DiskHealthTest, SmartQueryWithoutAnswerFailsAndReleasesTheSlot) {
    Command cmd(R"({"command":84,"disk_no":4})");
    EXPECT_EQ(get(cmd), 0);
    EXPECT_EQ(sleeps, 199);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(cmd.reply(), "");
    EXPECT_EQ(log.messages(),
              Lines{"disk_smart_info: Get Disk_Smart_Info Time Out, host_id:dev-0001, host_ip:10.1.2.3, disk_no:4"});
    EXPECT_EQ(smart_slot_disk(), -1);
    deliver(4, 3);  // too late: nobody waits for disk 4 any more
    EXPECT_EQ(host.get<int32_t>(host_offset::kDiskSmartReceived), 0);

    host.put<int32_t>(host_offset::kDiskSmartMsg + 4, 77);
    Command negative(R"({"command":84,"disk_no":-1})");
    EXPECT_EQ(get(negative), 0);
    EXPECT_EQ(log.messages(), Lines{"disk_smart_info: disk_no < 0, host_id:dev-0001, disk_no:-1"});
    EXPECT_EQ(smart_slot_disk(), -1);

    fail("NetClient_SetDevDiskConfig", 0x48, -5, 0x2A);
    Command refused(R"({"command":84,"disk_no":1})");
    EXPECT_EQ(get(refused), 0);
    EXPECT_EQ(log.messages(), Lines{"disk_smart_info: NetClient_SetDevDiskConfig NET_CLIENT_DISK_SMART_ENABLE failed, "
                                    "err_code: 2a host_id:dev-0001, host_ip:10.1.2.3, ret:-5, disk_no:1"});
}

// The platform's thread stores the answer while the command reads the flag
// (between its first and second poll); at its second poll the command waits
// until the answer is stored, so it is seen by then at the latest.
TEST_F(DiskHealthTest, SmartAnswerFromTheEventThread) {
    std::promise<void> asked, delivered;
    std::thread platform([&] {
        asked.get_future().wait();
        deliver(1, 0);
        delivered.set_value();
    });
    std::future<void> stored = delivered.get_future();
    on_poll = [&](int32_t poll) {
        if (poll == 1)
            asked.set_value();
        if (poll == 2)
            stored.wait();
    };
    Command cmd(R"({"command":84,"disk_no":1})");
    EXPECT_EQ(get(cmd), 1);
    platform.join();
    EXPECT_LE(sleeps, 2);
    EXPECT_NE(cmd.reply().find(R"("iDiskId": 1)"), std::string::npos);
}

TEST_F(DiskHealthTest, DiskStatusWaitsForItsDiskUpToTheLastPoll) {
    for (int32_t last : {799, 800}) {
        sdk_sim_reset();
        sleeps = 0;
        on_poll = [&](int32_t poll) {
            if (poll == 10)
                deliver(8, 4);  // another disk
            if (poll == last)
                deliver(3, 2);
        };
        Command cmd(R"({"command":89,"disk_num":3})");
        int32_t result = get(cmd);
        EXPECT_EQ(sleeps, 799);
        if (last == 799) {
            EXPECT_EQ(result, 1);
            EXPECT_EQ(cmd.reply(), R"({ "diskNum": 3, "smartStatus": 2 })");
            EXPECT_EQ(log.messages(), Lines{"get disk status finish !! 3  ip:10.1.2.3"});
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(log.messages(), Lines{"get disk status timeout !! 3  ip:10.1.2.3"});
        }
        EXPECT_EQ(input(only_call()), Bytes(96).put(0, 96).put(4, 3).put(72, kNoAnswer).data);
        EXPECT_EQ(entry_word(255, 4), -1);
    }
}

TEST_F(DiskHealthTest, DeviceStatusReportsPartialAnswersAndShiftedSizes) {
    answer("NetClient_GetDevConfig_V5", 0, inventory(3, {{4, 1023}, {6, 1024}, {9, 2047}}));
    host.put<uint8_t>(host_offset::kCpuUsePercent, 55);
    host.put<uint8_t>(host_offset::kMemUsePercent, 66);
    on_poll = [&](int32_t poll) {
        if (poll == 2) {
            deliver(6, 0);
            deliver(9, 2);
        }
    };
    Command cmd(R"({"command":85})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(sleeps, 499 + 299);  // disks, then load figures: neither complete
    EXPECT_EQ(cmd.reply(), R"({ "isOnline": 1, "disksInfo": [ )"
                           R"({ "diskNum": 4, "diskVolumn": 0, "diskFree": 2, "diskStatus": 0, "smartStatus": -1 }, )"
                           R"({ "diskNum": 6, "diskVolumn": 1, "diskFree": 2, "diskStatus": 0, "smartStatus": 0 }, )"
                           R"({ "diskNum": 9, "diskVolumn": 1, "diskFree": 2, "diskStatus": 0, "smartStatus": 2 } ], )"
                           R"("cpuUsePercent": 55, "memUsePercent": 66, "dev_time_dis": 0, "hostId": "dev-0001" })");
    auto requests = calls("NetClient_SetDevDiskConfig");
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(input(requests[2]), Bytes(96).put(0, 96).put(4, 9).put(72, kNoAnswer).data);
    EXPECT_EQ(log.messages(), Lines{});

    fail("NetClient_GetSysInfo", SDK_SIM_ANY, 1, 0x33);
    host.put<uint32_t>(host_offset::kOffline, 1);
    Command offline(R"({"command":85})");
    EXPECT_EQ(get(offline), 0);
    EXPECT_EQ(offline.reply(), "");
    EXPECT_TRUE(log.contains("!get_ip_property NetClient_GetSysInfo err: 33, host_id: dev-0001"));
}

TEST_F(DiskHealthTest, DeviceStatusNeverWritesPastTheHostsDiskEntries) {
    std::vector<std::pair<int32_t, int32_t>> many;
    for (int32_t i = 0; i < 256; ++i)
        many.push_back({i, 4096});
    answer("NetClient_GetDevConfig_V5", 0, inventory(100000, many));
    host.put<uint32_t>(host_offset::kStatusValid, 1);
    host.put<int32_t>(kDisks + 256 * kEntry, 0x5A5A5A5A);  // the platform's word after the entries
    on_poll = [&](int32_t) {
        for (int32_t i = 0; i < 256; ++i)
            deliver(i, i % 3);
    };
    Command cmd(R"({"command":85})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(calls("NetClient_SetDevDiskConfig").size(), 256u);
    EXPECT_EQ(host.get<int32_t>(kDisks + 256 * kEntry), 0x5A5A5A5A);
    EXPECT_EQ(entry_word(255, 72), 0);
    EXPECT_EQ(log.messages(), Lines{"all 256 finish!"});

    answer("NetClient_GetDevConfig_V5", 0, inventory(-3, {}));
    Command none(R"({"command":85})");
    EXPECT_EQ(get(none), 1);
    EXPECT_NE(none.reply().find(R"("disksInfo": [ ])"), std::string::npos);
}

TEST_F(DiskHealthTest, DiskUsageWaitsForTheConfirmingHealth) {
    const struct {
        int32_t health;
        bool waiting;
        const char *reply;
    } cases[] = {{5, true, R"({"result":0})"}, {3, true, R"({"result":-1})"}, {5, false, R"({"result":-1})"}};
    for (const auto &c : cases) {
        host.put_text(host_offset::kPendingCommand, c.waiting ? "get_common_command" : "");
        sleeps = 0;
        on_poll = [&](int32_t poll) {
            if (poll == 299)
                deliver(6, c.health);
        };
        Command cmd(R"({"command":61,"disk_no":6,"usage":2})");
        EXPECT_EQ(set(cmd), 1);
        EXPECT_EQ(cmd.reply(), c.reply);
        EXPECT_EQ(entry_word(0, 4), 6);
        EXPECT_EQ(calls("NetClient_DiskSetUsage").back().args[1], 2);
    }
    Command missing(R"({"command":61,"disk_no":6})");
    EXPECT_EQ(set(missing), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(log.messages(), Lines{"usage == -1"});
}

// The simulated recorder reports its disks through the event hook, which
// passes each report on as the platform would.
TEST_F(DiskHealthTest, SimulatedRecorderAnswersThroughItsEvents) {
    using Self = std::remove_pointer_t<decltype(this)>;
    sdk_sim_add_device(host.get<int32_t>(host_offset::kLoginfd), 16, SDK_SIM_RECORDER);
    sdk_sim_set_event_hook(
        [](void *ctx, const sdk_sim_event *e) {
            auto *self = static_cast<Self *>(ctx);
            if (e->type == SDK_SIM_EVENT_DISK_SMART)
                self->deliver(e->data);
            if (e->type == SDK_SIM_EVENT_SYSTEM_LOAD) {
                self->host.put<uint8_t>(host_offset::kCpuUsePercent, e->data[0]);
                self->host.put<uint8_t>(host_offset::kMemUsePercent, e->data[1]);
                self->host.put<uint32_t>(host_offset::kStatusValid, 1);
            }
        },
        this);
    Command status(R"({"command":85})");
    EXPECT_EQ(get(status), 1);
    EXPECT_EQ(sleeps, 0);
    EXPECT_NE(status.reply().find(R"({ "diskNum": 3, "diskVolumn": 1863, "diskFree": 10, "diskStatus": 1, )"
                                  R"("smartStatus": 1 } ], "cpuUsePercent": 23, "memUsePercent": 41)"),
              std::string::npos)
        << status.reply();
    Command health(R"({"command":84,"disk_no":0})");
    EXPECT_EQ(get(health), 1);
    EXPECT_NE(health.reply().find(R"("cHDDModel": "ST4000VX007")"), std::string::npos);
    Command usage(R"({"command":61,"disk_no":2,"usage":1})");
    EXPECT_EQ(set(usage), 1);
    EXPECT_EQ(usage.reply(), R"({"result":0})");

    Command unknown(R"({"command":89,"disk_num":7})");
    EXPECT_EQ(get(unknown), 0);
    EXPECT_EQ(log.messages(), Lines{"get_host_disk_status NetClient_SetDevDiskConfig NET_CLIENT_SMART_INFO failed, "
                                    "err_code:17, host_id:dev-0001"});
}

}  // namespace
