// Message-queue forwarding through the exported functions: the broker
// configuration file and its reload, the sender threads against the
// embedded broker, and the temperature, humidity and traffic messages.
#include <gtest/gtest.h>

#include <unistd.h>

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

#include "message_service_control.h"
#include "os_support_control.h"
#include "platform_fixture.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::Host;
using test::LogCapture;

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

bool eventually(const std::function<bool()> &done, std::chrono::milliseconds timeout = 10s) {
    auto until = std::chrono::steady_clock::now() + timeout;
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
std::vector<std::string> requests() {
    std::vector<std::string> out;
    for (int32_t i = 0; i < ms_control_request_count(); ++i)
        out.push_back(request(i));
    return out;
}
// The "cmd" of each broker request, in order.
std::vector<std::string> request_commands() {
    std::vector<std::string> out;
    for (const std::string &r : requests()) {
        auto at = r.find("\"cmd\": \"");
        out.push_back(at == std::string::npos ? "?" : r.substr(at + 8, r.find('"', at + 8) - at - 8));
    }
    return out;
}

std::string destination(int32_t port = 61616, const std::string &amq = R"({"queue":"q1"})",
                        const std::string &user = "user") {
    return R"({"type":0,"ip":"127.0.0.1","port":)" + std::to_string(port) + R"(,"username":")" + user +
           R"(","password":"secret","isconnect":1,"amq":)" + amq + "}";
}

std::vector<unsigned char> temp_report(int32_t ch, uint32_t type, int32_t raw) {
    std::vector<unsigned char> r(28, 0);
    uint16_t time[6] = {2024, 3, 15, 10, 20, 30};
    std::memcpy(&r[4], &ch, 4);
    std::memcpy(&r[8], &type, 4);
    std::memcpy(&r[12], time, 12);
    std::memcpy(&r[24], &raw, 4);
    return r;
}

int32_t report_time() {
    std::tm tm{};
    tm.tm_year = 2024 - 1900;
    tm.tm_mon = 2;
    tm.tm_mday = 15;
    tm.tm_hour = 10;
    tm.tm_min = 20;
    tm.tm_sec = 30;
    tm.tm_isdst = -1;
    return static_cast<int32_t>(std::mktime(&tm));
}

// The C library rereads an unset TZ on every local-time conversion; with
// TZ set (to the same default zone) it reads it once, before any thread
// runs, so concurrent events share nothing but reads.
const bool kZoneFixed = [] {
    setenv("TZ", ":/etc/localtime", 0);
    tzset();
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
        char pattern[] = "/tmp/mq_test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        fs::create_directories(dir / "var" / "platform");
        fs::current_path(dir);
    }

    void TearDown() override {
        // Leave both senders stopped for the next test.
        fs::remove(config_path());
        EXPECT_EQ(cmd_update_config(), 1);
        EXPECT_TRUE(eventually([&] { return threads_ended(); }));
        fs::current_path(home);
        fs::remove_all(dir);
        os_support_set_sleep_hook(nullptr, nullptr);
        ms_control_reset();
    }

    fs::path config_path() const { return dir / "var" / "platform" / "vs_config.json"; }
    void write_config(const std::string &text) { std::ofstream(config_path()) << text; }

    int count(const std::string &message) {
        int n = 0;
        for (const std::string &m : log.messages())
            n += m == message;
        return n;
    }
    // The log is never cleared while a sender may run: the start and end
    // lines tell when its thread is gone.
    std::vector<std::string> messages_since(size_t mark) {
        auto all = log.messages();
        return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(mark), all.end());
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

    void temp_event(int32_t ch, uint32_t type, int32_t raw) {
        auto r = temp_report(ch, type, raw);
        cmd_main_notify(host.data(), 179, r.data(), 0);
    }

    Pacer pacer;
    LogCapture log;
    Host host;
    fs::path home;
    fs::path dir;
};

