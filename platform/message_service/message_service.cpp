// The platform's message service, standing in for the real one: type 5
// executes one broker request from its envelope on the embedded broker and
// writes the reply into the caller's buffer before returning; type 150
// publishes an event text.
#include "message_service.h"
#include "message_service_control.h"

#include <json-c/json.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <utility>

#include "broker.h"
#include "platform_export.h"

#define MS_EXPORT extern "C" PLATFORM_EXPORT

namespace {

class ErrnoGuard {
  public:
    ErrnoGuard() : saved_(errno) {}
    ~ErrnoGuard() { errno = saved_; }
    ErrnoGuard(const ErrnoGuard &) = delete;
    ErrnoGuard &operator=(const ErrnoGuard &) = delete;

  private:
    int saved_;
};

constexpr uint8_t kBrokerRequest = 5;
constexpr uint8_t kEventText = 150;

struct Service {
    std::shared_ptr<ms::EmbeddedBackend> embedded = std::make_shared<ms::EmbeddedBackend>();
    ms::Broker broker{embedded};

    std::mutex mutex;  // guards the logs and scripted replies below
    ms::RecentTexts requests;
    ms::RecentTexts published;
    std::deque<std::pair<std::string, std::string>> scripted;  // command, reply
};

Service &service() {
    static Service *s = new Service;  // lives until the process ends, like the platform's
    return *s;
}

struct JsonOwner {
    json_object *obj;
    explicit JsonOwner(json_object *o) : obj(o) {}
    ~JsonOwner() { json_object_put(obj); }
    JsonOwner(const JsonOwner &) = delete;
    JsonOwner &operator=(const JsonOwner &) = delete;
};

json_object *member(json_object *obj, const char *key) {
    json_object *value = nullptr;
    return json_object_object_get_ex(obj, key, &value) ? value : nullptr;
}

int64_t int64_member(json_object *obj, const char *key, int64_t def) {
    json_object *value = member(obj, key);
    if (value == nullptr ||
        !(json_object_is_type(value, json_type_int) || json_object_is_type(value, json_type_double)))
        return def;
    return json_object_get_int64(value);
}

std::string string_member(json_object *obj, const char *key) {
    json_object *value = member(obj, key);
    return value != nullptr && json_object_is_type(value, json_type_string) ? json_object_get_string(value) : "";
}

std::string reply_ret(int32_t ret) { return "{\"ret\":" + std::to_string(ret) + "}"; }

std::string reply_handle(const char *key, int64_t handle) {
    if (handle == -1)
        return reply_ret(-1);
    return "{\"ret\":0,\"" + std::string(key) + "\":" + std::to_string(handle) + "}";
}

// Runs one broker command and answers its reply text.
std::string execute(const std::string &cmd, json_object *param) {
    ms::Broker &broker = service().broker;
    if (param == nullptr || !json_object_is_type(param, json_type_object))
        return reply_ret(-1);
    if (cmd == "create_connection") {
        ms::ConnectionSettings settings;
        settings.type = static_cast<int32_t>(int64_member(param, "type", -1));
        settings.port = static_cast<int32_t>(int64_member(param, "port", -1));
        settings.is_reconnect = static_cast<int32_t>(int64_member(param, "is_reconnect", 0));
        settings.ip = string_member(param, "ip");
        settings.username = string_member(param, "username");
        settings.password = string_member(param, "password");
        return reply_handle("connect_fd", broker.create_connection(settings));
    }
    if (cmd == "create_productor") {
        json_object *opt = member(param, "opt");
        std::string options = opt != nullptr ? json_object_to_json_string(opt) : "";
        return reply_handle("productor_fd", broker.create_producer(int64_member(param, "connect_fd", -1), options));
    }
    if (cmd == "send_message") {
        int64_t address = int64_member(param, "data", 0);
        int64_t size = int64_member(param, "data_size", 0);
        if (address == 0 || size <= 0)
            return reply_ret(-1);
        // The text lives in the caller's process and stays valid during the
        // call; its size counts the terminating zero.
        const char *data = reinterpret_cast<const char *>(static_cast<intptr_t>(address));
        std::string_view text(data, strnlen(data, static_cast<size_t>(size)));
        return reply_ret(broker.send(int64_member(param, "productor_fd", -1), text) ? 0 : -1);
    }
    if (cmd == "destroy_productor")
        return reply_ret(broker.destroy_producer(int64_member(param, "productor_fd", -1)) ? 0 : -1);
    if (cmd == "destroy_connection")
        return reply_ret(broker.destroy_connection(int64_member(param, "connectfd", -1)) ? 0 : -1);
    return reply_ret(-1);
}

// A scripted reply waiting for this command, if any.
bool take_scripted(const std::string &cmd, std::string &reply) {
    Service &s = service();
    std::lock_guard lock(s.mutex);
    auto it = std::find_if(s.scripted.begin(), s.scripted.end(), [&](const auto &e) { return e.first == cmd; });
    if (it == s.scripted.end())
        return false;
    reply = it->second;
    s.scripted.erase(it);
    return true;
}

int32_t broker_request(const char *envelope_text) {
    JsonOwner envelope(json_tokener_parse(envelope_text));
    if (envelope.obj == nullptr || !json_object_is_type(envelope.obj, json_type_object))
        return -1;
    auto *request_text = reinterpret_cast<const char *>(static_cast<intptr_t>(int64_member(envelope.obj, "cmd", 0)));
    int64_t request_size = int64_member(envelope.obj, "cmd_size", 0);
    auto *reply_buf = reinterpret_cast<char *>(static_cast<intptr_t>(int64_member(envelope.obj, "ret", 0)));
    int64_t reply_cap = int64_member(envelope.obj, "ret_buf_size", 0);
    auto *reply_size = reinterpret_cast<int32_t *>(static_cast<intptr_t>(int64_member(envelope.obj, "ret_size", 0)));
    if (request_text == nullptr || request_size <= 0 || reply_buf == nullptr || reply_cap <= 0 || reply_size == nullptr)
        return -1;

    std::string request(request_text, strnlen(request_text, static_cast<size_t>(request_size)));
    {
        Service &s = service();
        std::lock_guard lock(s.mutex);
        s.requests.push(request);
    }
    JsonOwner parsed(json_tokener_parse(request.c_str()));
    std::string cmd = parsed.obj != nullptr && json_object_is_type(parsed.obj, json_type_object)
                          ? string_member(parsed.obj, "cmd")
                          : "";
    std::string reply;
    if (!take_scripted(cmd, reply))
        reply = execute(cmd, parsed.obj != nullptr ? member(parsed.obj, "param") : nullptr);

    size_t length = std::min(reply.size(), static_cast<size_t>(reply_cap - 1));
    std::memcpy(reply_buf, reply.data(), length);
    reply_buf[length] = '\0';
    *reply_size = static_cast<int32_t>(length);
    return 0;
}

int32_t copy_text(const std::string &text, char *buf, int32_t cap) {
    if (buf != nullptr && cap > 0) {
        size_t n = std::min(text.size(), static_cast<size_t>(cap - 1));
        std::memcpy(buf, text.data(), n);
        buf[n] = '\0';
    }
    return static_cast<int32_t>(text.size());
}

int32_t copy_out(const ms::RecentTexts &texts, int32_t index, char *buf, int32_t cap) {
    std::string text;
    if (index < 0 || !texts.at(static_cast<size_t>(index), text))
        return -1;
    return copy_text(text, buf, cap);
}

}  // namespace

