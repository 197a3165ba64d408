// Lockable doubly linked lists and hash tables.
//
// Each list or table carries a recursive lock that only the *_lock/*_unlock
// functions take; the callers hold it around every access. A node is one
// allocation: a header followed by the stored bytes, aligned for any type,
// so node addresses stay fixed until the node is deleted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#include "errno_guard.h"
#include "os_support.h"

struct adt_dlist {
    std::recursive_mutex lock;
    int32_t elem_size = 0;
    adt_dlist_node *head = nullptr;
    adt_dlist_node *tail = nullptr;
};

struct adt_dlist_node {
    adt_dlist *owner;  // lets a node of another list be refused
    adt_dlist_node *prev;
    adt_dlist_node *next;
};

struct hash_node {
    hash_table *owner;
    hash_node *next;  // in the same bucket
    uint64_t hash;
    int32_t key_len;
    int32_t value_len;
};

struct hash_table {
    std::recursive_mutex lock;
    hash_node **buckets = nullptr;  // bucket count is a power of two
    size_t bucket_count = 0;
    size_t size = 0;
};

namespace {

constexpr size_t align_up(size_t n) {
    constexpr size_t a = alignof(std::max_align_t);
    return (n + a - 1) / a * a;
}

constexpr size_t kListDataOffset = align_up(sizeof(adt_dlist_node));
constexpr size_t kHashValueOffset = align_up(sizeof(hash_node));
constexpr size_t kInitialBuckets = 16;

unsigned char *list_data(adt_dlist_node *node) { return reinterpret_cast<unsigned char *>(node) + kListDataOffset; }

unsigned char *hash_value(hash_node *node) { return reinterpret_cast<unsigned char *>(node) + kHashValueOffset; }

// The key is stored right after the value.
unsigned char *hash_key(hash_node *node) { return hash_value(node) + node->value_len; }

bool unlink_node(adt_dlist *list, adt_dlist_node *node, adt_dlist_node **following) {
    if (!list || !node || node->owner != list) {
        return false;
    }
    if (node->prev) {
        node->prev->next = node->next;
    } else {
        list->head = node->next;
    }
    if (node->next) {
        node->next->prev = node->prev;
    } else {
        list->tail = node->prev;
    }
    *following = node->next;
    std::free(node);
    return true;
}

// FNV-1a over the key bytes.
uint64_t hash_bytes(const void *key, int32_t len) {
    const auto *bytes = static_cast<const unsigned char *>(key);
    uint64_t h = 14695981039346656037ULL;
    for (int32_t i = 0; i < len; ++i) {
        h ^= bytes[i];
        h *= 1099511628211ULL;
    }
    return h;
}

hash_node **bucket_of(hash_table *t, uint64_t hash) { return &t->buckets[hash & (t->bucket_count - 1)]; }

// Doubles the bucket array once the table holds as many nodes as buckets.
// Nodes are relinked, not moved. If memory runs out the table keeps working
// with longer chains.
void grow_if_full(hash_table *t) {
    if (t->size < t->bucket_count) {
        return;
    }
    const size_t count = t->bucket_count * 2;
    auto **buckets = static_cast<hash_node **>(std::calloc(count, sizeof(hash_node *)));
    if (!buckets) {
        return;
    }
    for (size_t i = 0; i < t->bucket_count; ++i) {
        for (hash_node *node = t->buckets[i], *next; node; node = next) {
            next = node->next;
            hash_node **bucket = &buckets[node->hash & (count - 1)];
            node->next = *bucket;
            *bucket = node;
        }
    }
    std::free(t->buckets);
    t->buckets = buckets;
    t->bucket_count = count;
}

}  // namespace

