/* The simulated device's XML documents.
 *
 * XML-carried settings: the SDK turns a structure into an XML document and
 * back. Each known sub-command has a schema naming the structure's fields as
 * elements; a write is kept as its document, and a read turns the kept (or
 * factory) document back into the structure. Lists of entries become
 * repeated elements, as many as the structure's count says (at most its
 * capacity), and on reading the count is the number of elements found.
 *
 * HTTP-XML: face-track documents are kept per channel and scene; the court
 * database answers its JSON channel list. */
#include "xml_documents.h"

#include "device_sdk_xml.h"
#include "face_track_codec.h"

#include <json-c/json.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

namespace device_sdk_sim {
namespace {

/* Last errors of refused requests, as HTTP statuses. */
constexpr int32_t kBadRequest = 400;
constexpr int32_t kNotFound = 404;

Answer refused(int32_t error) { return Answer{-1, error, {}}; }

Answer answered(const std::string &text) {
    Answer a;
    a.out.assign(text.begin(), text.end());
    a.out.push_back(0);
    return a;
}

int32_t read_i32(const uint8_t *at) {
    int32_t v;
    std::memcpy(&v, at, sizeof v);
    return v;
}

void write_i32(uint8_t *at, int32_t v) { std::memcpy(at, &v, sizeof v); }

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void *data, size_t size) override { text.append(static_cast<const char *>(data), size); }
};

std::string serialised(const pugi::xml_document &doc) {
    StringWriter writer;
    doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return writer.text;
}

/* ------------------------------------------------------------------------
 * Schemas of the XML-carried structures. */

enum class Kind { Int, Text, List };

struct Field {
    const char *name;
    size_t offset;
    Kind kind;
    size_t width = 0;               /* Text: bytes of the field */
    std::span<const Field> items{}; /* List: the fields of one entry */
    size_t stride = 0;              /* List: bytes per entry */
    size_t capacity = 0;            /* List: entries the structure holds */
    ptrdiff_t count_at = -1;        /* List: offset of its i32 entry count; -1: always `capacity` entries */
};

constexpr Field integer(const char *name, size_t offset) { return {name, offset, Kind::Int}; }
constexpr Field text(const char *name, size_t offset, size_t width) { return {name, offset, Kind::Text, width}; }
constexpr Field list(const char *name, size_t offset, std::span<const Field> items, size_t stride, size_t capacity,
                     ptrdiff_t count_at = -1) {
    return {name, offset, Kind::List, 0, items, stride, capacity, count_at};
}

struct Schema {
    int32_t cmd;
    const char *root;
    size_t size;
    std::span<const Field> fields;
    ptrdiff_t key_at;    /* offset of the i32 that files the document, -1: one per device */
    bool key_is_channel; /* the key must be one of the device's channels */
    void (*factory)(uint8_t *record, int32_t key, int32_t channels); /* the document before any write */
};

#define AT(type, field) offsetof(type, field)

constexpr Field kBestir[] = {
    integer("Mode", AT(xml_bestir_param, mode)),
    integer("AudioChannel", AT(xml_bestir_param, audio_ch)),
    integer("VideoChannel", AT(xml_bestir_param, video_ch)),
    integer("Mute", AT(xml_bestir_param, mute)),
    integer("Volume", AT(xml_bestir_param, volume)),
};

constexpr Field kRegion[] = {integer("Number", 0)};
constexpr Field kJudgeEntry[] = {
    integer("Size", AT(xml_judge_any_entry, size)),
    integer("Type", AT(xml_judge_any_entry, analyse_type)),
    integer("Enable", AT(xml_judge_any_entry, enable)),
    list("Region", AT(xml_judge_any_entry, regions), kRegion, sizeof(int32_t), JUDGE_ANY_REGIONS,
         AT(xml_judge_any_entry, region_count)),
};
constexpr Field kJudge[] = {
    integer("Channel", AT(xml_judge_any_info, channel)),
    list("Analyse", AT(xml_judge_any_info, entries), kJudgeEntry, sizeof(xml_judge_any_entry), JUDGE_ANY_TYPES),
};

constexpr Field kCaseControl[] = {
    integer("Channel", AT(xml_case_control, channel)),
    integer("SceneId", AT(xml_case_control, scene_id)),
    integer("PartInNum", AT(xml_case_control, part_in_num)),
    integer("CaseControl", AT(xml_case_control, case_control)),
};

