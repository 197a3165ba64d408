// Message-queue forwarding through the exported functions: the broker
// configuration file and its reload, the sender threads against the
// embedded broker, and the temperature, humidity and traffic messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <json-c/json.h>

#include "device_sdk_events.h"
#include "message_service_control.h"
#include "os_support_control.h"
#include "platform_fixture.h"
#include "portable.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::Host;
using test::LogCapture;
using Strings = std::vector<std::string>;
using Members = std::vector<std::pair<std::string, std::string>>;

// Sender threads sleep through os_sleep; here every sleep is a short real
// pause, and the test sees who slept for how long.
class Pacer {
  public:
    static void hook(void *ctx, int32_t ms) {
        auto *self = static_cast<Pacer *>(ctx);
        {
            std::lock_guard lock(self->mutex_);
            ++self->counts_[ms];
            if (ms == 1000)
                self->pollers_.insert(std::this_thread::get_id());
        }
        std::this_thread::sleep_for(1ms);
    }
    void reset() {
        std::lock_guard lock(mutex_);
        counts_.clear();
        pollers_.clear();
    }
    int count(int32_t ms) {
        std::lock_guard lock(mutex_);
        return counts_[ms];
    }
    size_t pollers() {
        std::lock_guard lock(mutex_);
        return pollers_.size();
    }

  private:
    std::mutex mutex_;
    std::map<int32_t, int> counts_;
    std::set<std::thread::id> pollers_;
};

bool eventually(const std::function<bool()> &done) {
    auto until = std::chrono::steady_clock::now() + 10s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

std::string text_at(int32_t (*get)(int32_t, char *, int32_t), int32_t index) {
    std::vector<char> buf(70000);
    return get(index, buf.data(), static_cast<int32_t>(buf.size())) >= 0 ? buf.data() : "";
}
std::string delivered(int32_t i) { return text_at(ms_control_delivered, i); }
std::string request(int32_t i) { return text_at(ms_control_request, i); }
// The "cmd" of each broker request, in order.
Strings request_commands() {
    Strings out;
    for (int32_t i = 0; i < ms_control_request_count(); ++i) {
        const std::string r = request(i);
        const auto at = r.find("\"cmd\": \"") + 8;
        out.push_back(r.substr(at, r.find('"', at) - at));
    }
    return out;
}

// A destination object: the members of a good one with `changes` applied
// (a new value, or an empty one to leave the member out).
std::string destination(const Members &changes = {}) {
    std::map<std::string, std::string> members = {{"type", "0"},
                                                  {"ip", R"("127.0.0.1")"},
                                                  {"port", "61616"},
                                                  {"username", R"("user")"},
                                                  {"password", R"("secret")"},
                                                  {"isconnect", "1"},
                                                  {"amq", R"({"queue":"q1"})"}};
    for (const auto &[key, value] : changes)
        members[key] = value;
    std::string out;
    for (const auto &[key, value] : members)
        if (!value.empty())
            out.append(",\"").append(key).append("\":").append(value);
    out[0] = '{';
    return out + "}";
}

std::string config(const std::string &traffic, const std::string &temphum = "") {
    std::string out = "{";
    if (!traffic.empty())
        out += "\"trafficmq\":" + traffic;
    if (!temphum.empty())
        out += (traffic.empty() ? "\"temphummmq\":" : ",\"temphummmq\":") + temphum;
    return out + "}";
}

constexpr dvr_time kReadingTime{2024, 3, 15, 10, 20, 30};

int32_t reading_seconds() {
    std::tm tm{.tm_sec = 30, .tm_min = 20, .tm_hour = 10, .tm_mday = 15, .tm_mon = 2, .tm_year = 124, .tm_isdst = -1};
    return static_cast<int32_t>(std::mktime(&tm));
}

// The local zone is fixed before any thread runs.
const bool kZoneFixed = [] {
    test::fix_local_zone();
    return true;
}();

class MqTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(kZoneFixed);
        test::init_library_once();
        os_support_set_sleep_hook(&Pacer::hook, &pacer);
        ms_control_reset();
        home = fs::current_path();
        dir = test::make_scratch_dir("mq_test");
        fs::create_directories(dir / "var" / "platform");
        fs::current_path(dir);
    }

    void TearDown() override {
        stop_all();  // both senders stopped for the next test
        fs::current_path(home);
        fs::remove_all(dir);
        os_support_set_sleep_hook(nullptr, nullptr);
        ms_control_reset();
    }

    fs::path config_path() const { return dir / "var" / "platform" / "vs_config.json"; }
    void write_config(const std::string &text) { std::ofstream(config_path()) << text; }

    int count(const std::string &message) { return static_cast<int>(std::ranges::count(log.messages(), message)); }
    // The log is never cleared while a sender may run: the start and end
    // lines tell when its thread is gone.
    Strings messages_since(size_t mark) {
        auto all = log.messages();
        return Strings(all.begin() + static_cast<std::ptrdiff_t>(mark), all.end());
    }
    bool threads_ended() {
        return count("[cmd_zel]send_mq_message_thread start") == count("send_mq_message_thread end");
    }

    // Applies a configuration and waits until `senders` threads have a
    // producer and poll their queues.
    void apply(const std::string &text, size_t senders) {
        write_config(text);
        pacer.reset();
        errno = test::kSentinelErrno;
        ASSERT_EQ(cmd_update_config(), 1);
        EXPECT_EQ(errno, test::kSentinelErrno);
        ASSERT_TRUE(eventually([&] { return pacer.pollers() >= senders; }));
    }
    void stop_all() {
        fs::remove(config_path());
        ASSERT_EQ(cmd_update_config(), 1);
        ASSERT_TRUE(eventually([&] { return threads_ended(); }));
    }
    // Holds the broker's sends and queues reports until one is held.
    void hold_with_queued(const std::function<void()> &queue) {
        ms_control_hold_sends(1);
        queue();
        ASSERT_TRUE(eventually([] { return ms_control_held_sends() == 1; }));
    }

    void reading(int32_t ch, uint32_t type, int32_t raw) {
        temp_humidity_report r{0, ch, type, kReadingTime, raw};
        cmd_main_notify(host.data(), WCM_TEMP_HUMIDITY, &r, 0);
    }
    void traffic(const ITSTrafficFlowReport &r) {
        cmd_main_notify(host.data(), WCM_ITS_TRAFFIC_FLOW, const_cast<ITSTrafficFlowReport *>(&r), 0);
    }

    Pacer pacer;
    LogCapture log;
    Host host;
    fs::path home;
    fs::path dir;
};

