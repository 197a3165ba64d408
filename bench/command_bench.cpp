// Commands through the exported entry points against their floor: json-c
// parsing the same command text plus building and serialising the same
// reply. Both are timed in every iteration of the same run and the
// "ratio" counter is command time over floor time. Also two platform
// threads against one, and the resident set over a million commands.
//
// The simulated device logs every call; the log is emptied between timed
// batches so the figures are the library's, not the log's.
#include <benchmark/benchmark.h>
#include <json-c/json.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cmd_zel.h"
#include "device_sdk_sim.h"
#include "host_record.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBatch = 20000;

const char kSetText[] = R"({"command":8,"ch":1,"enable":1})";
const char kGetText[] = R"({"command":10,"ch":1})";

platform::Host &host() {
    static platform::Host h(1, "BENCH-0001");
    return h;
}

// The library once; the simulated device keeps no call log, which is test
// instrumentation a real device SDK does not have.
bool init() {
    static const bool ready = [] {
        sdk_sim_set_call_log(0);
        return init_command_lib() == 1;
    }();
    return ready;
}

// One command as the platform sends it; the platform frees the reply.
int32_t run(int32_t (*entry)(void *, void *, int32_t), platform::Host &on, const char *text) {
    AsynOpIt_ComCmd opit{};
    opit.in_buf = const_cast<char *>(text);
    int32_t result = entry(on.data(), &opit, sizeof opit);
    std::free(opit.out_buf);
    return result;
}

// json-c alone: parse the command, read its number, build and serialise
// the reply and hand over a heap copy, as the library does.
template <typename Build> void floor_once(const char *text, Build build) {
    json_object *cmd = json_tokener_parse(text);
    json_object *number = nullptr;
    json_object_object_get_ex(cmd, "command", &number);
    benchmark::DoNotOptimize(json_object_get_int(number));
    json_object *reply = json_object_new_object();
    build(reply);
    const char *serialised = json_object_to_json_string(reply);
    char *copy = static_cast<char *>(std::calloc(std::strlen(serialised) + 1, 1));
    std::strcpy(copy, serialised);
    benchmark::DoNotOptimize(copy);
    std::free(copy);
    json_object_put(reply);
    json_object_put(cmd);
}

template <typename Body> double ns_per_call(int n, Body body) {
    auto start = Clock::now();
    for (int i = 0; i < n; ++i)
        body();
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / n;
}

template <typename Floor>
void against_floor(benchmark::State &state, int32_t (*entry)(void *, void *, int32_t), const char *text, Floor floor) {
    if (!init()) {
        state.SkipWithError("init_command_lib failed");
        return;
    }
    sdk_sim_reset();
    double command_ns = 0, floor_ns = 0;
    for (auto _ : state) {
        floor_ns += ns_per_call(kBatch, floor);
        command_ns += ns_per_call(kBatch, [&] { run(entry, host(), text); });
        sdk_sim_reset();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["command_ns"] = command_ns / n;
    state.counters["floor_ns"] = floor_ns / n;
    state.counters["ratio"] = command_ns / floor_ns;
}

void BM_SetCommandAgainstFloor(benchmark::State &state) {
    against_floor(state, cmd_common_set_config, kSetText, [] {
        floor_once(kSetText, [](json_object *r) { json_object_object_add(r, "ret", json_object_new_int(0)); });
    });
}
BENCHMARK(BM_SetCommandAgainstFloor)->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_GetCommandAgainstFloor(benchmark::State &state) {
    against_floor(state, cmd_common_get_config, kGetText, [] {
        floor_once(kGetText, [](json_object *r) {
            json_object_object_add(r, "enable", json_object_new_int(0));
            json_object_object_add(r, "ret", json_object_new_int(0));
        });
    });
}
BENCHMARK(BM_GetCommandAgainstFloor)->Iterations(10)->Unit(benchmark::kMillisecond);

// `work` run on `threads` platform threads at once, each with its own
// device, kBatch times per thread; calls per second.
template <typename Work> double throughput(int threads, Work work) {
    std::vector<std::unique_ptr<platform::Host>> hosts;
    for (int t = 0; t < threads; ++t)
        hosts.push_back(std::make_unique<platform::Host>(1 + t, "BENCH-000" + std::to_string(t)));
    auto start = Clock::now();
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&work, on = hosts[t].get()] {
            for (int i = 0; i < kBatch; ++i)
                work(*on, i);
        });
    for (auto &t : pool)
        t.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    sdk_sim_reset();
    return threads * kBatch / seconds;
}

void set_or_get(platform::Host &on, int i) {
    if (i % 2 == 0)
        run(cmd_common_set_config, on, kSetText);
    else
        run(cmd_common_get_config, on, kGetText);
}

void floor_set_or_get(platform::Host &, int i) {
    floor_once(i % 2 == 0 ? kSetText : kGetText,
               [](json_object *r) { json_object_object_add(r, "ret", json_object_new_int(0)); });
}

// The commands' scaling, and json-c's own on the same machine for scale.
void BM_TwoThreadsAgainstOne(benchmark::State &state) {
    if (!init()) {
        state.SkipWithError("init_command_lib failed");
        return;
    }
    sdk_sim_reset();
    double one = 0, two = 0, floor_one = 0, floor_two = 0;
    for (auto _ : state) {
        one += throughput(1, set_or_get);
        two += throughput(2, set_or_get);
        floor_one += throughput(1, floor_set_or_get);
        floor_two += throughput(2, floor_set_or_get);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["one_thread_per_s"] = one / n;
    state.counters["two_threads_per_s"] = two / n;
    state.counters["ratio"] = two / one;
    state.counters["floor_ratio"] = floor_two / floor_one;
}
BENCHMARK(BM_TwoThreadsAgainstOne)->Iterations(10)->Unit(benchmark::kMillisecond);

double rss_kib() {
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1024.0;
}

// A million commands, half set and half get; the resident set before and
// after (after a first million, so the heap has reached its working size).
void BM_ResidentSetOverAMillionCommands(benchmark::State &state) {
    if (!init()) {
        state.SkipWithError("init_command_lib failed");
        return;
    }
    constexpr int kCommands = 1000000;
    auto batch = [] {
        for (int i = 0; i < kBatch / 2; ++i) {
            run(cmd_common_set_config, host(), kSetText);
            run(cmd_common_get_config, host(), kGetText);
        }
        sdk_sim_reset();
    };
    for (int done = 0; done < kCommands; done += kBatch)
        batch();
    const double before = rss_kib();
    for (auto _ : state) {
        for (int done = 0; done < kCommands; done += kBatch)
            batch();
    }
    const double after = rss_kib();
    state.counters["rss_before_kib"] = before;
    state.counters["rss_after_kib"] = after;
    state.counters["rss_growth_kib"] = after - before;
}
BENCHMARK(BM_ResidentSetOverAMillionCommands)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
