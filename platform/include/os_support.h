/* OS support library: logging, threads, mutexes, timers, sleeping, address
 * helpers, lockable doubly linked lists and lockable hash tables. */
#ifndef PLATFORM_OS_SUPPORT_H
#define PLATFORM_OS_SUPPORT_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void *os_thread_t;

/* Embedded by the caller and never copied after os_mutex_init. */
typedef struct os_mutex {
    uint64_t opaque[5];
} os_mutex_t;

typedef void *os_timer_t;
typedef struct adt_dlist adt_dlist_t;
typedef struct adt_dlist_node adt_dlist_node_t;
typedef struct hash_table hash_table_t;
typedef struct hash_node hash_node_t;

typedef int32_t (*os_thread_fn)(void *arg);
typedef void (*os_timer_cb)(void *arg);

/* Logging. level: 1 info, 2 error, 4 utility warning, 5 fatal. */
int32_t log_debug_ex(int32_t level, const char *file, int32_t line, const char *fmt, ...)
#if defined(__MINGW_PRINTF_FORMAT) /* mingw: C99 formats, not the old runtime's */
    __attribute__((format(__MINGW_PRINTF_FORMAT, 4, 5)))
#elif defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;

/* Threads, mutexes, timers, sleeping. */
int32_t os_thread_create(os_thread_t *thread, int32_t attr, os_thread_fn fn, void *arg);
int32_t os_thread_detach(os_thread_t *thread);
int32_t os_mutex_init(os_mutex_t *m, int32_t attr);
int32_t os_mutex_lock(os_mutex_t *m);
int32_t os_mutex_unlock(os_mutex_t *m);
os_timer_t os_timer_create(os_timer_cb cb, int32_t period_ms, void *arg);
int32_t os_timer_destroy(os_timer_t timer);
void os_sleep(int32_t ms);
char *os_strdup(const char *s);

/* Addresses. */
int32_t os_get_ip_type(const char *ip);
int32_t os_ip_cmp(const char *a, const char *b);

/* Lockable doubly linked lists. Each list has its own recursive lock; the
 * other list functions never take it themselves. */
adt_dlist_t *adt_dlist_create(int32_t elem_size);
int32_t adt_dlist_add(adt_dlist_t *list, adt_dlist_node_t *pos, const void *elem);
adt_dlist_node_t *adt_dlist_head(adt_dlist_t *list);
adt_dlist_node_t *adt_dlist_next(adt_dlist_node_t *node);
void *adt_dlist_getdata(adt_dlist_node_t *node);
int32_t adt_dlist_delete(adt_dlist_t *list, adt_dlist_node_t *node);
adt_dlist_node_t *adt_dlist_delete_ex(adt_dlist_t *list, adt_dlist_node_t *node);
int32_t adt_dlist_lock(adt_dlist_t *list);
int32_t adt_dlist_unlock(adt_dlist_t *list);

/* Lockable hash tables, same locking rule as the lists. */
hash_table_t *hash_create(void);
int32_t hash_add(hash_table_t *t, const void *key, int32_t key_len, const void *value, int32_t value_len);
hash_node_t *hash_find(hash_table_t *t, const void *key, int32_t key_len);
void *hash_get_value(hash_node_t *node);
int32_t hash_del(hash_table_t *t, hash_node_t *node);
int32_t hash_lock(hash_table_t *t);
int32_t hash_unlock(hash_table_t *t);

#ifdef __cplusplus
}
#endif

#endif
