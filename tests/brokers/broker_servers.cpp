#include "broker_servers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace test {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kStartLimit = 90s;  // a cold RabbitMQ node on a busy machine
constexpr auto kCommandLimit = 60s;

int loopback_socket(int port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 && port == 0 && bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        close(fd);
        return -1;
    }
    if (fd >= 0 && port != 0 && connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Ports the kernel hands out as free, all distinct: each is held until the
// last one is found.
std::vector<int> free_ports(size_t count) {
    std::vector<int> fds, ports;
    while (ports.size() < count) {
        int fd = loopback_socket(0);
        sockaddr_in addr{};
        socklen_t len = sizeof addr;
        if (fd < 0 || getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len) != 0)
            break;
        fds.push_back(fd);
        ports.push_back(ntohs(addr.sin_port));
    }
    for (int fd : fds)
        close(fd);
    return ports;
}

bool accepts(int port) {
    int fd = loopback_socket(port);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

bool exited(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

struct Account {
    uid_t uid = getuid();
    gid_t gid = getgid();
    std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "/";
};

// The servers' own accounts when the tests run as root (the servers refuse
// or misbehave otherwise); the current account when not.
Account account(const std::string &user) {
    Account a;
    if (getuid() != 0)
        return a;
    if (const passwd *pw = getpwnam(user.c_str())) {
        a.uid = pw->pw_uid;
        a.gid = pw->pw_gid;
        a.home = pw->pw_dir;
    }
    return a;
}

void own(const fs::path &path, const std::string &user) {
    const Account a = account(user);
    if (chown(path.c_str(), a.uid, a.gid) != 0)
        return;
    for (const auto &entry : fs::recursive_directory_iterator(path))
        if (chown(entry.path().c_str(), a.uid, a.gid) != 0)
            return;
}

std::string activemq_xml(const fs::path &data, int port) {
    return R"(<beans xmlns="http://www.springframework.org/schema/beans"
  xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"
  xsi:schemaLocation="http://www.springframework.org/schema/beans http://www.springframework.org/schema/beans/spring-beans-2.0.xsd
  http://activemq.apache.org/schema/core http://activemq.apache.org/schema/core/activemq-core.xsd">
  <broker xmlns="http://activemq.apache.org/schema/core" useJmx="false" brokerName="cmd_zel_test"
          dataDirectory=")" +
           data.string() + R"(">
    <persistenceAdapter><kahaDB directory=")" +
           (data / "kahadb").string() + R"("/></persistenceAdapter>
    <plugins>
      <simpleAuthenticationPlugin>
        <users><authenticationUser username="platform" password="secret" groups="users"/></users>
      </simpleAuthenticationPlugin>
    </plugins>
    <transportConnectors>
      <transportConnector name="mqtt" uri="mqtt://127.0.0.1:)" +
           std::to_string(port) + R"("/>
    </transportConnectors>
  </broker>
</beans>
)";
}

}  // namespace

pid_t BrokerServers::spawn(const std::string &user, const std::vector<std::string> &argv,
                           const std::string &log) const {
    const Account a = account(user);
    std::vector<std::string> env = {
        "PATH=/usr/sbin:/usr/bin:/sbin:/bin", "LANG=C.UTF-8", "HOME=" + a.home,
        "RABBITMQ_MNESIA_BASE=" + dir_ + "/rabbit/mnesia", "RABBITMQ_LOG_BASE=" + dir_ + "/rabbit/log",
        "RABBITMQ_NODENAME=" + node_, "RABBITMQ_NODE_IP_ADDRESS=127.0.0.1",
        "RABBITMQ_NODE_PORT=" + std::to_string(amqp_port_), "RABBITMQ_DIST_PORT=" + std::to_string(dist_port_),
        "ERL_EPMD_PORT=" + std::to_string(epmd_port_), "RABBITMQ_PID_FILE=" + dir_ + "/rabbit/pid",
        "RABBITMQ_CONFIG_FILE=" + dir_ + "/rabbit/rabbitmq",
        "RABBITMQ_ADVANCED_CONFIG_FILE=" + dir_ + "/rabbit/advanced.config",
        "RABBITMQ_CONF_ENV_FILE=" + dir_ + "/rabbit/rabbitmq-env.conf",
        "RABBITMQ_ENABLED_PLUGINS_FILE=" + dir_ + "/rabbit/enabled_plugins", "ACTIVEMQ_CONF=" + dir_ + "/activemq/conf",
        "ACTIVEMQ_DATA=" + dir_ + "/activemq/data", "ACTIVEMQ_TMP=" + dir_ + "/activemq/tmp",
        "ACTIVEMQ_PIDFILE=" + dir_ + "/activemq/pid",
        // Debian's ActiveMQ leaves out the MQTT codec its
        // MQTT transport needs (libmqtt-client-java).
        "ACTIVEMQ_USER_CLASSPATH=/usr/share/java/mqtt-client.jar:/usr/share/java/"
        "hawtdispatch.jar:/usr/share/java/hawtdispatch-transport.jar"};
    std::vector<char *> args, envp;
    for (const auto &s : argv)
        args.push_back(const_cast<char *>(s.c_str()));
    for (const auto &s : env)
        envp.push_back(const_cast<char *>(s.c_str()));
    args.push_back(nullptr);
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    // The child: a process group of its own, so that the server and every
    // process it starts are stopped together.
    setsid();
    int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    int in = open("/dev/null", O_RDONLY);
    if (out < 0 || in < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(out, 2) < 0 || chdir(dir_.c_str()) != 0)
        _exit(127);
    if (getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(a.gid) != 0 || setuid(a.uid) != 0))
        _exit(127);
    execve(args[0], args.data(), envp.data());
    _exit(127);
}