constexpr Field kTypeValue[] = {
    integer("Type", AT(xml_type_value, type)),
    integer("Enable", AT(xml_type_value, enable)),
    text("Value", AT(xml_type_value, value), XML_VALUE_LEN),
};

constexpr Field kCall[] = {
    integer("CallId", AT(xml_call_state_entry, call_id)),
    integer("GroupId", AT(xml_call_state_entry, group_id)),
    text("IpAddress", AT(xml_call_state_entry, ip_address), XML_IP_LEN),
    integer("Port", AT(xml_call_state_entry, port)),
    integer("CallType", AT(xml_call_state_entry, call_type)),
    integer("SipLinkType", AT(xml_call_state_entry, sip_net_link_type)),
    integer("State", AT(xml_call_state_entry, call_state)),
};
constexpr Field kCallState[] = {
    integer("GkState", AT(xml_call_state, gk_state)),
    list("Call", AT(xml_call_state, entries), kCall, sizeof(xml_call_state_entry), CALL_STATE_MAX,
         AT(xml_call_state, count)),
};

constexpr Field kH323Dev[] = {
    integer("SetType", AT(xml_h323_single_dev, set_type)),
    integer("StreamType", AT(xml_h323_single_dev, stream_type)),
    integer("CallId", AT(xml_h323_single_dev, call_id)),
    integer("GroupId", AT(xml_h323_single_dev, group_id)),
    integer("CallType", AT(xml_h323_single_dev, call_type)),
    integer("SipLinkType", AT(xml_h323_single_dev, sip_net_link_type)),
    integer("CallMode", AT(xml_h323_single_dev, call_mode)),
    integer("CallRate", AT(xml_h323_single_dev, call_rate)),
    text("IpAddress", AT(xml_h323_single_dev, ip_address), XML_IP_LEN),
    integer("Port", AT(xml_h323_single_dev, port)),
    text("NetName", AT(xml_h323_single_dev, net_name), XML_NAME_LEN),
    text("Uri", AT(xml_h323_single_dev, uri), XML_NAME_LEN),
    text("CallMessage", AT(xml_h323_single_dev, call_msg), XML_NAME_LEN),
};
constexpr Field kH323[] = {
    list("Call", AT(xml_h323_param, devs), kH323Dev, sizeof(xml_h323_single_dev), H323_MAX_DEV,
         AT(xml_h323_param, count)),
};

constexpr Field kZfEntry[] = {
    integer("Number", AT(xml_zf_ch_entry, ch_no)),
    integer("NameType", AT(xml_zf_ch_entry, ch_name_type)),
};
constexpr Field kZf[] = {
    integer("Type", AT(xml_zf_ch_info, type)),
    list("Channel", AT(xml_zf_ch_info, entries), kZfEntry, sizeof(xml_zf_ch_entry), ZF_CH_MAX,
         AT(xml_zf_ch_info, count)),
};

constexpr Field kMixInput[] = {
    text("Name", AT(xml_mix_audio_input, input_src_name), XML_SRC_NAME_LEN),
    integer("Enable", AT(xml_mix_audio_input, enable)),
};
constexpr Field kMixOutput[] = {
    text("Name", AT(xml_mix_audio_output, output_src_name), XML_SRC_NAME_LEN),
    list("Input", AT(xml_mix_audio_output, inputs), kMixInput, sizeof(xml_mix_audio_input), MIX_AUDIO_INPUTS,
         AT(xml_mix_audio_output, iAudioSrcNum)),
};
constexpr Field kMixAudio[] = {
    list("Output", AT(xml_mix_audio_config, outputs), kMixOutput, sizeof(xml_mix_audio_output), MIX_AUDIO_OUTPUTS,
         AT(xml_mix_audio_config, iAudioConfigNum)),
};

