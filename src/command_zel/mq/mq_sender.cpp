#include "mq_sender.h"

#include <json-c/json.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>
#include <vector>

#include "message_service.h"
#include "zel_json.h"
#include "zel_log.h"

namespace zel {

namespace {

constexpr uint8_t kBrokerRequest = 5;
constexpr int32_t kExchangeBufSize = 64512;
constexpr int32_t kConnectRetryMs = 2000;
constexpr int32_t kPollMs = 1000;

// A text written piece by piece into a buffer of its own, as snprintf
// would write it with %lld and %d for the integers: cut at the end of the
// buffer and always terminated. A broker request goes out per message, and
// printf's reading of its format cost as much as the rest of the exchange.
template <size_t Size> class Text {
  public:
    Text() { clear(); }
    void clear() {
        end_ = buf_;
        *end_ = '\0';
    }
    Text &operator<<(std::string_view piece) {
        const size_t n = std::min(piece.size(), static_cast<size_t>(buf_ + Size - 1 - end_));
        end_ = std::copy_n(piece.data(), n, end_);
        *end_ = '\0';
        return *this;
    }
    Text &operator<<(long long number) {
        char digits[24];
        return *this << std::string_view(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
    }
    const char *c_str() const { return buf_; }

  private:
    char buf_[Size];  // not cleared: only what is written is read
    char *end_ = buf_;
};

// Requests to the message service, one at a time: the envelope names the
// request text and the reply buffer by address, and the service fills the
// reply before ms_push_message returns.
//
// Every request finds the reply buffer zeroed. It is cleared whole when the
// exchange is made; after a reply only what the service wrote is cleared
// again, up to the reply's terminator or its stated length, whichever is
// further. The sender thread keeps one exchange for all its messages, so a
// message costs no 63 KiB of stores, whose eviction of the processor's
// cache slowed the socket writes that follow as much as the stores
// themselves.
class Exchange {
  public:
    Exchange() { std::memset(reply_, 0, sizeof reply_); }

    // Readies the next request; the envelope that will carry it.
    const char *prepare(const char *request) {
        std::memset(reply_, 0, written_);
        written_ = 0;
        reply_size_ = 0;
        envelope_.clear();
        envelope_ << "{\"cmd\":" << address(request)
                  << ",\"cmd_size\":" << static_cast<int32_t>(std::strlen(request) + 1)
                  << ",\"ret\":" << address(reply_) << ",\"ret_buf_size\":" << kExchangeBufSize
                  << ",\"ret_size\":" << address(&reply_size_) << "}";
        return envelope_.c_str();
    }
    // Runs the prepared request; the reply text, valid until the next one.
    const char *run() {
        ms_push_message(kBrokerRequest, envelope_.c_str());
        const size_t text = strnlen(reply_, sizeof reply_);
        const size_t stated = reply_size_ >= 0 ? static_cast<size_t>(reply_size_) : sizeof reply_;
        written_ = std::min(std::max(text, stated) + 1, sizeof reply_);
        return reply_;
    }
    // Runs the prepared request; the reply parsed, or null when it is not
    // JSON.
    JsonPtr push() { return JsonPtr(json_tokener_parse(run())); }

  private:
    static long long address(const void *p) { return static_cast<long long>(reinterpret_cast<intptr_t>(p)); }

    Text<kExchangeBufSize> envelope_;
    char reply_[kExchangeBufSize];
    int32_t reply_size_ = 0;
    size_t written_ = 0;  // reply bytes to clear before the next request
};

// The service's usual answer to a sent message, {"ret":0}, compact or in
// json-c's default form, needs no parsing; any other reply is parsed.
bool plain_success(std::string_view reply) { return reply == R"({"ret":0})" || reply == R"({ "ret": 0 })"; }

// A handle from a create reply; kNoHandle (logged) when the broker refused.
handle_zel reply_handle(const JsonPtr &reply, const char *key) {
    if (reply == nullptr) {
        ZLOG(kLogError, "is_error(jso_ret)");
        return kNoHandle;
    }
    if (json_object_get_field_int(reply.get(), "ret", -1) == -1) {
        ZLOG(kLogError, "ret == -1");
        return kNoHandle;
    }
    handle_zel handle = json_object_get_field_int64(reply.get(), key, kNoHandle);
    if (handle == kNoHandle)
        ZLOG(kLogError, "(handle_zel)-1");
    return handle;
}

// The destroy requests succeed unless the broker answers -1.
int32_t reply_not_failed(const JsonPtr &reply) {
    return reply != nullptr && json_object_get_field_int(reply.get(), "ret", -1) != -1 ? 1 : 0;
}

// A request object {"cmd": name, "param": param}.
JsonPtr request(const char *name, JsonPtr param) {
    JsonPtr cmd = new_object("is_error(jso_cmd)");
    add_string(cmd.get(), "cmd", name, "is_error(jso_cmd)");
    add(cmd.get(), "param", param.release(), "is_error(jso_cmd)");
    return cmd;
}

// The destroy requests name their parameters first.
JsonPtr destroy_request(const char *name, const char *key, handle_zel handle, const char *oom) {
    JsonPtr param = new_object(oom);
    add_int64(param.get(), key, handle, oom);
    JsonPtr cmd = new_object("is_error(jso_cmd)");
    add(cmd.get(), "param", param.release(), oom);
    add_string(cmd.get(), "cmd", name, "is_error(jso_cmd)");
    return cmd;
}

// send_message through an exchange kept for the calling thread's messages.
int32_t send_message(Exchange &exchange, handle_zel producer, const char *data, uint32_t size) {
    if (producer == kNoHandle)
        return ZREFUSE("produce_fd == (handle_zel)-1");
    if (data == nullptr || size == 0)
        return ZREFUSE("data == NULL || size == 0");
    // The request as json-c's default form writes the request object
    // {"cmd", "param": {"productor_fd", "data", "data_size"}}: keys in that
    // order, a space after each colon and comma and inside the braces.
    // Unlike the other requests it is written directly: one goes out per
    // message, and building, serialising and releasing three objects for
    // three integers took longer than the broker's socket writes.
    Text<160> request;  // the pieces and three integers of 20 characters
    request << R"({ "cmd": "send_message", "param": { "productor_fd": )" << producer << R"(, "data": )"
            << static_cast<long long>(reinterpret_cast<intptr_t>(data)) << R"(, "data_size": )"
            << static_cast<int32_t>(size) << " } }";
    exchange.prepare(request.c_str());
    const char *reply = exchange.run();
    if (plain_success(reply))
        return 1;
    JsonPtr parsed(json_tokener_parse(reply));
    if (parsed == nullptr)
        return ZREFUSE("is_error(jso_ret)");
    if (json_object_get_field_int(parsed.get(), "ret", -1) == -1)
        return ZREFUSE("ret == -1");
    return 1;
}

// Records with a running sender thread. A thread leaves the set in its
// final step, under its record's mq_mutex. Like the senders themselves the
// set is never destroyed: a detached thread may still be finishing while
// the process exits.
std::mutex s_threads_mutex;

std::vector<const mq_send_record *> &threads() {
    static auto *s_threads = new std::vector<const mq_send_record *>;
    return *s_threads;
}

bool has_thread(const mq_send_record &record) {
    std::lock_guard lock(s_threads_mutex);
    return std::find(threads().begin(), threads().end(), &record) != threads().end();
}

void set_has_thread(const mq_send_record &record, bool running) {
    std::lock_guard lock(s_threads_mutex);
    std::erase(threads(), &record);
    if (running)
        threads().push_back(&record);
}

// Builds the link again after a settings change. The flag is cleared
// first, so a change that arrives while connecting is not lost.
bool rebuild(mq_send_record &record) {
    store_flag(record.need_update, 0);
    return clear_add_create_mq_conn(&record) != 0;
}

enum class RunEnd { Stopped, Failed };

RunEnd end_after_failure(const mq_send_record &record) {
    return load_flag(record.thr_isactive) == 0 ? RunEnd::Stopped : RunEnd::Failed;
}

// Connects, then sends the queued messages one at a time until told to
// stop or the link cannot be rebuilt.
RunEnd serve(mq_send_record &record) {
    adt_dlist_t *queue = load_queue(record);
    if (queue == nullptr) {
        ZLOG(kLogError, "send_param->ls_send_data == NULL");
        return RunEnd::Failed;
    }
    Exchange exchange;  // for all the messages of this pass
    store_flag(record.need_update, 0);
    if (clear_add_create_mq_conn(&record) == 0 && load_flag(record.need_update) == 0) {
        ZLOG(kLogError, "clear_add_create_mq_conn return FALSE && !send_param->need_update");
        return end_after_failure(record);
    }
    while (load_flag(record.thr_isactive) == 1) {
        if (load_flag(record.need_update) == 1 && !rebuild(record))
            return end_after_failure(record);
        adt_dlist_lock(queue);
        while (adt_dlist_node_t *head = adt_dlist_head(queue)) {
            send_item *item = *static_cast<send_item **>(adt_dlist_getdata(head));
            // Only this thread removes elements, so the head stays valid
            // while the event threads append behind it.
            adt_dlist_unlock(queue);
            if (load_flag(record.thr_isactive) == 0) {
                ZLOG(kLogError, "!send_param->thr_isactive");
                return RunEnd::Stopped;
            }
            if (load_flag(record.need_update) == 1 && !rebuild(record))
                return end_after_failure(record);
            if (item != nullptr) {
                send_message(exchange, record.produce_fd, item->data, item->size);
                std::free(item->data);
                std::free(item);
            }
            adt_dlist_lock(queue);
            adt_dlist_delete(queue, head);
        }
        adt_dlist_unlock(queue);
        os_sleep(kPollMs);
    }
    ZLOG(kLogError, "!mq_info->thr_isactive");
    return RunEnd::Stopped;
}

// Tears the link down and leaves the sender stopped. A sender that was
// given new settings after this thread decided to end (stopped and
// configured again, or changed after a failed connection) is not torn
// down: false tells the thread to serve it again with those settings.
bool shut_down(mq_send_record &record, RunEnd end) {
    MqLock lock(record);
    if (load_flag(record.thr_isactive) == 1 && (end == RunEnd::Stopped || load_flag(record.need_update) == 1))
        return false;
    std::free(record.settings.mq_param);
    record.settings.mq_param = nullptr;
    store_flag(record.mq_ready, 0);
    if (record.produce_fd != kNoHandle) {
        destroy_productor(record.produce_fd);
        record.produce_fd = kNoHandle;
    }
    if (record.conn_fd != kNoHandle) {
        destroy_connection(record.conn_fd);
        record.conn_fd = kNoHandle;
    }
    clear_send_list(load_queue(record));
    ZLOG(kLogInfo, "send_mq_message_thread end");
    set_has_thread(record, false);
    store_flag(record.thr_isactive, 0);
    return true;
}

}  // namespace

handle_zel create_connection(const mq_send_record *record) {
    if (record == nullptr) {
        ZLOG(kLogError, "mq_info == NULL");
        return kNoHandle;
    }
    const mq_settings &s = record->settings;
    JsonPtr param = new_object("is_error(jso_opt)");
    add_int(param.get(), "type", s.type, "is_error(jso_opt)");
    add_int(param.get(), "port", s.port, "is_error(jso_opt)");
    add_int(param.get(), "is_reconnect", s.is_reconnect, "is_error(jso_opt)");
    add_text(param.get(), "ip", s.ip, "is_error(jso_opt)");
    add_text(param.get(), "username", s.username, "is_error(jso_opt)");
    add_text(param.get(), "password", s.password, "is_error(jso_opt)");
    JsonPtr cmd = request("create_connection", std::move(param));
    const char *text = json_object_to_json_string(cmd.get());
    if (text == nullptr) {
        ZLOG(kLogError, "opt == NULL");
        return kNoHandle;
    }
    Exchange exchange;
    const char *envelope = exchange.prepare(text);
    ZLOG(kLogInfo, "create_connect:%s", envelope);
    return reply_handle(exchange.push(), "connect_fd");
}

handle_zel create_productor(handle_zel connection, const char *options) {
    if (connection == kNoHandle) {
        ZLOG(kLogError, "connectfd == (handle_zel)-1");
        return kNoHandle;
    }
    if (options == nullptr) {
        ZLOG(kLogError, "jso_string == NULL");
        return kNoHandle;
    }
    JsonPtr opt(json_tokener_parse(options));
    if (opt == nullptr) {
        ZLOG(kLogError, "is_error(jso)");
        return kNoHandle;
    }
    JsonPtr param = new_object("is_error(jso_param)");
    add_int64(param.get(), "connect_fd", connection, "is_error(jso_param)");
    add(param.get(), "opt", opt.release(), "is_error(jso_opt)");
    JsonPtr cmd = request("create_productor", std::move(param));
    const char *text = json_object_to_json_string(cmd.get());
    if (text == nullptr) {
        ZLOG(kLogError, "param == NULL");
        return kNoHandle;
    }
    Exchange exchange;
    const char *envelope = exchange.prepare(text);
    ZLOG(kLogInfo, "create_productor:%s", envelope);
    return reply_handle(exchange.push(), "productor_fd");
}

int32_t send_message(handle_zel producer, const char *data, uint32_t size) {
    Exchange exchange;
    return send_message(exchange, producer, data, size);
}

int32_t destroy_productor(handle_zel producer) {
    JsonPtr cmd = destroy_request("destroy_productor", "productor_fd", producer, "is_error(jso_productor)");
    const char *text = json_object_to_json_string(cmd.get());
    if (text == nullptr)
        return 0;
    Exchange exchange;
    const char *envelope = exchange.prepare(text);
    ZLOG(kLogError, "destroy_product:%s", envelope);
    return reply_not_failed(exchange.push());
}

int32_t destroy_connection(handle_zel connection) {
    JsonPtr cmd = destroy_request("destroy_connection", "connectfd", connection, "is_error(jso_connection)");
    const char *text = json_object_to_json_string(cmd.get());
    if (text == nullptr)
        return 0;
    Exchange exchange;
    const char *envelope = exchange.prepare(text);
    ZLOG(kLogError, "destroy_connect:%s", envelope);
    return reply_not_failed(exchange.push());
}

int32_t clear_add_create_mq_conn(mq_send_record *record) {
    if (record == nullptr)
        return ZREFUSE("send_param == NULL");
    store_flag(record->mq_ready, 0);
    if (record->produce_fd != kNoHandle) {
        destroy_productor(record->produce_fd);
        record->produce_fd = kNoHandle;
    }
    if (record->conn_fd != kNoHandle) {
        destroy_connection(record->conn_fd);
        record->conn_fd = kNoHandle;
    }
    for (;;) {
        if (load_flag(record->thr_isactive) == 0) {
            ZLOG(kLogError, "thread need term");
            return 0;
        }
        {
            MqLock lock(*record);
            record->conn_fd = create_connection(record);
        }
        if (record->conn_fd != kNoHandle)
            break;
        ZLOG(kLogError, "mq_info->conn_fd == (handle_zel)-1");
        os_sleep(kConnectRetryMs);
    }
    {
        MqLock lock(*record);
        record->produce_fd = create_productor(record->conn_fd, record->settings.mq_param);
    }
    if (record->produce_fd != kNoHandle) {
        store_flag(record->mq_ready, 1);
        return 1;
    }
    ZLOG(kLogError, "send_param->produce_fd == (handle_zel)-1");
    return 0;
}

int32_t clear_send_list(adt_dlist_t *list) {
    if (list == nullptr)
        return ZREFUSE("lst == NULL");
    adt_dlist_lock(list);
    while (adt_dlist_node_t *head = adt_dlist_head(list)) {
        send_item *item = *static_cast<send_item **>(adt_dlist_getdata(head));
        adt_dlist_delete(list, head);
        if (item != nullptr) {
            std::free(item->data);
            std::free(item);
        }
    }
    adt_dlist_unlock(list);
    return 1;
}

bool start_sender(mq_send_record &record) {
    store_flag(record.thr_isactive, 1);
    // A sender that was stopped and configured again before its thread
    // noticed still has that thread, busy sending or shutting down. A
    // second thread would serve the same record beside it: both would take
    // items off one queue and build links over the same handles, and the
    // first one's shutdown would tear down the second one's link. So the
    // old thread is kept: it sees thr_isactive set again when it comes to
    // shut down and serves the new settings instead (shut_down).
    if (has_thread(record))
        return true;
    set_has_thread(record, true);
    os_thread_t thread = nullptr;
    if (os_thread_create(&thread, 0, send_mq_message_thread, &record) == 0) {
        set_has_thread(record, false);
        store_flag(record.thr_isactive, 0);
        return false;
    }
    os_thread_detach(&thread);
    return true;
}

int32_t send_mq_message_thread(void *arg) {
    ZLOG(kLogInfo, "[cmd_zel]send_mq_message_thread start");
    auto *record = static_cast<mq_send_record *>(arg);
    if (record == nullptr)
        return ZREFUSE("send_param == NULL send_mq_message_thread end");
    while (!shut_down(*record, serve(*record))) {
    }
    return 0;
}

}  // namespace zel
