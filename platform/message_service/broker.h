// The message service's broker side: the handle tables of connections and
// producers, and one backend per broker "type" that carries messages out.
#pragma once

#include <json-c/json.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "message_service_control.h"

namespace ms {

// Owns a json-c object: released with json_object_put.
struct JsonPut {
    void operator()(json_object *obj) const { json_object_put(obj); }
};
using JsonPtr = std::unique_ptr<json_object, JsonPut>;

// The most recent texts of one kind, numbered from 0 since the last clear.
// Only the last kKept are held, so a long session or soak run does not grow
// without bound; older numbers are simply no longer found. The slots are
// reused in a ring, so once it is full a text of no more than the size it
// replaces costs no allocation. Not locked: the owner holds its own lock
// around every call.
class RecentTexts {
  public:
    static constexpr size_t kKept = MS_CONTROL_KEPT;

    void push(std::string_view text) {
        if (kept_.size() < kKept)
            kept_.emplace_back(text);
        else
            kept_[total_ % kKept].assign(text);
        ++total_;
    }
    size_t count() const { return total_; }
    bool at(size_t index, std::string &text) const {
        if (index + kept_.size() < total_ || index >= total_)
            return false;
        text = kept_[index % kKept];
        return true;
    }
    void clear() {
        kept_.clear();
        total_ = 0;
    }

  private:
    std::vector<std::string> kept_;  // text number n in slot n % kKept
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

// Messages the service handed to a broker and the broker accepted, whatever
// the broker: counted, the most recent kept, waited for, and written to the
// sink (a file or standard output) with the place they went to.
class DeliveryLog {
  public:
    void record(std::string_view where, std::string_view text);
    void publish(std::string_view text);  // an event text: only written to the sink
    void set_sink(const char *path);
    void clear();

    size_t count();
    bool at(size_t index, std::string &text);
    size_t wait(size_t count, int32_t timeout_ms);

  private:
    void write_sink(std::string_view where, std::string_view kind, std::string_view text);  // mutex_ held

    std::mutex mutex_;
    std::condition_variable changed_;
    std::multiset<size_t> awaited_;  // the delivery counts waiters want; woken only when one is reached
    RecentTexts delivered_;
    std::string sink_;
};

// A producer: publishes texts to one destination over its connection.
// deliver is called without the service lock held and may block, within
// the backend's timeouts; false means the message was not accepted.
class Publisher {
  public:
    virtual ~Publisher() = default;
    virtual bool deliver(std::string_view text) = 0;
    // Where the messages go, for the sink ("broker" for the embedded one).
    virtual std::string_view where() const = 0;
};

// An open connection to a broker; closed when the last reference goes.
class Connection {
  public:
    virtual ~Connection() = default;
    // A producer with the destination's options object (JSON text), or
    // null when the broker refuses it. May block within the timeouts.
    virtual std::shared_ptr<Publisher> open_producer(const std::string &options) = 0;
};

// A kind of broker: opens connections. The service owns the handles.
class Backend {
  public:
    virtual ~Backend() = default;
    // Null when the broker cannot be reached or refuses the login.
    virtual std::shared_ptr<Connection> open_connection(const ConnectionSettings &settings) = 0;
};

// The in-memory broker: accepts everything unless told to refuse.
class EmbeddedBackend : public Backend, public std::enable_shared_from_this<EmbeddedBackend> {
  public:
    std::shared_ptr<Connection> open_connection(const ConnectionSettings &settings) override;

    void reset();
    void refuse_connections(bool refuse);
    void refuse_producers(bool refuse);
    void fail_sends(int32_t count);
    void hold_sends(bool hold);
    int32_t held_sends();

    bool producer_allowed();
    bool accept_send();  // waits while sends are held

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool refuse_connections_ = false;
    bool refuse_producers_ = false;
    int32_t failing_sends_ = 0;
    bool hold_ = false;
    int32_t held_ = 0;
};

// Connections to real brokers, one backend per broker kind; null when the
// service was built without them.
std::shared_ptr<Backend> make_amqp_backend();
std::shared_ptr<Backend> make_mqtt_backend();

// How long a real broker may take to connect, answer a request or confirm a
// message before the operation counts as failed.
void set_broker_timeout_ms(int32_t ms);
int32_t broker_timeout_ms();

// The handle tables and the five broker commands. Handles count up from 1
// and start again from 1 only when the broker is reset. Connections open
// on the embedded broker unless real brokers are selected; the choice is
// made when a connection is created and kept for its life.
class Broker {
  public:
    Broker(std::shared_ptr<EmbeddedBackend> embedded, DeliveryLog &delivered);

    int64_t create_connection(const ConnectionSettings &settings);
    int64_t create_producer(int64_t connection, const std::string &options);
    bool send(int64_t producer, std::string_view text);
    bool destroy_producer(int64_t producer);
    bool destroy_connection(int64_t connection);

    bool use_real_brokers(bool real);  // false when none are built in
    void reset();
    int32_t open_connections();
    int32_t open_producers();
    int32_t wait_producers(int32_t count, int32_t timeout_ms);

  private:
    struct Producer {
        int64_t connection;
        std::shared_ptr<Publisher> publisher;
    };
    std::shared_ptr<Backend> backend_for(int32_t type);  // null for an unknown type; mutex_ held
    int64_t add(std::shared_ptr<Connection> connection);
    int64_t add(int64_t connection, std::shared_ptr<Publisher> publisher);

    DeliveryLog &delivered_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int32_t, std::shared_ptr<Backend>> embedded_;
    std::map<int32_t, std::shared_ptr<Backend>> real_;
    bool use_real_ = false;
    std::map<int64_t, std::shared_ptr<Connection>> connections_;
    std::map<int64_t, Producer> producers_;
    int64_t next_handle_ = 1;
};

}  // namespace ms
