// The platform's message service, standing in for the real one: type 5
// executes one broker request from its envelope, on the embedded broker or
// on a real one, and writes the reply into the caller's buffer before
// returning; type 150 publishes an event text.
#include "message_service.h"
#include "message_service_control.h"

#include <json-c/json.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
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
    ms::DeliveryLog delivered;
    ms::Broker broker{embedded, delivered};

    std::mutex mutex;  // guards the logs and scripted replies below
    ms::RecentTexts requests;
    ms::RecentTexts published;
    std::deque<std::pair<std::string, std::string>> scripted;  // command, reply

    std::atomic<bool> check_clear{false};
    std::atomic<int32_t> unclear{0};
};

Service &service() {
    static Service *s = new Service;  // lives until the process ends, like the platform's
    return *s;
}

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

// An address the caller passed as a number.
template <class T> T *pointer(int64_t address) { return reinterpret_cast<T *>(static_cast<intptr_t>(address)); }

std::string reply_ret(int32_t ret) { return "{\"ret\":" + std::to_string(ret) + "}"; }

std::string reply_handle(const char *key, int64_t handle) {
    if (handle == -1)
        return reply_ret(-1);
    return "{\"ret\":0,\"" + std::string(key) + "\":" + std::to_string(handle) + "}";
}

// The members of a "send_message" request.
struct SendRequest {
    int64_t producer = -1, data = 0, data_size = 0;
};

std::string send_message(const SendRequest &r) {
    if (r.data == 0 || r.data_size <= 0)
        return reply_ret(-1);
    // The text lives in the caller's process and stays valid during the
    // call; its size counts the terminating zero.
    const char *data = pointer<const char>(r.data);
    std::string_view text(data, strnlen(data, static_cast<size_t>(r.data_size)));
    return reply_ret(service().broker.send(r.producer, text) ? 0 : -1);
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
    if (cmd == "send_message")
        return send_message(SendRequest{int64_member(param, "productor_fd", -1), int64_member(param, "data", 0),
                                        int64_member(param, "data_size", 0)});
    if (cmd == "destroy_productor")
        return reply_ret(broker.destroy_producer(int64_member(param, "productor_fd", -1)) ? 0 : -1);
    if (cmd == "destroy_connection")
        return reply_ret(broker.destroy_connection(int64_member(param, "connectfd", -1)) ? 0 : -1);
    return reply_ret(-1);
}

// A JSON text parsed whole; null when the text is not JSON. The tokener is
// the call's own: one kept per thread would be destroyed at thread exit,
// which a Windows DLL does under its loader lock.
json_object *parse(std::string_view text) {
    std::unique_ptr<json_tokener, decltype(&json_tokener_free)> tok(json_tokener_new(), json_tokener_free);
    if (tok == nullptr)
        return nullptr;
    json_object *obj = json_tokener_parse_ex(tok.get(), text.data(), static_cast<int>(text.size()));
    if (json_tokener_get_error(tok.get()) != json_tokener_success) {
        json_object_put(obj);
        return nullptr;
    }
    return obj;
}

// Reads a text of one fixed layout in place: the literal pieces with an
// integer between each two of them. False for any other text.
template <size_t N>
bool scan_layout(std::string_view text, const std::array<std::string_view, N + 1> &pieces,
                 const std::array<int64_t *, N> &fields) {
    for (size_t i = 0; i < N; ++i) {
        if (!text.starts_with(pieces[i]))
            return false;
        text.remove_prefix(pieces[i].size());
        auto [next, ec] = std::from_chars(text.data(), text.data() + text.size(), *fields[i]);
        if (ec != std::errc())
            return false;
        text.remove_prefix(static_cast<size_t>(next - text.data()));
    }
    return text == pieces[N];
}

// The members of a broker request's envelope.
struct Envelope {
    int64_t cmd = 0, cmd_size = 0, ret = 0, ret_buf_size = 0, ret_size = 0;
};

// The envelope in the one layout the library writes, read in place; any
// other text goes through the JSON parser.
bool scan_envelope(std::string_view text, Envelope &e) {
    static constexpr std::array<std::string_view, 6> pieces = {
        "{\"cmd\":", ",\"cmd_size\":", ",\"ret\":", ",\"ret_buf_size\":", ",\"ret_size\":", "}"};
    return scan_layout<5>(text, pieces, {&e.cmd, &e.cmd_size, &e.ret, &e.ret_buf_size, &e.ret_size});
}

