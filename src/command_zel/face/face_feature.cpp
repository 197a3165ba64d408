// Face features of one stored face (get 20): the faces the device found in
// the stored picture, their rectangles and their feature bytes in Base64.
#include <cstring>

#include "comm_func/comm_func.h"
#include "face/face_handlers.h"
#include "face/face_support.h"
#include "handler_support.h"
#include "host_view.h"
#include "zel_json.h"

namespace zel {
namespace {

// The device's counts bound the loops, but never beyond the record.
json_object *face_rects(const face_feature_record &rec, int32_t face) {
    JsonPtr rects = new_array("is_error(jso_rects)");
    for (int32_t j = 0; j < clamp_count(rec.rect_num[face], FACE_FEATURE_RECTS); ++j) {
        JsonPtr rect = new_object("is_error(jso_rect)");
        add_int(rect.get(), "x", rec.rects[face][j].x, "is_error(jso_rect)");
        add_int(rect.get(), "y", rec.rects[face][j].y, "is_error(jso_rect)");
        append(rects.get(), rect.release(), "is_error(jso_rects)");
    }
    return rects.release();
}

json_object *face_entry(const face_feature_record &rec, int32_t face) {
    JsonPtr entry = new_object("is_error(jso_face)");
    add(entry.get(), "rects", face_rects(rec, face), "is_error(jso_rects)");
    int32_t len = clamp_count(rec.feature_len[face], FACE_FEATURE_BYTES);
    heap_ptr<char[]> text = zeroed_records<char>(static_cast<size_t>(len) * 4 / 3 + 12, "feature_base64 == NULL");
    base64_encode(rec.feature[face], len, text.get());
    add_int(entry.get(), "datalen", static_cast<int32_t>(std::strlen(text.get())), "is_error(jso_face)");
    add(entry.get(), "data", json_object_new_string(text.get()), "is_error(jso_face)");
    return entry.release();
}

}  // namespace

int32_t get_face_feature(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    // These refusals leave the error code alone.
    auto key = sized_record<face_key_record>();
    const char *libuuid = nullptr;
    const char *faceuuid = nullptr;
    if (!read_non_negative(jso, "ch", key.channel, {"ch == -1", kKeepErrno}) ||
        !read_text(jso, "libuuid", libuuid, {"libuuid == NULL ", kKeepErrno}) ||
        !read_text(jso, "faceuuid", faceuuid, {"faceuuid == NULL ", kKeepErrno}))
        return 0;
    key.lib_key = json_object_get_field_int(jso, "libkey", -1);
    key.face_key = json_object_get_field_int(jso, "facekey", -1);
    copy_uuid(key.libuuid, libuuid);
    copy_uuid(key.faceuuid, faceuuid);

    auto rec = zeroed_record<face_feature_record>("feature_result == NULL");
    rec->size = record_len<face_feature_record>();
    HostView dev(host);
    int32_t ret = NetClient_FaceConfig(dev.loginfd(), FACE_CMD_FEATURE, key.channel, &key,
                                       record_len<face_key_record>(), rec.get(), record_len<face_feature_record>());
    if (ret != 0)
        return ZREFUSE("!NetClient_FaceConfig :%d", ret);

    JsonPtr reply = new_object("is_error(jso_ret)");
    add(reply.get(), "hostid", field_string(dev.id(), host_field::kIdSize));
    add_int(reply.get(), "ch", rec->channel);
    add_int(reply.get(), "type", rec->type);
    add_int(reply.get(), "libkey", rec->libkey);
    add_int(reply.get(), "facekey", rec->facekey);
    add_text(reply.get(), "libuuid", key.libuuid);
    add_text(reply.get(), "faceuuid", key.faceuuid);
    add_int(reply.get(), "facenum", rec->face_num);
    JsonPtr faces = new_array("is_error(jso_features)");
    for (int32_t i = 0; i < clamp_count(rec->face_num, FACE_FEATURE_FACES); ++i)
        append(faces.get(), face_entry(*rec, i), "is_error(jso_features)");
    add(reply.get(), "facefeature", faces.release(), "is_error(jso_features)");
    add_int(reply.get(), "ret", 0);
    return reply_document(out_buf, reply.get(), Oom{"*out_buf == NULL calloc err!"}, "buf_ret == NULL") ? 1 : 0;
}

}  // namespace zel
