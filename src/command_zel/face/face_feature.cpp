// Face features of one stored face (get 20): the faces the device found in
// the stored picture, their rectangles and their feature bytes in Base64.
#include <cstring>

#include "comm_func/comm_func.h"
#include "face/face_handlers.h"
#include "face/face_records.h"
#include "handler_support.h"
#include "host_view.h"
#include "zel_json.h"

namespace zel {

using namespace face_data;

namespace {

// The device's counts bound the loops, but never beyond the record.
int32_t bounded(int32_t count, int32_t limit) {
    if (count < 0)
        return 0;
    return count < limit ? count : limit;
}

json_object *face_rects(const face_feature_record &rec, int32_t face) {
    JsonPtr rects = new_array("is_error(jso_rects)");
    int32_t count = bounded(rec.rect_num[face], kFeatureRects);
    for (int32_t j = 0; j < count; ++j) {
        JsonPtr rect = new_object("is_error(jso_rect)");
        add(rect.get(), "x", json_object_new_int(rec.rects[face][j].x), "is_error(jso_rect)");
        add(rect.get(), "y", json_object_new_int(rec.rects[face][j].y), "is_error(jso_rect)");
        append(rects.get(), rect.release(), "is_error(jso_rects)");
    }
    return rects.release();
}

json_object *face_entry(const face_feature_record &rec, int32_t face) {
    JsonPtr entry = new_object("is_error(jso_face)");
    add(entry.get(), "rects", face_rects(rec, face), "is_error(jso_rects)");
    int32_t len = bounded(rec.feature_len[face], kFeatureBytes);
    size_t capacity = static_cast<size_t>(len) * 4 / 3 + 12;
    heap_ptr<char> text(static_cast<char *>(xcalloc(1, capacity, "feature_base64 == NULL")));
    base64_encode(rec.feature[face], len, text.get());
    add(entry.get(), "datalen", json_object_new_int(static_cast<int32_t>(std::strlen(text.get()))),
        "is_error(jso_face)");
    add(entry.get(), "data", json_object_new_string(text.get()), "is_error(jso_face)");
    return entry.release();
}

}  // namespace

int32_t get_face_feature(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    // These refusals leave the error code alone.
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        return ZREFUSE("ch == -1");
    const char *libuuid = json_object_get_field_string(jso, "libuuid");
    if (libuuid == nullptr)
        return ZREFUSE("libuuid == NULL ");
    const char *faceuuid = json_object_get_field_string(jso, "faceuuid");
    if (faceuuid == nullptr)
        return ZREFUSE("faceuuid == NULL ");
    auto key = sized_record<face_key_record>();
    key.channel = ch;
    key.lib_key = json_object_get_field_int(jso, "libkey", -1);
    key.face_key = json_object_get_field_int(jso, "facekey", -1);
    copy_uuid(key.libuuid, libuuid);
    copy_uuid(key.faceuuid, faceuuid);

    heap_ptr<face_feature_record> rec(
        static_cast<face_feature_record *>(xcalloc(1, sizeof(face_feature_record), "feature_result == NULL")));
    rec->size = record_len<face_feature_record>();
    HostView dev(host);
    int32_t ret = NetClient_FaceConfig(dev.loginfd(), FACE_CMD_FEATURE, ch, &key, record_len<face_key_record>(),
                                       rec.get(), record_len<face_feature_record>());
    if (ret != 0) {
        ZLOG(kLogError, "!NetClient_FaceConfig :%d", ret);
        return 0;
    }

    JsonPtr reply = new_object("is_error(jso_ret)");
    size_t id_len = strnlen(dev.id(), host_field::kIdSize);
    add(reply.get(), "hostid", json_object_new_string_len(dev.id(), static_cast<int>(id_len)));
    add(reply.get(), "ch", json_object_new_int(rec->channel));
    add(reply.get(), "type", json_object_new_int(rec->type));
    add(reply.get(), "libkey", json_object_new_int(rec->libkey));
    add(reply.get(), "facekey", json_object_new_int(rec->facekey));
    add(reply.get(), "libuuid", field_string(key.libuuid));
    add(reply.get(), "faceuuid", field_string(key.faceuuid));
    add(reply.get(), "facenum", json_object_new_int(rec->face_num));
    JsonPtr faces = new_array("is_error(jso_features)");
    int32_t face_count = bounded(rec->face_num, kFeatureFaces);
    for (int32_t i = 0; i < face_count; ++i)
        append(faces.get(), face_entry(*rec, i), "is_error(jso_features)");
    add(reply.get(), "facefeature", faces.release(), "is_error(jso_features)");
    add(reply.get(), "ret", json_object_new_int(0));
    if (!reply_document(out_buf, reply.get(), Oom{"*out_buf == NULL calloc err!"}, "buf_ret == NULL"))
        return 0;
    return 1;
}

}  // namespace zel