TEST_F(MqTest, BadDestinationsAreRefusedLineByLine) {
    const std::string huge = '"' + std::string(100000, '1') + '"';
    const std::string user61 = '"' + std::string(61, 'u') + '"';
    const std::pair<std::string, std::string> cases[] = {
        {destination({{"type", ""}}), "type == -1"},
        {destination({{"type", R"("0")"}}), "type == -1"},
        {destination({{"ip", ""}}), "ip == NULL"},
        {destination({{"ip", "7"}}), "ip_type != IP_TYPE_IPV4 && ip_type != IP_TYPE_IPV6"},
        {destination({{"ip", R"("broker.example")"}}), "ip_type != IP_TYPE_IPV4 && ip_type != IP_TYPE_IPV6"},
        {destination({{"ip", huge}}), "ip_type != IP_TYPE_IPV4 && ip_type != IP_TYPE_IPV6"},
        {destination({{"port", "-1"}}), "port == -1"},
        {destination({{"port", "[1]"}}), "port == -1"},
        {destination({{"username", user61}}), "username == NULL || strlen(username) > MAX_USERNAME_LEN"},
        {destination({{"username", "null"}}), "username == NULL || strlen(username) > MAX_USERNAME_LEN"},
        {destination({{"password", ""}}), "password == NULL || strlen(password) > MAX_PASSWORD_LEN"},
        {destination({{"password", huge}}), "password == NULL || strlen(password) > MAX_PASSWORD_LEN"},
        {destination({{"isconnect", ""}}), "reconnect == -1"},
        {destination({{"amq", ""}, {"rmq", "{}"}}), "is_error(jso_mq_param)"},
        {destination({{"amq", "[1]"}}), "is_error(jso_mq_param)"},
        {destination({{"type", "2"}, {"rmq", "{}"}}), "is_error(jso_mq_param)"},
        {"[1,2]", "type == -1"},
    };
    for (const auto &[bad, line] : cases) {
        const size_t mark = log.messages().size();
        write_config(config(bad));
        errno = test::kSentinelErrno;
        EXPECT_EQ(cmd_update_config(), 1);
        EXPECT_EQ(errno, test::kSentinelErrno);
        EXPECT_EQ(messages_since(mark),
                  (Strings{line, "!parse_mq_info(jso_mq, mq_info)", "update traffic param failed", "is_error(jso_mq)"}))
            << bad;
    }
    // Files that do not parse start nothing and refuse nothing.
    for (const char *text : {"", "not json", "{\"trafficmq\":", "[]", "7"}) {
        write_config(text);
        EXPECT_EQ(cmd_update_config(), 1) << text;
    }
    EXPECT_EQ(ms_control_request_count(), 0);
    EXPECT_EQ(count("[cmd_zel]send_mq_message_thread start"), 0);
}

