// Temperature events forwarded by the library to the embedded broker,
// measured against the same texts pushed straight through ms_push_message
// from one thread in the same run. The sender thread polls its queue
// through os_sleep; here a poll pause lasts 200 microseconds instead of a
// second, so the figure is the sender's throughput, not its poll period.
#include <benchmark/benchmark.h>
#include <json-c/json.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "cmd_zel.h"
#include "device_sdk_events.h"
#include "forwarding_bench.h"
#include "message_service.h"
#include "message_service_control.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBatch = 20000;

// One broker exchange as a platform component would make it.
std::string exchange(json_object *request) {
    static thread_local char reply[64512];
    int32_t reply_size = 0;
    const char *text = json_object_to_json_string(request);
    std::memset(reply, 0, sizeof reply);
    char envelope[256];
    std::snprintf(envelope, sizeof envelope,
                  "{\"cmd\":%lld,\"cmd_size\":%d,\"ret\":%lld,\"ret_buf_size\":%d,\"ret_size\":%lld}",
                  static_cast<long long>(reinterpret_cast<intptr_t>(text)), static_cast<int>(std::strlen(text) + 1),
                  static_cast<long long>(reinterpret_cast<intptr_t>(reply)), 64512,
                  static_cast<long long>(reinterpret_cast<intptr_t>(&reply_size)));
    ms_push_message(5, envelope);
    json_object_put(request);
    return reply;
}

json_object *command(const char *name, json_object *param) {
    json_object *cmd = json_object_new_object();
    json_object_object_add(cmd, "cmd", json_object_new_string(name));
    json_object_object_add(cmd, "param", param);
    return cmd;
}

int64_t handle_of(const std::string &reply, const char *key) {
    json_object *obj = json_tokener_parse(reply.c_str());
    json_object *value = nullptr;
    int64_t handle = json_object_object_get_ex(obj, key, &value) ? json_object_get_int64(value) : -1;
    json_object_put(obj);
    return handle;
}

// A producer of our own on the embedded broker.
int64_t open_producer() {
    json_object *param = json_object_new_object();
    json_object_object_add(param, "type", json_object_new_int(0));
    json_object_object_add(param, "port", json_object_new_int(61616));
    json_object_object_add(param, "is_reconnect", json_object_new_int(1));
    json_object_object_add(param, "ip", json_object_new_string("127.0.0.1"));
    json_object_object_add(param, "username", json_object_new_string("u"));
    json_object_object_add(param, "password", json_object_new_string("p"));
    int64_t conn = handle_of(exchange(command("create_connection", param)), "connect_fd");
    json_object *pparam = json_object_new_object();
    json_object_object_add(pparam, "connect_fd", json_object_new_int64(conn));
    json_object_object_add(pparam, "opt", json_object_new_object());
    return handle_of(exchange(command("create_productor", pparam)), "productor_fd");
}

using bench::temp_report;

// The library with its temperature sender connected to the embedded broker.
struct Library : bench::ScratchLibrary {
    Library() : ScratchLibrary("mq_bench") {
        std::ofstream(config_path())
            << R"({"temphummmq":{"type":0,"ip":"127.0.0.1","port":61616,"username":"u","password":"p",)"
               R"("isconnect":1,"amq":{"queue":"bench"}}})";
        cmd_update_config();
        ms_control_wait_producers(1, 5000);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the producer is announced before it is ready
    }
    ~Library() {
        std::filesystem::remove(config_path());
        cmd_update_config();
        ms_control_wait_producers(0, 5000);
    }
};

Library &library() {
    static Library lib;
    return lib;
}

