// Defogging: a channel's switch and weekly schedule of up to four time
// ranges a day. The device keeps the days in blocks 1 to 7 of its structure
// (block 0 is not used): schedule element k of set 89 is block k + 1, and
// get 87 reports blocks 1 to 7.
#include <cstdio>

#include "settings_xml/xml_config.h"
#include "settings_xml/xml_handlers.h"

namespace zel {
namespace {

constexpr int32_t kDays = DEFOG_DAY_BLOCKS - 1;

#define SET_PREFIX "json_to_set_defogging_configuration_parameters "
#define GET_PREFIX "get_defogging_configuration_parameters "

// One day's time ranges; false (logged) when the day cannot be taken.
bool fill_day(json_object *day, xml_defog_day &block) {
    json_object *ranges = array_member(day, "time_ranges");
    if (ranges == nullptr)
        return ZREFUSE(SET_PREFIX "time_ranges == NULL || !json_object_is_type(time_ranges, json_type_array)");
    int32_t len = array_len(ranges);
    if (len <= 0)
        return ZREFUSE(SET_PREFIX "len_time <= 0, len_time: %d", len);
    for (int32_t r = 0; r < len && r < DEFOG_RANGES; ++r) {
        json_object *range = json_object_array_get_idx(ranges, static_cast<size_t>(r));
        if (range == nullptr)
            return ZREFUSE(SET_PREFIX "time_range == NULL");
        const char *start = json_object_get_field_string(range, "start_time");
        if (start == nullptr)
            return ZREFUSE(SET_PREFIX "start_time == NULL");
        const char *end = json_object_get_field_string(range, "end_time");
        if (end == nullptr)
            return ZREFUSE(SET_PREFIX "end_time == NULL");
        xml_defog_range &slot = block.ranges[r];
        copy_text(slot.start_time, start);
        copy_text(slot.end_time, end);
        slot.time_vaild = json_object_get_field_int(range, "time_vaild", -1);
    }
    return true;
}

// The schedule's first seven days into blocks 1 to 7; false (logged) at the
// first fault, before anything is written.
bool fill_schedule(json_object *schedule, xml_defogging_param &record) {
    int32_t len = array_len(schedule);
    if (len <= 0)
        return ZREFUSE(SET_PREFIX "len <= 0, len: %d", len);
    for (int32_t k = 0; k < len && k < kDays; ++k) {
        json_object *day = json_object_array_get_idx(schedule, static_cast<size_t>(k));
        if (day == nullptr)
            return ZREFUSE(SET_PREFIX "time_range_obj  == NULL");
        if (!fill_day(day, record.days[k + 1]))
            return false;
    }
    return true;
}

json_object *range_item(const xml_defog_range &range) {
    JsonPtr item = new_object(GET_PREFIX "is_error(jso_tmp_range)");
    add_text(item.get(), "start_time", range.start_time, GET_PREFIX "is_error(jso_tmp_range)");
    add_text(item.get(), "end_time", range.end_time, GET_PREFIX "is_error(jso_tmp_range)");
    add_int(item.get(), "time_vaild", range.time_vaild, GET_PREFIX "is_error(jso_tmp_range)");
    return item.release();
}

json_object *day_item(const xml_defog_day &block) {
    JsonPtr item = new_object(GET_PREFIX "is_error(jso_tmp)");
    JsonPtr ranges = new_array(GET_PREFIX "is_error(jso_array_time_ranges)");
    for (const xml_defog_range &range : block.ranges)
        append(ranges.get(), range_item(range), GET_PREFIX "is_error(jso_tmp_range)");
    add(item.get(), "time_ranges", ranges.release(), GET_PREFIX "is_error(jso_array_time_ranges)");
    return item.release();
}

}  // namespace

int32_t set_defogging_configuration_parameters(void *host, json_object *jso) {
    if (host == nullptr || jso == nullptr)
        return ZREFUSE("set_defogging_configuration_parameters host == NULL || jso == NULL");
    xml_defogging_param record{};
    record.channel = json_object_get_field_int(jso, "ch", -1);
    if (record.channel < 0)
        return ZREFUSE("set_defogging_configuration_parameters ch:%d < 0", record.channel);
    record.enable = json_object_get_field_int(jso, "enable", -1);
    if (record.enable < 0)
        return ZREFUSE("set_defogging_configuration_parameters enable:%d < 0", record.enable);
    json_object *schedule = array_member(jso, "time_schedule");
    if (schedule == nullptr)
        return ZREFUSE("set_defogging_configuration_parameters time_schedule == NULL || "
                       "!json_object_is_type(time_schedule, json_type_array)");
    if (!fill_schedule(schedule, record))
        return 0;

    HostView view(host);
    XmlWrite w = xml_write(view, NETXMLCFG_DEFOGGING_PARAM, record);
    if (!w.ok())
        return ZREFUSE(SET_PREFIX "ret_sdk < 0 || (res_status.iStatusCode != 0 && res_status.iStatusCode != 1), "
                                  "host_id: %s, ch : %d, error: %lx, ret_sdk: %d, res_status.iStatusCode: %d",
                       view.id(), record.channel, sdk_error(), w.ret, w.status);
    return 1;
}

int32_t get_defogging_configuration_parameters(void *host, json_object *jso, char **out_buf) {
    if (host == nullptr || jso == nullptr || out_buf == nullptr)
        return ZREFUSE(GET_PREFIX "host == NULL || jso == NULL || out_buf == NULL");
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        return ZREFUSE(GET_PREFIX "ch:%d < 0", ch);

    HostView view(host);
    xml_defogging_param request{};
    request.channel = ch;
    xml_defogging_param record{};
    int32_t ret = xml_read(view, NETXMLCFG_DEFOGGING_PARAM, &request, record);
    if (ret < 0)
        return ZREFUSE(GET_PREFIX "NetClient_XmlGetDevConfig failed, host_id:%s, ch:%d, error:%lx, ret:%d", view.id(),
                       ch, sdk_error(), ret);

    JsonPtr reply = new_object(GET_PREFIX "is_error(jso)");
    add_int(reply.get(), "enable", record.enable, GET_PREFIX "is_error(jso)");
    JsonPtr schedule = new_array(GET_PREFIX "is_error(jso_array_time_schedule)");
    for (int32_t day = 1; day <= kDays; ++day)
        append(schedule.get(), day_item(record.days[day]), GET_PREFIX "is_error(jso_tmp)");
    add(reply.get(), "time_schedule", schedule.release(), GET_PREFIX "is_error(jso_array_time_schedule)");

    char oom[host_field::kIdSize + 96];
    std::snprintf(oom, sizeof oom, GET_PREFIX "*out_buf == NULL, host_id : %s", view.id());
    char empty[host_field::kIdSize + 96];
    std::snprintf(empty, sizeof empty, GET_PREFIX "jso_str == NULL, host_id : %s", view.id());
    return reply_document(out_buf, reply.get(), {oom}, empty) ? 1 : 0;
}

}  // namespace zel
