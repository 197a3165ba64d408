// Draining a query session of 1000 results with get 1 calls of 20, against
// building and serialising the same 1000 result objects with json-c alone.
// The "ratio" counter is the drain's cost over the baseline's, both measured
// in every iteration of the same run.
//
// Also a search's opening and a get 1 of its one result with 10,000 other
// sessions open, against the same with one other session open (medians of
// the rounds).
#include <benchmark/benchmark.h>
#include <json-c/json.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cmd_zel.h"
#include "device_sdk_face_search.h"
#include "device_sdk_sim.h"
#include "handler_support.h"
#include "host_record.h"
#include "os_support_control.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kResults = 1000;
constexpr int kPerCall = 20;

std::vector<face_result> full_page() {
    std::vector<face_result> page(FACE_PAGE_RECORDS);
    for (int i = 0; i < FACE_PAGE_RECORDS; ++i) {
        face_result &r = page[i];
        r.size = sizeof r;
        r.index = i;
        r.similar = 90;
        zel::copy_text(r.name, "Person Name");
        zel::copy_text(r.birth_time, "1990-01-01");
        zel::copy_text(r.cert_num, "110101199001011234");
        zel::copy_text(r.lib_uuid, "6f1c2d3e-4b5a-6978-8a9b-0c1d2e3f4a5b");
        zel::copy_text(r.face_uuid, "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9");
        zel::copy_text(r.lib_version, "20240101");
        zel::copy_text(r.verify_code, "vc-123");
        zel::copy_text(r.file_name, "/face/lib/0001/picture_0001.jpg");
    }
    page[0].total = kResults;
    page[0].page_count = FACE_PAGE_RECORDS;
    return page;
}

std::string run_get(platform::Host &host, const std::string &json) {
    std::string text = json;
    AsynOpIt_ComCmd opit{};
    opit.in_buf = text.data();
    cmd_common_get_config(host.data(), &opit, sizeof opit);
    std::string reply = opit.out_buf != nullptr ? opit.out_buf : "";
    std::free(opit.out_buf);
    return reply;
}

void add_text(json_object *obj, const char *key, const char *text, size_t width) {
    json_object_object_add(obj, key, json_object_new_string_len(text, static_cast<int>(strnlen(text, width))));
}

// What the drain has to produce at the least: the same objects, serialised
// in replies of 20.
void build_and_serialise(const std::vector<face_result> &page) {
    for (int call = 0; call < kResults / kPerCall; ++call) {
        json_object *reply = json_object_new_object();
        json_object *param = json_object_new_array();
        for (const face_result &r : page) {
            json_object *o = json_object_new_object();
            json_object_object_add(o, "index", json_object_new_int(r.index));
            json_object_object_add(o, "checkcode", json_object_new_int(r.check_code));
            json_object_object_add(o, "filetype", json_object_new_int(r.file_type));
            json_object_object_add(o, "modeling", json_object_new_int(r.modeling));
            add_text(o, "name", r.name, sizeof r.name);
            json_object_object_add(o, "sex", json_object_new_int(r.sex));
            add_text(o, "birthtime", r.birth_time, sizeof r.birth_time);
            json_object_object_add(o, "nation", json_object_new_int(r.nation));
            json_object_object_add(o, "place", json_object_new_int(r.place));
            json_object_object_add(o, "certype", json_object_new_int(r.cert_type));
            add_text(o, "certnum", r.cert_num, sizeof r.cert_num);
            json_object_object_add(o, "opttype", json_object_new_int(r.opt_type));
            add_text(o, "libuuid", r.lib_uuid, sizeof r.lib_uuid);
            add_text(o, "faceuuid", r.face_uuid, sizeof r.face_uuid);
            add_text(o, "libversion", r.lib_version, sizeof r.lib_version);
            add_text(o, "verifycode", r.verify_code, sizeof r.verify_code);
            json_object_object_add(o, "taskid", json_object_new_int(r.task_id));
            add_text(o, "filename", r.file_name, sizeof r.file_name);
            json_object_object_add(o, "similar", json_object_new_int(r.similar));
            json_object_array_add(param, o);
        }
        json_object_object_add(reply, "param", param);
        benchmark::DoNotOptimize(json_object_to_json_string(reply));
        json_object_put(reply);
    }
}

