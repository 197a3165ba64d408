// Events forwarded by the library through the message service to real
// brokers started for this run: the exact texts arrive, a broker restart
// costs only the messages sent while it was down (each one counted), and
// brokers that refuse, are absent or never answer do not hang the sender.
#include <gtest/gtest.h>

#include <MQTTClient.h>
#include <amqp.h>
#include <amqp_tcp_socket.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "broker_servers.h"
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

test::BrokerServers *s_servers = nullptr;

class Servers : public ::testing::Environment {
  public:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(servers_.start(error)) << error;
        s_servers = &servers_;
    }
    void TearDown() override {
        s_servers = nullptr;
        servers_.stop();
    }

  private:
    test::BrokerServers servers_;
};

const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new Servers);

bool eventually(const std::function<bool()> &done, std::chrono::milliseconds limit = 20s) {
    const auto until = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > until)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// A queue read with librabbitmq, as a consumer of the platform would.
class AmqpQueue {
  public:
    AmqpQueue(int port, const std::string &queue) : queue_(queue) {
        amqp_socket_t *socket = amqp_tcp_socket_new(conn_);
        ok_ = socket != nullptr && amqp_socket_open(socket, "127.0.0.1", port) == AMQP_STATUS_OK &&
              amqp_login(conn_, "/", 0, AMQP_DEFAULT_FRAME_SIZE, 0, AMQP_SASL_METHOD_PLAIN, "guest", "guest")
                      .reply_type == AMQP_RESPONSE_NORMAL &&
              amqp_channel_open(conn_, 1) != nullptr &&
              amqp_queue_declare(conn_, 1, amqp_cstring_bytes(queue.c_str()), 0, 1, 0, 0, amqp_empty_table) != nullptr;
    }
    ~AmqpQueue() {
        if (ok_)
            amqp_connection_close(conn_, AMQP_REPLY_SUCCESS);
        amqp_destroy_connection(conn_);
    }
    bool ok() const { return ok_; }
    // Every message waiting now, oldest first.
    Strings drain() {
        Strings out;
        for (;;) {
            amqp_rpc_reply_t reply = amqp_basic_get(conn_, 1, amqp_cstring_bytes(queue_.c_str()), 1);
            if (reply.reply_type != AMQP_RESPONSE_NORMAL || reply.reply.id != AMQP_BASIC_GET_OK_METHOD)
                return out;
            amqp_message_t message;
            if (amqp_read_message(conn_, 1, &message, 0).reply_type != AMQP_RESPONSE_NORMAL)
                return out;
            out.emplace_back(static_cast<const char *>(message.body.bytes), message.body.len);
            amqp_destroy_message(&message);
            amqp_maybe_release_buffers(conn_);
        }
    }

  private:
    amqp_connection_state_t conn_ = amqp_new_connection();
    std::string queue_;
    bool ok_ = false;
};

// A topic subscribed to with Paho, as a consumer of the platform would.
class MqttTopic {
  public:
    MqttTopic(int port, const std::string &topic) {
        const std::string uri = "tcp://127.0.0.1:" + std::to_string(port);
        std::string id = "cmd_zel-test-" + topic;
        std::ranges::replace(id, '/', '-');
        MQTTClient_create(&client_, uri.c_str(), id.c_str(), MQTTCLIENT_PERSISTENCE_NONE, nullptr);
        MQTTClient_connectOptions opts = MQTTClient_connectOptions_initializer;
        opts.username = "platform";
        opts.password = "secret";
        opts.connectTimeout = 5;
        ok_ = MQTTClient_connect(client_, &opts) == MQTTCLIENT_SUCCESS &&
              MQTTClient_subscribe(client_, topic.c_str(), 1) == MQTTCLIENT_SUCCESS;
    }
    ~MqttTopic() {
        if (ok_)
            MQTTClient_disconnect(client_, 1000);
        MQTTClient_destroy(&client_);
    }
    bool ok() const { return ok_; }
    Strings drain() {
        Strings out;
        for (;;) {
            char *name = nullptr;
            int name_len = 0;
            MQTTClient_message *message = nullptr;
            if (MQTTClient_receive(client_, &name, &name_len, &message, 200) != MQTTCLIENT_SUCCESS ||
                message == nullptr)
                return out;
            out.emplace_back(static_cast<const char *>(message->payload), message->payloadlen);
            MQTTClient_freeMessage(&message);
            MQTTClient_free(name);
        }
    }

