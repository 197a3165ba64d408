// Connections to AMQP 0-9-1 brokers (type 1, the "rmq" options).
//
// A producer is one channel. Its options object:
//   "exchange"       exchange to publish to; "" (default) is the default
//                    exchange, which routes by queue name
//   "exchange_type"  when given with a named exchange, the exchange is
//                    declared with this type ("direct", "topic", "fanout")
//   "queue"          when given, the queue is declared and, with a named
//                    exchange, bound to it with the routing key
//   "routing_key"    routing key of every message; default the queue name
//   "durable"        declarations survive a broker restart (default true)
//   "persistent"     messages are written to disk (default true)
//   "confirm"        each message waits for the broker's confirmation and
//                    fails when it is refused or not confirmed in time
//                    (default false)
#include <amqp.h>
#include <amqp_tcp_socket.h>
#include <poll.h>

#include <chrono>

#include "real_broker.h"

namespace ms {
namespace {

timeval timeout_value() {
    const int32_t ms = broker_timeout_ms();
    return timeval{ms / 1000, (ms % 1000) * 1000};
}

bool normal(const amqp_rpc_reply_t &reply) { return reply.reply_type == AMQP_RESPONSE_NORMAL; }

class AmqpLink : public Link {
  public:
    using Link::Link;
    ~AmqpLink() override { shut(); }

    std::shared_ptr<Publisher> open_producer(const std::string &options) override;

    amqp_connection_state_t state() const { return state_; }
    amqp_channel_t new_channel() { return next_channel_++; }

    // Frames the broker sent on its own since the last request: a closed
    // channel or connection means the link is lost. Does not wait. The
    // socket itself is looked at only every kQuietCheck: a system call per
    // message would cost as much as the publishing; a confirmed message
    // notices a lost link anyway.
    bool nothing_closed() {
        const auto now = std::chrono::steady_clock::now();
        const bool look = now >= next_look_;
        if (look)
            next_look_ = now + kQuietCheck;
        for (;;) {
            if (!amqp_data_in_buffer(state_) && !amqp_frames_enqueued(state_) && !(look && readable()))
                return true;
            amqp_frame_t frame;
            timeval no_wait{0, 0};
            const int status = amqp_simple_wait_frame_noblock(state_, &frame, &no_wait);
            if (status == AMQP_STATUS_TIMEOUT)
                return true;
            if (status != AMQP_STATUS_OK || closes(frame))
                return false;
        }
    }

    // Waits for the broker's verdict on delivery `tag`: acknowledged or not
    // within the timeout.
    bool confirmed(amqp_channel_t channel, uint64_t tag) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(broker_timeout_ms());
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::microseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            timeval wait{static_cast<time_t>(left.count() / 1000000), static_cast<suseconds_t>(left.count() % 1000000)};
            amqp_frame_t frame;
            if (amqp_simple_wait_frame_noblock(state_, &frame, &wait) != AMQP_STATUS_OK || closes(frame))
                return false;
            if (frame.frame_type != AMQP_FRAME_METHOD || frame.channel != channel)
                continue;
            if (frame.payload.method.id == AMQP_BASIC_NACK_METHOD)
                return false;
            if (frame.payload.method.id == AMQP_BASIC_ACK_METHOD) {
                auto *ack = static_cast<amqp_basic_ack_t *>(frame.payload.method.decoded);
                if (ack->delivery_tag == tag || (ack->multiple != 0 && ack->delivery_tag > tag))
                    return true;
            }
        }
    }

  protected:
    bool open() override {
        next_channel_ = 1;
        state_ = amqp_new_connection();
        if (state_ == nullptr)
            return false;
        amqp_socket_t *socket = amqp_tcp_socket_new(state_);
        timeval limit = timeout_value();
        if (socket == nullptr ||
            amqp_socket_open_noblock(socket, settings().ip.c_str(), settings().port, &limit) != AMQP_STATUS_OK)
            return false;
        amqp_set_handshake_timeout(state_, &limit);
        amqp_set_rpc_timeout(state_, &limit);
        // No heartbeats: nothing reads the connection between requests; a
        // broker gone quiet shows in the timeouts of the next request.
        return normal(amqp_login(state_, "/", 0, AMQP_DEFAULT_FRAME_SIZE, 0, AMQP_SASL_METHOD_PLAIN,
                                 settings().username.c_str(), settings().password.c_str()));
    }

    void close(bool graceful) override {
        if (state_ == nullptr)
            return;
        if (graceful)
            amqp_connection_close(state_, AMQP_REPLY_SUCCESS);
        amqp_destroy_connection(state_);
        state_ = nullptr;
    }

  private:
    static bool closes(const amqp_frame_t &frame) {
        return frame.frame_type == AMQP_FRAME_METHOD && (frame.payload.method.id == AMQP_CONNECTION_CLOSE_METHOD ||
                                                         frame.payload.method.id == AMQP_CHANNEL_CLOSE_METHOD);
    }
    bool readable() const {
        pollfd fd{amqp_get_sockfd(state_), POLLIN, 0};
        return fd.fd >= 0 && poll(&fd, 1, 0) > 0;
    }

    static constexpr auto kQuietCheck = std::chrono::milliseconds(20);

