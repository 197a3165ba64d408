/* Encap_FaceTrackInfo and Analysis_FaceTrackInfo: the face-track document
 * built and read with pugixml (vocabulary in face_track_codec.h). */
#include "face_track_codec.h"

#include <pugixml.hpp>

#include <charconv>
#include <cstring>
#include <new>
#include <string>

#include "../os_support/errno_guard.h"
#include "platform_export.h"

#define CODEC_EXPORT extern "C" PLATFORM_EXPORT

namespace {

constexpr int32_t kBadArgument = -1;
constexpr int32_t kDoesNotFit = -2;
constexpr int32_t kNotXml = -2;
constexpr int32_t kNoElement = -3;
constexpr int32_t kNotInteger = -4;

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void *data, size_t size) override { text.append(static_cast<const char *>(data), size); }
};

int32_t encode(char *out, int32_t out_cap, const char *dev_ip, int32_t enabled) {
    pugi::xml_document doc;
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    pugi::xml_node root = doc.append_child(FACE_TRACK_XML_ROOT);
    root.append_child(FACE_TRACK_XML_ADDRESS).text() = dev_ip;
    root.append_child(FACE_TRACK_XML_ENABLED).text() = enabled;

    StringWriter writer;
    doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    if (writer.text.size() >= static_cast<size_t>(out_cap))
        return kDoesNotFit;
    std::memcpy(out, writer.text.c_str(), writer.text.size() + 1);
    return static_cast<int32_t>(writer.text.size());
}

int32_t decode(const char *reply, int32_t reply_len, void *result) {
    pugi::xml_document doc;
    size_t len = strnlen(reply, static_cast<size_t>(reply_len));
    if (!doc.load_buffer(reply, len, pugi::parse_default | pugi::parse_trim_pcdata, pugi::encoding_utf8))
        return kNotXml;
    pugi::xml_node enabled = doc.child(FACE_TRACK_XML_ROOT).child(FACE_TRACK_XML_ENABLED);
    if (!enabled)
        return kNoElement;
    const char *text = enabled.child_value();
    const char *end = text + std::strlen(text);
    int32_t value = 0;
    auto [stop, ec] = std::from_chars(text, end, value);
    if (ec != std::errc() || stop != end || stop == text)
        return kNotInteger;
    std::memcpy(result, &value, sizeof value);
    return 0;
}

}  // namespace

CODEC_EXPORT int32_t Encap_FaceTrackInfo(int32_t kind, char *out, int32_t out_cap, const char *dev_ip,
                                         const void *value, int32_t value_len) {
    ErrnoGuard guard;
    if (kind != 0 || out == nullptr || out_cap <= 0 || dev_ip == nullptr || value == nullptr ||
        value_len != static_cast<int32_t>(sizeof(int32_t)))
        return kBadArgument;
    int32_t enabled;
    std::memcpy(&enabled, value, sizeof enabled);
    try {
        return encode(out, out_cap, dev_ip, enabled);
    } catch (const std::bad_alloc &) {
        return kBadArgument;
    }
}

CODEC_EXPORT int32_t Analysis_FaceTrackInfo(int32_t kind, const char *reply, int32_t reply_len, void *result,
                                            int32_t result_len) {
    ErrnoGuard guard;
    if (kind != 0 || reply == nullptr || reply_len < 0 || result == nullptr ||
        result_len != static_cast<int32_t>(sizeof(int32_t)))
        return kBadArgument;
    try {
        return decode(reply, reply_len, result);
    } catch (const std::bad_alloc &) {
        return kBadArgument;
    }
}
