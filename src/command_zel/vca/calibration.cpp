// Scene calibration (reference point pairs, camera mounting, world axes) and
// the reference boundary polygon of a scene.
#include <algorithm>
#include <span>

#include "calibration_records.h"
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

bool json_to_calibration_reference(json_object *jso, VCACalibrationReference &param) {
    param.scene_id = json_object_get_field_int(jso, "scene_id", -1);
    if (param.scene_id == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "scene_id < 0, <json_to_calibration_reference>");
    param.point_num = json_object_get_field_int(jso, "point_num", -1);
    if (param.point_num == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "point_num == -1, <json_to_calibration_reference>");

    json_object *imgs = array_member(jso, "point_imgs");
    if (imgs == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL,
                     "!json_object_is_type(jso_point_imgs, json_type_array), <json_to_calibration_reference>");
    auto imgs_len = static_cast<int32_t>(json_object_array_length(imgs));
    if (imgs_len != param.point_num || imgs_len > REFERENCE_POINT_NUM_MAX)
        return ZFAIL(CMD_ZEL_EINVAL,
                     "imgs_len != point_num || imgs_len > REFERENCE_POINT_NUM_MAX, imgs_len: %d, point_num: %d, "
                     "<json_to_calibration_reference>",
                     imgs_len, param.point_num);
    for (int32_t i = 0; i < imgs_len; ++i) {
        json_object *point = json_object_array_get_idx(imgs, static_cast<size_t>(i));
        if (point == nullptr)
            return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso_point_img)");
        if (char axis = read_xyz(point, param.point_imgs[i]))
            return ZFAIL(CMD_ZEL_EINVAL, "%c == -1, i: %d, jso_point_img", axis, i);
    }

    json_object *wlds = array_member(jso, "point_wlds");
    if (wlds == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL,
                     "!json_object_is_type(jso_point_wlds, json_type_array), <json_to_calibration_reference>");
    auto wlds_len = static_cast<int32_t>(json_object_array_length(wlds));
    if (wlds_len != param.point_num || wlds_len > REFERENCE_POINT_NUM_MAX)
        return ZFAIL(CMD_ZEL_EINVAL,
                     "wlds_len != point_num || wlds_len > REFERENCE_POINT_NUM_MAX, wlds_len: %d, point_num: %d, "
                     "<json_to_calibration_reference>",
                     wlds_len, param.point_num);
    for (int32_t j = 0; j < wlds_len; ++j) {
        json_object *point = json_object_array_get_idx(wlds, static_cast<size_t>(j));
        if (point == nullptr)
            return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso_point_wld), <json_to_calibration_reference>");
        if (char axis = read_xyz(point, param.point_wlds[j]))
            return ZFAIL(CMD_ZEL_EINVAL, "%c == -1, j: %d, jso_point_wld", axis, j);
    }

    param.ipc_high = json_object_get_field_int(jso, "ipc_high", -1);
    if (param.ipc_high == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "ipc_high == -1, <json_to_calibration_reference>");
    return json_to_calibration_axis(jso, "ipc_param", param.ipc_param) &&
           json_to_calibration_axis(jso, "coordinate_o", param.coordinate_o) &&
           json_to_calibration_axis(jso, "coordinate_x", param.coordinate_x) &&
           json_to_calibration_axis(jso, "coordinate_y", param.coordinate_y);
}

bool json_to_ref_boundary(json_object *jso, VCARefBoundary &param) {
    // An absent scene number means scene 0.
    param.scene_id = json_object_get_field_int(jso, "scene_id", 0);
    if (param.scene_id == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "scene_id == -1, <json_to_ref_boundary>");
    param.enable = json_object_get_field_int(jso, "enable", -1);
    if (param.enable == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "enable == -1, <json_to_ref_boundary>");
    param.point_num = json_object_get_field_int(jso, "point_num", -1);
    if (param.point_num == -1)
        return ZLOG(kLogError, "point_num == -1, <json_to_ref_boundary>"), false;

    json_object *wlds = array_member(jso, "point_wlds");
    if (wlds == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "!json_object_is_type(jso_point_wlds, json_type_array), <json_to_ref_boundary>");
    auto wlds_len = static_cast<int32_t>(json_object_array_length(wlds));
    if (wlds_len != param.point_num || wlds_len > REFERENCE_POINT_NUM_MAX)
        return ZLOG(kLogError,
                    "wlds_len != point_num || wlds_len > REFERENCE_POINT_NUM_MAX, wlds_len: %d, point_num: %d, "
                    "<json_to_ref_boundary>",
                    wlds_len, param.point_num),
               false;
    for (int32_t i = 0; i < wlds_len; ++i) {
        json_object *point = json_object_array_get_idx(wlds, static_cast<size_t>(i));
        if (point == nullptr)
            return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso_point_img), <json_to_ref_boundary>");
        if (char axis = read_xyz(point, param.point_wlds[i]))
            return ZFAIL(CMD_ZEL_EINVAL, "%c == -1, i: %d, jso_point_wld", axis, i);
    }
    return true;
}