    amqp_connection_state_t state_ = nullptr;
    amqp_channel_t next_channel_ = 1;
    std::chrono::steady_clock::time_point next_look_{};
};

struct Destination {
    std::string exchange;
    std::string exchange_type;
    std::string queue;
    std::string routing_key;
    bool durable;
    bool persistent;
    bool confirm;
};

class AmqpPublisher : public Publisher {
  public:
    AmqpPublisher(std::shared_ptr<AmqpLink> link, Destination to)
        : link_(std::move(link)), to_(std::move(to)),
          where_("amqp://" + link_->host_port() + " exchange \"" + to_.exchange + "\" routing key \"" +
                 to_.routing_key + "\"") {}
    ~AmqpPublisher() override {
        auto lock = link_->lock();
        if (generation_ == link_->generation() && link_->up())
            amqp_channel_close(link_->state(), channel_, AMQP_REPLY_SUCCESS);
    }

    // With the link's lock held: the channel, the declarations and the
    // confirmation mode on the link's current connection.
    bool set_up() {
        generation_ = link_->generation();
        channel_ = link_->new_channel();
        published_ = 0;
        amqp_connection_state_t state = link_->state();
        amqp_channel_open(state, channel_);
        if (!normal(amqp_get_rpc_reply(state)))
            return false;
        if (!to_.exchange.empty() && !to_.exchange_type.empty()) {
            amqp_exchange_declare(state, channel_, amqp_cstring_bytes(to_.exchange.c_str()),
                                  amqp_cstring_bytes(to_.exchange_type.c_str()), 0, to_.durable, 0, 0,
                                  amqp_empty_table);
            if (!normal(amqp_get_rpc_reply(state)))
                return false;
        }
        if (!to_.queue.empty()) {
            amqp_queue_declare(state, channel_, amqp_cstring_bytes(to_.queue.c_str()), 0, to_.durable, 0, 0,
                               amqp_empty_table);
            if (!normal(amqp_get_rpc_reply(state)))
                return false;
            if (!to_.exchange.empty()) {
                amqp_queue_bind(state, channel_, amqp_cstring_bytes(to_.queue.c_str()),
                                amqp_cstring_bytes(to_.exchange.c_str()), amqp_cstring_bytes(to_.routing_key.c_str()),
                                amqp_empty_table);
                if (!normal(amqp_get_rpc_reply(state)))
                    return false;
            }
        }
        if (to_.confirm) {
            amqp_confirm_select(state, channel_);
            if (!normal(amqp_get_rpc_reply(state)))
                return false;
        }
        return true;
    }

    bool deliver(std::string_view text) override {
        auto lock = link_->lock();
        if (!link_->ready())
            return false;
        if ((generation_ != link_->generation() && !set_up()) || !publish(text)) {
            link_->lost();
            return false;
        }
        return true;
    }

    std::string_view where() const override { return where_; }

  private:
    bool publish(std::string_view text) {
        amqp_connection_state_t state = link_->state();
        if (!link_->nothing_closed())
            return false;
        amqp_basic_properties_t props{};
        props._flags = AMQP_BASIC_CONTENT_TYPE_FLAG | AMQP_BASIC_DELIVERY_MODE_FLAG;
        props.content_type = amqp_cstring_bytes("application/json");
        props.delivery_mode = to_.persistent ? AMQP_DELIVERY_PERSISTENT : AMQP_DELIVERY_NONPERSISTENT;
        const amqp_bytes_t body{text.size(), const_cast<char *>(text.data())};
        const int status = amqp_basic_publish(state, channel_, amqp_cstring_bytes(to_.exchange.c_str()),
                                              amqp_cstring_bytes(to_.routing_key.c_str()), 0, 0, &props, body);
        ++published_;
        const bool ok = status == AMQP_STATUS_OK && (!to_.confirm || link_->confirmed(channel_, published_));
        amqp_maybe_release_buffers(state);
        return ok;
    }

    std::shared_ptr<AmqpLink> link_;
    Destination to_;
    std::string where_;
    uint64_t generation_ = 0;
    amqp_channel_t channel_ = 0;
    uint64_t published_ = 0;  // delivery tags count from 1 on each channel
};

std::shared_ptr<Publisher> AmqpLink::open_producer(const std::string &options) {
    Options opt(options);
    if (!opt.valid())
        return nullptr;
    Destination to;
    to.exchange = opt.text("exchange", "");
    to.exchange_type = opt.text("exchange_type", "");
    to.queue = opt.text("queue", "");
    to.routing_key = opt.text("routing_key", to.queue);
    to.durable = opt.flag("durable", true);
    to.persistent = opt.flag("persistent", true);
    to.confirm = opt.flag("confirm", false);
    auto publisher = std::make_shared<AmqpPublisher>(std::static_pointer_cast<AmqpLink>(shared_from_this()), to);
    auto guard = lock();
    if (!ready() || !publisher->set_up()) {
        lost();
        return nullptr;
    }
    return publisher;
}

}  // namespace

std::shared_ptr<Backend> make_amqp_backend() { return std::make_shared<LinkBackend<AmqpLink>>(); }

}  // namespace ms
