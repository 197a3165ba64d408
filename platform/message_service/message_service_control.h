/* Control interface of the message-service stand-in, for tests and tools.
 *
 * The service executes the broker requests of ms_push_message type 5 on an
 * embedded in-memory broker, or on real brokers when they are selected (see
 * ms_control_use_real_brokers): it keeps connections and producers, and
 * counts delivered messages, broker requests and published event texts
 * (type 150).
 * Of each of the three it holds only the most recent MS_CONTROL_KEPT texts,
 * so a long console session or soak run stays within a fixed size: texts
 * are numbered from 0 since the last reset, the counts go on, and a number
 * that fell out of the window reads as absent (-1), like one not yet there.
 * It can refuse connections, producers or sends on demand, hold sends until
 * released, answer the next request of a command with a scripted reply
 * text, and write every delivered message and published text to a file or
 * to standard output.
 *
 * Every function leaves errno as it found it. */
#ifndef PLATFORM_MESSAGE_SERVICE_CONTROL_H
#define PLATFORM_MESSAGE_SERVICE_CONTROL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* How many of the most recent delivered messages, requests and published
 * texts are held. */
#define MS_CONTROL_KEPT 1024

/* Drops connections, producers, delivered and published texts, the request
 * log, scripted replies, every refusal and the reply check; releases held
 * sends; handles count from 1 again. The sink is kept. */
void ms_control_reset(void);

/* Non-zero: create_connection / create_productor answer {"ret":-1}. */
void ms_control_refuse_connections(int32_t refuse);
void ms_control_refuse_producers(int32_t refuse);

/* The next `count` send_message requests answer {"ret":-1} and deliver
 * nothing; a negative count refuses every send until set to 0. */
void ms_control_fail_sends(int32_t count);

/* Non-zero: send_message requests wait inside the call until released with
 * 0. ms_control_held_sends tells how many are waiting. */
void ms_control_hold_sends(int32_t hold);
int32_t ms_control_held_sends(void);

/* The next request whose "cmd" is `cmd` is answered with `reply` as it
 * stands instead of being executed. Several queue up in order. */
void ms_control_script_reply(const char *cmd, const char *reply);

/* Non-zero: each broker request is checked for the reply buffer and reply
 * length its caller must hand over zeroed, and ms_control_unclear_replies
 * counts the requests that found them otherwise. Off by default and after
 * a reset, which also clears the count: the check reads the whole buffer. */
void ms_control_check_clear_replies(int32_t check);
int32_t ms_control_unclear_replies(void);

/* Delivered messages in delivery order. ms_control_delivered_count counts
 * every message since the reset; ms_control_delivered copies the text of
 * message `index` into `buf` (terminated, cut to cap - 1) and returns its
 * full length, or -1 when there is no such message or it is older than the
 * last MS_CONTROL_KEPT. */
int32_t ms_control_delivered_count(void);
int32_t ms_control_delivered(int32_t index, char *buf, int32_t cap);
/* Waits until at least `count` messages were delivered or `timeout_ms`
 * passed; returns the count reached. */
int32_t ms_control_wait_delivered(int32_t count, int32_t timeout_ms);

/* Broker request texts (the JSON commands of type 5) in arrival order,
 * counted and held like delivered messages. */
int32_t ms_control_request_count(void);
int32_t ms_control_request(int32_t index, char *buf, int32_t cap);

/* Event texts published with type 150, counted and held the same way. */
int32_t ms_control_published_count(void);
int32_t ms_control_published(int32_t index, char *buf, int32_t cap);

/* Connections and producers currently open. */
int32_t ms_control_open_connections(void);
int32_t ms_control_open_producers(void);
/* Waits until the number of open producers is `count` or `timeout_ms`
 * passed; returns the number reached. */
int32_t ms_control_wait_producers(int32_t count, int32_t timeout_ms);

/* Where delivered messages and published texts are written, one line each:
 * NULL nowhere, "-" standard output, otherwise appended to that file. */
void ms_control_set_sink(const char *path);

/* Where the connections created from now on go. 0: the embedded broker
 * (the default). Non-zero: real brokers chosen by the connection's "type",
 * 0 an MQTT broker (the "amq" options), 1 an AMQP 0-9-1 broker (the "rmq"
 * options), at the connection's "ip" and "port". The environment variable
 * CMD_ZEL_BROKERS=real selects real brokers from the start. Connections
 * already open keep their broker; a reset keeps the choice. Returns 1 when
 * the choice took effect, 0 when real brokers were asked for but the
 * service was built without them (the embedded broker stays). */
int32_t ms_control_use_real_brokers(int32_t real);

/* How long a real broker may take to accept a connection, answer a request
 * or confirm a message before the operation fails, in milliseconds (5000
 * unless CMD_ZEL_BROKER_TIMEOUT_MS says otherwise; 0 or less restores
 * 5000). The MQTT connection wait is rounded up to whole seconds. */
void ms_control_set_broker_timeout(int32_t timeout_ms);

#ifdef __cplusplus
}
#endif

#endif