// The texts the library sends for a batch, captured once from the broker
// a window of recent messages at a time.
std::vector<std::string> batch_texts() {
    static std::vector<std::string> texts = [] {
        Library &lib = library();
        std::vector<std::string> out;
        std::vector<char> buf(1024);
        for (int32_t first = 0; first < kBatch; first += MS_CONTROL_KEPT) {
            const int32_t base = ms_control_delivered_count();
            const int32_t n = std::min(kBatch - first, MS_CONTROL_KEPT);
            for (int32_t i = first; i < first + n; ++i) {
                auto r = temp_report(i);
                cmd_main_notify(lib.host.data(), WCM_TEMP_HUMIDITY, &r, 0);
            }
            ms_control_wait_delivered(base + n, 60000);
            for (int32_t i = 0; i < n; ++i) {
                ms_control_delivered(base + i, buf.data(), static_cast<int32_t>(buf.size()));
                out.emplace_back(buf.data());
            }
        }
        return out;
    }();
    return texts;
}

double direct_rate(const std::vector<std::string> &texts, int64_t producer) {
    auto start = Clock::now();
    for (const std::string &text : texts) {
        json_object *param = json_object_new_object();
        json_object_object_add(param, "productor_fd", json_object_new_int64(producer));
        json_object_object_add(param, "data",
                               json_object_new_int64(static_cast<int64_t>(reinterpret_cast<intptr_t>(text.c_str()))));
        json_object_object_add(param, "data_size", json_object_new_int(static_cast<int32_t>(text.size() + 1)));
        json_object *reply = json_tokener_parse(exchange(command("send_message", param)).c_str());
        json_object_put(reply);
    }
    return texts.size() / std::chrono::duration<double>(Clock::now() - start).count();
}

double forwarded_rate(Library &lib, double &event_call_us) {
    int32_t base = ms_control_delivered_count();
    std::vector<temp_humidity_report> reports;
    for (int32_t i = 0; i < kBatch; ++i)
        reports.push_back(temp_report(i));
    auto start = Clock::now();
    for (auto &r : reports)
        cmd_main_notify(lib.host.data(), WCM_TEMP_HUMIDITY, &r, 0);
    auto queued = Clock::now();
    ms_control_wait_delivered(base + kBatch, 60000);
    auto done = Clock::now();
    event_call_us = std::chrono::duration<double, std::micro>(queued - start).count() / kBatch;
    return kBatch / std::chrono::duration<double>(done - start).count();
}

void BM_ForwardedAgainstDirect(benchmark::State &state) {
    Library &lib = library();
    const std::vector<std::string> texts = batch_texts();
    const int64_t producer = open_producer();
    double direct = 0, forwarded = 0, call_us = 0;
    for (auto _ : state) {
        direct += direct_rate(texts, producer);
        double us = 0;
        forwarded += forwarded_rate(lib, us);
        call_us += us;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["direct_msg_per_s"] = direct / n;
    state.counters["forwarded_msg_per_s"] = forwarded / n;
    state.counters["forwarded_to_direct"] = forwarded / direct;
    state.counters["event_call_us"] = call_us / n;
}
BENCHMARK(BM_ForwardedAgainstDirect)->Iterations(5)->Unit(benchmark::kMillisecond);

// The event call with the broker stuck in a send: it only queues.
void BM_EventCallWhileBrokerHeld(benchmark::State &state) {
    Library &lib = library();
    int32_t base = ms_control_delivered_count();
    ms_control_hold_sends(1);
    auto r = temp_report(1);
    cmd_main_notify(lib.host.data(), WCM_TEMP_HUMIDITY, &r, 0);
    while (ms_control_held_sends() == 0)
        std::this_thread::yield();
    int64_t calls = 0;
    for (auto _ : state) {
        cmd_main_notify(lib.host.data(), WCM_TEMP_HUMIDITY, &r, 0);
        ++calls;
    }
    state.SetItemsProcessed(calls);
    ms_control_hold_sends(0);
    ms_control_wait_delivered(base + 1 + static_cast<int32_t>(calls), 120000);
}
BENCHMARK(BM_EventCallWhileBrokerHeld);

}  // namespace

BENCHMARK_MAIN();