constexpr Field kDefogRange[] = {
    integer("Valid", AT(xml_defog_range, time_vaild)),
    text("Start", AT(xml_defog_range, start_time), XML_TIME_LEN),
    text("End", AT(xml_defog_range, end_time), XML_TIME_LEN),
};
constexpr Field kDefogDay[] = {
    list("Range", AT(xml_defog_day, ranges), kDefogRange, sizeof(xml_defog_range), DEFOG_RANGES),
};
constexpr Field kDefog[] = {
    integer("Channel", AT(xml_defogging_param, channel)),
    integer("Enable", AT(xml_defogging_param, enable)),
    list("Day", AT(xml_defogging_param, days), kDefogDay, sizeof(xml_defog_day), DEFOG_DAY_BLOCKS),
};

#undef AT

/* Factory documents: a structure as the device has it before any write. */
template <typename Record> Record &as(uint8_t *bytes) { return *reinterpret_cast<Record *>(bytes); }

void zeroed(uint8_t *, int32_t, int32_t) {}

void keyed_by_channel(uint8_t *record, int32_t key, int32_t) { write_i32(record, key); }

void factory_bestir(uint8_t *record, int32_t, int32_t) { as<xml_bestir_param>(record) = {0, 1, 1, 0, 50}; }

void factory_judge(uint8_t *record, int32_t key, int32_t) {
    auto &info = as<xml_judge_any_info>(record);
    info.channel = key;
    for (int32_t i = 0; i < JUDGE_ANY_TYPES; ++i)
        info.entries[i] = {static_cast<int32_t>(sizeof(xml_judge_any_entry)), i + 1, 0, 0, {}};
}

void factory_zf(uint8_t *record, int32_t key, int32_t channels) {
    auto &info = as<xml_zf_ch_info>(record);
    info.type = key;
    info.count = std::min(channels, static_cast<int32_t>(ZF_CH_MAX));
    for (int32_t i = 0; i < info.count; ++i)
        info.entries[i] = {i, 0};
}

void factory_mix_audio(uint8_t *record, int32_t, int32_t) {
    auto &mix = as<xml_mix_audio_config>(record);
    mix.iAudioConfigNum = 1;
    xml_mix_audio_output &out = mix.outputs[0];
    std::snprintf(out.output_src_name, sizeof out.output_src_name, "Output 1");
    out.iAudioSrcNum = 2;
    std::snprintf(out.inputs[0].input_src_name, sizeof out.inputs[0].input_src_name, "Mic 1");
    out.inputs[0].enable = 1;
    std::snprintf(out.inputs[1].input_src_name, sizeof out.inputs[1].input_src_name, "Line in");
}

constexpr Schema kSchemas[] = {
    {NETXMLCFG_BESTIR_PARAM, "BestirParam", sizeof(xml_bestir_param), kBestir, -1, false, factory_bestir},
    {NETXMLCFG_JUDGEANYINFO, "JudgeAnalyseInfo", sizeof(xml_judge_any_info), kJudge, 0, true, factory_judge},
    {NETXMLCFG_CASE_CONTROL, "CaseControl", sizeof(xml_case_control), kCaseControl, 0, true, keyed_by_channel},
    {NETXMLCFG_TYPE_VALUE, "TypeValue", sizeof(xml_type_value), kTypeValue, -1, false, zeroed},
    {NETXMLCFG_COURTAVP_CALLSTATE, "CallState", sizeof(xml_call_state), kCallState, -1, false, zeroed},
    {NETXMLCFG_H323_PARAM, "H323Param", sizeof(xml_h323_param), kH323, -1, false, zeroed},
    {NETXMLCFG_COURT_ZFCHNINFO, "CourtChannelInfo", sizeof(xml_zf_ch_info), kZf, 0, false, factory_zf},
    {NETXMLCFG_CMD_MIXAUDIOCONFIG, "MixAudioConfig", sizeof(xml_mix_audio_config), kMixAudio, -1, false,
     factory_mix_audio},
    {NETXMLCFG_DEFOGGING_PARAM, "DefoggingParam", sizeof(xml_defogging_param), kDefog, 0, true, keyed_by_channel},
};

const Schema *schema_of(int32_t cmd) {
    for (const Schema &s : kSchemas)
        if (s.cmd == cmd)
            return &s;
    return nullptr;
}

