// Query sessions: numbering, lookup, removal and expiry driven by timer
// ticks fired by hand.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
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
        opened.push_back(s->findfd);
        put_cmd_findinfo_fd(s);
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
    // The numbers of the listed sessions in list order, each also found by
    // its number.
    static std::vector<uint32_t> listed() {
        std::vector<uint32_t> fds;
        adt_dlist_lock(s_ls_findfds);
        for (adt_dlist_node_t *node = adt_dlist_head(s_ls_findfds); node != nullptr; node = adt_dlist_next(node)) {
            find_info *s = nullptr;
            std::memcpy(&s, adt_dlist_getdata(node), sizeof s);
            if (s != nullptr)
                fds.push_back(s->findfd);
        }
        adt_dlist_unlock(s_ls_findfds);
        for (uint32_t fd : fds)
            EXPECT_NE(look_up(fd), nullptr) << fd;
        return fds;
    }
    std::vector<uint32_t> opened;
};

TEST_F(SessionTest, ASessionIsFoundOnlyOnceItsCreatorHasFilledIt) {
    set_findfd_counter(500);
    std::atomic<bool> seen{false};
    std::thread finder([&] {
        while (!seen)
            if (find_info *found = get_cmd_findinfo_fd(501)) {
                EXPECT_EQ(found->ch, 5);
                seen = true;
                put_cmd_findinfo_fd(found);
            }
    });
    find_info *s = create_cmd_findinfo_fd();
    opened.push_back(s->findfd);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));  // listed, not yet filled
    s->ch = 5;
    put_cmd_findinfo_fd(s);
    finder.join();
}

TEST_F(SessionTest, ConcurrentCreationGivesDistinctNumbers) {
    constexpr int kEach = 200;
    std::mutex lock;
    std::set<uint32_t> all;
    std::set<uint32_t> kept;
    auto create = [&] {
        for (int i = 0; i < kEach; ++i) {
            find_info *s = create_cmd_findinfo_fd();
            uint32_t fd = s->findfd;
            put_cmd_findinfo_fd(s);
            if (i % 3 == 0)
                del_cmd_findinfo_fd(fd);  // often the newest session
            std::lock_guard guard(lock);
            all.insert(fd);
            opened.push_back(fd);
            if (i % 3 != 0)
                kept.insert(fd);
        }
    };
    std::thread threads[] = {std::thread(create), std::thread(create), std::thread(create), std::thread(create),
                             std::thread([] { ticks(50); })};
    for (auto &t : threads)
        t.join();
    EXPECT_EQ(all.size(), 4u * kEach);
    std::vector<uint32_t> in_list = listed();
    EXPECT_EQ(std::set<uint32_t>(in_list.begin(), in_list.end()), kept);
}

TEST_F(SessionTest, ClosingOrExpiringTheNewestSessionKeepsListAndIndexInStep) {
    set_findfd_counter(1000);
    uint32_t a = open()->findfd, b = open()->findfd;
    del_cmd_findinfo_fd(b);
    uint32_t c = open()->findfd;
    EXPECT_EQ(listed(), (std::vector<uint32_t>{a, c}));
    del_cmd_findinfo_fd(c);
    del_cmd_findinfo_fd(a);
    EXPECT_EQ(listed(), std::vector<uint32_t>{});
    uint32_t d = open()->findfd;
    EXPECT_EQ(listed(), std::vector<uint32_t>{d});

    // The newest expires while an older one is kept alive by lookups.
    uint32_t e = open()->findfd;
    ticks(40);
    look_up(d);
    ticks(21);
    EXPECT_EQ(listed(), std::vector<uint32_t>{d});
    uint32_t f = open()->findfd;
    EXPECT_EQ(f, e + 1);
    EXPECT_EQ(listed(), (std::vector<uint32_t>{d, f}));
    ticks(61);
    EXPECT_EQ(listed(), std::vector<uint32_t>{});
    uint32_t g = open()->findfd;
    EXPECT_EQ(listed(), std::vector<uint32_t>{g});
}

TEST_F(SessionTest, IdleSessionExpiresOnTheSixtyFirstTickAfterItsLastLookup) {
    find_info *s = open();
    s->query_info = std::malloc(16);
    s->query_result = std::malloc(32);
    ticks(40);
    ASSERT_EQ(look_up(s->findfd), s);  // the lookup starts the count again
    ticks(60);
    EXPECT_EQ(s->idle_ticks, 60);
    uint32_t fd = s->findfd;
    ticks(1);
    EXPECT_EQ(look_up(fd), nullptr);  // freed with its buffers (ASan checks)
}

TEST_F(SessionTest, SessionClosedOrExpiredWhileHeldIsFreedByItsLastHolder) {
    uint32_t fd = open()->findfd;
    find_info *held = get_cmd_findinfo_fd(fd);
    held->query_result = std::malloc(64);
    EXPECT_EQ(del_cmd_findinfo_fd(fd), 1);
    EXPECT_EQ(look_up(fd), nullptr);  // out of the list at once
    held->fetched = 7;                // still ours to use (ASan checks)
    put_cmd_findinfo_fd(held);        // freed here

    fd = open()->findfd;
    held = get_cmd_findinfo_fd(fd);
    ticks(62);  // expires while held: taken out, not freed
    EXPECT_EQ(look_up(fd), nullptr);
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
    EXPECT_EQ(open()->findfd, 3u);  // a closed number is not handed out again at once

    set_findfd_counter(kMaxFindfd - 1);
    EXPECT_EQ(open()->findfd, kMaxFindfd);
    EXPECT_EQ(open()->findfd, 1u);  // never 0, never above INT32_MAX
    EXPECT_EQ(open()->findfd, 4u);  // 2 and 3 are still open

    set_findfd_counter(0xFFFFFFF0u);  // a counter past the range starts again
    EXPECT_EQ(open()->findfd, 5u);
}

}  // namespace
