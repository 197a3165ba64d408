// Query sessions of the paged face searches. A search command creates a
// session that remembers its device request and current page; the platform
// pages through it by session number ("findfd") and closes it, and a
// one-second timer frees sessions nobody has looked up for a minute.
//
// A command works on a session it holds: create_cmd_findinfo_fd and
// get_cmd_findinfo_fd hand the session out with one use taken and its own
// lock held, and put_cmd_findinfo_fd gives both back. Closing or expiring a
// session that is held only takes it out of the list; the last holder frees
// it. Two commands on the same session therefore run one after the other,
// and the list lock is never held while a holder talks to the device.
//
// The list keeps the sessions in the order they were opened, which is the
// order the timer ages and frees them in. Beside it an index by number
// (changed under the list lock, together with the list) finds a session and
// a free number without walking the list, however many searches are open.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "os_support.h"

namespace zel {

// What a session searches for.
enum find_query_type : int32_t {
    kQueryFaceByPicture = 0,
    kQuerySnapshot = 1,
    kQueryFaceLibrary = 2,
    kQueryFace = 3,
};

// The list's fields (findfd, idle_ticks, users) change under the list lock
// only; every other field belongs to the session's holder and changes under
// the session's lock, which its creator holds from before the session can be
// found until it has filled them.
struct find_info {
    uint32_t findfd;     // session number given to the platform
    void *host;          // host record the search was opened with; pages are fetched with it
    int32_t ch;          // channel argument of the page command
    int32_t total;       // results the device reports; -1 while unknown
    int32_t fetched;     // results handed out so far
    int32_t page_pos;    // next result inside the page buffer
    int32_t query_type;  // find_query_type
    int32_t is_finish;   // 1 once everything was handed out
    void *query_info;    // owned copy of the device request, re-sent per page
    void *query_result;  // owned buffer of the current page (20 records)
    int32_t page_count;  // valid records in the current page
    int32_t idle_ticks;  // timer ticks since the last lookup (list lock)

    adt_dlist_node_t *node;      // the session's node in the list (list lock)
    int32_t users;               // holders (list lock)
    std::atomic<bool> unlisted;  // closed or expired while held
    std::mutex lock;             // held by the current holder
};

// Sessions idle for this many ticks are freed on the next tick.
inline constexpr int32_t kSessionIdleTicks = 60;

// Session numbers run from 1 to this value and then start again at 1,
// skipping numbers still in use: the platform reads "findfd" back as a
// 32-bit signed member where -1 means "absent", so 0 and numbers above
// INT32_MAX are never handed out.
inline constexpr uint32_t kMaxFindfd = 0x7FFFFFFF;

// The open sessions (elements: find_info pointers) and their expiry timer.
extern adt_dlist_t *s_ls_findfds;
extern os_timer_t s_find_check_timer;

// A new zeroed session with the next free number, already in the list and
// held by the caller; null when it could not be listed.
find_info *create_cmd_findinfo_fd();
// The listed session with that number, its idle count reset, held by the
// caller; null when there is none (or it was closed while we waited).
find_info *get_cmd_findinfo_fd(uint32_t findfd);
// Gives back a session from create/get; frees it when it was closed or
// expired meanwhile and this was its last holder.
void put_cmd_findinfo_fd(find_info *session);
// Takes the session with that number out of the list and frees it (at once,
// or when its last holder puts it back); always 1.
int32_t del_cmd_findinfo_fd(uint32_t findfd);
// Timer callback: ages every session and frees the expired ones.
void find_check_timer_cb(void *unused);

// Sets the number the next session's number follows (tests of the wrap).
void set_findfd_counter(uint32_t value);

// Holds a session for the length of a scope.
class SessionHold {
  public:
    explicit SessionHold(find_info *session) : session_(session) {}
    ~SessionHold() {
        if (session_ != nullptr)
            put_cmd_findinfo_fd(session_);
    }
    SessionHold(const SessionHold &) = delete;
    SessionHold &operator=(const SessionHold &) = delete;

    find_info *get() const { return session_; }
    find_info *operator->() const { return session_; }
    explicit operator bool() const { return session_ != nullptr; }

  private:
    find_info *session_;
};

}  // namespace zel
