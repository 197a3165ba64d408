// Connections to MQTT brokers (type 0, the "amq" options).
//
// A producer publishes to one topic. Its options object:
//   "topic"     the topic the messages are published to; "queue" is read
//               when "topic" is absent (MQTT has only topics: a broker that
//               keeps queues maps the topic to them on its side)
//   "qos"       0 sent once without acknowledgement, 1 (default)
//               acknowledged, 2 acknowledged exactly once; brokers keep
//               messages of QoS 1 and 2 persistently
//   "retained"  the broker keeps the last message for new subscribers
//               (default false)
// Messages of QoS 1 and 2 fail when the broker does not acknowledge them
// in time.
#include <MQTTClient.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

#include "real_broker.h"

namespace ms {
namespace {

// Paho's clients share the library's socket table, which a call of one
// client may change while another client polls it: calls into the library
// are made one at a time across the process. Each is bounded by the broker
// timeout.
std::mutex s_paho;

// Client identifiers are unique per process and connection: a broker drops
// an older connection that presents the same identifier.
std::string client_id() {
    static std::atomic<uint64_t> s_next{1};
    return "cmd_zel-" + std::to_string(getpid()) + "-" + std::to_string(s_next++);
}

class MqttLink : public Link {
  public:
    using Link::Link;
    ~MqttLink() override { shut(); }

    std::shared_ptr<Publisher> open_producer(const std::string &options) override;
    MQTTClient client() const { return client_; }

  protected:
    bool open() override {
        std::lock_guard paho(s_paho);
        const std::string uri = "tcp://" + host_port();
        if (MQTTClient_create(&client_, uri.c_str(), client_id().c_str(), MQTTCLIENT_PERSISTENCE_NONE, nullptr) !=
            MQTTCLIENT_SUCCESS) {
            client_ = nullptr;
            return false;
        }
        MQTTClient_connectOptions opts = MQTTClient_connectOptions_initializer;
        opts.keepAliveInterval = 60;
        opts.cleansession = 1;
        opts.MQTTVersion = MQTTVERSION_3_1_1;
        opts.username = settings().username.c_str();
        opts.password = settings().password.c_str();
        opts.connectTimeout = (broker_timeout_ms() + 999) / 1000;
        return MQTTClient_connect(client_, &opts) == MQTTCLIENT_SUCCESS;
    }

    void close(bool graceful) override {
        if (client_ == nullptr)
            return;
        std::lock_guard paho(s_paho);
        if (graceful)
            MQTTClient_disconnect(client_, broker_timeout_ms());
        MQTTClient_destroy(&client_);
        client_ = nullptr;
    }

  private:
    MQTTClient client_ = nullptr;
};

class MqttPublisher : public Publisher {
  public:
    MqttPublisher(std::shared_ptr<MqttLink> link, std::string topic, int32_t qos, bool retained)
        : link_(std::move(link)), topic_(std::move(topic)), qos_(qos), retained_(retained),
          where_("mqtt://" + link_->host_port() + " topic \"" + topic_ + "\"") {}

    bool deliver(std::string_view text) override {
        auto lock = link_->lock();
        if (!link_->ready())
            return false;
        std::lock_guard paho(s_paho);
        MQTTClient_deliveryToken token = 0;
        int rc = MQTTClient_publish(link_->client(), topic_.c_str(), static_cast<int>(text.size()),
                                    const_cast<char *>(text.data()), qos_, retained_ ? 1 : 0, &token);
        if (rc == MQTTCLIENT_SUCCESS && qos_ > 0)
            rc = MQTTClient_waitForCompletion(link_->client(), token, static_cast<unsigned long>(broker_timeout_ms()));
        if (rc != MQTTCLIENT_SUCCESS) {
            link_->lost();
            return false;
        }
        return true;
    }

    std::string_view where() const override { return where_; }

  private:
    std::shared_ptr<MqttLink> link_;
    std::string topic_;
    int32_t qos_;
    bool retained_;
    std::string where_;
};

std::shared_ptr<Publisher> MqttLink::open_producer(const std::string &options) {
    Options opt(options);
    const std::string topic = opt.text("topic", opt.text("queue", ""));
    const int32_t qos = opt.integer("qos", 1);
    if (topic.empty() || qos < 0 || qos > 2)
        return nullptr;
    return std::make_shared<MqttPublisher>(std::static_pointer_cast<MqttLink>(shared_from_this()), topic, qos,
                                           opt.flag("retained", false));
}

}  // namespace

std::shared_ptr<Backend> make_mqtt_backend() { return std::make_shared<LinkBackend<MqttLink>>(); }

}  // namespace ms
