// The face-track switch of a scene, carried over the HTTP-XML channel:
// set 70 writes it, get 46 reads it.
#include "handler_support.h"
#include "host_view.h"
#include "settings_xml/xml_handlers.h"
#include "xml_sdk/http_xml.h"

namespace zel {

int32_t set_face_track_enable(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    face_track_param param{};
    if (!read_required(jso, "ch", param.channel) || !read_required(jso, "sence_id", param.scene_id, "scene_id == -1") ||
        !read_required(jso, "enabled", param.enabled))
        return 0;
    if (xml_to_set_face_track_enable(host, param.channel, &param) == 0)
        return ZREFUSE("!xml_to_set_face_track_enable");
    return 1;
}

int32_t get_face_track_enable(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf, {.host_id = ", host_id:%s"}))
        return 0;
    HostView view(host);
    face_track_param param{};
    param.channel = json_object_get_field_int(jso, "ch", -1);
    if (param.channel < 0)
        return ZREFUSE("ch < 0, host_id:%s", view.id());
    param.scene_id = json_object_get_field_int(jso, "sence_id", -1);
    if (param.scene_id < 0)
        return ZREFUSE("sence_id < 0, host_id:%s, ch:%d", view.id(), param.channel);
    int32_t enabled = 0;
    if (xml_to_get_face_track_enable(host, param.channel, &param, &enabled) == 0)
        return ZREFUSE("!xml_to_get_face_track_enable");

    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "enabled", enabled);
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

}  // namespace zel