// A "send_message" request in json-c's default form, the library's, read in
// place: the one request sent per message.
bool scan_send_request(std::string_view text, SendRequest &r) {
    static constexpr std::array<std::string_view, 4> pieces = {
        "{ \"cmd\": \"send_message\", \"param\": { \"productor_fd\": ", ", \"data\": ", ", \"data_size\": ", " } }"};
    return scan_layout<3>(text, pieces, {&r.producer, &r.data, &r.data_size});
}

bool read_envelope(const char *text, Envelope &e) {
    if (scan_envelope(text, e))
        return true;
    const ms::JsonPtr envelope(parse(text));
    if (!json_object_is_type(envelope.get(), json_type_object))
        return false;
    e.cmd = int64_member(envelope.get(), "cmd", 0);
    e.cmd_size = int64_member(envelope.get(), "cmd_size", 0);
    e.ret = int64_member(envelope.get(), "ret", 0);
    e.ret_buf_size = int64_member(envelope.get(), "ret_buf_size", 0);
    e.ret_size = int64_member(envelope.get(), "ret_size", 0);
    return true;
}

int32_t broker_request(const char *envelope_text) {
    Envelope e;
    if (!read_envelope(envelope_text, e))
        return -1;
    auto *request_text = pointer<const char>(e.cmd);
    auto *reply_buf = pointer<char>(e.ret);
    auto *reply_size = pointer<int32_t>(e.ret_size);
    if (request_text == nullptr || e.cmd_size <= 0 || reply_buf == nullptr || e.ret_buf_size <= 0 ||
        reply_size == nullptr)
        return -1;

    Service &s = service();
    if (s.check_clear.load() &&
        (*reply_size != 0 || std::any_of(reply_buf, reply_buf + e.ret_buf_size, [](char c) { return c != '\0'; })))
        ++s.unclear;

    const std::string_view request(request_text, strnlen(request_text, static_cast<size_t>(e.cmd_size)));
    SendRequest send;
    const bool scanned = scan_send_request(request, send);
    const ms::JsonPtr parsed(scanned ? nullptr : parse(request));
    json_object *object = json_object_is_type(parsed.get(), json_type_object) ? parsed.get() : nullptr;
    const std::string cmd = scanned ? "send_message" : object != nullptr ? string_member(object, "cmd") : "";
    std::string reply;
    bool scripted = false;
    {
        // The request is logged and a scripted reply waiting for its
        // command, if any, taken under one lock.
        std::lock_guard lock(s.mutex);
        s.requests.push(request);
        auto it = std::find_if(s.scripted.begin(), s.scripted.end(), [&](const auto &c) { return c.first == cmd; });
        if (it != s.scripted.end()) {
            reply = std::move(it->second);
            s.scripted.erase(it);
            scripted = true;
        }
    }
    if (!scripted)
        reply = scanned ? send_message(send) : execute(cmd, object != nullptr ? member(object, "param") : nullptr);

    size_t length = std::min(reply.size(), static_cast<size_t>(e.ret_buf_size - 1));
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
        s.delivered.publish(text);
        return 0;
    }
    return -1;
}

MS_EXPORT void ms_control_reset(void) {
    ErrnoGuard guard;
    Service &s = service();
    s.broker.reset();
    s.embedded->reset();
    s.delivered.clear();
    std::lock_guard lock(s.mutex);
    s.requests.clear();
    s.published.clear();
    s.scripted.clear();
    s.check_clear = false;
    s.unclear = 0;
}

MS_EXPORT void ms_control_check_clear_replies(int32_t check) {
    ErrnoGuard guard;
    service().check_clear = check != 0;
}

MS_EXPORT int32_t ms_control_unclear_replies(void) {
    ErrnoGuard guard;
    return service().unclear.load();
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
    return static_cast<int32_t>(service().delivered.count());
}

MS_EXPORT int32_t ms_control_delivered(int32_t index, char *buf, int32_t cap) {
    ErrnoGuard guard;
    std::string text;
    if (index < 0 || !service().delivered.at(static_cast<size_t>(index), text))
        return -1;
    return copy_text(text, buf, cap);
}

MS_EXPORT int32_t ms_control_wait_delivered(int32_t count, int32_t timeout_ms) {
    ErrnoGuard guard;
    return static_cast<int32_t>(service().delivered.wait(count > 0 ? static_cast<size_t>(count) : 0, timeout_ms));
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
    service().delivered.set_sink(path);
}

MS_EXPORT int32_t ms_control_use_real_brokers(int32_t real) {
    ErrnoGuard guard;
    return service().broker.use_real_brokers(real != 0) ? 1 : 0;
}

MS_EXPORT void ms_control_set_broker_timeout(int32_t timeout_ms) {
    ErrnoGuard guard;
    ms::set_broker_timeout_ms(timeout_ms);
}