TEST_F(MqTest, BadDestinationsAreRefusedLineByLine) {
    const std::string huge(100000, '1');
    struct Case {
        std::string destination;
        std::string line;
    };
    const std::vector<Case> cases = {
        {R"({"ip":"127.0.0.1","port":1,"username":"u","password":"p","isconnect":1,"amq":{}})", "type == -1"},
        {R"({"type":"0","ip":"127.0.0.1","port":1,"username":"u","password":"p","isconnect":1,"amq":{}})",
         "type == -1"},
        {R"({"type":0,"port":1,"username":"u","password":"p","isconnect":1,"amq":{}})", "ip == NULL"},
        {R"({"type":0,"ip":7,"port":1,"username":"u","password":"p","isconnect":1,"amq":{}})", "ip == NULL"},
        {R"({"type":0,"ip":"broker.example","port":1,"username":"u","password":"p","isconnect":1,"amq":{}})",
         "ip_type != IP_TYPE_IPV4 && ip_type != IP_TYPE_IPV6"},
        {R"({"type":0,"ip":")" + huge + R"(","port":1,"username":"u","password":"p","isconnect":1,"amq":{}})",
         "ip_type != IP_TYPE_IPV4 && ip_type != IP_TYPE_IPV6"},
        {R"({"type":0,"ip":"::1","port":-1,"username":"u","password":"p","isconnect":1,"amq":{}})", "port == -1"},
        {R"({"type":0,"ip":"::1","port":[1],"username":"u","password":"p","isconnect":1,"amq":{}})", "port == -1"},
        {R"({"type":0,"ip":"::1","port":1,"username":")" + std::string(61, 'u') +
             R"(","password":"p","isconnect":1,"amq":{}})",
         "username == NULL || strlen(username) > MAX_USERNAME_LEN"},
        {R"({"type":0,"ip":"::1","port":1,"username":{},"password":"p","isconnect":1,"amq":{}})",
         "username == NULL || strlen(username) > MAX_USERNAME_LEN"},
        {R"({"type":0,"ip":"::1","port":1,"username":"u","isconnect":1,"amq":{}})",
         "password == NULL || strlen(password) > MAX_PASSWORD_LEN"},
        {R"({"type":0,"ip":"::1","port":1,"username":"u","password":")" + huge + R"(","isconnect":1,"amq":{}})",
         "password == NULL || strlen(password) > MAX_PASSWORD_LEN"},
        {R"({"type":0,"ip":"::1","port":1,"username":"u","password":"p","amq":{}})", "reconnect == -1"},
        {R"({"type":0,"ip":"::1","port":1,"username":"u","password":"p","isconnect":1,"rmq":{}})",
         "is_error(jso_mq_param)"},
        {R"({"type":0,"ip":"::1","port":1,"username":"u","password":"p","isconnect":1,"amq":[1]})",
         "is_error(jso_mq_param)"},
        {R"({"type":2,"ip":"::1","port":1,"username":"u","password":"p","isconnect":1,"amq":{},"rmq":{}})",
         "is_error(jso_mq_param)"},
        {R"([1,2])", "type == -1"},
    };
    for (const Case &c : cases) {
        const size_t mark = log.messages().size();
        write_config(R"({"trafficmq":)" + c.destination + "}");
        errno = test::kSentinelErrno;
        EXPECT_EQ(cmd_update_config(), 1);
        EXPECT_EQ(errno, test::kSentinelErrno);
        EXPECT_EQ(messages_since(mark), (std::vector<std::string>{c.line, "!parse_mq_info(jso_mq, mq_info)",
                                                                  "update traffic param failed", "is_error(jso_mq)"}))
            << c.line;
    }
    EXPECT_EQ(ms_control_request_count(), 0);
}

TEST_F(MqTest, UnreadableFileStartsNothing) {
    for (const char *text : {"", "not json", "{\"trafficmq\":", "[]", "7"}) {
        write_config(text);
        EXPECT_EQ(cmd_update_config(), 1) << text;
    }
    EXPECT_EQ(ms_control_request_count(), 0);
    EXPECT_EQ(count("[cmd_zel]send_mq_message_thread start"), 0);
}

TEST_F(MqTest, BrokerRequestsCarryTheSettings) {
    apply(R"({"trafficmq":)" + destination(61616, R"({"queue":"q1"})", std::string(60, 'n')) + "}", 1);
    ASSERT_EQ(ms_control_request_count(), 2);
    // A 60-character user name is accepted and cut to 59.
    EXPECT_EQ(request(0), R"({ "cmd": "create_connection", "param": { "type": 0, "port": 61616, "is_reconnect": 1, )"
                          R"("ip": "127.0.0.1", "username": ")" +
                              std::string(59, 'n') + R"(", "password": "secret" } })");
    EXPECT_EQ(request(1), R"({ "cmd": "create_productor", "param": { "connect_fd": 1, "opt": { "queue": "q1" } } })");
    stop_all();
    auto all = requests();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[2], R"({ "param": { "productor_fd": 2 }, "cmd": "destroy_productor" })");
    EXPECT_EQ(all[3], R"({ "param": { "connectfd": 1 }, "cmd": "destroy_connection" })");
    EXPECT_EQ(ms_control_open_connections(), 0);
}

