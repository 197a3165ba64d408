// Temperature events forwarded by the library to a RabbitMQ server against
// a plain librabbitmq publisher on one connection, with the same texts, the
// same message properties and the same confirmation setting, measured in
// the same run. The server is started for the run on private loopback
// ports. Both sides publish one message at a time to a durable queue of
// their own, persistent; with confirmations each message waits for the
// broker's acknowledgement before the next one.
//
// Rounds of the two sides alternate and the medians are reported, so a
// load that comes and goes on the machine hits both alike. Both sides are
// timed over the same window: from an idle broker with empty queues, a
// prefix of messages goes out untimed, and the clock runs over the next
// round's worth. The forwarded side has its events queued beforehand (the
// prefix plus twice the round), so the queue never runs dry and the sender
// never reaches its poll pause inside the window. Besides the rates, the
// process's CPU time per message in the window is reported for each side:
// it shows what the library adds apart from how the two threads happen to
// be scheduled beside the broker's.
#include <amqp.h>
#include <amqp_tcp_socket.h>
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cmd_zel.h"
#include "device_sdk_events.h"
#include "forwarding_bench.h"
#include "message_service_control.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using bench::temp_report;

// The server (scripts/broker-servers.sh), and the library with the message
// service on real brokers.
struct Setup {
    fs::path servers = fs::temp_directory_path() / ("cmd_zel_bench_brokers." + std::to_string(getpid()));
    int amqp_port = 0;
    bool ok = false;
    std::unique_ptr<bench::ScratchLibrary> library;

    Setup() {
        const std::string start = std::string(CMD_ZEL_BROKER_SCRIPT " start ") + servers.string() + " " +
                                  std::to_string(getpid()) + " rabbitmq";
        if (std::system(start.c_str()) != 0)
            return;
        std::ifstream(servers / "ports") >> amqp_port;
        // Local time read once rather than on every event (see the README).
        setenv("TZ", ":/etc/localtime", 0);
        tzset();
        library = std::make_unique<bench::ScratchLibrary>("rabbitmq_bench");
        ok = ms_control_use_real_brokers(1) == 1;
    }
    ~Setup() {
        library.reset();
        const std::string stop = std::string(CMD_ZEL_BROKER_SCRIPT " stop ") + servers.string();
        if (std::system(stop.c_str()) != 0)
            std::fprintf(stderr, "the server in %s did not stop\n", servers.c_str());
    }
};

Setup &setup() {
    static Setup s;
    return s;
}

// A plain publisher: one connection, one channel, the queue declared.
class Plain {
  public:
    Plain(int port, const char *queue, bool confirm) : queue_(queue), confirm_(confirm) {
        amqp_socket_t *socket = amqp_tcp_socket_new(conn_);
        amqp_socket_open(socket, "127.0.0.1", port);
        amqp_login(conn_, "/", 0, AMQP_DEFAULT_FRAME_SIZE, 0, AMQP_SASL_METHOD_PLAIN, "guest", "guest");
        amqp_channel_open(conn_, 1);
        amqp_queue_declare(conn_, 1, amqp_cstring_bytes(queue), 0, 1, 0, 0, amqp_empty_table);
        if (confirm)
            amqp_confirm_select(conn_, 1);
    }
    ~Plain() {
        amqp_connection_close(conn_, AMQP_REPLY_SUCCESS);
        amqp_destroy_connection(conn_);
    }
    void purge(const char *queue) {
        amqp_queue_purge(conn_, 1, amqp_cstring_bytes(queue));
        amqp_maybe_release_buffers(conn_);
    }
    bool publish(const std::string &text) {
        amqp_basic_properties_t props{};
        props._flags = AMQP_BASIC_CONTENT_TYPE_FLAG | AMQP_BASIC_DELIVERY_MODE_FLAG;
        props.content_type = amqp_cstring_bytes("application/json");
        props.delivery_mode = AMQP_DELIVERY_PERSISTENT;
        const amqp_bytes_t body{text.size(), const_cast<char *>(text.data())};
        if (amqp_basic_publish(conn_, 1, amqp_empty_bytes, amqp_cstring_bytes(queue_), 0, 0, &props, body) !=
            AMQP_STATUS_OK)
            return false;
        if (!confirm_)
            return true;
        amqp_frame_t frame;
        const bool acked = amqp_simple_wait_frame(conn_, &frame) == AMQP_STATUS_OK &&
                           frame.frame_type == AMQP_FRAME_METHOD && frame.payload.method.id == AMQP_BASIC_ACK_METHOD;
        amqp_maybe_release_buffers(conn_);
        return acked;
    }

  private:
    amqp_connection_state_t conn_ = amqp_new_connection();
    const char *queue_;
    bool confirm_;
};

// One side's round: messages per second over the timed window and the
// process's CPU time per message in it.
struct Round {
    double rate = 0;
    double cpu_us = 0;
};

double process_cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

class Window {
  public:
    Round close(int64_t messages) const {
        const double wall = std::chrono::duration<double>(Clock::now() - wall_).count();
        const double n = static_cast<double>(std::max<int64_t>(messages, 1));
        return {static_cast<double>(messages) / wall, (process_cpu_seconds() - cpu_) / n * 1e6};
    }