MS_EXPORT int32_t ms_push_message(uint8_t type, const char *text) {
    ErrnoGuard guard;
    if (text == nullptr)
        return -1;
    if (type == kBrokerRequest)
        return broker_request(text);
    if (type == kEventText) {
        Service &s = service();
        {
            std::lock_guard lock(s.mutex);
            s.published.push(text);
        }
        s.embedded->publish(text);
        return 0;
    }
    return -1;
}

MS_EXPORT void ms_control_reset(void) {
    ErrnoGuard guard;
    Service &s = service();
    s.broker.reset();
    s.embedded->reset();
    std::lock_guard lock(s.mutex);
    s.requests.clear();
    s.published.clear();
    s.scripted.clear();
}

MS_EXPORT void ms_control_refuse_connections(int32_t refuse) {
    ErrnoGuard guard;
    service().embedded->refuse_connections(refuse != 0);
}

MS_EXPORT void ms_control_refuse_producers(int32_t refuse) {
    ErrnoGuard guard;
    service().embedded->refuse_producers(refuse != 0);
}

MS_EXPORT void ms_control_fail_sends(int32_t count) {
    ErrnoGuard guard;
    service().embedded->fail_sends(count);
}

MS_EXPORT void ms_control_hold_sends(int32_t hold) {
    ErrnoGuard guard;
    service().embedded->hold_sends(hold != 0);
}

