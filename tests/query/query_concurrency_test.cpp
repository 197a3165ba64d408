// Several platform threads paging, closing and reopening sessions while the
// expiry timer ticks: no session is freed under a command that uses it, and
// a session closed through another host record than the one that opened it
// is closed all the same.
#include <atomic>
#include <thread>

#include "face/find_session.h"
#include "query_support.h"

namespace query_test {
namespace {

TEST_F(QueryTest, PagingClosingAndTicksRunTogether) {
    // Every page the device sends holds 20 results of a large total.
    auto full = face_page(1000000, 20);
    sdk_sim_set_answer("NetClient_FaceConfig", FACE_CMD_SEARCH, 0, 0, full.data(),
                       static_cast<int32_t>(full.size() * sizeof full[0]));
    constexpr int kSessions = 4;
    std::atomic<int32_t> fds[kSessions];
    for (auto &fd : fds)
        fd = open_face_search(full);

    std::atomic<int> served{0}, gone{0}, other{0};
    auto pager = [&](int seed) {
        for (int i = 0; i < 60; ++i) {
            int32_t fd = fds[(seed + i) % kSessions];
            if (i % 4 == 0)  // the progress query holds sessions too
                query(R"({"command":5,"findfd":)" + std::to_string(fd) + "}");
            Outcome out = page(fd, 7);
            if (out.result == 1 && elements(out.reply, "param").size() == 7)
                ++served;
            else if (out.err == CMD_ZEL_ENOSESSION)
                ++gone;
            else
                ++other;
        }
    };
    test::Host elsewhere(8, "dev-0002");
    auto closer = [&] {
        for (int i = 0; i < 30; ++i) {
            int slot = i % kSessions;
            close(fds[slot], &elsewhere);
            fds[slot] = open_face_search(full, &elsewhere);
        }
    };
    // Fewer ticks than expire a session: however the threads are scheduled,
    // the sessions still open at the end serve their pages.
    auto ticker = [] {
        for (int i = 0; i < zel::kSessionIdleTicks - 1; ++i)
            os_support_timers_fire();
    };
    std::thread threads[] = {std::thread(pager, 0), std::thread(pager, 1), std::thread(pager, 2), std::thread(closer),
                             std::thread(ticker)};
    for (auto &t : threads)
        t.join();
    EXPECT_EQ(served + gone, 180);
    EXPECT_EQ(other, 0);
    EXPECT_GT(served, 0);
    for (auto &fd : fds)
        close(fd);
}

}  // namespace
}  // namespace query_test