void write_fields(pugi::xml_node parent, std::span<const Field> fields, const uint8_t *base) {
    for (const Field &f : fields) {
        const uint8_t *at = base + f.offset;
        switch (f.kind) {
        case Kind::Int: parent.append_child(f.name).text() = read_i32(at); break;
        case Kind::Text: {
            const char *chars = reinterpret_cast<const char *>(at);
            parent.append_child(f.name).text() = std::string(chars, strnlen(chars, f.width)).c_str();
            break;
        }
        case Kind::List: {
            auto count = static_cast<int32_t>(f.capacity);
            if (f.count_at >= 0)
                count = std::clamp(read_i32(base + f.count_at), 0, count);
            for (int32_t i = 0; i < count; ++i)
                write_fields(parent.append_child(f.name), f.items, at + static_cast<size_t>(i) * f.stride);
            break;
        }
        }
    }
}

void read_fields(pugi::xml_node parent, std::span<const Field> fields, uint8_t *base) {
    for (const Field &f : fields) {
        uint8_t *at = base + f.offset;
        switch (f.kind) {
        case Kind::Int: write_i32(at, parent.child(f.name).text().as_int(0)); break;
        case Kind::Text: {
            const char *chars = parent.child(f.name).child_value();
            std::memcpy(at, chars, strnlen(chars, f.width - 1));
            break;
        }
        case Kind::List: {
            size_t count = 0;
            for (pugi::xml_node entry : parent.children(f.name)) {
                if (count == f.capacity)
                    break;
                read_fields(entry, f.items, at + count * f.stride);
                ++count;
            }
            if (f.count_at >= 0)
                write_i32(base + f.count_at, static_cast<int32_t>(count));
            break;
        }
        }
    }
}

std::string document_of(const Schema &schema, const uint8_t *record) {
    pugi::xml_document doc;
    write_fields(doc.append_child(schema.root), schema.fields, record);
    return serialised(doc);
}

std::vector<uint8_t> record_of(const Schema &schema, const std::string &document) {
    std::vector<uint8_t> record(schema.size, 0);
    pugi::xml_document doc;
    if (doc.load_string(document.c_str()))
        read_fields(doc.child(schema.root), schema.fields, record.data());
    return record;
}

/* The key a request files its document under; false when it names a channel
 * the device does not have. */
bool document_key(const Schema &schema, const void *record, int64_t len, int32_t channels, int32_t &key) {
    key = SDK_SIM_ANY;
    if (schema.key_at < 0)
        return true;
    key = record != nullptr && len >= schema.key_at + 4 ? read_i32(static_cast<const uint8_t *>(record) + schema.key_at)
                                                        : 0;
    return !schema.key_is_channel || (key >= 0 && key < channels);
}

/* ------------------------------------------------------------------------
 * HTTP-XML. */

constexpr char kDatabaseUrl[] = "/CGI/CourtDB/Database";
constexpr int32_t kTestimonyListKey = 524291;
constexpr int32_t kTestimonyListType = 2;

/* "/CGI/Smart/FaceTrack/1/Channels/<channel from 1>/Scene/<scene>" */
bool face_track_url(const std::string &url, int32_t &channel, int32_t &scene) {
    int consumed = 0;
    int device = 0;
    if (std::sscanf(url.c_str(), "/CGI/Smart/FaceTrack/%d/Channels/%d/Scene/%d%n", &device, &channel, &scene,
                    &consumed) != 3)
        return false;
    return static_cast<size_t>(consumed) == url.size() && device == 1;
}

std::string factory_face_track() {
    pugi::xml_document doc;
    doc.append_child(FACE_TRACK_XML_ROOT).append_child(FACE_TRACK_XML_ENABLED).text() = 0;
    return serialised(doc);
}

/* A face-track document as the device accepts it: the switch as an integer. */
bool valid_face_track(const pugi::xml_document &doc) {
    pugi::xml_node enabled = doc.child(FACE_TRACK_XML_ROOT).child(FACE_TRACK_XML_ENABLED);
    char *end = nullptr;
    const char *value = enabled.child_value();
    std::strtol(value, &end, 10);
    return enabled && *value != '\0' && *end == '\0';
}

struct JsonPut {
    void operator()(json_object *o) const { json_object_put(o); }
};
using Json = std::unique_ptr<json_object, JsonPut>;

int32_t member_int(json_object *obj, const char *key) {
    json_object *member = nullptr;
    return json_object_object_get_ex(obj, key, &member) && json_object_is_type(member, json_type_int)
               ? json_object_get_int(member)
               : -1;
}

