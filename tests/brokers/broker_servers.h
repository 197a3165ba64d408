// A RabbitMQ and an ActiveMQ server of the test run's own: loopback ports
// found free at start, data and logs in a private directory owned by the
// servers' users, stopped at the end. A guard process stops them too when
// the test program dies without cleaning up.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace test {

class BrokerServers {
  public:
    BrokerServers() = default;
    ~BrokerServers() { stop(); }
    BrokerServers(const BrokerServers &) = delete;
    BrokerServers &operator=(const BrokerServers &) = delete;

    // Starts both (or only RabbitMQ) and waits (bounded) until they accept
    // connections; the reason in `error` when they do not.
    bool start(std::string &error, bool with_activemq = true);
    void stop();

    // Stops and starts the AMQP broker inside its running node: its
    // connections are closed, its port refuses meanwhile, durable queues
    // and persistent messages are kept.
    bool stop_amqp(std::string &error);
    bool start_amqp(std::string &error);

    int amqp_port() const { return amqp_port_; }
    int mqtt_port() const { return mqtt_port_; }

  private:
    pid_t spawn(const std::string &user, const std::vector<std::string> &argv, const std::string &log) const;
    bool rabbitmqctl(const std::string &command, std::string &error);
    void guard();

    std::string dir_;
    std::string node_;
    int amqp_port_ = 0;
    int dist_port_ = 0;
    int epmd_port_ = 0;
    int mqtt_port_ = 0;
    std::vector<pid_t> groups_;  // process groups of the servers
    pid_t guard_ = -1;
    int guard_pipe_ = -1;
};

}  // namespace test
