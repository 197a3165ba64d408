#include "broker.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ms {

void DeliveryLog::record(std::string_view where, std::string_view text) {
    std::lock_guard lock(mutex_);
    delivered_.push(text);
    write_sink(where, "message", text);
    if (!awaited_.empty() && delivered_.count() >= *awaited_.begin())
        changed_.notify_all();
}

void DeliveryLog::publish(std::string_view text) {
    std::lock_guard lock(mutex_);
    write_sink("broker", "event", text);
}

void DeliveryLog::set_sink(const char *path) {
    std::lock_guard lock(mutex_);
    sink_ = path != nullptr ? path : "";
}

void DeliveryLog::clear() {
    std::lock_guard lock(mutex_);
    delivered_.clear();
    changed_.notify_all();
}

size_t DeliveryLog::count() {
    std::lock_guard lock(mutex_);
    return delivered_.count();
}

bool DeliveryLog::at(size_t index, std::string &text) {
    std::lock_guard lock(mutex_);
    return delivered_.at(index, text);
}

size_t DeliveryLog::wait(size_t count, int32_t timeout_ms) {
    std::unique_lock lock(mutex_);
    const auto awaited = awaited_.insert(count);
    changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms > 0 ? timeout_ms : 0),
                      [&] { return delivered_.count() >= count; });
    awaited_.erase(awaited);
    return delivered_.count();
}

void DeliveryLog::write_sink(std::string_view where, std::string_view kind, std::string_view text) {
    if (sink_.empty())
        return;
    const bool to_stdout = sink_ == "-";
    FILE *out = to_stdout ? stdout : std::fopen(sink_.c_str(), "a");
    if (out == nullptr)
        return;
    std::fprintf(out, "[%.*s %.*s] %.*s\n", static_cast<int>(where.size()), where.data(), static_cast<int>(kind.size()),
                 kind.data(), static_cast<int>(text.size()), text.data());
    if (to_stdout)
        std::fflush(out);
    else
        std::fclose(out);
}

namespace {

class EmbeddedPublisher : public Publisher {
  public:
    explicit EmbeddedPublisher(std::shared_ptr<EmbeddedBackend> backend) : backend_(std::move(backend)) {}
    bool deliver(std::string_view) override { return backend_->accept_send(); }
    std::string_view where() const override { return "broker"; }

  private:
    std::shared_ptr<EmbeddedBackend> backend_;
};

class EmbeddedConnection : public Connection {
  public:
    explicit EmbeddedConnection(std::shared_ptr<EmbeddedBackend> backend) : backend_(std::move(backend)) {}
    std::shared_ptr<Publisher> open_producer(const std::string &) override {
        if (!backend_->producer_allowed())
            return nullptr;
        return std::make_shared<EmbeddedPublisher>(backend_);
    }

  private:
    std::shared_ptr<EmbeddedBackend> backend_;
};

std::atomic<int32_t> s_timeout_ms{[] {
    const char *text = std::getenv("CMD_ZEL_BROKER_TIMEOUT_MS");
    int32_t ms = text != nullptr ? std::atoi(text) : 0;
    return ms > 0 ? ms : 5000;
}()};

}  // namespace

void set_broker_timeout_ms(int32_t ms) { s_timeout_ms = ms > 0 ? ms : 5000; }
int32_t broker_timeout_ms() { return s_timeout_ms; }

std::shared_ptr<Connection> EmbeddedBackend::open_connection(const ConnectionSettings &) {
    std::lock_guard lock(mutex_);
    if (refuse_connections_)
        return nullptr;
    return std::make_shared<EmbeddedConnection>(shared_from_this());
}

bool EmbeddedBackend::producer_allowed() {
    std::lock_guard lock(mutex_);
    return !refuse_producers_;
}

bool EmbeddedBackend::accept_send() {
    std::unique_lock lock(mutex_);
    if (hold_) {
        ++held_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !hold_; });
        --held_;
    }
    if (failing_sends_ == 0)
        return true;
    if (failing_sends_ > 0)
        --failing_sends_;
    return false;
}

void EmbeddedBackend::reset() {
    std::lock_guard lock(mutex_);
    refuse_connections_ = false;
    refuse_producers_ = false;
    failing_sends_ = 0;
    hold_ = false;
    changed_.notify_all();
}

void EmbeddedBackend::refuse_connections(bool refuse) {
    std::lock_guard lock(mutex_);
    refuse_connections_ = refuse;
}

void EmbeddedBackend::refuse_producers(bool refuse) {
    std::lock_guard lock(mutex_);
    refuse_producers_ = refuse;
}

void EmbeddedBackend::fail_sends(int32_t count) {
    std::lock_guard lock(mutex_);
    failing_sends_ = count;
}

void EmbeddedBackend::hold_sends(bool hold) {
    std::lock_guard lock(mutex_);
    hold_ = hold;
    changed_.notify_all();
}

int32_t EmbeddedBackend::held_sends() {
    std::lock_guard lock(mutex_);
    return held_;
}

