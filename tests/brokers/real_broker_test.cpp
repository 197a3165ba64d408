// Events forwarded by the library through the message service to a
// RabbitMQ and an ActiveMQ server of the run's own: the exact texts arrive,
// a broker restart costs only the messages sent while it was down (each
// one counted), and brokers that refuse, are absent or never answer do not
// hang the sender.
#include <gtest/gtest.h>

#include <MQTTClient.h>
#include <amqp.h>
#include <amqp_tcp_socket.h>
#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "device_sdk_events.h"
#include "message_service_control.h"
#include "os_support_control.h"
#include "platform_fixture.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Strings = std::vector<std::string>;

constexpr int32_t kTimeoutMs = 1000;  // the service's broker timeout here

// The servers the ctest fixture started: CMD_ZEL_BROKER_SERVERS names their
// directory (by hand: scripts/broker-servers.sh start DIR first).
struct Servers {
    Servers() : dir(std::getenv("CMD_ZEL_BROKER_SERVERS") ? std::getenv("CMD_ZEL_BROKER_SERVERS") : "") {
        std::ifstream(dir / "ports") >> amqp >> mqtt;
    }
    bool run(const std::string &command) const {
        return std::system((CMD_ZEL_BROKER_SCRIPT " " + command + " " + dir.string()).c_str()) == 0;
    }
    fs::path dir;
    int amqp = 0, mqtt = 0;
};
const Servers *servers() {
    static const Servers s;
    return &s;
}

bool eventually(const std::function<bool()> &done, std::chrono::milliseconds limit = 20s) {
    for (const auto until = Clock::now() + limit; !done(); std::this_thread::sleep_for(2ms))
        if (Clock::now() > until)
            return false;
    return true;
}

// What a consumer of the platform reads from a RabbitMQ queue (librabbitmq)
// or an ActiveMQ topic (Paho), subscribed before the messages are sent.
class Consumer {
  public:
    Consumer(bool rmq, const std::string &name) : rmq_(rmq), name_(name) {
        if (rmq_) {
            amqp_socket_t *socket = amqp_tcp_socket_new(amqp_);
            ok_ = amqp_socket_open(socket, "127.0.0.1", servers()->amqp) == AMQP_STATUS_OK &&
                  amqp_login(amqp_, "/", 0, AMQP_DEFAULT_FRAME_SIZE, 0, AMQP_SASL_METHOD_PLAIN, "guest", "guest")
                          .reply_type == AMQP_RESPONSE_NORMAL &&
                  amqp_channel_open(amqp_, 1) != nullptr &&
                  amqp_queue_declare(amqp_, 1, amqp_cstring_bytes(name.c_str()), 0, 1, 0, 0, amqp_empty_table);
            return;
        }
        const std::string uri = "tcp://127.0.0.1:" + std::to_string(servers()->mqtt);
        MQTTClient_create(&mqtt_, uri.c_str(), ("reader-" + std::to_string(getpid())).c_str(),
                          MQTTCLIENT_PERSISTENCE_NONE, nullptr);
        MQTTClient_connectOptions opts = MQTTClient_connectOptions_initializer;
        opts.username = "platform";
        opts.password = "secret";
        ok_ = MQTTClient_connect(mqtt_, &opts) == MQTTCLIENT_SUCCESS &&
              MQTTClient_subscribe(mqtt_, name.c_str(), 1) == MQTTCLIENT_SUCCESS;
    }
    ~Consumer() {
        if (rmq_ && ok_)
            amqp_connection_close(amqp_, AMQP_REPLY_SUCCESS);
        amqp_destroy_connection(amqp_);
        if (mqtt_ != nullptr)
            MQTTClient_disconnect(mqtt_, 1000);
        MQTTClient_destroy(&mqtt_);
    }
    bool ok() const { return ok_; }
    // The messages that arrived, oldest first, once `count` did or 10 s passed.
    Strings take(size_t count) {
        Strings got;
        eventually(
            [&] {
                next(got);
                return got.size() >= count;
            },
            10s);
        return got;
    }

