// Everything at once: platform threads sending set and get commands of the
// face, analysis and query families, paging sessions while others close them
// and the session timer ticks, and device events forwarded through both broker
// senders while they drain. Counts are bounded and no thread sleeps for
// real except the senders' short poll pauses.

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "device_sdk_events.h"
#include "message_service_control.h"
#include "portable.h"
#include "query_support.h"

namespace query_test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kRounds = 250;
constexpr int kEvents = 1000;

// Sender polls and command waits become 1 ms pauses.
void short_sleep(void *, int32_t) { std::this_thread::sleep_for(1ms); }

temp_humidity_report temp_report(int32_t i) {
    return {0, i % 16, static_cast<uint32_t>(i % 2), dvr_time{2024, 3, 15, 10, 20, static_cast<uint16_t>(i % 60)},
            900 + i};
}

ITSTrafficFlowReport traffic_report(int32_t i) {
    ITSTrafficFlowReport r{};
    r.lane_no = i;
    std::strcpy(r.road_name, "ring road");
    return r;
}

int32_t set_on(test::Host &host, const std::string &json) {
    test::Command cmd(json);
    return cmd_common_set_config(host.data(), &cmd.opit, sizeof cmd.opit);
}

class StressTest : public QueryTest {
  protected:
    void SetUp() override {
        QueryTest::SetUp();
        test::fix_local_zone();
        ms_control_reset();
        os_support_set_sleep_hook(short_sleep, nullptr);
        scratch = test::make_scratch_dir("stress_test");
        home = fs::current_path();
        fs::create_directories(scratch / "var" / "platform");
        std::ofstream(scratch / "var" / "platform" / "vs_config.json")
            << R"({"temphummmq":{"type":0,"ip":"127.0.0.1","port":61616,"username":"u","password":"p","isconnect":1,"amq":{"queue":"t"}},)"
               R"("trafficmq":{"type":0,"ip":"127.0.0.1","port":61616,"username":"u","password":"p","isconnect":1,"amq":{"queue":"f"}}})";
        fs::current_path(scratch);
        ASSERT_EQ(cmd_update_config(), 1);
        ASSERT_EQ(ms_control_wait_producers(2, 5000), 2);
        host.channel(0).put<uint32_t>(test::channel_offset::kTrafficFlowEnable, 1);
        // A sender marks itself ready just after its producer exists: probe
        // each until one of its events has gone through.
        auto probe = [&](uint32_t event, auto report) {
            for (int tries = 0; tries < 500; ++tries) {
                const int32_t before = ms_control_delivered_count();
                cmd_main_notify(host.data(), event, &report, 0);
                if (ms_control_wait_delivered(before + 1, 20) > before)
                    return true;
            }
            return false;
        };
        ASSERT_TRUE(probe(WCM_TEMP_HUMIDITY, temp_report(0)));
        ASSERT_TRUE(probe(WCM_ITS_TRAFFIC_FLOW, traffic_report(0)));
    }
    void TearDown() override {
        fs::remove(scratch / "var" / "platform" / "vs_config.json");
        cmd_update_config();
        EXPECT_EQ(ms_control_wait_producers(0, 5000), 0);
        fs::current_path(home);
        fs::remove_all(scratch);
        os_support_set_sleep_hook(nullptr, nullptr);
    }

    fs::path scratch, home;
};

TEST_F(StressTest, CommandsTimersAndEventsRunTogether) {
    auto full = face_page(1000000, 20);
    sdk_sim_set_answer("NetClient_FaceConfig", FACE_CMD_SEARCH, 0, 0, full.data(),
                       static_cast<int32_t>(full.size() * sizeof full[0]));
    const int32_t delivered_before = ms_control_delivered_count();

    std::atomic<int> failures{0};
    auto commands = [&](int seed) {
        for (int i = 0; i < kRounds; ++i) {
            const std::string ch = std::to_string((seed + i) % 16);
            if (set_on(host, R"({"command":8,"ch":)" + ch + R"(,"enable":1})") != 1)
                ++failures;
            if (query(R"({"command":10,"ch":)" + ch + "}").result != 1)
                ++failures;
            if (query(R"({"command":19,"ch":)" + ch + "}").result != 1)
                ++failures;
            if (set_on(host, R"({"command":3,"libuuid":"u","similar":50,"status":0,"ch_list":[1,2]})") != 1)
                ++failures;
            // A refusal on the way.
            if (set_on(host, R"({"command":8,"ch":"x"})") != 0)
                ++failures;
        }
    };
    // Each pager closes the session opened last, by either pager, through
    // another device's record: sessions are closed while the other pages them.
    std::atomic<int> pages{0}, gone{0}, other{0};
    std::atomic<int32_t> latest{0};
    test::Host elsewhere(8, "dev-0002");
    auto pager = [&] {
        for (int i = 0; i < kRounds / 2; ++i) {
            Outcome opened =
                query(R"({"command":0,"ch":3,"taskid":9,"picname":"p.jpg","libuuid":"lib-1","similar":80})");
            const auto fd = static_cast<int32_t>(int_of(opened.reply, "findfd"));
            for (int p = 0; p < 3; ++p) {
                Outcome out = page(fd, 5);
                if (out.result == 1 && elements(out.reply, "param").size() == 5)
                    ++pages;
                else if (out.err == CMD_ZEL_ENOSESSION)
                    ++gone;
                else
                    ++other;
            }
            query(R"({"command":5,"findfd":)" + std::to_string(fd) + "}");  // holds the session too
            close(latest.exchange(fd), &elsewhere);
        }
    };
    // Ticks keep coming while the others work: a session left idle long
    // enough between two commands may expire, which the pager counts.
    std::atomic<bool> done{false};
    auto ticker = [&] {
        for (int i = 0; i < 20000 && !done; ++i) {
            os_support_timers_fire();
            std::this_thread::yield();
        }
    };
    auto events = [&] {
        for (int i = 0; i < kEvents; ++i) {
            auto temp = temp_report(i);
            cmd_main_notify(host.data(), WCM_TEMP_HUMIDITY, &temp, 0);
            auto traffic = traffic_report(i);
            cmd_main_notify(host.data(), WCM_ITS_TRAFFIC_FLOW, &traffic, 0);
        }
    };
    std::thread ticks(ticker);
    std::thread workers[] = {std::thread(commands, 0), std::thread(commands, 5), std::thread(pager), std::thread(pager),
                             std::thread(events)};
    for (auto &t : workers)
        t.join();
    done = true;
    ticks.join();

    close(latest);
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(pages + gone, 2 * (kRounds / 2) * 3);
    // Every event reached the broker: nothing was lost or sent twice.
    EXPECT_EQ(ms_control_wait_delivered(delivered_before + 2 * kEvents, 8000), delivered_before + 2 * kEvents);
}

}  // namespace
}  // namespace query_test