TEST_F(MqTest, BrokerRequestsCarryTheSettings) {
    // A 60-character user name is accepted and cut to 59; a text member
    // given as a number or boolean is taken as its JSON text.
    apply(config(destination({{"username", '"' + std::string(60, 'n') + '"'}, {"password", "true"}})), 1);
    ASSERT_EQ(ms_control_request_count(), 2);
    EXPECT_EQ(request(0), R"({ "cmd": "create_connection", "param": { "type": 0, "port": 61616, "is_reconnect": 1, )"
                          R"("ip": "127.0.0.1", "username": ")" +
                              std::string(59, 'n') + R"(", "password": "true" } })");
    EXPECT_EQ(request(1), R"({ "cmd": "create_productor", "param": { "connect_fd": 1, "opt": { "queue": "q1" } } })");
    stop_all();
    ASSERT_EQ(ms_control_request_count(), 4);
    EXPECT_EQ(request(2), R"({ "param": { "productor_fd": 2 }, "cmd": "destroy_productor" })");
    EXPECT_EQ(request(3), R"({ "param": { "connectfd": 1 }, "cmd": "destroy_connection" })");
    EXPECT_EQ(ms_control_open_connections(), 0);

    ms_control_reset();
    apply(config(destination({{"username", "7"}})), 1);
    EXPECT_NE(request(0).find(R"("username": "7")"), std::string::npos);
}

TEST_F(MqTest, ReloadKeepsRebuildsStopsAndRestarts) {
    const std::string both = config(destination(), destination({{"port", "61617"}}));
    apply(both, 2);
    EXPECT_EQ(ms_control_open_producers(), 2);

    // The same file twice: nothing reconnects.
    const int before = ms_control_request_count();
    EXPECT_EQ(cmd_update_config(), 1);
    EXPECT_EQ(cmd_update_config(), 1);
    EXPECT_EQ(count("[cmd_zel] mq info is same return TRUE"), 4);
    EXPECT_EQ(ms_control_request_count(), before);

    // Only the traffic options change: that sender alone rebuilds its link.
    ms_control_reset();
    write_config(config(destination({{"amq", R"({"queue":"q2"})"}}), destination({{"port", "61617"}})));
    EXPECT_EQ(cmd_update_config(), 1);
    ASSERT_TRUE(eventually([] { return ms_control_request_count() >= 4; }));
    EXPECT_EQ(request_commands(),
              (Strings{"destroy_productor", "destroy_connection", "create_connection", "create_productor"}));
    EXPECT_NE(request(3).find(R"("opt": { "queue": "q2" })"), std::string::npos);

    // Deleting the file stops both; restoring it starts both again.
    stop_all();
    EXPECT_EQ(count("send_mq_message_thread end"), 2);
    ms_control_reset();
    apply(both, 2);
    EXPECT_EQ(ms_control_open_producers(), 2);
}

TEST_F(MqTest, UnreachableBrokerIsRetriedEveryTwoSecondsUntilStopped) {
    ms_control_refuse_connections(1);
    write_config(config("", destination()));
    ASSERT_EQ(cmd_update_config(), 1);
    ASSERT_TRUE(eventually([&] { return count("mq_info->conn_fd == (handle_zel)-1") >= 3; }));
    EXPECT_GE(pacer.count(2000), 2);
    EXPECT_EQ(pacer.count(1000), 0);  // never got to polling its queue

    reading(0, 0, 1253);  // dropped quietly: no producer, no queueing
    stop_all();
    Strings tail;
    for (const std::string &m : log.messages())
        if (m != "mq_info->conn_fd == (handle_zel)-1" && m != "ret == -1" && m.rfind("create_connect:", 0) != 0 &&
            m != "is_error(jso_mq)")
            tail.push_back(m);
    EXPECT_EQ(tail, (Strings{"[cmd_zel]send_mq_message_thread start", "thread need term",
                             "clear_add_create_mq_conn return FALSE && !send_param->need_update",
                             "send_mq_message_thread end"}));
    EXPECT_EQ(ms_control_delivered_count(), 0);
}