  private:
    // Reads one message if one is there.
    void next(Strings &got) {
        if (rmq_) {
            auto reply = amqp_basic_get(amqp_, 1, amqp_cstring_bytes(name_.c_str()), 1);
            amqp_message_t message;
            if (reply.reply_type != AMQP_RESPONSE_NORMAL || reply.reply.id != AMQP_BASIC_GET_OK_METHOD ||
                amqp_read_message(amqp_, 1, &message, 0).reply_type != AMQP_RESPONSE_NORMAL)
                return;
            got.emplace_back(static_cast<const char *>(message.body.bytes), message.body.len);
            amqp_destroy_message(&message);
            amqp_maybe_release_buffers(amqp_);
            return;
        }
        char *topic = nullptr;
        int topic_len = 0;
        MQTTClient_message *message = nullptr;
        if (MQTTClient_receive(mqtt_, &topic, &topic_len, &message, 100) == MQTTCLIENT_SUCCESS && message != nullptr) {
            got.emplace_back(static_cast<const char *>(message->payload), message->payloadlen);
            MQTTClient_freeMessage(&message);
            MQTTClient_free(topic);
        }
    }

    bool rmq_;
    std::string name_;
    amqp_connection_state_t amqp_ = amqp_new_connection();
    MQTTClient mqtt_ = nullptr;
    bool ok_ = false;
};

// A destination on the test's RabbitMQ (queue `name`) or ActiveMQ (topic).
std::string destination(bool rmq, const std::string &name, const std::string &options = "",
                        const char *password = nullptr, int port = 0) {
    return std::string(R"({"type":)") + (rmq ? "1" : "0") + R"(,"ip":"127.0.0.1","port":)" +
           std::to_string(port != 0 ? port
                          : rmq     ? servers()->amqp
                                    : servers()->mqtt) +
           R"(,"username":")" + (rmq ? "guest" : "platform") + R"(","password":")" +
           (password ? password
            : rmq    ? "guest"
                     : "secret") +
           R"(","isconnect":1,")" + (rmq ? "rmq" : "amq") + R"(":{")" + (rmq ? "queue" : "topic") + R"(":")" + name +
           "\"" + options + "}}";
}

std::string reading_text(int32_t ch, uint32_t type, const char *value) {
    std::tm tm{.tm_sec = 30, .tm_min = 20, .tm_hour = 10, .tm_mday = 15, .tm_mon = 2, .tm_year = 124, .tm_isdst = -1};
    return R"({"dev_id":"dev-0001","ch":)" + std::to_string(ch) + R"(,"time":)" + std::to_string(std::mktime(&tm)) +
           R"(,"type":)" + std::to_string(type) + R"(,"value":)" + value + R"(,"event":)" +
           std::to_string(type == 0 ? 10115 : 10116) + "}";
}

class RealBrokerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (servers()->amqp == 0)
            GTEST_SKIP() << "no broker servers: run under ctest, or set CMD_ZEL_BROKER_SERVERS";
        test::init_library_once();
        os_support_set_sleep_hook(&RealBrokerTest::pause, this);
        ms_control_reset();
        ASSERT_EQ(ms_control_use_real_brokers(1), 1);
        ms_control_set_broker_timeout(kTimeoutMs);
        char pattern[] = "/tmp/real_broker_test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        fs::create_directories(dir_ / "var" / "platform");
        fs::current_path(dir_);
    }
    void TearDown() override {
        if (dir_.empty())
            return;  // skipped
        stop_senders();
        fs::current_path(home_);
        fs::remove_all(dir_);
        os_support_set_sleep_hook(nullptr, nullptr);
        ms_control_use_real_brokers(0);
        ms_control_set_broker_timeout(0);
    }

    // Every wait of the library is a short real pause; the test sees which
    // threads poll their queues (they hold a producer then).
    static void pause(void *ctx, int32_t ms) {
        auto *self = static_cast<RealBrokerTest *>(ctx);
        if (ms == 1000) {
            std::lock_guard lock(self->mutex_);
            self->pollers_.insert(std::this_thread::get_id());
        }
        std::this_thread::sleep_for(1ms);
    }
    // Applies a configuration and waits until `senders` threads poll.
    void configure(const std::string &members, size_t senders) {
        std::ofstream(dir_ / "var" / "platform" / "vs_config.json") << "{" << members << "}";
        ASSERT_EQ(cmd_update_config(), 1);
        ASSERT_TRUE(eventually([&] {
            std::lock_guard lock(mutex_);
            return pollers_.size() >= senders;
        }));
    }
    void stop_senders() {
        fs::remove(dir_ / "var" / "platform" / "vs_config.json");
        ASSERT_EQ(cmd_update_config(), 1);
        ASSERT_TRUE(eventually(
            [&] { return count("[cmd_zel]send_mq_message_thread start") == count("send_mq_message_thread end"); }));
        std::lock_guard lock(mutex_);
        pollers_.clear();
    }
    int count(const std::string &message) { return static_cast<int>(std::ranges::count(log.messages(), message)); }
    void reading(int32_t ch, uint32_t type, int32_t raw) {
        temp_humidity_report r{0, ch, type, {2024, 3, 15, 10, 20, 30}, raw};
        cmd_main_notify(host.data(), WCM_TEMP_HUMIDITY, &r, 0);
    }

    test::LogCapture log;
    test::Host host;

  private:
    std::mutex mutex_;
    std::set<std::thread::id> pollers_;
    fs::path home_ = fs::current_path();
    fs::path dir_;
};

TEST_F(RealBrokerTest, EventsArriveWithTheirExactTexts) {
    host.channel(3).put<uint32_t>(test::channel_offset::kTrafficFlowEnable, 1);
    ITSTrafficFlowReport report{.lane_no = 2,
                                .flow = 120,
                                .start_time = {2024, 3, 15, 10, 0, 0},
                                .end_time = {2024, 3, 15, 10, 5, 9},
                                .car_type_total = 1,
                                .car_types = {{1, 11, 7}},
                                .road_name = "Ring \"Road\"",
                                .channel = 3};
    const std::string traffic_text =
        R"({ "type": "trafficflow", "param": { "host_id": "dev-0001", "ch": 3, "lanno": 2, )"
        R"("roadname": "Ring \"Road\"", "starttime": "2024-03-15 10:00:00", "endtime": "2024-03-15 10:05:09", )"
        R"("flow": 120, "holdrate": 0, "speed": 0, "distance": 0, "cartypetotal": 1, )"
        R"("cartype": [ { "cartype": 11, "carnum": 7 } ], )"
        R"("carqueuelength": 0, "headdistance": 0, "roomrate": 0, "runstate": 0 } })";

    // Each kind of message through each broker, with and without the
    // broker's acknowledgement of every message.
    for (const bool readings_to_rmq : {true, false}) {
        SCOPED_TRACE(readings_to_rmq ? "readings to RabbitMQ" : "readings to ActiveMQ");
        const bool rmq = readings_to_rmq;
        Consumer readings(rmq, rmq ? "cmd_zel.temphum" : "cmd_zel/temphum");
        Consumer flows(!rmq, rmq ? "cmd_zel/traffic" : "cmd_zel.traffic");
        ASSERT_TRUE(readings.ok() && flows.ok());
        configure("\"temphummmq\":" +
                      destination(rmq, rmq ? "cmd_zel.temphum" : "cmd_zel/temphum",
                                  rmq ? R"(,"confirm":true)" : R"(,"qos":0)") +
                      ",\"trafficmq\":" + destination(!rmq, rmq ? "cmd_zel/traffic" : "cmd_zel.traffic"),
                  2);
        reading(3, 0, 1253);
        reading(4, 1, 995);
        cmd_main_notify(host.data(), WCM_ITS_TRAFFIC_FLOW, &report, 0);
        // Read once the senders are idle: Paho's clients in one process must
        // not run at the same time, and the service's lock is its own.
        ASSERT_EQ(ms_control_wait_delivered(3, 10000), 3);
        EXPECT_EQ(readings.take(2), (Strings{reading_text(3, 0, "25.3"), reading_text(4, 1, "-0.5")}));
        EXPECT_EQ(flows.take(1), Strings{traffic_text});
        EXPECT_EQ(count("ret == -1"), 0);
        stop_senders();
        EXPECT_EQ(ms_control_open_connections(), 0);
    }
}

