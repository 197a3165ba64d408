// Vertical water-gauge lines, a page at a time (get 44). The device answers
// into an area of 20 line records; the first one also carries the total and
// the number of lines in the area.
#include "device_sdk_settings_query.h"
#include "handler_support.h"
#include "host_view.h"
#include "settings/settings_handlers.h"

namespace zel {
namespace {

constexpr IntMember<vertical_line_query> kQueryMembers[] = {
    {"scene_id", &vertical_line_query::scene_id},
    {"page_no", &vertical_line_query::page_no},
    {"each_page_size", &vertical_line_query::each_page_size},
    {"line_id_start", &vertical_line_query::line_id_start},
};

void add_line(json_object *lines, const vertical_line_result &line, const HostView &dev, int32_t ch) {
    int32_t cofe_num = line.cofe_num;
    if (cofe_num > MAX_COFE_NUM)
        ZLOG(kLogError, "tResultData[i].iCoefNum > MAX_COFE_NUM, host_id:%s, ch:%d", dev.id(), ch);
    JsonPtr item = new_object("is_error(jso_ver_info)");
    add_int(item.get(), "index", line.index);
    add_int(item.get(), "line_id", line.line_id);
    add_int(item.get(), "sd", line.start_distance);
    add_int(item.get(), "ba", line.bottom_altitude);
    JsonPtr pairs = new_array("is_error(jso_ci)");
    for (int32_t i = 0; i < clamp_count(cofe_num, MAX_COFE_NUM); ++i) {
        JsonPtr pair = new_object("is_error(jso_cofe)");
        add_int(pair.get(), "water_level", line.cofe_info[i].water_level);
        add_int(pair.get(), "cofe", line.cofe_info[i].cofe);
        append(pairs.get(), pair.release());
    }
    add(item.get(), "ci", pairs.release());
    append(lines, item.release());
}

}  // namespace

int32_t get_vertical_line(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    int32_t ch = 0;
    auto query = sized_record<vertical_line_query>();
    if (!read_non_negative(jso, "ch", ch) || !read_non_negative_members<vertical_line_query>(jso, kQueryMembers, query))
        return 0;
    HostView dev(host);
    vertical_line_result area[MAX_VERTICALLINE_PAGE] = {};
    int32_t ret = NetClient_CmdConfig(dev.loginfd(), CMD_VERTICALLINE_QUERY, ch, &query,
                                      record_len<vertical_line_query>(), area, record_len<vertical_line_result>());
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EDEVICE,
                     "NetClient_CmdConfig-CMD_VERTICALLINE_QUERY failed, host_id:%s, err_code:%lx, "
                     "ret_value:%d",
                     dev.id(), sdk_error(), ret);
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "total_num", area[0].total_num);
    JsonPtr lines = new_array("is_error(jso_ver_infos)");
    for (int32_t i = 0; i < clamp_count(area[0].line_num, MAX_VERTICALLINE_PAGE); ++i)
        add_line(lines.get(), area[i], dev, ch);
    add(reply.get(), "ver_info", lines.release());
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

}  // namespace zel
