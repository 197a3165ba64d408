#include "broker.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace ms {

bool EmbeddedBackend::open_connection(const ConnectionSettings &) {
    std::lock_guard lock(mutex_);
    return !refuse_connections_;
}

bool EmbeddedBackend::open_producer(const ConnectionSettings &, const std::string &) {
    std::lock_guard lock(mutex_);
    return !refuse_producers_;
}

bool EmbeddedBackend::deliver(const ConnectionSettings &, const std::string &, std::string_view text) {
    std::unique_lock lock(mutex_);
    if (hold_) {
        ++held_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !hold_; });
        --held_;
    }
    if (failing_sends_ != 0) {
        if (failing_sends_ > 0)
            --failing_sends_;
        return false;
    }
    delivered_.push(text);
    write_sink("message", text);
    if (delivered_.count() >= awaited_)
        changed_.notify_all();
    return true;
}

void EmbeddedBackend::reset() {
    std::lock_guard lock(mutex_);
    refuse_connections_ = false;
    refuse_producers_ = false;
    failing_sends_ = 0;
    hold_ = false;
    delivered_.clear();
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

void EmbeddedBackend::set_sink(const char *path) {
    std::lock_guard lock(mutex_);
    sink_ = path != nullptr ? path : "";
}

void EmbeddedBackend::publish(std::string_view text) {
    std::lock_guard lock(mutex_);
    write_sink("event", text);
}

size_t EmbeddedBackend::delivered_count() {
    std::lock_guard lock(mutex_);
    return delivered_.count();
}

bool EmbeddedBackend::delivered_at(size_t index, std::string &text) {
    std::lock_guard lock(mutex_);
    return delivered_.at(index, text);
}

size_t EmbeddedBackend::wait_delivered(size_t count, int32_t timeout_ms) {
    std::unique_lock lock(mutex_);
    awaited_ = std::min(awaited_, count);
    changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms > 0 ? timeout_ms : 0),
                      [&] { return delivered_.count() >= count; });
    awaited_ = SIZE_MAX;
    return delivered_.count();
}

void EmbeddedBackend::write_sink(std::string_view kind, std::string_view text) {
    if (sink_.empty())
        return;
    const bool to_stdout = sink_ == "-";
    FILE *out = to_stdout ? stdout : std::fopen(sink_.c_str(), "a");
    if (out == nullptr)
        return;
    std::fprintf(out, "[broker %.*s] %.*s\n", static_cast<int>(kind.size()), kind.data(), static_cast<int>(text.size()),
                 text.data());
    if (to_stdout)
        std::fflush(out);
    else
        std::fclose(out);
}

Broker::Broker(std::shared_ptr<EmbeddedBackend> embedded) {
    // Both broker kinds the library configures ("amq" options for type 0,
    // "rmq" for type 1) are served by the embedded broker until a real
    // transport is plugged in for one of them.
    backends_[0] = embedded;
    backends_[1] = std::move(embedded);
}

Backend *Broker::backend_for(int32_t type) {
    auto it = backends_.find(type);
    return it != backends_.end() ? it->second.get() : nullptr;
}

int64_t Broker::create_connection(const ConnectionSettings &settings) {
    std::lock_guard lock(mutex_);
    Backend *backend = backend_for(settings.type);
    if (backend == nullptr || !backend->open_connection(settings))
        return -1;
    int64_t handle = next_handle_++;
    connections_[handle] = settings;
    changed_.notify_all();
    return handle;
}

int64_t Broker::create_producer(int64_t connection, const std::string &options) {
    std::lock_guard lock(mutex_);
    auto conn = connections_.find(connection);
    if (conn == connections_.end())
        return -1;
    Backend *backend = backend_for(conn->second.type);
    if (backend == nullptr || !backend->open_producer(conn->second, options))
        return -1;
    int64_t handle = next_handle_++;
    producers_[handle] = Producer{connection, options};
    changed_.notify_all();
    return handle;
}

bool Broker::send(int64_t producer, std::string_view text) {
    ConnectionSettings settings;
    std::string options;
    Backend *backend = nullptr;
    {
        std::lock_guard lock(mutex_);
        auto prod = producers_.find(producer);
        if (prod == producers_.end())
            return false;
        auto conn = connections_.find(prod->second.connection);
        if (conn == connections_.end())
            return false;
        settings = conn->second;
        options = prod->second.options;
        backend = backend_for(settings.type);
    }
    // Backends live as long as the broker, so delivering outside the lock
    // is safe and lets a slow backend not hold up other requests.
    return backend != nullptr && backend->deliver(settings, options, text);
}

bool Broker::destroy_producer(int64_t producer) {
    std::lock_guard lock(mutex_);
    bool found = producers_.erase(producer) > 0;
    changed_.notify_all();
    return found;
}

bool Broker::destroy_connection(int64_t connection) {
    std::lock_guard lock(mutex_);
    if (connections_.erase(connection) == 0)
        return false;
    std::erase_if(producers_, [&](const auto &entry) { return entry.second.connection == connection; });
    changed_.notify_all();
    return true;
}

void Broker::reset() {
    std::lock_guard lock(mutex_);
    connections_.clear();
    producers_.clear();
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
