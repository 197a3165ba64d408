// Audio mixing: the device's audio outputs (1 to 8) and, for each, the
// inputs mixed into it (1 to 32) with their switches. Set 66 writes the
// whole configuration, get 64 reports it.
#include <cstdio>

#include "settings_xml/xml_config.h"
#include "settings_xml/xml_handlers.h"

namespace zel {
namespace {

// One input of an output; a faulty one is logged and stays zero.
void fill_input(json_object *item, int32_t j, const char *id, xml_mix_audio_input &input) {
    if (item == nullptr) {
        ZLOG(kLogError, "is_error(jso_input_src), host_id:%s, j:%d", id, j);
        return;
    }
    const char *name = json_object_get_field_string(item, "input_src_name");
    if (name == nullptr) {
        ZLOG(kLogError, "input_src_name == NULL, host_id:%s, j:%d", id, j);
        return;
    }
    int32_t enable = json_object_get_field_int(item, "enable", -1);
    if (enable != 0 && enable != 1) {
        ZLOG(kLogError, "enable err, value:%d, host_id:%s, j:%d", enable, id, j);
        return;
    }
    copy_text(input.input_src_name, name);
    input.enable = enable;
}

// One output: its name, then its inputs. A faulty element keeps what was
// filled before the fault; the counts still include it.
void fill_output(json_object *item, int32_t i, const char *id, xml_mix_audio_output &output) {
    if (item == nullptr) {
        ZLOG(kLogError, "is_error(jso_mix_audio_config), host_id:%s, i:%d", id, i);
        return;
    }
    const char *name = json_object_get_field_string(item, "output_src_name");
    if (name == nullptr) {
        ZLOG(kLogError, "output_src_name == NULL, host_id:%s, i:%d", id, i);
        return;
    }
    copy_text(output.output_src_name, name);
    json_object *inputs = array_member(item, "input_src_list");
    if (inputs == nullptr) {
        ZLOG(kLogError, "is_error(jso_input_src_list), host_id:%s", id);
        return;
    }
    int32_t count = array_len(inputs);
    if (count < 1 || count > MIX_AUDIO_INPUTS) {
        ZLOG(kLogError, "input_src_list_len err, value:%d, host_id:%s", count, id);
        return;
    }
    output.iAudioSrcNum = count;
    for (int32_t j = 0; j < count; ++j)
        fill_input(json_object_array_get_idx(inputs, static_cast<size_t>(j)), j, id, output.inputs[j]);
}

json_object *input_list(const xml_mix_audio_output &output) {
    JsonPtr list = new_array("is_error(jso_input_src_list)");
    for (int32_t j = 0; j < output.iAudioSrcNum; ++j) {
        const xml_mix_audio_input &input = output.inputs[j];
        JsonPtr item = new_object("is_error(jso_input_src)");
        add_text(item.get(), "input_src_name", input.input_src_name, "is_error(jso_input_src)");
        add_int(item.get(), "enable", input.enable, "is_error(jso_input_src)");
        append(list.get(), item.release(), "is_error(jso_input_src)");
    }
    return list.release();
}

json_object *output_item(const xml_mix_audio_output &output, int32_t i, const char *id) {
    JsonPtr item = new_object("is_error(jso_mix_audio_config)");
    add_text(item.get(), "output_src_name", output.output_src_name, "is_error(jso_mix_audio_config)");
    if (output.iAudioSrcNum >= 1 && output.iAudioSrcNum <= MIX_AUDIO_INPUTS) {
        add(item.get(), "input_src_list", input_list(output), "is_error(jso_input_src_list)");
    } else {
        char name[XML_SRC_NAME_LEN + 1] = {};
        std::memcpy(name, output.output_src_name, XML_SRC_NAME_LEN);
        ZLOG(kLogError, "iAudioSrcNum err, value:%d, i:%d, output_src_name:%s, host_id:%s", output.iAudioSrcNum, i,
             name, id);
    }
    return item.release();
}

}  // namespace

int32_t set_mix_audio_config(void *host, json_object *jso) {
    if (!has_command(host, jso, {.host_code = kKeepErrno, .code = kKeepErrno, .host_id = ", host_id:%s"}))
        return 0;
    HostView view(host);
    json_object *outputs = array_member(jso, "mix_audio_config_list");
    if (outputs == nullptr)
        return ZREFUSE("is_error(jso_mix_audio_config_list), host_id:%s", view.id());
    int32_t count = array_len(outputs);
    if (count < 1 || count > MIX_AUDIO_OUTPUTS)
        return ZREFUSE("mix_audio_config_list_len err, value:%d, host_id:%s", count, view.id());

    xml_mix_audio_config mix{};
    mix.iAudioConfigNum = count;
    for (int32_t i = 0; i < count; ++i)
        fill_output(json_object_array_get_idx(outputs, static_cast<size_t>(i)), i, view.id(), mix.outputs[i]);

    XmlWrite w = xml_write(view, NETXMLCFG_CMD_MIXAUDIOCONFIG, mix);
    if (!w.ok())
        return ZREFUSE("NetClient_XmlSetDevConfig()-NETXMLCFG_CMD_MIXAUDIOCONFIG failed, ret:%d, iStatusCode:%d, "
                       "host_id:%s",
                       w.ret, w.status, view.id());
    return 1;
}

int32_t get_mix_audio_config(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf, {.host_code = kKeepErrno, .code = kKeepErrno}))
        return 0;
    HostView view(host);
    xml_mix_audio_config mix{};
    int32_t ret = xml_read<xml_mix_audio_config>(view, NETXMLCFG_CMD_MIXAUDIOCONFIG, nullptr, mix);
    if (ret != 0)
        return ZREFUSE("NetClient_XmlGetDevConfig()-NETXMLCFG_CMD_MIXAUDIOCONFIG failed, ret:%d, err_code:%lx, "
                       "host_id:%s",
                       ret, sdk_error(), view.id());
    if (mix.iAudioConfigNum < 1 || mix.iAudioConfigNum > MIX_AUDIO_OUTPUTS)
        return ZREFUSE("iAudioConfigNum err, value:%d, host_id:%s", mix.iAudioConfigNum, view.id());

    JsonPtr reply = new_object("is_error(jso_ret)");
    JsonPtr outputs = new_array("is_error(jso_mix_audio_config_list)");
    for (int32_t i = 0; i < mix.iAudioConfigNum; ++i)
        append(outputs.get(), output_item(mix.outputs[i], i, view.id()), "is_error(jso_mix_audio_config)");
    add(reply.get(), "mix_audio_config_list", outputs.release(), "is_error(jso_mix_audio_config_list)");

    char empty[host_field::kIdSize + 64];
    std::snprintf(empty, sizeof empty, "jso_string == NULL, host_id:%s", view.id());
    return reply_document(out_buf, reply.get(), {"calloc() failed"}, empty) ? 1 : 0;
}

}  // namespace zel
