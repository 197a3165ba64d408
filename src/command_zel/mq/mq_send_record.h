// A message-queue sender: the settings of one broker destination, its link
// and its queue. Two exist for the life of the library, one for traffic-flow
// messages and one for temperature and humidity messages.
#pragma once

#include <cstddef>
#include <cstdint>

#include "os_support.h"

namespace zel {

// Broker handle; kNoHandle when there is none.
using handle_zel = int64_t;
inline constexpr handle_zel kNoHandle = -1;

// The settings block, replaced as a whole when the configuration changes.
struct mq_settings {
    int32_t type;  // 0 "amq" options, 1 "rmq" options; -1 stopped
    char ip[64];   // broker address, IPv4 or IPv6
    int32_t port;
    char username[60];
    char password[60];
    int32_t is_reconnect;  // "isconnect" of the configuration
    char *mq_param;        // owned JSON text of the broker options, or null
};

struct mq_send_record {
    mq_settings settings;
    uint32_t mq_ready;          // 1 while a producer exists
    handle_zel conn_fd;         // broker connection
    handle_zel produce_fd;      // broker producer
    os_mutex_t mq_mutex;        // guards the settings while the sender connects
    uint32_t need_update;       // settings changed: reconnect before sending
    adt_dlist_t *ls_send_data;  // queued send_item pointers
    uint32_t thr_isactive;      // 1 while a sender thread runs; 0 tells it to end
};

//   offset  size  field
static_assert(offsetof(mq_send_record, settings) == 0);
static_assert(offsetof(mq_settings, type) == 0);
static_assert(offsetof(mq_settings, ip) == 4);  //  64
static_assert(offsetof(mq_settings, port) == 68);
static_assert(offsetof(mq_settings, username) == 72);   //  60
static_assert(offsetof(mq_settings, password) == 132);  //  60
static_assert(offsetof(mq_settings, is_reconnect) == 192);
static_assert(offsetof(mq_settings, mq_param) == 200);
static_assert(sizeof(mq_settings) == 208);
static_assert(offsetof(mq_send_record, mq_ready) == 208);
static_assert(offsetof(mq_send_record, conn_fd) == 216);
static_assert(offsetof(mq_send_record, produce_fd) == 224);
static_assert(offsetof(mq_send_record, mq_mutex) == 232);  //  40
static_assert(offsetof(mq_send_record, need_update) == 272);
static_assert(offsetof(mq_send_record, ls_send_data) == 280);
static_assert(offsetof(mq_send_record, thr_isactive) == 288);
static_assert(sizeof(mq_send_record) == 296);

// The flags another thread polls (mq_ready, need_update, thr_isactive) and
// the queue pointer the event threads read are accessed atomically; the
// record keeps its plain layout.
inline uint32_t load_flag(const uint32_t &flag) { return __atomic_load_n(&flag, __ATOMIC_ACQUIRE); }
inline void store_flag(uint32_t &flag, uint32_t value) { __atomic_store_n(&flag, value, __ATOMIC_RELEASE); }
inline adt_dlist_t *load_queue(const mq_send_record &record) {
    return __atomic_load_n(&record.ls_send_data, __ATOMIC_ACQUIRE);
}
inline void store_queue(mq_send_record &record, adt_dlist_t *list) {
    __atomic_store_n(&record.ls_send_data, list, __ATOMIC_RELEASE);
}

// One queued message: a heap copy of the text and its length plus one.
// The queue holds pointers to items; whoever removes one frees the text,
// then the item.
struct send_item {
    char *data;
    uint32_t size;
};
static_assert(offsetof(send_item, data) == 0);
static_assert(offsetof(send_item, size) == 8);
static_assert(sizeof(send_item) == 16);

extern mq_send_record *s_temp_hum_send;
extern mq_send_record *s_traffic_send;

}  // namespace zel
