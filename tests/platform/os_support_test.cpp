#include "os_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "os_support_control.h"
#include "portable.h"

namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;
using Ids = std::vector<int32_t>;

// Lists, tables and mutexes are never freed by the library; keeping their
// addresses in storage that outlives exit handlers keeps LeakSanitizer quiet.
std::vector<void *> &kept = *new std::vector<void *>;
template <class T> T *keep(T *object) {
    kept.push_back(object);
    return object;
}

template <class Pred> bool eventually(Pred pred) {
    for (int i = 0; i < 1000 && !pred(); ++i)
        std::this_thread::sleep_for(1ms);
    return pred();
}

// The destination is chosen from the environment on first use, so these run
// in a freshly started copy of this program.
TEST(OsSupportLogDeathTest, FileGetsFormattedLinesFromMinimumLevel) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    if (!std::getenv("OS_SUPPORT_TEST_LOG"))  // the child inherits the parent's path
        test::set_env("OS_SUPPORT_TEST_LOG",
                      (testing::TempDir() + "os_support_" + std::to_string(test::process_id())).c_str());
    const std::string path = std::getenv("OS_SUPPORT_TEST_LOG");
    const std::string long_text(10 * 1024, 'y');
    std::remove(path.c_str());
    EXPECT_EXIT(
        {
            test::set_env("OS_LOG_FILE", path.c_str());
            test::set_env("OS_LOG_LEVEL", "2");
            static int hook_calls = 0;  // the hook sees every level
            os_support_set_log_hook([](void *, int32_t, const char *, int32_t, const char *) { ++hook_calls; },
                                    nullptr);
            log_debug_ex(1, "a.cpp", 1, "below the minimum");
            log_debug_ex(2, "a.cpp", 12, "kept %d", 7);
            log_debug_ex(5, "b.cpp", 3, "%s", long_text.c_str());
            std::_Exit(hook_calls == 3 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    std::ifstream file(path);
    Strings lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    std::remove(path.c_str());
    ASSERT_EQ(lines.size(), 2u);
    int date[7];  // "YYYY-MM-DD hh:mm:ss.mmm "
    EXPECT_EQ(std::sscanf(lines[0].c_str(), "%4d-%2d-%2d %2d:%2d:%2d.%3d", &date[0], &date[1], &date[2], &date[3],
                          &date[4], &date[5], &date[6]),
              7)
        << lines[0];
    EXPECT_EQ(lines[0].substr(23), " [2] a.cpp:12 kept 7");
    EXPECT_TRUE(lines[1].substr(23) == " [5] b.cpp:3 " + long_text) << lines[1].size() << " characters";
}

TEST(OsSupportTimer, RepeatsUntilDestroyedAndDestroyWaitsForARunningCallback) {
    EXPECT_EQ(os_timer_create(nullptr, 10, nullptr), nullptr);
    EXPECT_EQ(os_timer_create([](void *) {}, 0, nullptr), nullptr);
    static std::atomic<int> ticks{0};
    static std::atomic<bool> inside{false};
    os_timer_t timer = os_timer_create(
        [](void *) {
            inside = true;
            std::this_thread::sleep_for(10ms);
            ++ticks;
            inside = false;
        },
        2, nullptr);
    ASSERT_TRUE(eventually([] { return ticks >= 2 && inside; }));
    EXPECT_EQ(os_timer_destroy(timer), 0);
    EXPECT_FALSE(inside);
    const int fired = ticks;
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(ticks, fired);
    EXPECT_EQ(os_timer_destroy(timer), -1);
}

struct Step {
    Strings *ran;
    std::string name;
    std::vector<os_timer_t> destroys;
};

TEST(OsSupportTimer, PausedTimersRunOnlyByHandInCreationOrder) {
    os_support_timers_pause(1);
    Strings ran;  // only this thread touches it while paused
    Step steps[] = {{&ran, "first", {}}, {&ran, "second", {}}, {&ran, "third", {}}, {&ran, "fourth", {}}};
    os_timer_t timers[4];
    for (size_t i = 0; i < 4; ++i)
        timers[i] = os_timer_create(
            [](void *arg) {
                auto *s = static_cast<Step *>(arg);
                s->ran->push_back(s->name);
                for (os_timer_t timer : s->destroys)
                    os_timer_destroy(timer);
            },
            1, &steps[i]);
    steps[1].destroys = {timers[2], timers[1]};  // a later timer, then its own
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(os_support_timers_fire(), 3);
    EXPECT_EQ(ran, (Strings{"first", "second", "fourth"}));
    ran.clear();
    EXPECT_EQ(os_support_timers_fire(), 2);
    EXPECT_EQ(ran, (Strings{"first", "fourth"}));
    os_timer_destroy(timers[0]);
    os_timer_destroy(timers[3]);
    os_support_timers_pause(0);
}

TEST(OsSupportMutex, IsRecursive) {
    auto *m = keep(new os_mutex_t);
    ASSERT_NE(os_mutex_init(m, 0), 0);
    os_mutex_lock(m);
    os_mutex_lock(m);
    std::atomic<bool> taken{false};
    std::thread other([&] {
        os_mutex_lock(m);
        taken = true;
        os_mutex_unlock(m);
    });
    os_mutex_unlock(m);  // still held once
    std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(taken);
    os_mutex_unlock(m);
    other.join();
    EXPECT_TRUE(taken);
}

TEST(OsSupportAddress, TypesAndComparison) {
    const std::pair<const char *, int32_t> types[] = {{"1.2.3.4", 0},       {"::1", 1},   {"fe80::1", 1},
                                                      {"host.example", -1}, {"", -1},     {"1.2.3.256", -1},
                                                      {"1.2.3", -1},        {nullptr, -1}};
    for (const auto &[text, type] : types)
        EXPECT_EQ(os_get_ip_type(text), type) << (text ? text : "NULL");
    const std::tuple<const char *, const char *, int32_t> pairs[] = {
        {"::1", "0:0:0:0:0:0:0:1", 1},    {"1.2.3.4", "1.2.3.4", 1},           {"1.2.3.4", "1.2.3.5", 0},
        {"::ffff:1.2.3.4", "1.2.3.4", 0}, {"host.example", "host.example", 0}, {nullptr, "1.2.3.4", 0}};
    for (const auto &[a, b, same] : pairs)
        EXPECT_EQ(os_ip_cmp(a, b), same) << (a ? a : "NULL") << " " << b;
}

struct Item {
    int32_t id;
    char name[12];
};

Ids ids(adt_dlist_t *list) {
    Ids out;
    for (adt_dlist_node_t *node = adt_dlist_head(list); node; node = adt_dlist_next(node))
        out.push_back(static_cast<Item *>(adt_dlist_getdata(node))->id);
    return out;
}

TEST(OsSupportHash, BinaryKeysStableNodesAndValuesInPlace) {
    hash_table_t *table = keep(hash_create());
    ASSERT_NE(table, nullptr);
    const unsigned char key[] = {0, 1, 0, 2}, prefix[] = {0, 1};
    int64_t value = 10;
    ASSERT_EQ(hash_add(table, key, 4, &value, sizeof value), 1);
    ASSERT_EQ(hash_add(table, prefix, 2, &value, sizeof value), 1);
    EXPECT_EQ(hash_add(table, key, 4, &value, sizeof value), 0);  // already present
    EXPECT_EQ(hash_add(table, nullptr, 4, &value, sizeof value), 0);
    EXPECT_EQ(hash_find(table, key, 3), nullptr);

    hash_node_t *node = hash_find(table, key, 4);
    ASSERT_NE(node, nullptr);
    *static_cast<int64_t *>(hash_get_value(node)) = 11;
    for (int64_t i = 0; i < 2000; ++i) {  // grows the table
        const std::string name = "key" + std::to_string(i);
        ASSERT_EQ(hash_add(table, name.data(), static_cast<int32_t>(name.size()), &i, sizeof i), 1);
    }
    EXPECT_EQ(hash_find(table, key, 4), node);
    EXPECT_EQ(*static_cast<int64_t *>(hash_get_value(node)), 11);
    EXPECT_EQ(*static_cast<int64_t *>(hash_get_value(hash_find(table, "key1234", 7))), 1234);

    EXPECT_EQ(hash_del(keep(hash_create()), node), 0);  // not that table's node
    EXPECT_EQ(hash_del(table, node), 1);
    EXPECT_EQ(hash_find(table, key, 4), nullptr);
    EXPECT_NE(hash_find(table, prefix, 2), nullptr);
}

TEST(OsSupportStress, ThreadsShareListAndTableUnderTheirLocks) {
    adt_dlist_t *list = keep(adt_dlist_create(sizeof(Item)));
    hash_table_t *table = keep(hash_create());
    int64_t deleted = 0;  // guarded by the table's lock
    auto value = [](hash_node_t *node) { return static_cast<int64_t *>(hash_get_value(node)); };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int32_t r = 0; r < 1000; ++r) {
                const int64_t one = 1;
                const int32_t key = r % 16;
                const Item item{r, "stress"};
                adt_dlist_lock(list);
                adt_dlist_add(list, nullptr, &item);
                adt_dlist_lock(list);  // recursive
                if (r % 2 == 1)
                    adt_dlist_delete(list, adt_dlist_head(list));
                adt_dlist_unlock(list);
                adt_dlist_unlock(list);

                hash_lock(table);  // count every round: in a node's value, or in `deleted` with its node
                hash_node_t *node = hash_find(table, &key, sizeof key);
                if (!node) {
                    hash_add(table, &key, sizeof key, &one, sizeof one);
                } else if (r % 50 == 0) {
                    deleted += *value(node) + 1;
                    hash_del(table, node);
                } else {
                    ++*value(node);
                }
                hash_unlock(table);
            }
        });
    }
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(ids(list).size(), 2000u);
    int64_t total = deleted;
    for (int32_t key = 0; key < 16; ++key) {
        hash_node_t *node = hash_find(table, &key, sizeof key);
        total += node ? *value(node) : 0;
    }
    EXPECT_EQ(total, 4000);
}

}  // namespace