TEST_F(MqTest, RefusedOrMalformedCreateRepliesEndTheThread) {
    // A connection reply without a handle, then a refused producer: the
    // thread gives up on the producer and leaves the sender stopped.
    ms_control_script_reply("create_connection", R"({"ret":0})");
    ms_control_refuse_producers(1);
    write_config(config(destination()));
    ASSERT_EQ(cmd_update_config(), 1);
    ASSERT_TRUE(eventually([&] { return count("send_mq_message_thread end") == 1; }));
    EXPECT_TRUE(log.contains("(handle_zel)-1"));
    EXPECT_TRUE(log.contains("send_param->produce_fd == (handle_zel)-1"));
    EXPECT_EQ(ms_control_open_connections(), 0);  // the shutdown closed the connection

    // The next reload starts it again, as the settings no longer match.
    ms_control_refuse_producers(0);
    pacer.reset();
    ASSERT_EQ(cmd_update_config(), 1);
    ASSERT_TRUE(eventually([&] { return pacer.pollers() == 1; }));
    EXPECT_EQ(ms_control_open_producers(), 1);
}

TEST_F(MqTest, TemperatureAndHumidityTexts) {
    cmd_main_notify(host.data(), WCM_TEMP_HUMIDITY, nullptr, 0);  // not configured: dropped without a word
    reading(1, 0, 1253);
    EXPECT_TRUE(log.entries().empty());

    apply(config("", destination()), 1);
    const std::tuple<int32_t, uint32_t, int32_t, const char *, int> cases[] = {{3, 0, 1253, "25.3", 10115},
                                                                               {4, 1, 995, "-0.5", 10116},
                                                                               {0, 0, 0, "-100.0", 10115},
                                                                               {15, 1, 1000, "0.0", 10116}};
    for (const auto &[ch, type, raw, value, event] : cases)
        reading(ch, type, raw);
    reading(1, 0, 0x7FFFFFFF);  // no reading
    reading(1, 2, 1253);        // neither temperature nor humidity
    ASSERT_EQ(ms_control_wait_delivered(4, 10000), 4);
    int32_t i = 0;
    for (const auto &[ch, type, raw, value, event] : cases)
        EXPECT_EQ(delivered(i++), R"({"dev_id":"dev-0001","ch":)" + std::to_string(ch) + R"(,"time":)" +
                                      std::to_string(reading_seconds()) + R"(,"type":)" + std::to_string(type) +
                                      R"(,"value":)" + value + R"(,"event":)" + std::to_string(event) + "}");

    const size_t mark = log.messages().size();
    cmd_main_notify(host.data(), WCM_TEMP_HUMIDITY, nullptr, 0);
    EXPECT_EQ(messages_since(mark), Strings{"_iLParam == NULL"});
    stop_all();
    EXPECT_EQ(ms_control_delivered_count(), 4);
}

