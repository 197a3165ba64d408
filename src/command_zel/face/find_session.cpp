#include "face/find_session.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "os_lock.h"
#include "zel_log.h"

namespace zel {

adt_dlist_t *s_ls_findfds = nullptr;
os_timer_t s_find_check_timer = nullptr;

namespace {

std::atomic<uint32_t> s_findfd_counter{0};

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

// Called with the list lock held.
bool number_in_use(uint32_t findfd) {
    for (adt_dlist_node_t *node = adt_dlist_head(s_ls_findfds); node != nullptr; node = adt_dlist_next(node)) {
        find_info *session = session_of(node);
        if (session != nullptr && session->findfd == findfd)
            return true;
    }
    return false;
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
        if (!number_in_use(findfd))
            return findfd;
    }
}

}  // namespace

find_info *create_cmd_findinfo_fd() {
    void *block = xcalloc(1, sizeof(find_info), "find_info == NULL");
    auto *session = new (block) find_info{};
    session->users = 1;
    session->lock.lock();  // filled by the creator before anyone else sees it
    ListLock lock(s_ls_findfds);
    session->findfd = next_findfd();
    if (adt_dlist_add(s_ls_findfds, nullptr, &session) == 0) {
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
        for (adt_dlist_node_t *node = adt_dlist_head(s_ls_findfds); node != nullptr; node = adt_dlist_next(node)) {
            find_info *session = session_of(node);
            if (session != nullptr && session->findfd == findfd) {
                session->idle_ticks = 0;
                ++session->users;
                found = session;
                break;
            }
        }
    }
    if (found == nullptr)
        return nullptr;
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
    adt_dlist_node_t *node = adt_dlist_head(s_ls_findfds);
    while (node != nullptr) {
        find_info *session = session_of(node);
        if (session == nullptr) {
            node = adt_dlist_delete_ex(s_ls_findfds, node);
        } else if (session->findfd == findfd) {
            adt_dlist_delete(s_ls_findfds, node);
            release_unlisted(session);
            break;
        } else {
            node = adt_dlist_next(node);
        }
    }
    return 1;
}

void find_check_timer_cb(void *) {
    ListLock lock(s_ls_findfds);
    adt_dlist_node_t *node = adt_dlist_head(s_ls_findfds);
    while (node != nullptr) {
        find_info *session = session_of(node);
        if (session == nullptr) {
            node = adt_dlist_delete_ex(s_ls_findfds, node);
        } else if (session->idle_ticks >= kSessionIdleTicks) {
            node = adt_dlist_delete_ex(s_ls_findfds, node);
            release_unlisted(session);
        } else {
            ++session->idle_ticks;
            node = adt_dlist_next(node);
        }
    }
}

void set_findfd_counter(uint32_t value) { s_findfd_counter.store(value); }

}  // namespace zel