TEST_F(MqTest, ReloadKeepsRebuildsStopsAndRestarts) {
    const std::string both = R"({"trafficmq":)" + destination() + R"(,"temphummmq":)" + destination(61617) + "}";
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
    const std::string changed =
        R"({"trafficmq":)" + destination(61616, R"({"queue":"q2"})") + R"(,"temphummmq":)" + destination(61617) + "}";
    write_config(changed);
    EXPECT_EQ(cmd_update_config(), 1);
    ASSERT_TRUE(eventually([] { return ms_control_request_count() >= 4; }));
    EXPECT_EQ(request_commands(), (std::vector<std::string>{"destroy_productor", "destroy_connection",
                                                            "create_connection", "create_productor"}));
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
    write_config(R"({"temphummmq":)" + destination() + "}");
    ASSERT_EQ(cmd_update_config(), 1);
    ASSERT_TRUE(eventually([&] { return count("mq_info->conn_fd == (handle_zel)-1") >= 3; }));
    EXPECT_GE(pacer.count(2000), 2);
    EXPECT_EQ(pacer.count(1000), 0);  // never got to polling its queue

    // Events meanwhile are dropped quietly: no producer, no queueing.
    temp_event(0, 0, 1253);
    stop_all();
    auto messages = log.messages();
    std::vector<std::string> tail;
    for (const std::string &m : messages)
        if (m != "mq_info->conn_fd == (handle_zel)-1" && m != "ret == -1" && m.rfind("create_connect:", 0) != 0 &&
            m != "is_error(jso_mq)")
            tail.push_back(m);
    EXPECT_EQ(tail, (std::vector<std::string>{"[cmd_zel]send_mq_message_thread start", "thread need term",
                                              "clear_add_create_mq_conn return FALSE && !send_param->need_update",
                                              "send_mq_message_thread end"}));
    EXPECT_EQ(ms_control_delivered_count(), 0);
}

TEST_F(MqTest, RefusedOrMalformedCreateRepliesEndTheThread) {
    // A connection reply without a handle, then a refused producer: the
    // thread gives up on the producer and leaves the sender stopped.
    ms_control_script_reply("create_connection", R"({"ret":0})");
    ms_control_refuse_producers(1);
    write_config(R"({"trafficmq":)" + destination() + "}");
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
    // Not configured: dropped without a word, even without data.
    cmd_main_notify(host.data(), 179, nullptr, 0);
    temp_event(1, 0, 1253);
    EXPECT_TRUE(log.entries().empty());

    apply(R"({"temphummmq":)" + destination() + "}", 1);
    struct Case {
        int32_t ch;
        uint32_t type;
        int32_t raw;
        std::string value;
        int event;
    };
    const Case cases[] = {{3, 0, 1253, "25.3", 10115},
                          {4, 1, 995, "-0.5", 10116},
                          {0, 0, 0, "-100.0", 10115},
                          {15, 1, 1000, "0.0", 10116}};
    for (const Case &c : cases)
        temp_event(c.ch, c.type, c.raw);
    temp_event(1, 0, 0x7FFFFFFF);  // no reading
    temp_event(1, 2, 1253);        // neither temperature nor humidity
    ASSERT_EQ(ms_control_wait_delivered(4, 10000), 4);
    const std::string time = std::to_string(report_time());
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(delivered(static_cast<int32_t>(i)),
                  R"({"dev_id":"dev-0001","ch":)" + std::to_string(cases[i].ch) + R"(,"time":)" + time + R"(,"type":)" +
                      std::to_string(cases[i].type) + R"(,"value":)" + cases[i].value + R"(,"event":)" +
                      std::to_string(cases[i].event) + "}");

    const size_t mark = log.messages().size();
    cmd_main_notify(host.data(), 179, nullptr, 0);
    EXPECT_EQ(messages_since(mark), std::vector<std::string>{"_iLParam == NULL"});
    stop_all();
    EXPECT_EQ(ms_control_delivered_count(), 4);
}

struct TrafficReport {
    std::vector<unsigned char> bytes = std::vector<unsigned char>(548, 0);
    void put(size_t at, int32_t v) { std::memcpy(&bytes[at], &v, 4); }
    void time(size_t at, std::vector<uint16_t> t) { std::memcpy(&bytes[at], t.data(), 12); }
    void car(int i, int32_t present, int32_t type, int32_t num) {
        put(52 + 12 * static_cast<size_t>(i), present);
        put(56 + 12 * static_cast<size_t>(i), type);
        put(60 + 12 * static_cast<size_t>(i), num);
    }
};