void BM_DrainSession(benchmark::State &state) {
    os_support_timers_pause(1);
    os_support_set_log_quiet(1);
    static const int32_t initialised = init_command_lib();
    if (initialised != 1) {
        state.SkipWithError("init_command_lib failed");
        return;
    }
    platform::Host host;
    const auto page = full_page();
    const int32_t page_bytes = static_cast<int32_t>(page.size() * sizeof page[0]);
    double drain_seconds = 0, baseline_seconds = 0;
    for (auto _ : state) {
        sdk_sim_reset();  // keeps the simulator's call log short
        sdk_sim_set_answer("NetClient_FaceConfig", FACE_CMD_SEARCH, 0, 0, page.data(), page_bytes);
        std::string opened =
            run_get(host, R"({"command":0,"ch":0,"taskid":1,"picname":"p.jpg","libuuid":"l","similar":80})");
        std::string findfd = opened.substr(opened.find(':') + 1);
        findfd = findfd.substr(0, findfd.find(','));
        const std::string next = R"({"command":1,"findfd":)" + findfd + R"(,"count":20})";

        auto t0 = Clock::now();
        for (int call = 0; call < kResults / kPerCall; ++call)
            benchmark::DoNotOptimize(run_get(host, next));
        auto t1 = Clock::now();
        build_and_serialise(page);
        auto t2 = Clock::now();
        run_get(host, R"({"command":2,"findfd":)" + findfd + "}");

        double drain = std::chrono::duration<double>(t1 - t0).count();
        drain_seconds += drain;
        baseline_seconds += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(drain);
    }
    state.counters["drain_us"] = benchmark::Counter(drain_seconds * 1e6, benchmark::Counter::kAvgIterations);
    state.counters["baseline_us"] = benchmark::Counter(baseline_seconds * 1e6, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = baseline_seconds > 0 ? drain_seconds / baseline_seconds : 0;
}
BENCHMARK(BM_DrainSession)->UseManualTime()->Unit(benchmark::kMicrosecond);

constexpr int kOthersMany = 10000;
constexpr int kRounds = 2000;
const char kOpenSearch[] = R"({"command":0,"ch":0,"taskid":1,"picname":"p.jpg","libuuid":"l","similar":80})";

std::string findfd_of(const std::string &reply) {
    std::string findfd = reply.substr(reply.find(':') + 1);
    return findfd.substr(0, findfd.find(','));
}

void close_session(platform::Host &host, const std::string &findfd) {
    run_get(host, R"({"command":2,"findfd":)" + findfd + "}");
}

// Microseconds of each search's opening and of each get 1 of its one result.
struct Rounds {
    std::vector<double> open_us, get_us;
};

// Opens a search and takes its one result, kRounds times, each session
// closed untimed.
void open_and_get_one(platform::Host &host, Rounds &rounds) {
    for (int round = 0; round < kRounds; ++round) {
        auto t0 = Clock::now();
        std::string findfd = findfd_of(run_get(host, kOpenSearch));
        auto t1 = Clock::now();
        benchmark::DoNotOptimize(run_get(host, R"({"command":1,"findfd":)" + findfd + R"(,"count":1})"));
        auto t2 = Clock::now();
        close_session(host, findfd);
        rounds.open_us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
        rounds.get_us.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count());
    }
}

// The median: a round the machine's other work interrupted does not count.
double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

void BM_OpenSessionsAtScale(benchmark::State &state) {
    os_support_timers_pause(1);
    os_support_set_log_quiet(1);
    if (init_command_lib() != 1) {
        state.SkipWithError("init_command_lib failed");
        return;
    }
    platform::Host host;
    sdk_sim_reset();
    sdk_sim_set_call_log(0);
    auto page = full_page();
    page[0].total = 1;
    page[0].page_count = 1;
    sdk_sim_set_answer("NetClient_FaceConfig", FACE_CMD_SEARCH, 0, 0, page.data(),
                       static_cast<int32_t>(page.size() * sizeof page[0]));
    const std::string first_other = findfd_of(run_get(host, kOpenSearch));
    Rounds one, many, warm_up;
    open_and_get_one(host, warm_up);
    for (auto _ : state) {
        open_and_get_one(host, one);
        std::vector<std::string> others;
        for (int i = 1; i < kOthersMany; ++i)
            others.push_back(findfd_of(run_get(host, kOpenSearch)));
        open_and_get_one(host, many);
        for (const std::string &findfd : others)
            close_session(host, findfd);
    }
    close_session(host, first_other);
    sdk_sim_set_call_log(1);
    sdk_sim_reset();
    state.counters["open_us_1"] = median(one.open_us);
    state.counters["open_us_10000"] = median(many.open_us);
    state.counters["open_ratio"] = median(many.open_us) / median(one.open_us);
    state.counters["get1_us_1"] = median(one.get_us);
    state.counters["get1_us_10000"] = median(many.get_us);
    state.counters["get1_ratio"] = median(many.get_us) / median(one.get_us);
}
BENCHMARK(BM_OpenSessionsAtScale)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
