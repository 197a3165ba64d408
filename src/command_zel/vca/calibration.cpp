// Scene calibration (reference point pairs, camera mounting, world axes) and
// the reference boundary polygon of a scene.
#include <span>

#include "handler_support.h"
#include "host_view.h"
#include "vca_handlers.h"
#include "vca_support.h"

namespace zel {
namespace {

// Reads members x, y, z of `obj` (absent: -1) into `p`, in that order.
// Returns the first axis that is -1 ('x', 'y' or 'z'), or 0 when all three
// are usable; `p` is only written then.
char read_xyz(json_object *obj, VcaPoint3 &p) {
    VcaPoint3 read{};
    const std::pair<const char *, int32_t VcaPoint3::*> axes[] = {
        {"x", &VcaPoint3::x}, {"y", &VcaPoint3::y}, {"z", &VcaPoint3::z}};
    for (auto [key, field] : axes) {
        read.*field = json_object_get_field_int(obj, key, -1);
        if (read.*field == -1)
            return key[0];
    }
    p = read;
    return 0;
}

// Member `key` when it is a JSON object, else null.
json_object *object_member(json_object *jso, const char *key) {
    json_object *value = nullptr;
    if (!json_object_object_get_ex(jso, key, &value) || !json_object_is_type(value, json_type_object))
        return nullptr;
    return value;
}

// A calibration object (`ipc_param`, `coordinate_o`, ...) with its three
// coordinates.
bool json_to_calibration_axis(json_object *jso, const char *name, VcaPoint3 &p) {
    json_object *obj = object_member(jso, name);
    if (obj == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso_%s), <json_to_calibration_reference>", name);
    if (char axis = read_xyz(obj, p))
        return ZFAIL(CMD_ZEL_EINVAL, "%s_%c == -1, <json_to_calibration_reference>", name, axis);
    return true;
}

// How a parser words the faults of one point array.
struct PointArrayText {
    const char *key;           // the member: "point_imgs"
    const char *len_name;      // in the length line: "imgs" ("imgs_len != point_num ...")
    const char *index;         // in the axis line: "i" ("x == -1, i: 0, jso_point_img")
    const char *element;       // in the axis line: "jso_point_img"
    const char *null_element;  // the whole line of a null element
    const char *owner;         // put after the array and length lines: "<json_to_ref_boundary>"
    int32_t length_code;       // the code a wrong length sets
};

constexpr PointArrayText kImagePoints{
    "point_imgs",  "imgs", "i", "jso_point_img", "is_error(jso_point_img)", "<json_to_calibration_reference>",
    CMD_ZEL_EINVAL};
constexpr PointArrayText kWorldPoints{"point_wlds",
                                      "wlds",
                                      "j",
                                      "jso_point_wld",
                                      "is_error(jso_point_wld), <json_to_calibration_reference>",
                                      "<json_to_calibration_reference>",
                                      CMD_ZEL_EINVAL};
constexpr PointArrayText kBoundaryPoints{"point_wlds",
                                         "wlds",
                                         "i",
                                         "jso_point_wld",
                                         "is_error(jso_point_img), <json_to_ref_boundary>",
                                         "<json_to_ref_boundary>",
                                         kKeepErrno};

// An array of exactly `point_num` triples, at most as many as the record
// holds, copied slot by slot; the first fault stops the parser.
bool read_triples(json_object *jso, int32_t point_num, std::span<VcaPoint3, REFERENCE_POINT_NUM_MAX> slots,
                  const PointArrayText &text) {
    json_object *list = array_member(jso, text.key);
    if (list == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "!json_object_is_type(jso_%s, json_type_array), %s", text.key, text.owner);
    auto len = static_cast<int32_t>(json_object_array_length(list));
    if (len != point_num || len > REFERENCE_POINT_NUM_MAX)
        return ZFAIL(text.length_code,
                     "%s_len != point_num || %s_len > REFERENCE_POINT_NUM_MAX, %s_len: %d, point_num: %d, %s",
                     text.len_name, text.len_name, text.len_name, len, point_num, text.owner);
    for (int32_t i = 0; i < len; ++i) {
        json_object *point = json_object_array_get_idx(list, static_cast<size_t>(i));
        if (point == nullptr)
            return ZFAIL(CMD_ZEL_EINVAL, "%s", text.null_element);
        if (char axis = read_xyz(point, slots[static_cast<size_t>(i)]))
            return ZFAIL(CMD_ZEL_EINVAL, "%c == -1, %s: %d, %s", axis, text.index, i, text.element);
    }
    return true;
}

bool json_to_calibration_reference(json_object *jso, VCACalibrationReference &param) {
    return read_required(jso, "scene_id", param.scene_id, "scene_id < 0, <json_to_calibration_reference>") &&
           read_required(jso, "point_num", param.point_num, "point_num == -1, <json_to_calibration_reference>") &&
           read_triples(jso, param.point_num, param.point_imgs, kImagePoints) &&
           read_triples(jso, param.point_num, param.point_wlds, kWorldPoints) &&
           read_required(jso, "ipc_high", param.ipc_high, "ipc_high == -1, <json_to_calibration_reference>") &&
           json_to_calibration_axis(jso, "ipc_param", param.ipc_param) &&
           json_to_calibration_axis(jso, "coordinate_o", param.coordinate_o) &&
           json_to_calibration_axis(jso, "coordinate_x", param.coordinate_x) &&
           json_to_calibration_axis(jso, "coordinate_y", param.coordinate_y);
}

bool json_to_ref_boundary(json_object *jso, VCARefBoundary &param) {
    // An absent scene number means scene 0.
    param.scene_id = json_object_get_field_int(jso, "scene_id", 0);
    if (param.scene_id == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "scene_id == -1, <json_to_ref_boundary>");
    return read_required(jso, "enable", param.enable, "enable == -1, <json_to_ref_boundary>") &&
           read_required(jso, "point_num", param.point_num, {"point_num == -1, <json_to_ref_boundary>", kKeepErrno}) &&
           read_triples(jso, param.point_num, param.point_wlds, kBoundaryPoints);
}

// {"x":..,"y":..,"z":..}; `what` is the level-5 line when it cannot be built.
JsonPtr xyz_object(const VcaPoint3 &p, const char *what) {
    JsonPtr obj = new_object(what);
    add_int(obj.get(), "x", p.x, what);
    add_int(obj.get(), "y", p.y, what);
    add_int(obj.get(), "z", p.z, what);
    return obj;
}

// An array of the first `count` points (bounded by the record's slots).
JsonPtr xyz_array(std::span<const VcaPoint3> points, int32_t count, const char *array_what, const char *point_what) {
    JsonPtr array = new_array(array_what);
    auto n = static_cast<size_t>(clamp_count(count, static_cast<int32_t>(points.size())));
    for (size_t i = 0; i < n; ++i)
        append(array.get(), xyz_object(points[i], point_what).release(), point_what);
    return array;
}

bool deal_get_calibration_reference_result(const VCACalibrationReference &param, char **out_buf) {
    JsonPtr reply = new_object("is_error(jso_ret), <deal_get_calibration_reference_result>");
    add_int(reply.get(), "scene_id", param.scene_id);
    add_int(reply.get(), "point_num", param.point_num);
    add(reply.get(), "point_imgs",
        xyz_array(param.point_imgs, param.point_num,
                  "is_error(jso_point_imgs), <deal_get_calibration_reference_result>",
                  "is_error(jso_point_img), <deal_get_calibration_reference_result>")
            .release());
    add(reply.get(), "point_wlds",
        xyz_array(param.point_wlds, param.point_num,
                  "is_error(jso_point_wlds), <deal_get_calibration_reference_result>",
                  "is_error(jso_point_wld), <deal_get_calibration_reference_result>")
            .release());
    add_int(reply.get(), "ipc_high", param.ipc_high);
    add(reply.get(), "ipc_param",
        xyz_object(param.ipc_param, "is_error(jso_ipc_param), <deal_get_calibration_reference_result>").release());
    add(reply.get(), "coordinate_o",
        xyz_object(param.coordinate_o, "is_error(jso_coordinate_o), <deal_get_calibration_reference_result>")
            .release());
    add(reply.get(), "coordinate_x",
        xyz_object(param.coordinate_x, "is_error(jso_coordinate_x), <deal_get_calibration_reference_result>")
            .release());
    add(reply.get(), "coordinate_y",
        xyz_object(param.coordinate_y, "is_error(jso_coordinate_y), <deal_get_calibration_reference_result>")
            .release());
    return reply_document(out_buf, reply.get(), Oom{"*out_buf == NULL, <deal_get_calibration_reference_result>"});
}

bool deal_get_ref_boundary(const VCARefBoundary &param, char **out_buf) {
    JsonPtr reply = new_object("is_error(jso_ret), <deal_get_ref_boundary>");
    add_int(reply.get(), "enable", param.enable);
    add_int(reply.get(), "scene_id", param.scene_id);
    add_int(reply.get(), "point_num", param.point_num);
    add(reply.get(), "point_wlds",
        xyz_array(param.point_wlds, param.point_num, "is_error(jso_point_wlds), <deal_get_ref_boundary>",
                  "is_error(jso_point_wld), <deal_get_ref_boundary>")
            .release());
    return reply_document(out_buf, reply.get());
}

}  // namespace

int32_t set_calibration_reference(void *host, json_object *jso) {
    if (!has_command(host, jso, {.any_missing = "host == NULL || is_error(jso), <set_calibration_reference>"}))
        return 0;
    int32_t ch = 0;
    if (!read_required(jso, "ch", ch, "ch == -1, <set_calibration_reference>"))
        return 0;
    auto param = sized_record<VCACalibrationReference>();
    if (!json_to_calibration_reference(jso, param))
        return ZREFUSE("!json_to_sdk_param(jso, &param), <set_calibration_reference>");
    HostView view(host);
    if (NetClient_VCASetConfig(view.loginfd(), VCA_CMD_CALIBRATION_REFERENCE, ch, &param,
                               record_len<VCACalibrationReference>()) != 0)
        return ZREFUSE("NetClient_VCASetConfig VCA_CMD_CALIBRATION_REFERENCE fail, host_id: %s, ch: %d, error: %lx",
                       view.id(), ch, sdk_error());
    return 1;
}

int32_t get_calibration_reference(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf, {.suffix = ", <get_calibration_reference>"}))
        return 0;
    int32_t ch = 0;
    auto param = sized_record<VCACalibrationReference>();
    if (!read_required(jso, "ch", ch, "ch == -1, <get_calibration_reference>") ||
        !read_required(jso, "scene_id", param.scene_id, "scene_id == -1, <get_calibration_reference>"))
        return 0;
    HostView view(host);
    if (NetClient_VCAGetConfig(view.loginfd(), VCA_CMD_CALIBRATION_REFERENCE, ch, &param,
                               record_len<VCACalibrationReference>()) != 0)
        return ZREFUSE("NetClient_VCAGetConfig VCA_CMD_CALIBRATION_REFERENCE fail, host_id: %s, ch: %d, error: %lx",
                       view.id(), ch, sdk_error());
    return deal_get_calibration_reference_result(param, out_buf) ? 1 : 0;
}