extern "C" {

adt_dlist_t *adt_dlist_create(int32_t elem_size) {
    ErrnoGuard guard;
    if (elem_size <= 0) {
        return nullptr;
    }
    auto *list = new (std::nothrow) adt_dlist;
    if (list) {
        list->elem_size = elem_size;
    }
    return list;
}

// Inserts after pos, or at the tail when pos is NULL.
int32_t adt_dlist_add(adt_dlist_t *list, adt_dlist_node_t *pos, const void *elem) {
    ErrnoGuard guard;
    if (!list || !elem || (pos && pos->owner != list)) {
        return 0;
    }
    void *memory = std::malloc(kListDataOffset + static_cast<size_t>(list->elem_size));
    if (!memory) {
        return 0;
    }
    adt_dlist_node *before = pos ? pos : list->tail;
    auto *node = new (memory) adt_dlist_node{list, before, before ? before->next : list->head};
    std::memcpy(list_data(node), elem, static_cast<size_t>(list->elem_size));
    if (node->next) {
        node->next->prev = node;
    } else {
        list->tail = node;
    }
    if (before) {
        before->next = node;
    } else {
        list->head = node;
    }
    return 1;
}

adt_dlist_node_t *adt_dlist_head(adt_dlist_t *list) { return list ? list->head : nullptr; }

adt_dlist_node_t *adt_dlist_next(adt_dlist_node_t *node) { return node ? node->next : nullptr; }

void *adt_dlist_getdata(adt_dlist_node_t *node) { return node ? list_data(node) : nullptr; }

int32_t adt_dlist_delete(adt_dlist_t *list, adt_dlist_node_t *node) {
    ErrnoGuard guard;
    adt_dlist_node *following = nullptr;
    return unlink_node(list, node, &following) ? 1 : 0;
}

adt_dlist_node_t *adt_dlist_delete_ex(adt_dlist_t *list, adt_dlist_node_t *node) {
    ErrnoGuard guard;
    adt_dlist_node *following = nullptr;
    unlink_node(list, node, &following);
    return following;
}

int32_t adt_dlist_lock(adt_dlist_t *list) {
    ErrnoGuard guard;
    if (!list) {
        return -1;
    }
    list->lock.lock();
    return 0;
}

int32_t adt_dlist_unlock(adt_dlist_t *list) {
    ErrnoGuard guard;
    if (!list) {
        return -1;
    }
    list->lock.unlock();
    return 0;
}

hash_table_t *hash_create(void) {
    ErrnoGuard guard;
    auto *t = new (std::nothrow) hash_table;
    if (!t) {
        return nullptr;
    }
    t->buckets = static_cast<hash_node **>(std::calloc(kInitialBuckets, sizeof(hash_node *)));
    if (!t->buckets) {
        delete t;
        return nullptr;
    }
    t->bucket_count = kInitialBuckets;
    return t;
}

// A key that is already present is refused, so that a lookup is never
// ambiguous.
int32_t hash_add(hash_table_t *t, const void *key, int32_t key_len, const void *value, int32_t value_len) {
    ErrnoGuard guard;
    if (!t || !key || key_len <= 0 || value_len < 0 || (!value && value_len > 0) || hash_find(t, key, key_len)) {
        return 0;
    }
    const size_t size = kHashValueOffset + static_cast<size_t>(value_len) + static_cast<size_t>(key_len);
    void *memory = std::malloc(size);
    if (!memory) {
        return 0;
    }
    grow_if_full(t);
    const uint64_t hash = hash_bytes(key, key_len);
    hash_node **bucket = bucket_of(t, hash);
    auto *node = new (memory) hash_node{t, *bucket, hash, key_len, value_len};
    if (value_len > 0) {
        std::memcpy(hash_value(node), value, static_cast<size_t>(value_len));
    }
    std::memcpy(hash_key(node), key, static_cast<size_t>(key_len));
    *bucket = node;
    ++t->size;
    return 1;
}

hash_node_t *hash_find(hash_table_t *t, const void *key, int32_t key_len) {
    if (!t || !key || key_len <= 0) {
        return nullptr;
    }
    const uint64_t hash = hash_bytes(key, key_len);
    for (hash_node *node = *bucket_of(t, hash); node; node = node->next) {
        if (node->hash == hash && node->key_len == key_len &&
            std::memcmp(hash_key(node), key, static_cast<size_t>(key_len)) == 0) {
            return node;
        }
    }
    return nullptr;
}

void *hash_get_value(hash_node_t *node) { return node ? hash_value(node) : nullptr; }

int32_t hash_del(hash_table_t *t, hash_node_t *node) {
    ErrnoGuard guard;
    if (!t || !node || node->owner != t) {
        return 0;
    }
    for (hash_node **link = bucket_of(t, node->hash); *link; link = &(*link)->next) {
        if (*link == node) {
            *link = node->next;
            --t->size;
            std::free(node);
            return 1;
        }
    }
    return 0;
}

int32_t hash_lock(hash_table_t *t) {
    ErrnoGuard guard;
    if (!t) {
        return -1;
    }
    t->lock.lock();
    return 0;
}

int32_t hash_unlock(hash_table_t *t) {
    ErrnoGuard guard;
    if (!t) {
        return -1;
    }
    t->lock.unlock();
    return 0;
}

}  // extern "C"
