// Query sessions: numbering, lookup, removal and expiry driven by timer
// ticks fired by hand.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
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
    auto create = [&] {
        for (int i = 0; i < kEach; ++i) {
            find_info *s = create_cmd_findinfo_fd();
            uint32_t fd = s->findfd;
            put_cmd_findinfo_fd(s);
            std::lock_guard guard(lock);
            all.insert(fd);
            opened.push_back(fd);
        }
    };
    std::thread threads[] = {std::thread(create), std::thread(create), std::thread(create), std::thread(create),
                             std::thread([] { ticks(50); })};
    for (auto &t : threads)
        t.join();
    EXPECT_EQ(all.size(), 4u * kEach);
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
