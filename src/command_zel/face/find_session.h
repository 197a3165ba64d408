// Query sessions of the paged face searches. A search command creates a
// session that remembers its device request and current page; the platform
// pages through it by session number ("findfd") and closes it, and a
// one-second timer frees sessions nobody has looked up for a minute.
#pragma once

#include <cstddef>
#include <cstdint>

#include "os_support.h"

namespace zel {

// What a session searches for.
enum find_query_type : int32_t {
    kQueryFaceByPicture = 0,
    kQuerySnapshot = 1,
    kQueryFaceLibrary = 2,
    kQueryFace = 3,
};

struct find_info {
    uint32_t findfd;     // session number given to the platform
    void *host;          // host record of the device the search runs on
    int32_t ch;          // channel argument of the page command
    int32_t total;       // results the device reports; -1 while unknown
    int32_t fetched;     // results handed out so far
    int32_t page_pos;    // next result inside the page buffer
    int32_t query_type;  // find_query_type
    int32_t is_finish;   // 1 once everything was handed out
    void *query_info;    // owned copy of the device request, re-sent per page
    void *query_result;  // owned buffer of the current page (20 records)
    int32_t page_count;  // valid records in the current page
    int32_t idle_ticks;  // timer ticks since the last lookup
};

// Sessions idle for this many ticks are freed on the next tick.
inline constexpr int32_t kSessionIdleTicks = 60;

// The open sessions (elements: find_info pointers) and their expiry timer.
extern adt_dlist_t *s_ls_findfds;
extern os_timer_t s_find_check_timer;

// A new zeroed session with the next number, already in the list; null when
// it could not be listed.
find_info *create_cmd_findinfo_fd();
// The session with that number (its idle count reset), or null.
find_info *get_cmd_findinfo_fd(uint32_t findfd);
// Removes and frees the session with that number; always 1.
int32_t del_cmd_findinfo_fd(uint32_t findfd);
// Timer callback: ages every session and frees the expired ones.
void find_check_timer_cb(void *unused);

}  // namespace zel