TEST_F(MqTest, TrafficDocumentsKeepTheirKeyOrder) {
    host.channel(3).put<uint32_t>(test::channel_offset::kTrafficFlowEnable, 1);
    host.channel(4).put<uint32_t>(test::channel_offset::kTrafficFlowEnable, 2);
    apply(R"({"trafficmq":)" + destination() + "}", 1);

    TrafficReport r;
    r.put(4, 2);
    r.put(8, 120);
    r.put(12, 35);
    r.put(16, 60);
    r.put(20, 15);
    r.time(24, {2024, 3, 15, 10, 0, 0});
    r.time(36, {2024, 3, 15, 10, 5, 9});
    r.put(48, 3);
    r.car(0, 1, 11, 7);
    r.car(1, 0, 12, 8);  // absent entry
    r.car(2, 5, 13, 9);
    r.car(3, 1, 14, 10);  // beyond the total
    r.put(436, 4);
    r.put(440, 25);
    r.put(444, 50);
    r.put(448, 1);
    std::memcpy(&r.bytes[452], "Ring \"Road\"", 12);
    r.put(516, 3);
    cmd_main_notify(host.data(), 124, r.bytes.data(), 0);

    // Channel 4's flag is not exactly 1, and channel 5 has no flag: nothing.
    TrafficReport other = r;
    other.put(516, 4);
    cmd_main_notify(host.data(), 124, other.bytes.data(), 0);
    other.put(516, 5);
    cmd_main_notify(host.data(), 124, other.bytes.data(), 0);

    // 40 announced car types: at most the 32 entries there are.
    TrafficReport many = r;
    many.put(48, 40);
    for (int i = 0; i < 32; ++i)
        many.car(i, 1, i, i);
    cmd_main_notify(host.data(), 124, many.bytes.data(), 0);

    ASSERT_EQ(ms_control_wait_delivered(2, 10000), 2);
    EXPECT_EQ(delivered(0),
              R"({ "type": "trafficflow", "param": { "host_id": "dev-0001", "ch": 3, "lanno": 2, )"
              R"("roadname": "Ring \"Road\"", "starttime": "2024-03-15 10:00:00", "endtime": "2024-03-15 10:05:09", )"
              R"("flow": 120, "holdrate": 35, "speed": 60, "distance": 15, "cartypetotal": 3, )"
              R"("cartype": [ { "cartype": 11, "carnum": 7 }, { "cartype": 13, "carnum": 9 } ], )"
              R"("carqueuelength": 4, "headdistance": 25, "roomrate": 50, "runstate": 1 } })");
    std::string second = delivered(1);
    size_t elements = 0;
    for (size_t at = second.find("\"carnum\""); at != std::string::npos; at = second.find("\"carnum\"", at + 1))
        ++elements;
    EXPECT_EQ(elements, 32u);

    const size_t mark = log.messages().size();
    cmd_main_notify(host.data(), 124, nullptr, 0);
    EXPECT_EQ(messages_since(mark), std::vector<std::string>{"data == NULL || size != sizeof(ITSTrafficFlowReport)"});

    // A record that matches the channel but is of another kind is skipped.
    host.channel(3).put<uint32_t>(test::channel_offset::kChannelKind, 1);
    cmd_main_notify(host.data(), 124, r.bytes.data(), 0);
    stop_all();
    EXPECT_EQ(ms_control_delivered_count(), 2);
}

TEST_F(MqTest, FailedSendDropsOnlyThatMessage) {
    apply(R"({"temphummmq":)" + destination() + "}", 1);
    ms_control_hold_sends(1);
    temp_event(1, 0, 1010);
    ASSERT_TRUE(eventually([] { return ms_control_held_sends() == 1; }));
    temp_event(2, 0, 1020);
    temp_event(3, 0, 1030);
    ms_control_fail_sends(1);
    ms_control_hold_sends(0);
    ASSERT_EQ(ms_control_wait_delivered(2, 10000), 2);
    EXPECT_NE(delivered(0).find("\"ch\":2,"), std::string::npos);
    EXPECT_NE(delivered(1).find("\"ch\":3,"), std::string::npos);
    EXPECT_EQ(count("ret == -1"), 1);
}