TEST_F(RealBrokerTest, BrokerRestartLosesOnlyTheMessagesSentWhileItWasDown) {
    ASSERT_TRUE(Consumer(true, "cmd_zel.restart").ok());  // the queue exists, empty
    configure("\"temphummmq\":" + destination(true, "cmd_zel.restart", R"(,"confirm":true)"), 1);

    // Distinct readings while the broker is up, down, and up again: each is
    // delivered or logged as a failed send.
    int32_t sent = 0;
    auto send = [&](int32_t n) {
        for (int32_t i = 0; i < n; ++i, ++sent)
            reading(sent % 16, 0, 1000 + sent);
        ASSERT_TRUE(eventually([&] { return ms_control_delivered_count() + count("ret == -1") == sent; }));
    };
    send(10);
    ASSERT_TRUE(servers()->run("amqp-stop"));
    send(10);
    ASSERT_TRUE(servers()->run("amqp-start"));
    send(20);

    const Strings got = Consumer(true, "cmd_zel.restart").take(static_cast<size_t>(ms_control_delivered_count()));
    EXPECT_EQ(static_cast<int32_t>(got.size()), ms_control_delivered_count());
    EXPECT_EQ(static_cast<int32_t>(got.size()) + count("ret == -1"), sent);
    EXPECT_EQ(std::set<std::string>(got.begin(), got.end()).size(), got.size()) << "a message arrived twice";
    // The sender kept its connection handle: the service reconnected under
    // it, and what was sent after the restart arrived.
    EXPECT_EQ(count("mq_info->conn_fd == (handle_zel)-1"), 0);
    EXPECT_GE(got.size(), 30u);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back(), reading_text((sent - 1) % 16, 0, "3.9"));
}

TEST_F(RealBrokerTest, UnusableBrokersKeepTheSenderRetryingWithinTheTimeout) {
    // A loopback port that refuses connections, and one whose server
    // accepts them (the kernel completes the handshake) but never answers.
    const int refusing = socket(AF_INET, SOCK_STREAM, 0), silent = socket(AF_INET, SOCK_STREAM, 0);
    int ports[2];
    for (int i : {0, 1}) {
        sockaddr_in addr{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}};
        socklen_t len = sizeof addr;
        ASSERT_EQ(bind(i == 0 ? refusing : silent, reinterpret_cast<sockaddr *>(&addr), len), 0);
        getsockname(i == 0 ? refusing : silent, reinterpret_cast<sockaddr *>(&addr), &len);
        ports[i] = ntohs(addr.sin_port);
    }
    ASSERT_EQ(listen(silent, 16), 0);
    for (const bool rmq : {true, false})
        for (const std::string &to : {destination(rmq, "q", "", "wrong"), destination(rmq, "q", "", nullptr, ports[0]),
                                      destination(rmq, "q", "", nullptr, ports[1])}) {
            SCOPED_TRACE(to);
            log.clear();
            const auto start = Clock::now();
            configure("\"temphummmq\":" + to, 0);
            // Each attempt fails within the timeout (whole seconds for
            // MQTT), so the sender comes back to try again and again.
            ASSERT_TRUE(eventually([&] { return count("mq_info->conn_fd == (handle_zel)-1") >= 2; }));
            EXPECT_LT(Clock::now() - start, 4 * std::chrono::milliseconds(std::max(kTimeoutMs, 1000)) + 2s);
            stop_senders();
            EXPECT_EQ(ms_control_open_connections(), 0);
        }
    close(refusing);
    close(silent);
}

}  // namespace
