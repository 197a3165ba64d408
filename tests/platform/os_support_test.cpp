#include "os_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "os_support_control.h"

namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

// Lists, tables and mutexes are never freed by the library; keeping their
// addresses in storage that outlives exit handlers keeps LeakSanitizer quiet.
std::vector<void *> &kept = *new std::vector<void *>;
template <class T> T *keep(T *object) {
    kept.push_back(object);
    return object;
}

template <class Pred> bool eventually(Pred pred) {
    for (int i = 0; i < 1000 && !pred(); ++i) {
        std::this_thread::sleep_for(1ms);
    }
    return pred();
}

// The destination is chosen from the environment on first use, so these run
// in a freshly started copy of this program.
TEST(OsSupportLogDeathTest, FileGetsFormattedLinesFromMinimumLevel) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    if (!std::getenv("OS_SUPPORT_TEST_LOG")) {  // the child inherits the parent's path
        setenv("OS_SUPPORT_TEST_LOG", (testing::TempDir() + "os_support_" + std::to_string(getpid())).c_str(), 1);
    }
    const std::string path = std::getenv("OS_SUPPORT_TEST_LOG");
    const std::string long_text(10 * 1024, 'y');
    std::remove(path.c_str());
    EXPECT_EXIT(
        {
            setenv("OS_LOG_FILE", path.c_str(), 1);
            setenv("OS_LOG_LEVEL", "2", 1);
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
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
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

TEST(OsSupportLogDeathTest, FailingDestinationLeavesErrnoAlone) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("OS_LOG_FILE", "/dev/full", 1);
            errno = EDOM;
            log_debug_ex(2, "a.cpp", 1, "lost");
            std::_Exit(errno == EDOM ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST(OsSupportErrno, CallsLeaveErrnoAsFound) {
    static Strings logged;  // through the hook, while the normal destination is quiet
    os_support_set_log_quiet(1);
    os_support_set_log_hook(
        [](void *, int32_t level, const char *file, int32_t line, const char *message) {
            logged.push_back(std::to_string(level) + " " + file + ":" + std::to_string(line) + " " + message);
        },
        nullptr);
    errno = 4242;
    os_get_ip_type("host.example");
    os_ip_cmp("1.2.3.4", "::1");
    char *copy = os_strdup("text");
    os_sleep(1);
    adt_dlist_t *list = keep(adt_dlist_create(8));
    adt_dlist_add(list, nullptr, "12345678");
    adt_dlist_delete(list, adt_dlist_head(list));
    hash_table_t *table = keep(hash_create());
    hash_add(table, "k", 1, "v", 1);
    hash_del(table, hash_find(table, "k", 1));
    os_timer_destroy(os_timer_create([](void *) {}, 1000, nullptr));
    log_debug_ex(1, "a.cpp", 12, "value %d of %s", 7, "seven");
    EXPECT_EQ(errno, 4242);
    os_support_set_log_hook(nullptr, nullptr);
    os_support_set_log_quiet(0);
    EXPECT_EQ(logged, Strings{"1 a.cpp:12 value 7 of seven"});
    EXPECT_STREQ(copy, "text");
    std::free(copy);
    EXPECT_EQ(os_strdup(nullptr), nullptr);
}

void count_tick(void *arg) { ++*static_cast<std::atomic<int> *>(arg); }

TEST(OsSupportTimer, FiresAboutEveryPeriodUntilDestroyed) {
    EXPECT_EQ(os_timer_create(nullptr, 10, nullptr), nullptr);
    EXPECT_EQ(os_timer_create(count_tick, 0, nullptr), nullptr);
    std::atomic<int> ticks{0};
    os_timer_t timer = os_timer_create(count_tick, 20, &ticks);
    ASSERT_NE(timer, nullptr);
    std::this_thread::sleep_for(210ms);
    EXPECT_EQ(os_timer_destroy(timer), 0);
    const int fired = ticks;
    EXPECT_GE(fired, 3);
    EXPECT_LE(fired, 12);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ticks, fired);
    EXPECT_EQ(os_timer_destroy(timer), -1);
}

TEST(OsSupportTimer, DestroyWaitsForRunningCallback) {
    static std::atomic<bool> entered{false}, finished{false};
    os_timer_t timer = os_timer_create(
        [](void *) {
            finished = false;
            entered = true;
            std::this_thread::sleep_for(40ms);
            finished = true;
        },
        1, nullptr);
    ASSERT_TRUE(eventually([] { return entered.load(); }));
    os_timer_destroy(timer);
    EXPECT_TRUE(finished);
}

struct Step {
    Strings *ran;
    std::string name;
    std::vector<os_timer_t> destroys;
};

TEST(OsSupportTimer, PausedTimersRunOnlyByHandInCreationOrder) {
    os_support_timers_pause(1);
    Strings ran;  // only this thread touches it while paused
    Step first{&ran, "first", {}}, second{&ran, "second", {}}, third{&ran, "third", {}}, fourth{&ran, "fourth", {}};
    auto step = [](void *arg) {
        auto *s = static_cast<Step *>(arg);
        s->ran->push_back(s->name);
        for (os_timer_t timer : s->destroys) {
            os_timer_destroy(timer);
        }
    };
    os_timer_t a = os_timer_create(step, 1, &first);
    os_timer_t b = os_timer_create(step, 1, &second);
    os_timer_t c = os_timer_create(step, 1, &third);
    os_timer_t d = os_timer_create(step, 1, &fourth);
    second.destroys = {c, b};  // a later timer, then its own
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(os_support_timers_fire(), 3);
    EXPECT_EQ(ran, (Strings{"first", "second", "fourth"}));
    ran.clear();
    EXPECT_EQ(os_support_timers_fire(), 2);
    EXPECT_EQ(ran, (Strings{"first", "fourth"}));
    os_timer_destroy(a);
    os_timer_destroy(d);
    os_support_timers_pause(0);
}

TEST(OsSupportSleep, HookReplacesSleepingUntilCleared) {
    std::vector<int32_t> asked;
    os_support_set_sleep_hook([](void *ctx, int32_t ms) { static_cast<std::vector<int32_t> *>(ctx)->push_back(ms); },
                              &asked);
    auto start = std::chrono::steady_clock::now();
    os_sleep(60000);
    os_sleep(5);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(asked, (std::vector<int32_t>{60000, 5}));
    os_support_set_sleep_hook(nullptr, nullptr);
    start = std::chrono::steady_clock::now();
    os_sleep(20);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms);
}

TEST(OsSupportThread, ThreadsAndRecursiveMutex) {
    static std::atomic<void *> seen{nullptr};
    os_thread_t thread = nullptr;
    ASSERT_NE(os_thread_create(
                  &thread, 0,
                  [](void *arg) -> int32_t {
                      seen = arg;
                      return 0;
                  },
                  &thread),
              0);
    EXPECT_EQ(os_thread_detach(&thread), 0);
    EXPECT_TRUE(eventually([&] { return seen.load() == &thread; }));

    auto *m = keep(new os_mutex_t);
    std::memset(m, 0xab, sizeof *m);
    ASSERT_NE(os_mutex_init(m, 0), 0);
    EXPECT_EQ(m->opaque[4], 0xababababababababULL);  // only the first word is used
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
    EXPECT_EQ(os_get_ip_type("1.2.3.4"), 0);
    EXPECT_EQ(os_get_ip_type("::1"), 1);
    EXPECT_EQ(os_get_ip_type("fe80::1"), 1);
    for (const char *bad : {"host.example", "", "1.2.3.256", "1.2.3", static_cast<const char *>(nullptr)}) {
        EXPECT_EQ(os_get_ip_type(bad), -1) << (bad ? bad : "NULL");
    }
    EXPECT_EQ(os_ip_cmp("::1", "0:0:0:0:0:0:0:1"), 1);
    EXPECT_EQ(os_ip_cmp("1.2.3.4", "1.2.3.4"), 1);
    EXPECT_EQ(os_ip_cmp("1.2.3.4", "1.2.3.5"), 0);
    EXPECT_EQ(os_ip_cmp("::ffff:1.2.3.4", "1.2.3.4"), 0);
    EXPECT_EQ(os_ip_cmp("host.example", "host.example"), 0);
    EXPECT_EQ(os_ip_cmp(nullptr, "1.2.3.4"), 0);
}

struct Item {
    int32_t id;
    char name[12];
};

std::vector<int32_t> ids(adt_dlist_t *list) {
    std::vector<int32_t> out;
    for (adt_dlist_node_t *node = adt_dlist_head(list); node; node = adt_dlist_next(node)) {
        out.push_back(static_cast<Item *>(adt_dlist_getdata(node))->id);
    }
    return out;
}

TEST(OsSupportList, InsertsDeletesAndCopiesElements) {
    adt_dlist_t *list = keep(adt_dlist_create(sizeof(Item)));
    ASSERT_NE(list, nullptr);
    auto add = [&](adt_dlist_node_t *pos, Item item) { return adt_dlist_add(list, pos, &item); };
    ASSERT_EQ(add(nullptr, {1, "one"}), 1);
    ASSERT_EQ(add(nullptr, {3, "three"}), 1);
    ASSERT_EQ(add(adt_dlist_head(list), {2, "two"}), 1);
    ASSERT_EQ(add(adt_dlist_next(adt_dlist_next(adt_dlist_head(list))), {4, "four"}), 1);  // after the tail
    ASSERT_EQ(add(nullptr, {5, "five"}), 1);
    EXPECT_EQ(ids(list), (std::vector<int32_t>{1, 2, 3, 4, 5}));
    EXPECT_STREQ(static_cast<Item *>(adt_dlist_getdata(adt_dlist_head(list)))->name, "one");

    adt_dlist_node_t *next = adt_dlist_delete_ex(list, adt_dlist_next(adt_dlist_head(list)));
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(static_cast<Item *>(adt_dlist_getdata(next))->id, 3);
    EXPECT_EQ(adt_dlist_delete_ex(list, adt_dlist_next(adt_dlist_next(next))), nullptr);  // the tail
    EXPECT_EQ(adt_dlist_delete(list, adt_dlist_head(list)), 1);
    ASSERT_EQ(add(nullptr, {6, "six"}), 1);
    EXPECT_EQ(ids(list), (std::vector<int32_t>{3, 4, 6}));

    adt_dlist_t *other = keep(adt_dlist_create(sizeof(Item)));  // nodes of another list are refused
    EXPECT_EQ(adt_dlist_delete(other, adt_dlist_head(list)), 0);
    EXPECT_EQ(adt_dlist_add(nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(ids(list), (std::vector<int32_t>{3, 4, 6}));
}

TEST(OsSupportHash, BinaryKeysStableNodesAndValuesInPlace) {
    hash_table_t *table = keep(hash_create());
    ASSERT_NE(table, nullptr);
    const unsigned char key[] = {0, 1, 0, 2}, prefix[] = {0, 1};
    int64_t value = 10;
    ASSERT_EQ(hash_add(table, key, 4, &value, sizeof value), 1);
    ASSERT_EQ(hash_add(table, prefix, 2, &value, sizeof value), 1);
    EXPECT_EQ(hash_add(table, key, 4, &value, sizeof value), 0);  // already present
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
    hash_node_t *found = hash_find(table, "key1234", 7);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(*static_cast<int64_t *>(hash_get_value(found)), 1234);

    EXPECT_EQ(hash_del(keep(hash_create()), node), 0);  // not that table's node
    EXPECT_EQ(hash_del(table, node), 1);
    EXPECT_EQ(hash_find(table, key, 4), nullptr);
    EXPECT_NE(hash_find(table, prefix, 2), nullptr);
    EXPECT_EQ(hash_add(table, nullptr, 4, &value, sizeof value), 0);
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
                if (r % 2 == 1) {
                    adt_dlist_delete(list, adt_dlist_head(list));
                }
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
    for (auto &thread : threads) {
        thread.join();
    }
    EXPECT_EQ(ids(list).size(), 2000u);
    int64_t total = deleted;
    for (int32_t key = 0; key < 16; ++key) {
        hash_node_t *node = hash_find(table, &key, sizeof key);
        total += node ? *value(node) : 0;
    }
    EXPECT_EQ(total, 4000);
}

}  // namespace