TEST_F(MqTest, StoppingReleasesQueuedMessagesUnsent) {
    apply(R"({"temphummmq":)" + destination() + "}", 1);
    ms_control_hold_sends(1);
    for (int32_t ch = 0; ch < 5; ++ch)
        temp_event(ch, 1, 1100);
    ASSERT_TRUE(eventually([] { return ms_control_held_sends() == 1; }));
    fs::remove(config_path());
    ASSERT_EQ(cmd_update_config(), 1);
    ms_control_hold_sends(0);
    ASSERT_TRUE(eventually([&] { return threads_ended(); }));
    // The message being sent went out; the four behind it were freed.
    EXPECT_EQ(ms_control_delivered_count(), 1);
    EXPECT_TRUE(log.contains("!send_param->thr_isactive"));
    EXPECT_EQ(ms_control_open_connections(), 0);
}

TEST_F(MqTest, QueuedMessagesFollowChangedSettings) {
    apply(R"({"temphummmq":)" + destination() + "}", 1);
    ms_control_hold_sends(1);
    for (int32_t ch = 0; ch < 3; ++ch)
        temp_event(ch, 0, 1200);
    ASSERT_TRUE(eventually([] { return ms_control_held_sends() == 1; }));
    write_config(R"({"temphummmq":)" + destination(61700) + "}");
    ASSERT_EQ(cmd_update_config(), 1);
    ms_control_hold_sends(0);
    ASSERT_EQ(ms_control_wait_delivered(3, 10000), 3);

    // First message through producer 2; the rest through the new link.
    std::vector<std::string> sends;
    for (const std::string &r : requests())
        if (r.find("\"send_message\"") != std::string::npos)
            sends.push_back(r.substr(r.find("\"productor_fd\"")));
    ASSERT_EQ(sends.size(), 3u);
    EXPECT_EQ(sends[0].rfind("\"productor_fd\": 2,", 0), 0u);
    EXPECT_EQ(sends[1].rfind("\"productor_fd\": 4,", 0), 0u);
    EXPECT_EQ(sends[2].rfind("\"productor_fd\": 4,", 0), 0u);
    EXPECT_EQ(request_commands(),
              (std::vector<std::string>{"create_connection", "create_productor", "send_message", "destroy_productor",
                                        "destroy_connection", "create_connection", "create_productor", "send_message",
                                        "send_message"}));
    EXPECT_NE(request(5).find("\"port\": 61700"), std::string::npos);
}

TEST_F(MqTest, StopAndRestartBeforeTheThreadNoticesKeepsOneThread) {
    apply(R"({"trafficmq":)" + destination() + "}", 1);
    ms_control_hold_sends(1);
    host.channel(0).put<uint32_t>(test::channel_offset::kTrafficFlowEnable, 1);
    TrafficReport r;
    cmd_main_notify(host.data(), 124, r.bytes.data(), 0);
    cmd_main_notify(host.data(), 124, r.bytes.data(), 0);
    ASSERT_TRUE(eventually([] { return ms_control_held_sends() == 1; }));
    // Stopped and configured anew while the thread is busy sending.
    fs::remove(config_path());
    ASSERT_EQ(cmd_update_config(), 1);
    write_config(R"({"trafficmq":)" + destination(61800) + "}");
    ASSERT_EQ(cmd_update_config(), 1);
    ms_control_hold_sends(0);
    ASSERT_TRUE(eventually([] { return ms_control_open_producers() == 1 && ms_control_open_connections() == 1; }));
    EXPECT_EQ(count("[cmd_zel]send_mq_message_thread start"), 1);
    cmd_main_notify(host.data(), 124, r.bytes.data(), 0);
    ASSERT_TRUE(eventually([] { return ms_control_delivered_count() >= 2; }));
}

TEST_F(MqTest, EventsReloadsAndDrainingOnSeveralThreads) {
    host.channel(1).put<uint32_t>(test::channel_offset::kTrafficFlowEnable, 1);
    const std::string both = R"({"trafficmq":)" + destination() + R"(,"temphummmq":)" + destination(61617) + "}";
    apply(both, 2);
    std::atomic<bool> go{true};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([&, t] {
            Host own(t, "dev-" + std::to_string(t));
            own.channel(1).put<uint32_t>(test::channel_offset::kTrafficFlowEnable, 1);
            TrafficReport r;
            r.put(516, 1);
            for (int i = 0; i < 200; ++i) {
                auto temp = temp_report(i % 16, static_cast<uint32_t>(i % 2), 1000 + i);
                cmd_main_notify(own.data(), 179, temp.data(), 0);
                cmd_main_notify(own.data(), 124, r.bytes.data(), 0);
            }
        });
    threads.emplace_back([&] {
        for (int i = 0; i < 6 && go; ++i) {
            write_config(R"({"trafficmq":)" + destination(62000 + i % 2) + R"(,"temphummmq":)" + destination(61617) +
                         "}");
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