// {"x":..,"y":..,"z":..}; `what` is the level-5 line when it cannot be built.
JsonPtr xyz_object(const VcaPoint3 &p, const char *what) {
    JsonPtr obj = new_object(what);
    add(obj.get(), "x", json_object_new_int(p.x), what);
    add(obj.get(), "y", json_object_new_int(p.y), what);
    add(obj.get(), "z", json_object_new_int(p.z), what);
    return obj;
}

// An array of the first `count` points (bounded by the record's slots).
JsonPtr xyz_array(std::span<const VcaPoint3> points, int32_t count, const char *array_what, const char *point_what) {
    JsonPtr array = new_array(array_what);
    size_t n = static_cast<size_t>(std::clamp(count, 0, static_cast<int32_t>(points.size())));
    for (size_t i = 0; i < n; ++i)
        append(array.get(), xyz_object(points[i], point_what).release(), point_what);
    return array;
}

bool deal_get_calibration_reference_result(const VCACalibrationReference &param, char **out_buf) {
    JsonPtr reply = new_object("is_error(jso_ret), <deal_get_calibration_reference_result>");
    add(reply.get(), "scene_id", json_object_new_int(param.scene_id));
    add(reply.get(), "point_num", json_object_new_int(param.point_num));
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
    add(reply.get(), "ipc_high", json_object_new_int(param.ipc_high));
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
    add(reply.get(), "enable", json_object_new_int(param.enable));
    add(reply.get(), "scene_id", json_object_new_int(param.scene_id));
    add(reply.get(), "point_num", json_object_new_int(param.point_num));
    add(reply.get(), "point_wlds",
        xyz_array(param.point_wlds, param.point_num, "is_error(jso_point_wlds), <deal_get_ref_boundary>",
                  "is_error(jso_point_wld), <deal_get_ref_boundary>")
            .release());
    return reply_document(out_buf, reply.get());
}

}  // namespace

int32_t set_calibration_reference(void *host, json_object *jso) {
    if (host == nullptr || jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "host == NULL || is_error(jso), <set_calibration_reference>");
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1, <set_calibration_reference>");
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
    if (host == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "host == NULL, <get_calibration_reference>");
    if (jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso), <get_calibration_reference>");
    if (out_buf == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "out_buf == NULL, <get_calibration_reference>");
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1, <get_calibration_reference>");
    auto param = sized_record<VCACalibrationReference>();
    param.scene_id = json_object_get_field_int(jso, "scene_id", -1);
    if (param.scene_id == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "scene_id == -1, <get_calibration_reference>");
    HostView view(host);
    if (NetClient_VCAGetConfig(view.loginfd(), VCA_CMD_CALIBRATION_REFERENCE, ch, &param,
                               record_len<VCACalibrationReference>()) != 0)
        return ZREFUSE("NetClient_VCAGetConfig VCA_CMD_CALIBRATION_REFERENCE fail, host_id: %s, ch: %d, error: %lx",
                       view.id(), ch, sdk_error());
    return deal_get_calibration_reference_result(param, out_buf) ? 1 : 0;
}

int32_t set_ref_boundary(void *host, json_object *jso) {
    if (host == nullptr || jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "host == NULL || is_error(jso, <set_ref_boundary>");
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1, <set_ref_boundary>");
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
    if (host == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "host == NULL, <get_ref_boundary>");
    if (jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso), <get_ref_boundary>");
    if (out_buf == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "out_buf == NULL, <get_ref_boundary>");
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1, <get_ref_boundary>");
    VCARefBoundary param{};
    param.scene_id = json_object_get_field_int(jso, "scene_id", -1);
    if (param.scene_id == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "scene_id == -1, <get_ref_boundary>");
    HostView view(host);
    if (NetClient_VCAGetConfig(view.loginfd(), VCA_CMD_REFBOUNDARYINFO, ch, &param, record_len<VCARefBoundary>()) != 0)
        return ZREFUSE("NetClient_VCAGetConfig VCA_CMD_REFBOUNDARYINFO fail, host_id: %s, ch: %d, error: %lx",
                       view.id(), ch, sdk_error());
    return deal_get_ref_boundary(param, out_buf) ? 1 : 0;
}

}  // namespace zel
