#include "sensor_messages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

#include "comm_func/comm_func.h"
#include "device_sdk_events.h"
#include "handler_support.h"
#include "host_view.h"
#include "mq/mq_send_record.h"
#include "zel_json.h"
#include "zel_log.h"

namespace zel {

namespace {

constexpr int32_t kNoReading = 0x7FFFFFFF;
constexpr uint32_t kTemperature = 0;
constexpr uint32_t kHumidity = 1;
constexpr int32_t kTemperatureEvent = 10115;
constexpr int32_t kHumidityEvent = 10116;

bool ready(const mq_send_record *sender) { return sender != nullptr && load_flag(sender->mq_ready) != 0; }

// Wraps a copy of `text` in a send item and appends it to the sender's
// queue, whose thread frees both once the message has gone out.
void enqueue(mq_send_record &sender, const char *text, const char *item_oom, const char *text_oom) {
    auto *item = static_cast<send_item *>(xcalloc(1, sizeof(send_item), item_oom));
    item->data = os_strdup(text);
    if (item->data == nullptr)
        die(text_oom);
    item->size = static_cast<uint32_t>(std::strlen(text) + 1);

    adt_dlist_t *queue = load_queue(sender);
    int32_t added = 0;
    if (queue != nullptr) {
        adt_dlist_lock(queue);
        added = adt_dlist_add(queue, nullptr, &item);
        adt_dlist_unlock(queue);
    }
    if (added == 0) {
        std::free(item->data);
        std::free(item);
    }
}

std::string time_text(const dvr_time &time) {
    char text[MIN_STR_TIME_LEN] = {};
    const int32_t len = MIN_STR_TIME_LEN;
    return dvr_time_to_str(&time, text, &len) ? text : "";
}

JsonPtr car_types(const ITSTrafficFlowReport &report) {
    JsonPtr array = new_array("is_error(jso_array)");
    const int32_t used = clamp_count(report.car_type_total, MAX_ITS_CAR_TYPES);
    for (const its_car_type_count &entry : std::span(report.car_types, static_cast<size_t>(used))) {
        if (entry.present <= 0)
            continue;
        JsonPtr car = new_object("is_error(jso_cartype)");
        add_int(car.get(), "cartype", entry.car_type, "is_error(jso_cartype)");
        add_int(car.get(), "carnum", entry.car_count, "is_error(jso_cartype)");
        append(array.get(), car.release(), "is_error(jso_cartype)");
    }
    return array;
}

JsonPtr traffic_document(const HostView &host, const ITSTrafficFlowReport &report) {
    JsonPtr doc = new_object("is_error(jso)");
    add_string(doc.get(), "type", "trafficflow", "is_error(jso)");
    JsonPtr param = new_object("is_error(jso_param)");
    json_object *p = param.get();
    add(p, "host_id", field_string(host.id(), host_field::kIdSize), "is_error(jso_param)");
    add_int(p, "ch", report.channel, "is_error(jso_param)");
    add_int(p, "lanno", report.lane_no, "is_error(jso_param)");
    add_text(p, "roadname", report.road_name, "is_error(jso_param)");
    add_string(p, "starttime", time_text(report.start_time).c_str(), "is_error(jso_param)");
    add_string(p, "endtime", time_text(report.end_time).c_str(), "is_error(jso_param)");
    add_int(p, "flow", report.flow, "is_error(jso_param)");
    add_int(p, "holdrate", report.hold_rate, "is_error(jso_param)");
    add_int(p, "speed", report.speed, "is_error(jso_param)");
    add_int(p, "distance", report.distance, "is_error(jso_param)");
    add_int(p, "cartypetotal", report.car_type_total, "is_error(jso_param)");
    add(p, "cartype", car_types(report).release(), "is_error(jso_array)");
    add_int(p, "carqueuelength", report.car_queue_length, "is_error(jso_param)");
    add_int(p, "headdistance", report.head_distance, "is_error(jso_param)");
    add_int(p, "roomrate", report.room_rate, "is_error(jso_param)");
    add_int(p, "runstate", report.run_state, "is_error(jso_param)");
    add(doc.get(), "param", param.release(), "is_error(jso_param)");
    return doc;
}

}  // namespace

int32_t notify_temp_humidity(void *raw, const void *data) {
    mq_send_record *sender = s_temp_hum_send;
    if (!ready(sender))
        return 0;
    if (raw == nullptr)
        return ZREFUSE("zel_host == NULL");
    if (data == nullptr)
        return ZREFUSE("_iLParam == NULL");
    HostView host(raw);
    temp_humidity_report report;
    std::memcpy(&report, data, sizeof report);
    const auto when = static_cast<int32_t>(dvr_time_to_time_t(&report.time));
    if ((report.type != kTemperature && report.type != kHumidity) || report.raw_value == kNoReading)
        return 1;

    // The device reports tenths of a unit above -100.0.
    const float value = static_cast<float>(static_cast<int64_t>(report.raw_value) - 1000) / 10.0f;
    const bool temperature = report.type == kTemperature;
    // At most 60 characters of device id and six numbers.
    char text[256];
    std::snprintf(
        text, sizeof text, "{\"dev_id\":\"%.*s\",\"ch\":%d,\"time\":%d,\"type\":%d,\"value\":%.1f,\"event\":%d}",
        static_cast<int>(host_field::kIdSize), host.id(), report.channel, when, static_cast<int32_t>(report.type),
        static_cast<double>(value), temperature ? kTemperatureEvent : kHumidityEvent);
    if (temperature)
        enqueue(*sender, text, "send_message == NULL", "send_message->data == NULL");
    else
        enqueue(*sender, text, "humidity_msg_data == NULL", "humidity_msg_data->data == NULL");
    return 1;
}

int32_t notify_traffic_flow(void *raw, const void *data, int32_t size) {
    mq_send_record *sender = s_traffic_send;
    if (!ready(sender))
        return 0;
    if (raw == nullptr)
        return ZREFUSE("zel_host == NULL");
    if (data == nullptr || size != record_len<ITSTrafficFlowReport>())
        return ZREFUSE("data == NULL || size != sizeof(ITSTrafficFlowReport)");
    HostView host(raw);
    ITSTrafficFlowReport report;
    std::memcpy(&report, data, sizeof report);
    void *channel = host.find_channel(static_cast<uint32_t>(report.channel));
    if (channel == nullptr || ChannelView(channel).get<uint32_t>(channel_field::kTrafficFlowEnable) != 1)
        return 1;

    JsonPtr doc = traffic_document(host, report);
    const char *text = json_object_to_json_string(doc.get());
    if (text == nullptr)
        return ZREFUSE("jso_string == NULL");
    enqueue(*sender, text, "send_message == NULL", "send_message->data == NULL");
    return 1;
}

}  // namespace zel