  private:
    MQTTClient client_ = nullptr;
    bool ok_ = false;
};

// Whichever broker a destination names, read the same way.
struct Consumer {
    std::unique_ptr<AmqpQueue> queue;
    std::unique_ptr<MqttTopic> topic;
    bool ok() const { return queue != nullptr ? queue->ok() : topic->ok(); }
    Strings take(size_t count) {
        Strings got;
        eventually(
            [&] {
                for (auto &text : queue != nullptr ? queue->drain() : topic->drain())
                    got.push_back(std::move(text));
                return got.size() >= count;
            },
            10s);
        return got;
    }
};

// A destination on the test's RabbitMQ ("rmq") or ActiveMQ ("amq").
struct Destination {
    const char *kind;
    std::string name;  // queue or topic
    std::string options = "";
    std::string password = "";
    int port = 0;

    std::string json() const {
        const bool rmq = std::string(kind) == "rmq";
        const int to = port != 0 ? port : rmq ? s_servers->amqp_port() : s_servers->mqtt_port();
        return std::string(R"({"type":)") + (rmq ? "1" : "0") + R"(,"ip":"127.0.0.1","port":)" + std::to_string(to) +
               R"(,"username":")" + (rmq ? "guest" : "platform") + R"(","password":")" +
               (!password.empty() ? password
                : rmq             ? "guest"
                                  : "secret") +
               R"(","isconnect":1,")" + kind + R"(":{")" + (rmq ? "queue" : "topic") + R"(":")" + name + "\"" +
               options + "}}";
    }
    Consumer consumer() const {
        if (std::string(kind) == "rmq")
            return Consumer{std::make_unique<AmqpQueue>(s_servers->amqp_port(), name), nullptr};
        return Consumer{nullptr, std::make_unique<MqttTopic>(s_servers->mqtt_port(), name)};
    }
};

constexpr dvr_time kReadingTime{2024, 3, 15, 10, 20, 30};

std::string reading_text(int32_t ch, uint32_t type, const char *value) {
    std::tm tm{.tm_sec = 30, .tm_min = 20, .tm_hour = 10, .tm_mday = 15, .tm_mon = 2, .tm_year = 124, .tm_isdst = -1};
    return R"({"dev_id":"dev-0001","ch":)" + std::to_string(ch) + R"(,"time":)" + std::to_string(std::mktime(&tm)) +
           R"(,"type":)" + std::to_string(type) + R"(,"value":)" + value + R"(,"event":)" +
           std::to_string(type == 0 ? 10115 : 10116) + "}";
}

class RealBrokerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(s_servers, nullptr);
        setenv("TZ", ":/etc/localtime", 0);
        tzset();
        test::init_library_once();
        os_support_set_sleep_hook(&RealBrokerTest::pause, this);
        ms_control_reset();
        ASSERT_EQ(ms_control_use_real_brokers(1), 1);
        ms_control_set_broker_timeout(kTimeoutMs);
        home_ = fs::current_path();
        char pattern[] = "/tmp/real_broker_test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        fs::create_directories(dir_ / "var" / "platform");
        fs::current_path(dir_);
    }
    void TearDown() override {
        stop_senders();
        fs::current_path(home_);
        fs::remove_all(dir_);
        os_support_set_sleep_hook(nullptr, nullptr);
        ms_control_use_real_brokers(0);
        ms_control_set_broker_timeout(0);
        ms_control_reset();
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
    size_t pollers() {
        std::lock_guard lock(mutex_);
        return pollers_.size();
    }
    void forget_pollers() {
        std::lock_guard lock(mutex_);
        pollers_.clear();
    }

    void configure(const std::string &temphum, const std::string &traffic = "") {
        std::string text = "{\"temphummmq\":" + temphum;
        if (!traffic.empty())
            text += ",\"trafficmq\":" + traffic;
        std::ofstream(dir_ / "var" / "platform" / "vs_config.json") << text << "}";
        ASSERT_EQ(cmd_update_config(), 1);
    }
    void stop_senders() {
        fs::remove(dir_ / "var" / "platform" / "vs_config.json");
        ASSERT_EQ(cmd_update_config(), 1);
        ASSERT_TRUE(eventually(
            [&] { return count("[cmd_zel]send_mq_message_thread start") == count("send_mq_message_thread end"); }));
    }
    int count(const std::string &message) { return static_cast<int>(std::ranges::count(log.messages(), message)); }

    void reading(int32_t ch, uint32_t type, int32_t raw) {
        temp_humidity_report r{0, ch, type, kReadingTime, raw};
        cmd_main_notify(host.data(), WCM_TEMP_HUMIDITY, &r, 0);
    }

    test::LogCapture log;
    test::Host host;

  private:
    std::mutex mutex_;
    std::set<std::thread::id> pollers_;
    fs::path home_;
    fs::path dir_;
};

TEST_F(RealBrokerTest, EventsArriveWithTheirExactTexts) {
    host.channel(3).put<uint32_t>(test::channel_offset::kTrafficFlowEnable, 1);
    ITSTrafficFlowReport report{.lane_no = 2,
                                .flow = 120,
                                .speed = 60,
                                .start_time = {2024, 3, 15, 10, 0, 0},
                                .end_time = {2024, 3, 15, 10, 5, 9},
                                .car_type_total = 2,
                                .car_types = {{1, 11, 7}, {1, 13, 9}},
                                .road_name = "Ring \"Road\"",
                                .channel = 3};
    const std::string traffic_text =
        R"({ "type": "trafficflow", "param": { "host_id": "dev-0001", "ch": 3, "lanno": 2, )"
        R"("roadname": "Ring \"Road\"", "starttime": "2024-03-15 10:00:00", "endtime": "2024-03-15 10:05:09", )"
        R"("flow": 120, "holdrate": 0, "speed": 60, "distance": 0, "cartypetotal": 2, )"
        R"("cartype": [ { "cartype": 11, "carnum": 7 }, { "cartype": 13, "carnum": 9 } ], )"
        R"("carqueuelength": 0, "headdistance": 0, "roomrate": 0, "runstate": 0 } })";

    // Each kind of message through each broker, with and without waiting
    // for the broker's acknowledgement.
    const std::pair<Destination, Destination> cases[] = {
        {{"rmq", "cmd_zel.temphum", R"(,"confirm":true)"}, {"amq", "cmd_zel/traffic", R"(,"qos":1)"}},
        {{"amq", "cmd_zel/temphum", R"(,"qos":0)"}, {"rmq", "cmd_zel.traffic", R"(,"persistent":false)"}},
    };
    for (const auto &[temphum, traffic] : cases) {
        SCOPED_TRACE(std::string(temphum.kind) + " " + temphum.options + " / " + traffic.kind + " " + traffic.options);
        Consumer readings = temphum.consumer(), flows = traffic.consumer();
        ASSERT_TRUE(readings.ok());
        ASSERT_TRUE(flows.ok());
        configure(temphum.json(), traffic.json());
        ASSERT_TRUE(eventually([&] { return pollers() >= 2; }));

        reading(3, 0, 1253);
        reading(4, 1, 995);
        cmd_main_notify(host.data(), WCM_ITS_TRAFFIC_FLOW, &report, 0);
        EXPECT_EQ(readings.take(2), (Strings{reading_text(3, 0, "25.3"), reading_text(4, 1, "-0.5")}));
        EXPECT_EQ(flows.take(1), Strings{traffic_text});
        EXPECT_EQ(count("ret == -1"), 0);
        stop_senders();
        EXPECT_EQ(ms_control_open_connections(), 0);
        forget_pollers();
    }
}