TEST_F(MqTest, TrafficDocumentsKeepTheirKeyOrder) {
    host.channel(3).put<uint32_t>(test::channel_offset::kTrafficFlowEnable, 1);
    host.channel(4).put<uint32_t>(test::channel_offset::kTrafficFlowEnable, 2);
    apply(config(destination()), 1);

    // Entry 1 is absent and entry 3 beyond the total.
    ITSTrafficFlowReport r{.lane_no = 2,
                           .flow = 120,
                           .hold_rate = 35,
                           .speed = 60,
                           .distance = 15,
                           .start_time = {2024, 3, 15, 10, 0, 0},
                           .end_time = {2024, 3, 15, 10, 5, 9},
                           .car_type_total = 3,
                           .car_types = {{1, 11, 7}, {0, 12, 8}, {5, 13, 9}, {1, 14, 10}},
                           .car_queue_length = 4,
                           .head_distance = 25,
                           .room_rate = 50,
                           .run_state = 1,
                           .road_name = "Ring \"Road\"",
                           .channel = 3};
    traffic(r);

    // Channel 4's flag is not exactly 1, and channel 5 has no flag: nothing.
    ITSTrafficFlowReport other = r;
    for (int32_t ch : {4, 5}) {
        other.channel = ch;
        traffic(other);
    }
    // 40 announced car types: at most the 32 entries there are.
    ITSTrafficFlowReport many = r;
    many.car_type_total = 40;
    for (int32_t k = 0; k < MAX_ITS_CAR_TYPES; ++k)
        many.car_types[k] = {1, k, k};
    traffic(many);

    ASSERT_EQ(ms_control_wait_delivered(2, 10000), 2);
    EXPECT_EQ(delivered(0),
              R"({ "type": "trafficflow", "param": { "host_id": "dev-0001", "ch": 3, "lanno": 2, )"
              R"("roadname": "Ring \"Road\"", "starttime": "2024-03-15 10:00:00", "endtime": "2024-03-15 10:05:09", )"
              R"("flow": 120, "holdrate": 35, "speed": 60, "distance": 15, "cartypetotal": 3, )"
              R"("cartype": [ { "cartype": 11, "carnum": 7 }, { "cartype": 13, "carnum": 9 } ], )"
              R"("carqueuelength": 4, "headdistance": 25, "roomrate": 50, "runstate": 1 } })");
    const std::string second = delivered(1);
    size_t elements = 0;
    for (size_t at = second.find("\"carnum\""); at != std::string::npos; at = second.find("\"carnum\"", at + 1))
        ++elements;
    EXPECT_EQ(elements, 32u);

    const size_t mark = log.messages().size();
    cmd_main_notify(host.data(), WCM_ITS_TRAFFIC_FLOW, nullptr, 0);
    EXPECT_EQ(messages_since(mark), Strings{"data == NULL || size != sizeof(ITSTrafficFlowReport)"});

    // A record that matches the channel but is of another kind is skipped.
    host.channel(3).put<uint32_t>(test::channel_offset::kChannelKind, 1);
    traffic(r);
    stop_all();
    EXPECT_EQ(ms_control_delivered_count(), 2);
}

// Each message is one request, in json-c's default form of its object, and
// its reply counts by "ret" whatever the reply's form. Every request finds
// the reply buffer zeroed, also after a long reply.
TEST_F(MqTest, EachMessageIsOneRequestCountedByItsReply) {
    ms_control_check_clear_replies(1);
    apply(config("", destination()), 1);
    const std::string long_reply = R"({"ret":7,"note":")" + std::string(3000, 'x') + "\"}";
    for (const std::string &reply : {std::string(R"({ "ret": 0 })"), long_reply, std::string("{}"),
                                     std::string(R"({"ret":-1})"), std::string("not json")})
        ms_control_script_reply("send_message", reply.c_str());
    const size_t mark = log.messages().size();
    for (int32_t ch = 0; ch < 6; ++ch)
        reading(ch, 0, 1200);
    ASSERT_EQ(ms_control_wait_delivered(1, 10000), 1);  // the sixth, past the scripted replies
    EXPECT_NE(delivered(0).find("\"ch\":5,"), std::string::npos);
    EXPECT_EQ(messages_since(mark), (Strings{"ret == -1", "ret == -1", "is_error(jso_ret)"}));

    ASSERT_EQ(ms_control_request_count(), 8);
    for (int32_t i = 2; i < 8; ++i) {
        const std::string r = request(i);
        json_object *parsed = json_tokener_parse(r.c_str());
        ASSERT_NE(parsed, nullptr) << r;
        EXPECT_EQ(json_object_to_json_string(parsed), r);
        EXPECT_EQ(r.find(R"({ "cmd": "send_message", "param": { "productor_fd": 2, "data": )"), 0u) << r;
        json_object *param = json_object_object_get(parsed, "param");
        EXPECT_EQ(json_object_get_int(json_object_object_get(param, "data_size")),
                  static_cast<int32_t>(delivered(0).size() + 1));  // the texts are of one length
        json_object_put(parsed);
    }
    EXPECT_EQ(ms_control_unclear_replies(), 0);
}