/* The court database: the testimony channel list (one per channel), for
 * the query naming its key and type; other queries find nothing. */
std::string database_answer(const std::string &body, int32_t channels) {
    Json query(json_tokener_parse(body.c_str()));
    json_object *conditions = nullptr;
    bool listed = query != nullptr && member_int(query.get(), "key") == kTestimonyListKey &&
                  json_object_object_get_ex(query.get(), "conditions", &conditions) &&
                  member_int(conditions, "Type") == kTestimonyListType;
    Json reply(json_object_new_object());
    json_object_object_add(reply.get(), "result", json_object_new_int(listed ? 0 : 1));
    if (listed) {
        json_object *items = json_object_new_array();
        for (int32_t ch = 0; ch < channels; ++ch) {
            json_object *info = json_object_new_object();
            char name[32];
            std::snprintf(name, sizeof name, "Testimony %d", ch + 1);
            json_object_object_add(info, "Chid", json_object_new_int(ch));
            json_object_object_add(info, "Name", json_object_new_string(name));
            json_object_object_add(info, "NameId", json_object_new_int(ch + 1));
            json_object *item = json_object_new_object();
            json_object_object_add(item, "ChInfo", info);
            json_object_array_add(items, item);
        }
        json_object *info = json_object_new_object();
        json_object_object_add(info, "ListChInfo", items);
        json_object_object_add(reply.get(), "info", info);
    }
    return json_object_to_json_string_ext(reply.get(), JSON_C_TO_STRING_PLAIN);
}

}  // namespace

std::optional<Answer> XmlDocuments::http(const Call &call, int32_t channels) {
    const std::string url = call.text[0].value_or("");
    const std::string body = call.text[1].value_or("");
    if (call.cmd == HTTPXML_REQUEST_DATABASE)
        return url == kDatabaseUrl ? answered(database_answer(body, channels)) : refused(kNotFound);

    int32_t channel = 0, scene = 0;
    if (!face_track_url(url, channel, scene) || channel < 1 || channel > channels)
        return refused(kNotFound);
    if (call.cmd == HTTPXML_REQUEST_READ) {
        auto kept = face_tracks_.find({channel, scene});
        return answered(kept != face_tracks_.end() ? kept->second : factory_face_track());
    }
    if (call.cmd != HTTPXML_REQUEST_WRITE)
        return refused(kBadRequest);
    pugi::xml_document doc;
    if (!doc.load_string(body.c_str()) || !valid_face_track(doc))
        return refused(kBadRequest);
    face_tracks_[{channel, scene}] = serialised(doc);
    return answered("");
}

std::optional<Answer> XmlDocuments::set_config(const Call &call, int32_t channels) {
    const Schema *schema = schema_of(call.cmd);
    if (schema == nullptr)
        return std::nullopt;
    int32_t key = 0;
    if (call.in == nullptr || call.in_len != static_cast<int64_t>(schema->size))
        return refused(kBadRequest);
    if (!document_key(*schema, call.in, call.in_len, channels, key))
        return refused(kNotFound);
    settings_[{call.cmd, key}] = document_of(*schema, static_cast<const uint8_t *>(call.in));
    xml_res_status status{};
    status.iStatusCode = 0;
    Answer a;
    a.out.resize(sizeof status);
    std::memcpy(a.out.data(), &status, sizeof status);
    return a;
}

std::optional<Answer> XmlDocuments::get_config(const Call &call, int32_t channels) {
    const Schema *schema = schema_of(call.cmd);
    if (schema == nullptr)
        return std::nullopt;
    int32_t key = 0;
    if (call.args[1] != static_cast<int32_t>(schema->size))
        return refused(kBadRequest);
    if (!document_key(*schema, call.in, call.in_len, channels, key))
        return refused(kNotFound);
    auto kept = settings_.find({call.cmd, key});
    if (kept == settings_.end()) {
        std::vector<uint8_t> factory(schema->size, 0);
        schema->factory(factory.data(), key, channels);
        kept = settings_.emplace(std::make_pair(call.cmd, key), document_of(*schema, factory.data())).first;
    }
    Answer a;
    a.out = record_of(*schema, kept->second);
    return a;
}

}  // namespace device_sdk_sim