TEST_F(RealBrokerTest, BrokerRestartLosesOnlyTheMessagesSentWhileItWasDown) {
    const Destination to{"rmq", "cmd_zel.restart", R"(,"confirm":true)"};
    Consumer queue = to.consumer();
    ASSERT_TRUE(queue.ok());
    configure(to.json());
    ASSERT_TRUE(eventually([&] { return pollers() >= 1; }));

    // Distinct readings in three phases: broker up, down, up again. Every
    // one is either delivered or logged as a failed send.
    int32_t sent = 0;
    auto send = [&](int32_t n) {
        for (int32_t i = 0; i < n; ++i, ++sent)
            reading(sent % 16, 0, 1000 + sent);
        ASSERT_TRUE(eventually([&] { return ms_control_delivered_count() + count("ret == -1") == sent; }));
    };
    std::string error;
    send(10);
    ASSERT_TRUE(s_servers->stop_amqp(error)) << error;
    send(10);
    ASSERT_TRUE(s_servers->start_amqp(error)) << error;
    send(20);

    // The broker's restart closed the reader's connection too.
    const Strings got = to.consumer().take(static_cast<size_t>(ms_control_delivered_count()));
    const int32_t dropped = count("ret == -1");
    EXPECT_EQ(static_cast<int32_t>(got.size()) + dropped, sent);
    EXPECT_EQ(static_cast<int32_t>(got.size()), ms_control_delivered_count());
    EXPECT_EQ(std::set<std::string>(got.begin(), got.end()).size(), got.size()) << "a message arrived twice";
    // The sender went on with the same connection handle: the service
    // reconnected under it, and what was sent after the restart arrived.
    EXPECT_EQ(ms_control_open_connections(), 1);
    EXPECT_EQ(count("mq_info->conn_fd == (handle_zel)-1"), 0);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.front(), reading_text(0, 0, "0.0"));
    EXPECT_EQ(got.back(), reading_text((sent - 1) % 16, 0, "3.9"));
    EXPECT_GE(static_cast<int32_t>(got.size()), 30);
}

// A loopback port that refuses connections, and one whose server accepts
// them (the kernel completes the handshake) but never says a word.
struct Sockets {
    int refusing = socket(AF_INET, SOCK_STREAM, 0);
    int silent = socket(AF_INET, SOCK_STREAM, 0);
    Sockets() {
        for (int fd : {refusing, silent}) {
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
        }
        EXPECT_EQ(listen(silent, 16), 0);
    }
    ~Sockets() {
        close(refusing);
        close(silent);
    }
    static int port(int fd) {
        sockaddr_in addr{};
        socklen_t len = sizeof addr;
        getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len);
        return ntohs(addr.sin_port);
    }
};

TEST_F(RealBrokerTest, UnusableBrokersKeepTheSenderRetryingWithinTheTimeout) {
    Sockets sockets;
    const Destination cases[] = {
        {"rmq", "q", "", "wrong"},
        {"amq", "t", "", "wrong"},
        {"rmq", "q", "", "", Sockets::port(sockets.refusing)},
        {"amq", "t", "", "", Sockets::port(sockets.refusing)},
        {"rmq", "q", "", "", Sockets::port(sockets.silent)},
        {"amq", "t", "", "", Sockets::port(sockets.silent)},
    };
    for (const Destination &to : cases) {
        SCOPED_TRACE(to.json());
        log.clear();
        const auto start = Clock::now();
        configure(to.json());
        // Each attempt fails within the timeout (a whole second for MQTT),
        // so the sender comes back to retry again and again.
        ASSERT_TRUE(eventually([&] { return count("mq_info->conn_fd == (handle_zel)-1") >= 2; }));
        EXPECT_LT(Clock::now() - start, 4 * std::chrono::milliseconds(std::max(kTimeoutMs, 1000)) + 2s);
        stop_senders();
        EXPECT_EQ(ms_control_open_connections(), 0);
    }
}

}  // namespace