TEST_F(MqTest, QueuedMessagesFollowChangedSettingsAndAFailedSendDropsOnlyItsOwn) {
    apply(config("", destination()), 1);
    hold_with_queued([&] {
        for (int32_t ch = 0; ch < 3; ++ch)
            reading(ch, 0, 1200);
    });
    write_config(config("", destination({{"port", "61700"}})));
    ASSERT_EQ(cmd_update_config(), 1);
    ms_control_fail_sends(1);  // the held one
    ms_control_hold_sends(0);
    ASSERT_EQ(ms_control_wait_delivered(2, 10000), 2);
    EXPECT_NE(delivered(0).find("\"ch\":1,"), std::string::npos);
    EXPECT_NE(delivered(1).find("\"ch\":2,"), std::string::npos);
    EXPECT_EQ(count("ret == -1"), 1);

    // The first message through producer 2; the rest through the new link.
    Strings producers;
    for (int32_t i = 0; i < ms_control_request_count(); ++i)
        if (const std::string r = request(i); r.find("\"send_message\"") != std::string::npos)
            producers.push_back(r.substr(r.find("\"productor_fd\""), 17));
    EXPECT_EQ(producers, (Strings{"\"productor_fd\": 2", "\"productor_fd\": 4", "\"productor_fd\": 4"}));
    EXPECT_EQ(request_commands(),
              (Strings{"create_connection", "create_productor", "send_message", "destroy_productor",
                       "destroy_connection", "create_connection", "create_productor", "send_message", "send_message"}));
    EXPECT_NE(request(5).find("\"port\": 61700"), std::string::npos);
}

TEST_F(MqTest, StoppingReleasesQueuedMessagesUnsent) {
    apply(config("", destination()), 1);
    hold_with_queued([&] {
        for (int32_t ch = 0; ch < 5; ++ch)
            reading(ch, 1, 1100);
    });
    fs::remove(config_path());
    ASSERT_EQ(cmd_update_config(), 1);
    ms_control_hold_sends(0);
    ASSERT_TRUE(eventually([&] { return threads_ended(); }));
    // The message being sent went out; the four behind it were freed.
    EXPECT_EQ(ms_control_delivered_count(), 1);
    EXPECT_TRUE(log.contains("!send_param->thr_isactive"));
    EXPECT_EQ(ms_control_open_connections(), 0);
}

TEST_F(MqTest, StopAndRestartBeforeTheThreadNoticesKeepsOneThread) {
    host.channel(0).put<uint32_t>(test::channel_offset::kTrafficFlowEnable, 1);
    const ITSTrafficFlowReport r{};
    apply(config(destination()), 1);
    hold_with_queued([&] {
        traffic(r);
        traffic(r);
    });
    // Stopped and configured anew while the thread is busy sending.
    fs::remove(config_path());
    ASSERT_EQ(cmd_update_config(), 1);
    write_config(config(destination({{"port", "61800"}})));
    ASSERT_EQ(cmd_update_config(), 1);
    ms_control_hold_sends(0);
    ASSERT_TRUE(eventually([] { return ms_control_open_producers() == 1 && ms_control_open_connections() == 1; }));
    EXPECT_EQ(count("[cmd_zel]send_mq_message_thread start"), 1);
    traffic(r);
    ASSERT_TRUE(eventually([] { return ms_control_delivered_count() >= 2; }));
}

TEST_F(MqTest, EventsReloadsAndDrainingOnSeveralThreads) {
    apply(config(destination(), destination({{"port", "61617"}})), 2);
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([t] {
            Host own(t, "dev-" + std::to_string(t));
            own.channel(1).put<uint32_t>(test::channel_offset::kTrafficFlowEnable, 1);
            ITSTrafficFlowReport r{};
            r.channel = 1;
            for (int i = 0; i < 200; ++i) {
                temp_humidity_report temp{0, i % 16, static_cast<uint32_t>(i % 2), kReadingTime, 1000 + i};
                cmd_main_notify(own.data(), WCM_TEMP_HUMIDITY, &temp, 0);
                cmd_main_notify(own.data(), WCM_ITS_TRAFFIC_FLOW, &r, 0);
            }
        });
    threads.emplace_back([&] {
        for (int i = 0; i < 6; ++i) {
            write_config(
                config(destination({{"port", std::to_string(62000 + i % 2)}}), destination({{"port", "61617"}})));
            cmd_update_config();
            std::this_thread::sleep_for(2ms);
        }
    });
    for (auto &t : threads)
        t.join();
    EXPECT_TRUE(eventually([] { return ms_control_delivered_count() > 0; }));
    EXPECT_LE(ms_control_delivered_count(), 1200);
}

}  // namespace