  private:
    Clock::time_point wall_ = Clock::now();
    double cpu_ = process_cpu_seconds();
};

Round plain_round(Plain &plain, const std::vector<std::string> &texts, size_t prefix) {
    for (size_t i = 0; i < prefix; ++i)
        plain.publish(texts[i % texts.size()]);
    const Window window;
    for (const std::string &text : texts)
        plain.publish(text);
    return window.close(static_cast<int64_t>(texts.size()));
}

// Queues prefix + 2 * count events; the window opens at the prefix's
// delivery (or at the end of the queueing, should that come later) and
// covers the next count deliveries. Waits until all have gone out.
Round forwarded_round(Setup &s, int32_t prefix, int32_t count) {
    const int32_t base = ms_control_delivered_count();
    const int32_t total = prefix + 2 * count;
    for (int32_t i = 0; i < total; ++i) {
        temp_humidity_report r = temp_report(i);
        cmd_main_notify(s.library->host.data(), WCM_TEMP_HUMIDITY, &r, 0);
    }
    ms_control_wait_delivered(base + prefix, 120000);
    const Window window;
    const int32_t first = ms_control_delivered_count();
    const int32_t last = ms_control_wait_delivered(std::min(first + count, base + total), 120000);
    const Round round = window.close(last - first);
    ms_control_wait_delivered(base + total, 120000);
    return round;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void BM_ForwardedAgainstPlainPublisher(benchmark::State &state) {
    Setup &s = setup();
    if (!s.ok) {
        state.SkipWithError("no RabbitMQ server");
        return;
    }
    const bool confirm = state.range(0) != 0;
    // CMD_ZEL_BENCH_QUICK: one short round, for a profiler.
    const bool quick = std::getenv("CMD_ZEL_BENCH_QUICK") != nullptr;
    const int32_t count = (confirm ? 300 : 5000) / (quick ? 10 : 1);
    const int32_t prefix = count / 2;
    const int rounds = quick ? 1 : 10;
    std::ofstream(s.library->config_path())
        << R"({"temphummmq":{"type":1,"ip":"127.0.0.1","port":)" << s.amqp_port
        << R"(,"username":"guest","password":"guest","isconnect":1,"rmq":{"queue":"bench.forwarded","confirm":)"
        << (confirm ? "true" : "false") << "}}}";
    cmd_update_config();
    ms_control_wait_producers(1, 10000);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the producer is announced before it is ready

    // The texts the library sends, captured from a first round.
    const int32_t before = ms_control_delivered_count();
    for (int32_t i = 0; i < MS_CONTROL_KEPT; ++i) {
        temp_humidity_report r = temp_report(i);
        cmd_main_notify(s.library->host.data(), WCM_TEMP_HUMIDITY, &r, 0);
    }
    ms_control_wait_delivered(before + MS_CONTROL_KEPT, 120000);
    std::vector<std::string> texts;
    std::vector<char> buf(1024);
    const int32_t last = ms_control_delivered_count();
    for (int32_t i = 0; i < count; ++i) {
        ms_control_delivered(last - MS_CONTROL_KEPT + i % MS_CONTROL_KEPT, buf.data(),
                             static_cast<int32_t>(buf.size()));
        texts.emplace_back(buf.data());
    }
    Plain plain(s.amqp_port, "bench.plain", confirm);
    std::vector<Round> direct, forwarded;
    std::vector<double> ratio;
    for (auto _ : state) {
        for (int round = 0; round < rounds; ++round) {
            // Without confirmations a publisher is done once its messages
            // are in the socket, and the broker works through them after:
            // each side starts on an idle broker with empty queues, and the
            // side that goes first alternates.
            for (int side = 0; side < 2; ++side) {
                plain.purge("bench.plain");
                plain.purge("bench.forwarded");
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                if ((side + round) % 2 == 0)
                    direct.push_back(plain_round(plain, texts, static_cast<size_t>(prefix)));
                else
                    forwarded.push_back(forwarded_round(s, prefix, count));
            }
            ratio.push_back(forwarded.back().rate / direct.back().rate);
        }
    }
    plain.purge("bench.forwarded");
    fs::remove(s.library->config_path());
    cmd_update_config();
    ms_control_wait_producers(0, 10000);

    const auto med = [](const std::vector<Round> &v, double Round::*field) {
        std::vector<double> values;
        for (const Round &r : v)
            values.push_back(r.*field);
        return median(values);
    };
    state.counters["plain_msg_per_s"] = med(direct, &Round::rate);
    state.counters["forwarded_msg_per_s"] = med(forwarded, &Round::rate);
    state.counters["forwarded_to_plain"] = median(ratio);
    state.counters["ratio_min"] = *std::min_element(ratio.begin(), ratio.end());
    state.counters["ratio_max"] = *std::max_element(ratio.begin(), ratio.end());
    state.counters["plain_cpu_us_per_msg"] = med(direct, &Round::cpu_us);
    state.counters["forwarded_cpu_us_per_msg"] = med(forwarded, &Round::cpu_us);
}
BENCHMARK(BM_ForwardedAgainstPlainPublisher)
    ->ArgName("confirm")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
