#include "face/find_session.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_map>

#include "os_lock.h"
#include "zel_log.h"

namespace zel {

adt_dlist_t *s_ls_findfds = nullptr;
os_timer_t s_find_check_timer = nullptr;

namespace {

std::atomic<uint32_t> s_findfd_counter{0};

// The listed sessions by number. Never destroyed: the timer thread may still
// tick while the process exits.
std::unordered_map<uint32_t, find_info *> &listed() {
    static auto *const index = new std::unordered_map<uint32_t, find_info *>;
    return *index;
}

// The list's last node, or null when the list is empty: a new session's
// node is the one that follows it. Only this file changes the list, always
// under its lock, and keeps this up to date. The list cannot tell a node's
// predecessor, so a closed session that is last leaves its node behind
// holding no session; the next session's creation or the next tick removes
// it.
adt_dlist_node_t *s_tail = nullptr;

find_info *session_of(adt_dlist_node_t *node) {
    find_info *session = nullptr;
    if (void *data = adt_dlist_getdata(node))
        std::memcpy(&session, data, sizeof session);
    return session;
}

void free_session(find_info *session) {
    std::free(session->query_info);
    std::free(session->query_result);
    session->~find_info();
    std::free(session);
}

// Called with the list lock held, after the node was taken out: frees the
// session now, or leaves that to its last holder.
void release_unlisted(find_info *session) {
    if (session->users > 0)
        session->unlisted.store(true);
    else
        free_session(session);
}

// Called with the list lock held: the next number after the counter that
// is neither 0 nor above kMaxFindfd nor held by a listed session.
uint32_t next_findfd() {
    for (;;) {
        uint32_t findfd = s_findfd_counter.fetch_add(1) + 1;
        if (findfd == 0 || findfd > kMaxFindfd) {
            s_findfd_counter.store(0);
            continue;
        }
        if (!listed().contains(findfd))
            return findfd;
    }
}

// Called with the list lock held: appends the session and indexes it; false
// when the list had no room.
bool list_session(find_info *session) {
    if (adt_dlist_add(s_ls_findfds, nullptr, &session) == 0)
        return false;
    adt_dlist_node_t *before = s_tail;
    s_tail = before != nullptr ? adt_dlist_next(before) : adt_dlist_head(s_ls_findfds);
    if (before != nullptr && session_of(before) == nullptr)
        adt_dlist_delete(s_ls_findfds, before);  // a closed session's left-behind node
    session->node = s_tail;
    listed().emplace(session->findfd, session);
    return true;
}

// Called with the list lock held: takes a listed session out of the index
// and the list.
void unlist_session(find_info *session) {
    listed().erase(session->findfd);
    if (session->node == s_tail) {
        find_info *none = nullptr;
        std::memcpy(adt_dlist_getdata(session->node), &none, sizeof none);
    } else {
        adt_dlist_delete(s_ls_findfds, session->node);
    }
    session->node = nullptr;
}

}  // namespace

find_info *create_cmd_findinfo_fd() {
    void *block = xcalloc(1, sizeof(find_info), "find_info == NULL");
    auto *session = new (block) find_info{};
    session->users = 1;
    session->lock.lock();  // filled by the creator before anyone else sees it
    ListLock lock(s_ls_findfds);
    session->findfd = next_findfd();
    if (!list_session(session)) {
        ZLOG(kLogError, "adt_dlist_add failed");
        session->lock.unlock();
        free_session(session);
        return nullptr;
    }
    return session;
}

find_info *get_cmd_findinfo_fd(uint32_t findfd) {
    find_info *found = nullptr;
    {
        ListLock lock(s_ls_findfds);
        auto it = listed().find(findfd);
        if (it == listed().end())
            return nullptr;
        found = it->second;
        found->idle_ticks = 0;
        ++found->users;
    }
    // Waits for another command on the same session, never under the list lock.
    found->lock.lock();
    if (found->unlisted.load()) {
        put_cmd_findinfo_fd(found);
        return nullptr;
    }
    return found;
}

void put_cmd_findinfo_fd(find_info *session) {
    session->lock.unlock();
    ListLock lock(s_ls_findfds);
    if (--session->users == 0 && session->unlisted.load())
        free_session(session);
}

int32_t del_cmd_findinfo_fd(uint32_t findfd) {
    ListLock lock(s_ls_findfds);
    auto it = listed().find(findfd);
    if (it != listed().end()) {
        find_info *session = it->second;
        unlist_session(session);
        release_unlisted(session);
    }
    return 1;
}

void find_check_timer_cb(void *) {
    ListLock lock(s_ls_findfds);
    adt_dlist_node_t *last_kept = nullptr;
    adt_dlist_node_t *node = adt_dlist_head(s_ls_findfds);
    while (node != nullptr) {
        find_info *session = session_of(node);
        if (session == nullptr) {
            node = adt_dlist_delete_ex(s_ls_findfds, node);
        } else if (session->idle_ticks >= kSessionIdleTicks) {
            listed().erase(session->findfd);
            node = adt_dlist_delete_ex(s_ls_findfds, node);
            session->node = nullptr;
            release_unlisted(session);
        } else {
            ++session->idle_ticks;
            last_kept = node;
            node = adt_dlist_next(node);
        }
    }
    s_tail = last_kept;
}

void set_findfd_counter(uint32_t value) { s_findfd_counter.store(value); }

}  // namespace zel
