// The sender thread of a message-queue destination and its broker
// requests, each one a synchronous exchange with the platform's message
// service.
#pragma once

#include <cstdint>

#include "mq_send_record.h"

namespace zel {

// Holds a sender's mq_mutex for a scope.
class MqLock {
  public:
    explicit MqLock(mq_send_record &record) : mutex_(&record.mq_mutex) { os_mutex_lock(mutex_); }
    ~MqLock() { os_mutex_unlock(mutex_); }
    MqLock(const MqLock &) = delete;
    MqLock &operator=(const MqLock &) = delete;

  private:
    os_mutex_t *mutex_;
};

// Broker requests. The create requests answer a handle or kNoHandle; the
// others 1 on success, 0 on failure.
handle_zel create_connection(const mq_send_record *record);
handle_zel create_productor(handle_zel connection, const char *options);
int32_t send_message(handle_zel producer, const char *data, uint32_t size);
int32_t destroy_productor(handle_zel producer);
int32_t destroy_connection(handle_zel connection);

// Drops the sender's link and builds a new one; 1 when a producer exists
// afterwards.
int32_t clear_add_create_mq_conn(mq_send_record *record);
// Frees every queued item; 0 for a null list.
int32_t clear_send_list(adt_dlist_t *list);

// Marks the sender active and makes sure a thread serves it: starts one,
// or, while the previous thread is still shutting down, lets that thread
// carry on with the new settings. The caller holds mq_mutex. False when no
// thread could be started (thr_isactive is then cleared again).
bool start_sender(mq_send_record &record);

int32_t send_mq_message_thread(void *record);

}  // namespace zel