int32_t set_ref_boundary(void *host, json_object *jso) {
    if (!has_command(host, jso, {.any_missing = "host == NULL || is_error(jso, <set_ref_boundary>"}))
        return 0;
    int32_t ch = 0;
    if (!read_required(jso, "ch", ch, "ch == -1, <set_ref_boundary>"))
        return 0;
    VCARefBoundary param{};
    if (!json_to_ref_boundary(jso, param))
        return ZREFUSE("!json_to_ref_boundary(jso, &param), <set_ref_boundary>");
    HostView view(host);
    if (NetClient_VCASetConfig(view.loginfd(), VCA_CMD_REFBOUNDARYINFO, ch, &param, record_len<VCARefBoundary>()) != 0)
        return ZREFUSE("NetClient_VCASetConfig VCA_CMD_REFBOUNDARYINFO fail, host_id: %s, ch: %d, error: %lx",
                       view.id(), ch, sdk_error());
    return 1;
}

int32_t get_ref_boundary(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf, {.suffix = ", <get_ref_boundary>"}))
        return 0;
    int32_t ch = 0;
    VCARefBoundary param{};
    if (!read_required(jso, "ch", ch, "ch == -1, <get_ref_boundary>") ||
        !read_required(jso, "scene_id", param.scene_id, "scene_id == -1, <get_ref_boundary>"))
        return 0;
    HostView view(host);
    if (NetClient_VCAGetConfig(view.loginfd(), VCA_CMD_REFBOUNDARYINFO, ch, &param, record_len<VCARefBoundary>()) != 0)
        return ZREFUSE("NetClient_VCAGetConfig VCA_CMD_REFBOUNDARYINFO fail, host_id: %s, ch: %d, error: %lx",
                       view.id(), ch, sdk_error());
    return deal_get_ref_boundary(param, out_buf) ? 1 : 0;
}

}  // namespace zel
