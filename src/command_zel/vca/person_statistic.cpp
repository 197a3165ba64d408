// People-statistics algorithm settings: counting area, polygon, stay and
// clearing options. Out-of-range values are reported but left to the device
// to judge; only point lists that do not fit the record are refused.
#include <array>

#include "handler_support.h"
#include "host_view.h"
#include "vca_handlers.h"
#include "vca_support.h"

namespace zel {
namespace {

// The members before and after the two point lists, in record order (also
// the reply's order).
constexpr std::array<IntMember<PersonStatisticArithmetic>, 6> kLeadingMembers{{
    {"scene_id", &PersonStatisticArithmetic::scene_id},
    {"mode", &PersonStatisticArithmetic::mode},
    {"target_max_size", &PersonStatisticArithmetic::target_max_size},
    {"target_min_size", &PersonStatisticArithmetic::target_min_size},
    {"sensitiv", &PersonStatisticArithmetic::sensitiv},
    {"detect_type", &PersonStatisticArithmetic::detect_type},
}};
constexpr std::array<IntMember<PersonStatisticArithmetic>, 8> kTrailingMembers{{
    {"display_target", &PersonStatisticArithmetic::display_target},
    {"min_size_ex", &PersonStatisticArithmetic::min_size_ex},
    {"stay_num", &PersonStatisticArithmetic::stay_num},
    {"clear_mode", &PersonStatisticArithmetic::clear_mode},
    {"max_num", &PersonStatisticArithmetic::max_num},
    {"hour", &PersonStatisticArithmetic::hour},
    {"minute", &PersonStatisticArithmetic::minute},
    {"enable", &PersonStatisticArithmetic::enable},
}};

// Stores every member of the table, reporting the odd ones: the maximum
// count should be at least one, everything else non-negative.
void read_reported_members(json_object *jso, MemberTable<PersonStatisticArithmetic> members, const HostView &host,
                           int32_t ch, PersonStatisticArithmetic &param) {
    for (const auto &m : members)
        param.*m.field = read_reported(jso, m.key, host, ch, m.field == &PersonStatisticArithmetic::max_num ? 1 : 0);
}

// Copies a point list member, when present, slot by slot into `slots`.
bool read_point_member(const HostView &host, int32_t ch, json_object *jso, const char *key, std::span<VcaPoint> slots,
                       const char *not_array, const char *too_long, const char *missing) {
    json_object *member = nullptr;
    json_object *list = array_member(jso, key, &member);
    if (member == nullptr)
        return true;
    if (list == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "%s, host_id:%s, ch:%d", not_array, host.id(), ch);
    size_t count = json_object_array_length(list);
    if (count > slots.size())
        return ZFAIL(CMD_ZEL_EINVAL, "%s, host_id:%s, ch:%d", too_long, host.id(), ch);
    fill_points(list, slots.first(count), {.missing = missing});
    return true;
}

}  // namespace

int32_t set_person_statistic_param(void *host, json_object *jso) {
    if (!has_command(host, jso, kWithHostId))
        return 0;
    HostView view(host);
    auto param = sized_record<PersonStatisticArithmetic>();
    int32_t ch = channel_or_whole_device(view, jso);
    read_reported_members(jso, kLeadingMembers, view, ch, param);
    param.point_num = json_object_get_field_int(jso, "point_num", -1);
    if (!read_point_member(view, ch, jso, "point", param.point, "!json_object_is_type(points, json_type_array)",
                           "piont_num  > MAX_FACE_DETECT_AREA_COUNT", "point == NULL"))
        return 0;
    param.polygon_point_num = json_object_get_field_int(jso, "polygon_point_num", -1);
    if (!read_point_member(view, ch, jso, "polygon_point", param.polygon_point,
                           "!json_object_is_type(polygon_points, json_type_array)",
                           "polygon_point_num  > VCA_MAX_POLYGON_POINT_NUMEX", "polygon_point == NULL"))
        return 0;
    read_reported_members(jso, kTrailingMembers, view, ch, param);

    int32_t ret = NetClient_SetDevConfig(view.loginfd(), NET_CLIENT_PERSON_STATISTIC_ARITHMETIC, ch, &param,
                                         record_len<PersonStatisticArithmetic>());
    if (ret != 0)
        return ZREFUSE(
            "NetClient_SetDevConfig-NET_CLIENT_PERSON_STATISTIC_ARITHMETIC failed, host_id:%s, ch:%d, ret:%d",
            view.id(), ch, ret);
    return 1;
}

int32_t get_person_statistic_param(void *host, json_object *jso, char **out_buf) {
    // The reply slot is looked at before the command.
    if (!has_host_and_reply(host, out_buf, kWithHostId) || !has_command(host, jso, kWithHostId))
        return 0;
    HostView view(host);
    int32_t ch = channel_or_whole_device(view, jso);
    // Scene and mode are checked but the device answers for the channel.
    read_reported(jso, "scene_id", view, ch);
    read_reported(jso, "mode", view, ch);

    auto param = sized_record<PersonStatisticArithmetic>();
    int32_t returned = 0;
    int32_t ret = NetClient_GetDevConfig(view.loginfd(), NET_CLIENT_PERSON_STATISTIC_ARITHMETIC, ch, &param,
                                         record_len<PersonStatisticArithmetic>(), &returned);
    if (ret != 0)
        return ZFAIL(
            CMD_ZEL_EDEVICE,
            "NetClient_GetDevConfig-NET_CLIENT_PERSON_STATISTIC_ARITHMETIC failed, host_id:%s, ch:%d, ret_val:%d",
            view.id(), ch, ret);
    if (param.point_num > MAX_FACE_DETECT_AREA_COUNT)
        return ZFAIL(CMD_ZEL_EINVAL, "param.iPointNum > MAX_FACE_DETECT_AREA_COUNT, host_id:%s, ch:%d", view.id(), ch);
    if (param.polygon_point_num > VCA_MAX_POLYGON_POINT_NUMEX)
        return ZFAIL(CMD_ZEL_EINVAL, "param.stRegion.iPointNum > VCA_MAX_POLYGON_POINT_NUMEX, host_id:%s, ch:%d",
                     view.id(), ch);

    JsonPtr reply = new_object("is_error(jso_ret)");
    add_members(reply.get(), kLeadingMembers, param);
    add_int(reply.get(), "point_num", param.point_num);
    add_points(reply.get(), "point", param.point, param.point_num, "is_error(points)", "is_error(jso_point)");
    add_int(reply.get(), "polygon_point_num", param.polygon_point_num);
    add_points(reply.get(), "polygon_point", param.polygon_point, param.polygon_point_num, "is_error(polygon_points)",
               "is_error(polygon_point)");
    add_members(reply.get(), kTrailingMembers, param);
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

}  // namespace zel
