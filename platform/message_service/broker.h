// The message service's broker side: the handle tables of connections and
// producers, and one backend per broker "type" that carries messages out.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "message_service_control.h"

namespace ms {

// The most recent texts of one kind, numbered from 0 since the last clear.
// Only the last kKept are held, so a long session or soak run does not grow
// without bound; older numbers are simply no longer found. Not locked: the
// owner holds its own lock around every call.
class RecentTexts {
  public:
    static constexpr size_t kKept = MS_CONTROL_KEPT;

    void push(std::string_view text) {
        if (kept_.size() == kKept)
            kept_.pop_front();
        kept_.emplace_back(text);
        ++total_;
    }
    size_t count() const { return total_; }
    bool at(size_t index, std::string &text) const {
        const size_t first = total_ - kept_.size();
        if (index < first || index >= total_)
            return false;
        text = kept_[index - first];
        return true;
    }
    void clear() {
        kept_.clear();
        total_ = 0;
    }

  private:
    std::deque<std::string> kept_;
    size_t total_ = 0;
};

struct ConnectionSettings {
    int32_t type = -1;
    int32_t port = 0;
    int32_t is_reconnect = 0;
    std::string ip;
    std::string username;
    std::string password;
};

// What a kind of broker does with a connection, a producer and a message.
// The service owns the handles; a backend only says yes or no and delivers.
class Backend {
  public:
    virtual ~Backend() = default;
    virtual bool open_connection(const ConnectionSettings &settings) = 0;
    virtual bool open_producer(const ConnectionSettings &settings, const std::string &options) = 0;
    // Called without the service lock held: a backend may block here.
    virtual bool deliver(const ConnectionSettings &settings, const std::string &options, std::string_view text) = 0;
};

// The in-memory broker: keeps what it was sent and refuses on demand.
class EmbeddedBackend : public Backend {
  public:
    bool open_connection(const ConnectionSettings &settings) override;
    bool open_producer(const ConnectionSettings &settings, const std::string &options) override;
    bool deliver(const ConnectionSettings &settings, const std::string &options, std::string_view text) override;

    void reset();
    void refuse_connections(bool refuse);
    void refuse_producers(bool refuse);
    void fail_sends(int32_t count);
    void hold_sends(bool hold);
    int32_t held_sends();
    void set_sink(const char *path);
    void publish(std::string_view text);  // an event text: only written to the sink

    size_t delivered_count();
    bool delivered_at(size_t index, std::string &text);
    size_t wait_delivered(size_t count, int32_t timeout_ms);

  private:
    void write_sink(std::string_view kind, std::string_view text);  // mutex_ held

    std::mutex mutex_;
    std::condition_variable changed_;
    bool refuse_connections_ = false;
    bool refuse_producers_ = false;
    int32_t failing_sends_ = 0;
    bool hold_ = false;
    int32_t held_ = 0;
    size_t awaited_ = SIZE_MAX;  // delivery count a waiter wants; wakes it only then
    RecentTexts delivered_;
    std::string sink_;
};

// The handle tables and the five broker commands. Handles count up from 1
// and start again from 1 only when the broker is reset.
class Broker {
  public:
    explicit Broker(std::shared_ptr<EmbeddedBackend> embedded);

    int64_t create_connection(const ConnectionSettings &settings);
    int64_t create_producer(int64_t connection, const std::string &options);
    bool send(int64_t producer, std::string_view text);
    bool destroy_producer(int64_t producer);
    bool destroy_connection(int64_t connection);

    void reset();
    int32_t open_connections();
    int32_t open_producers();
    int32_t wait_producers(int32_t count, int32_t timeout_ms);

  private:
    struct Producer {
        int64_t connection;
        std::string options;
    };
    Backend *backend_for(int32_t type);  // null for an unknown type

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int32_t, std::shared_ptr<Backend>> backends_;
    std::map<int64_t, ConnectionSettings> connections_;
    std::map<int64_t, Producer> producers_;
    int64_t next_handle_ = 1;
};

}  // namespace ms
