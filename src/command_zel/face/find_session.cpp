#include "face/find_session.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

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
    std::free(session);
}

}  // namespace

find_info *create_cmd_findinfo_fd() {
    auto *session = static_cast<find_info *>(xcalloc(1, sizeof(find_info), "find_info == NULL"));
    session->findfd = s_findfd_counter.fetch_add(1) + 1;
    ListLock lock(s_ls_findfds);
    if (adt_dlist_add(s_ls_findfds, nullptr, &session) == 0) {
        ZLOG(kLogError, "adt_dlist_add failed");
        std::free(session);
        return nullptr;
    }
    return session;
}

find_info *get_cmd_findinfo_fd(uint32_t findfd) {
    ListLock lock(s_ls_findfds);
    for (adt_dlist_node_t *node = adt_dlist_head(s_ls_findfds); node != nullptr; node = adt_dlist_next(node)) {
        find_info *session = session_of(node);
        if (session != nullptr && session->findfd == findfd) {
            session->idle_ticks = 0;
            return session;
        }
    }
    return nullptr;
}

int32_t del_cmd_findinfo_fd(uint32_t findfd) {
    ListLock lock(s_ls_findfds);
    adt_dlist_node_t *node = adt_dlist_head(s_ls_findfds);
    while (node != nullptr) {
        find_info *session = session_of(node);
        if (session == nullptr) {
            node = adt_dlist_delete_ex(s_ls_findfds, node);
        } else if (session->findfd == findfd) {
            free_session(session);
            adt_dlist_delete(s_ls_findfds, node);
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
            free_session(session);
            node = adt_dlist_delete_ex(s_ls_findfds, node);
        } else {
            ++session->idle_ticks;
            node = adt_dlist_next(node);
        }
    }
}

}  // namespace zel