bool BrokerServers::start(std::string &error, bool with_activemq) {
    char pattern[] = "/tmp/cmd_zel_brokers.XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        error = "no private directory";
        return false;
    }
    dir_ = pattern;
    chmod(dir_.c_str(), 0755);
    const std::vector<int> ports = free_ports(4);
    if (ports.size() != 4) {
        error = "no free loopback ports";
        return false;
    }
    amqp_port_ = ports[0];
    dist_port_ = ports[1];
    epmd_port_ = ports[2];
    mqtt_port_ = ports[3];
    node_ = "cmd_zel_" + std::to_string(amqp_port_) + "@localhost";

    const fs::path rabbit = fs::path(dir_) / "rabbit";
    const fs::path activemq = fs::path(dir_) / "activemq";
    for (const fs::path &p :
         {rabbit / "mnesia", rabbit / "log", activemq / "conf", activemq / "data", activemq / "tmp"})
        fs::create_directories(p);
    std::ofstream(rabbit / "enabled_plugins") << "[].\n";
    std::ofstream(activemq / "conf" / "activemq.xml") << activemq_xml(activemq / "data", mqtt_port_);
    own(rabbit, "rabbitmq");
    own(activemq, "activemq");

    // The node's own port mapper, so that nothing outlives the run.
    groups_.push_back(spawn("rabbitmq", {"/usr/bin/epmd", "-port", std::to_string(epmd_port_)}, dir_ + "/epmd.log"));
    const auto deadline = Clock::now() + kStartLimit;
    while (!accepts(epmd_port_) && Clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    const pid_t rabbit_pid = spawn("rabbitmq", {"/usr/lib/rabbitmq/bin/rabbitmq-server"}, dir_ + "/rabbit.log");
    groups_.push_back(rabbit_pid);
    pid_t activemq_pid = -1;
    if (with_activemq) {
        activemq_pid = spawn(
            "activemq", {"/usr/bin/activemq", "console", "xbean:file:" + (activemq / "conf" / "activemq.xml").string()},
            dir_ + "/activemq.log");
        groups_.push_back(activemq_pid);
    }
    guard();

    bool rabbit_up = false, activemq_up = !with_activemq;
    while (!(rabbit_up && activemq_up)) {
        rabbit_up = rabbit_up || accepts(amqp_port_);
        activemq_up = activemq_up || accepts(mqtt_port_);
        if (exited(rabbit_pid) || (with_activemq && exited(activemq_pid)) || Clock::now() > deadline) {
            error = "servers did not start (logs in " + dir_ + "): rabbitmq " + (rabbit_up ? "up" : "down") +
                    ", activemq " + (activemq_up ? "up" : "down");
            dir_.clear();  // kept for the logs
            return false;
        }
        std::this_thread::sleep_for(100ms);
    }
    return true;
}

// A process that waits on a pipe from this one: a byte means the servers
// were stopped; end of file means this process died, and the guard stops
// them.
void BrokerServers::guard() {
    int fds[2];
    if (pipe(fds) != 0)
        return;
    const std::vector<pid_t> groups = groups_;
    guard_ = fork();
    if (guard_ == 0) {
        close(fds[1]);
        char byte;
        if (read(fds[0], &byte, 1) == 0)
            for (pid_t group : groups)
                kill(-group, SIGKILL);
        _exit(0);
    }
    close(fds[0]);
    guard_pipe_ = fds[1];
    fcntl(guard_pipe_, F_SETFD, FD_CLOEXEC);
}

void BrokerServers::stop() {
    // The data is thrown away: nothing to shut down gracefully.
    for (pid_t group : groups_)
        kill(-group, SIGKILL);
    for (pid_t group : groups_)
        waitpid(group, nullptr, 0);
    groups_.clear();
    if (guard_pipe_ >= 0) {
        const char done = 1;
        if (write(guard_pipe_, &done, 1) == 1)
            waitpid(guard_, nullptr, 0);
        close(guard_pipe_);
        guard_pipe_ = -1;
    }
    if (!dir_.empty()) {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
        dir_.clear();
    }
}

bool BrokerServers::rabbitmqctl(const std::string &command, std::string &error) {
    const pid_t pid =
        spawn("rabbitmq", {"/usr/lib/rabbitmq/bin/rabbitmqctl", "-n", node_, command}, dir_ + "/rabbitmqctl.log");
    const auto deadline = Clock::now() + kCommandLimit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) != pid) {
        if (Clock::now() > deadline) {
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            error = "rabbitmqctl " + command + " did not finish";
            return false;
        }
        std::this_thread::sleep_for(50ms);
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    error = "rabbitmqctl " + command + " failed";
    return false;
}

bool BrokerServers::stop_amqp(std::string &error) { return rabbitmqctl("stop_app", error); }

bool BrokerServers::start_amqp(std::string &error) {
    if (!rabbitmqctl("start_app", error))
        return false;
    const auto deadline = Clock::now() + kStartLimit;
    while (!accepts(amqp_port_)) {
        if (Clock::now() > deadline) {
            error = "the AMQP port stays closed after start_app";
            return false;
        }
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

}  // namespace test
