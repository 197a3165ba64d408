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
    // A new session, given back at once (as a search command does).
    find_info *open() {
        find_info *s = create_cmd_findinfo_fd();
        if (s != nullptr) {
            opened.push_back(s->findfd);
            put_cmd_findinfo_fd(s);
        }
        return s;
    }
    // Looks a session up and gives it back; whether it was found.
    static find_info *look_up(uint32_t fd) {
        find_info *s = get_cmd_findinfo_fd(fd);
        if (s != nullptr)
            put_cmd_findinfo_fd(s);
        return s;
    }
    static void ticks(int n) {
        for (int i = 0; i < n; ++i)
            os_support_timers_fire();
    }
    std::vector<uint32_t> opened;
};

TEST_F(SessionTest, IdleSessionExpiresOnTheSixtyFirstTickAfterItsLastLookup) {
    find_info *s = open();
    ASSERT_NE(s, nullptr);
    s->query_info = std::malloc(16);
    s->query_result = std::malloc(32);
    uint32_t fd = s->findfd;

    ticks(40);
    ASSERT_EQ(look_up(fd), s);  // the lookup starts the count again
    EXPECT_EQ(s->idle_ticks, 0);
    ticks(60);
    EXPECT_EQ(s->idle_ticks, 60);
    ticks(1);
    EXPECT_EQ(look_up(fd), nullptr);  // freed with its buffers (ASan checks)
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
    EXPECT_EQ(look_up(s->findfd), s);
}

TEST_F(SessionTest, ConcurrentCreationGivesDistinctNumbers) {
    constexpr int kThreads = 4, kEach = 200;
    std::vector<std::vector<uint32_t>> made(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                find_info *s = create_cmd_findinfo_fd();
                made[t].push_back(s->findfd);
                put_cmd_findinfo_fd(s);
            }
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

TEST_F(SessionTest, SessionClosedOrExpiredWhileHeldIsFreedByItsLastHolder) {
    find_info *s = open();
    ASSERT_NE(s, nullptr);
    uint32_t fd = s->findfd;
    find_info *held = get_cmd_findinfo_fd(fd);
    ASSERT_EQ(held, s);
    held->query_result = std::malloc(64);
    EXPECT_EQ(del_cmd_findinfo_fd(fd), 1);
    EXPECT_EQ(look_up(fd), nullptr);  // out of the list at once
    held->fetched = 7;                // still ours to use (ASan checks)
    put_cmd_findinfo_fd(held);        // freed here

    find_info *t = open();
    ASSERT_NE(t, nullptr);
    held = get_cmd_findinfo_fd(t->findfd);
    ticks(62);  // expires while held: taken out, not freed
    EXPECT_EQ(look_up(t->findfd), nullptr);
    held->fetched = 1;
    put_cmd_findinfo_fd(held);
}

TEST_F(SessionTest, NumbersCountUpWrapToOneAndSkipNumbersInUse) {
    set_findfd_counter(0);
    find_info *one = open();
    find_info *two = open();
    ASSERT_EQ(one->findfd, 1u);
    ASSERT_EQ(two->findfd, 2u);
    EXPECT_EQ(del_cmd_findinfo_fd(1), 1);  // 1 is free again, 2 is not
    EXPECT_EQ(look_up(1), nullptr);
    EXPECT_EQ(del_cmd_findinfo_fd(987654), 1);  // unknown numbers are fine
    EXPECT_EQ(open()->findfd, 3u);              // a closed number is not handed out again at once

    set_findfd_counter(kMaxFindfd - 1);
    EXPECT_EQ(open()->findfd, kMaxFindfd);
    EXPECT_EQ(open()->findfd, 1u);  // never 0, never above INT32_MAX
    EXPECT_EQ(open()->findfd, 4u);  // 2 and 3 are still open

    set_findfd_counter(0xFFFFFFF0u);  // a counter past the range starts again
    EXPECT_EQ(open()->findfd, 5u);
}

}  // namespace
