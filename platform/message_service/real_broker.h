// What the connections to real brokers share: the options object of a
// producer, the timeouts, and a link that notices a lost connection and
// opens it again on the next request when the destination asks for that.
#pragma once

#include <json-c/json.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "broker.h"

namespace ms {

// The producer's options object ("amq" or "rmq"), read member by member;
// a member of the wrong type counts as absent.
class Options {
  public:
    explicit Options(const std::string &text) : obj_(json_tokener_parse(text.c_str())) {}

    bool valid() const { return json_object_is_type(obj_.get(), json_type_object); }
    std::string text(const char *key, const std::string &def) const {
        json_object *v = member(key, json_type_string);
        return v != nullptr ? json_object_get_string(v) : def;
    }
    bool flag(const char *key, bool def) const {
        json_object *v = member(key, json_type_boolean);
        if (v == nullptr)
            v = member(key, json_type_int);
        return v != nullptr ? json_object_get_int(v) != 0 : def;
    }
    int32_t integer(const char *key, int32_t def) const {
        json_object *v = member(key, json_type_int);
        return v != nullptr ? json_object_get_int(v) : def;
    }

  private:
    json_object *member(const char *key, json_type type) const {
        json_object *v = nullptr;
        return valid() && json_object_object_get_ex(obj_.get(), key, &v) && json_object_is_type(v, type) ? v : nullptr;
    }
    JsonPtr obj_;
};

// A connection to a real broker. One request at a time goes over it (the
// lock); a failed exchange marks it lost, and the next request opens it
// again when the destination's "is_reconnect" is non-zero, otherwise every
// later request fails until the library builds a new connection. Each
// (re)connection has a new generation number, so a producer knows when it
// must set up its channel or destination again.
class Link : public Connection, public std::enable_shared_from_this<Link> {
  public:
    explicit Link(ConnectionSettings settings) : settings_(std::move(settings)) {}

    std::unique_lock<std::mutex> lock() { return std::unique_lock(mutex_); }
    // With the lock held: true when the link is up, reconnecting if it was
    // lost and may reconnect.
    bool ready() {
        if (up_)
            return true;
        if (generation_ > 0 && settings_.is_reconnect == 0)
            return false;
        close(false);
        up_ = open();
        ++generation_;
        return up_;
    }
    void lost() { up_ = false; }
    bool up() const { return up_; }
    uint64_t generation() const { return generation_; }
    const ConnectionSettings &settings() const { return settings_; }

    // The host part of an address: IPv6 texts in brackets.
    std::string host_port() const {
        const bool v6 = settings_.ip.find(':') != std::string::npos;
        return (v6 ? "[" + settings_.ip + "]" : settings_.ip) + ":" + std::to_string(settings_.port);
    }

  protected:
    // With the lock held. open: false when the broker cannot be reached or
    // refuses; close: graceful when the link still works.
    virtual bool open() = 0;
    virtual void close(bool graceful) = 0;
    // For the derived destructor: closes what is left.
    void shut() {
        std::lock_guard guard(mutex_);
        close(up_);
        up_ = false;
    }

  private:
    ConnectionSettings settings_;
    std::mutex mutex_;
    bool up_ = false;
    uint64_t generation_ = 0;
};

// A backend whose connections are links of type L: a connection is handed
// out only once it is up.
template <class L> class LinkBackend : public Backend {
  public:
    std::shared_ptr<Connection> open_connection(const ConnectionSettings &settings) override {
        auto link = std::make_shared<L>(settings);
        auto guard = link->lock();
        return link->ready() ? link : nullptr;
    }
};

}  // namespace ms