MS_EXPORT int32_t ms_control_held_sends(void) {
    ErrnoGuard guard;
    return service().embedded->held_sends();
}

MS_EXPORT void ms_control_script_reply(const char *cmd, const char *reply) {
    ErrnoGuard guard;
    if (cmd == nullptr || reply == nullptr)
        return;
    Service &s = service();
    std::lock_guard lock(s.mutex);
    s.scripted.emplace_back(cmd, reply);
}

MS_EXPORT int32_t ms_control_delivered_count(void) {
    ErrnoGuard guard;
    return static_cast<int32_t>(service().embedded->delivered_count());
}

MS_EXPORT int32_t ms_control_delivered(int32_t index, char *buf, int32_t cap) {
    ErrnoGuard guard;
    std::string text;
    if (index < 0 || !service().embedded->delivered_at(static_cast<size_t>(index), text))
        return -1;
    return copy_text(text, buf, cap);
}

MS_EXPORT int32_t ms_control_wait_delivered(int32_t count, int32_t timeout_ms) {
    ErrnoGuard guard;
    return static_cast<int32_t>(
        service().embedded->wait_delivered(count > 0 ? static_cast<size_t>(count) : 0, timeout_ms));
}

MS_EXPORT int32_t ms_control_request_count(void) {
    ErrnoGuard guard;
    Service &s = service();
    std::lock_guard lock(s.mutex);
    return static_cast<int32_t>(s.requests.count());
}

MS_EXPORT int32_t ms_control_request(int32_t index, char *buf, int32_t cap) {
    ErrnoGuard guard;
    Service &s = service();
    std::lock_guard lock(s.mutex);
    return copy_out(s.requests, index, buf, cap);
}

MS_EXPORT int32_t ms_control_published_count(void) {
    ErrnoGuard guard;
    Service &s = service();
    std::lock_guard lock(s.mutex);
    return static_cast<int32_t>(s.published.count());
}

MS_EXPORT int32_t ms_control_published(int32_t index, char *buf, int32_t cap) {
    ErrnoGuard guard;
    Service &s = service();
    std::lock_guard lock(s.mutex);
    return copy_out(s.published, index, buf, cap);
}

MS_EXPORT int32_t ms_control_open_connections(void) {
    ErrnoGuard guard;
    return service().broker.open_connections();
}

MS_EXPORT int32_t ms_control_open_producers(void) {
    ErrnoGuard guard;
    return service().broker.open_producers();
}

MS_EXPORT int32_t ms_control_wait_producers(int32_t count, int32_t timeout_ms) {
    ErrnoGuard guard;
    return service().broker.wait_producers(count, timeout_ms);
}

MS_EXPORT void ms_control_set_sink(const char *path) {
    ErrnoGuard guard;
    service().embedded->set_sink(path);
}