Broker::Broker(std::shared_ptr<EmbeddedBackend> embedded, DeliveryLog &delivered) : delivered_(delivered) {
    // Type 0 takes the "amq" options, type 1 the "rmq" options. The
    // embedded broker serves both until real brokers are selected.
    embedded_[0] = embedded;
    embedded_[1] = std::move(embedded);
    if (auto mqtt = make_mqtt_backend())
        real_[0] = std::move(mqtt);
    if (auto amqp = make_amqp_backend())
        real_[1] = std::move(amqp);
    const char *choice = std::getenv("CMD_ZEL_BROKERS");
    use_real_ = choice != nullptr && std::strcmp(choice, "real") == 0 && !real_.empty();
}

bool Broker::use_real_brokers(bool real) {
    std::lock_guard lock(mutex_);
    use_real_ = real && !real_.empty();
    return use_real_ == real;
}

std::shared_ptr<Backend> Broker::backend_for(int32_t type) {
    const auto &backends = use_real_ ? real_ : embedded_;
    auto it = backends.find(type);
    return it != backends.end() ? it->second : nullptr;
}

int64_t Broker::add(std::shared_ptr<Connection> connection) {
    std::lock_guard lock(mutex_);
    int64_t handle = next_handle_++;
    connections_[handle] = std::move(connection);
    changed_.notify_all();
    return handle;
}

int64_t Broker::add(int64_t connection, std::shared_ptr<Publisher> publisher) {
    std::lock_guard lock(mutex_);
    if (!connections_.contains(connection))
        return -1;  // destroyed while the producer was being opened
    int64_t handle = next_handle_++;
    producers_[handle] = Producer{connection, std::move(publisher)};
    changed_.notify_all();
    return handle;
}

// Opening a connection or a producer may wait on the network, so it runs
// without the lock: other requests (another sender's messages) go on.
int64_t Broker::create_connection(const ConnectionSettings &settings) {
    std::shared_ptr<Backend> backend;
    {
        std::lock_guard lock(mutex_);
        backend = backend_for(settings.type);
    }
    std::shared_ptr<Connection> connection = backend != nullptr ? backend->open_connection(settings) : nullptr;
    return connection != nullptr ? add(std::move(connection)) : -1;
}

int64_t Broker::create_producer(int64_t connection, const std::string &options) {
    std::shared_ptr<Connection> conn;
    {
        std::lock_guard lock(mutex_);
        auto it = connections_.find(connection);
        if (it == connections_.end())
            return -1;
        conn = it->second;
    }
    std::shared_ptr<Publisher> publisher = conn->open_producer(options);
    return publisher != nullptr ? add(connection, std::move(publisher)) : -1;
}

bool Broker::send(int64_t producer, std::string_view text) {
    std::shared_ptr<Publisher> publisher;
    {
        std::lock_guard lock(mutex_);
        auto it = producers_.find(producer);
        if (it == producers_.end())
            return false;
        publisher = it->second.publisher;
    }
    if (!publisher->deliver(text))
        return false;
    delivered_.record(publisher->where(), text);
    return true;
}

// What a destroy removes is released after the lock: closing a real
// connection talks to the broker.
bool Broker::destroy_producer(int64_t producer) {
    std::shared_ptr<Publisher> closing;
    std::lock_guard lock(mutex_);
    auto it = producers_.find(producer);
    if (it == producers_.end())
        return false;
    closing = std::move(it->second.publisher);
    producers_.erase(it);
    changed_.notify_all();
    return true;
}

bool Broker::destroy_connection(int64_t connection) {
    std::vector<std::shared_ptr<Publisher>> closing_producers;
    std::shared_ptr<Connection> closing;
    std::lock_guard lock(mutex_);
    auto it = connections_.find(connection);
    if (it == connections_.end())
        return false;
    closing = std::move(it->second);
    connections_.erase(it);
    std::erase_if(producers_, [&](auto &entry) {
        if (entry.second.connection != connection)
            return false;
        closing_producers.push_back(std::move(entry.second.publisher));
        return true;
    });
    changed_.notify_all();
    return true;
}

void Broker::reset() {
    std::map<int64_t, std::shared_ptr<Connection>> closing;
    std::map<int64_t, Producer> closing_producers;
    std::lock_guard lock(mutex_);
    closing.swap(connections_);
    closing_producers.swap(producers_);
    next_handle_ = 1;
    changed_.notify_all();
}

int32_t Broker::open_connections() {
    std::lock_guard lock(mutex_);
    return static_cast<int32_t>(connections_.size());
}

int32_t Broker::open_producers() {
    std::lock_guard lock(mutex_);
    return static_cast<int32_t>(producers_.size());
}

int32_t Broker::wait_producers(int32_t count, int32_t timeout_ms) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms > 0 ? timeout_ms : 0),
                      [&] { return static_cast<int32_t>(producers_.size()) == count; });
    return static_cast<int32_t>(producers_.size());
}

}  // namespace ms
