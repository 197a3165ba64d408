// Query sessions: numbering, lookup, removal and expiry driven by timer
// ticks fired by hand.
#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "face/find_session.h"
#include "os_support_control.h"
#include "platform_fixture.h"

namespace {

using namespace zel;

class SessionTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        os_support_timers_pause(1);
        test::init_library_once();
    }
    void TearDown() override {
        for (uint32_t fd : opened)
            del_cmd_findinfo_fd(fd);
    }
    find_info *open() {
        find_info *s = create_cmd_findinfo_fd();
        if (s != nullptr)
            opened.push_back(s->findfd);
        return s;
    }
    static void ticks(int n) {
        for (int i = 0; i < n; ++i)
            os_support_timers_fire();
    }
    std::vector<uint32_t> opened;
};

TEST_F(SessionTest, NumbersCountUpAndAreNotReusedAfterClose) {
    find_info *a = open();
    ASSERT_NE(a, nullptr);
    uint32_t first = a->findfd;
    EXPECT_EQ(del_cmd_findinfo_fd(first), 1);
    find_info *b = open();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->findfd, first + 1);
    EXPECT_EQ(get_cmd_findinfo_fd(first), nullptr);
    EXPECT_EQ(get_cmd_findinfo_fd(b->findfd), b);
    EXPECT_EQ(del_cmd_findinfo_fd(987654), 1);  // unknown numbers are fine
}

TEST_F(SessionTest, IdleSessionExpiresOnTheSixtyFirstTickAfterItsLastLookup) {
    find_info *s = open();
    ASSERT_NE(s, nullptr);
    s->query_info = std::malloc(16);
    s->query_result = std::malloc(32);
    uint32_t fd = s->findfd;

    ticks(40);
    ASSERT_EQ(get_cmd_findinfo_fd(fd), s);  // the lookup starts the count again
    EXPECT_EQ(s->idle_ticks, 0);
    ticks(60);
    EXPECT_EQ(s->idle_ticks, 60);
    ticks(1);
    EXPECT_EQ(get_cmd_findinfo_fd(fd), nullptr);  // freed with its buffers (ASan checks)
}

TEST_F(SessionTest, EmptyListEntriesAreDroppedOnTheNextTick) {
    find_info *s = open();
    ASSERT_NE(s, nullptr);
    find_info *nothing = nullptr;
    adt_dlist_lock(s_ls_findfds);
    adt_dlist_add(s_ls_findfds, nullptr, &nothing);
    adt_dlist_unlock(s_ls_findfds);

    ticks(1);
    int entries = 0;
    adt_dlist_lock(s_ls_findfds);
    for (adt_dlist_node_t *n = adt_dlist_head(s_ls_findfds); n != nullptr; n = adt_dlist_next(n)) {
        ++entries;
        find_info *stored = nullptr;
        std::memcpy(&stored, adt_dlist_getdata(n), sizeof stored);
        EXPECT_NE(stored, nullptr);
    }
    adt_dlist_unlock(s_ls_findfds);
    EXPECT_EQ(entries, 1);
    EXPECT_EQ(get_cmd_findinfo_fd(s->findfd), s);
}

TEST_F(SessionTest, ConcurrentCreationGivesDistinctNumbers) {
    constexpr int kThreads = 4, kEach = 200;
    std::vector<std::vector<uint32_t>> made(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i)
                made[t].push_back(create_cmd_findinfo_fd()->findfd);
        });
    std::thread ticker([] { ticks(50); });
    for (auto &th : threads)
        th.join();
    ticker.join();
    std::set<uint32_t> all;
    for (auto &v : made)
        for (uint32_t fd : v) {
            all.insert(fd);
            opened.push_back(fd);
        }
    EXPECT_EQ(all.size(), static_cast<size_t>(kThreads * kEach));
}

}  // namespace
