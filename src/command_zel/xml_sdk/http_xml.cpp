#include "xml_sdk/http_xml.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "face_track_codec.h"
#include "handler_support.h"
#include "host_view.h"

namespace zel {
namespace {

struct Free {
    void operator()(char *p) const { std::free(p); }
};
using Buffer = std::unique_ptr<char, Free>;

// What each exchange logs when one of its buffers cannot be allocated.
struct BufferNames {
    const char *url, *body, *reply;
};
constexpr BufferNames kWriteBuffers{"out_info.pcRequestUrl == NULL", "out_info.pvInBuf == NULL",
                                    "out_info.pvOutputBuf == NULL"};
constexpr BufferNames kReadBuffers{"tInPara.pcRequestUrl == NULL", "tInPara.pvInBuf == NULL",
                                   "tOutPara.pvOutputBuf == NULL"};
constexpr BufferNames kQueryBuffers{"NULL == in_para.pcRequestUrl", "NULL == in_para.pvInBuf",
                                    "NULL == out_para.pvOutputBuf"};

// One HTTP exchange: the request and reply records and their zeroed heap
// buffers, released whatever the outcome. The reply buffer has one byte more
// than the device is told, so a reply that fills it is still terminated.
class Exchange {
  public:
    Exchange(const BufferNames &names, size_t body_size, Site site = {})
        : url_(allocate(HTTPXML_URL_BUF_SIZE, names.url, site)), body_(allocate(body_size, names.body, site)),
          answer_(allocate(HTTPXML_REPLY_BUF_SIZE + 1, names.reply, site)) {
        request.pcRequestUrl = url_.get();
        request.pvInBuf = body_.get();
        request.iRequestFlag = HTTPXML_FLAG;
        reply.pvOutputBuf = answer_.get();
        reply.iOutBufLen = HTTPXML_REPLY_BUF_SIZE;
    }

    char *url() const { return url_.get(); }
    char *body() const { return body_.get(); }
    const char *answer() const { return answer_.get(); }
    // The reply's length as the device left it, never beyond the buffer.
    int32_t answer_len() const { return std::clamp(reply.iOutBufLen, 0, static_cast<int32_t>(HTTPXML_REPLY_BUF_SIZE)); }

    int32_t send(const HostView &host) {
        return NetClient_HttpXmlConfig(host.loginfd(), &request, record_len<http_xml_request>(), &reply,
                                       record_len<http_xml_reply>());
    }

    http_xml_request request{};
    http_xml_reply reply{};

  private:
    static Buffer allocate(size_t size, const char *what, const Site &site) {
        return Buffer(static_cast<char *>(xcalloc(1, size, what, site)));
    }
    Buffer url_, body_, answer_;
};

int32_t text_len(const char *text) { return static_cast<int32_t>(std::strlen(text)); }

// The face-track document of `param` for the device's address, written
// into the body buffer (at most its size minus one characters).
bool encap_face_track_enable(const HostView &host, int32_t ch, const face_track_param &param, char *body) {
    char ip[host_field::kIpSize + 1] = {};
    std::memcpy(ip, host.ip(), host_field::kIpSize);
    int32_t ret = Encap_FaceTrackInfo(0, body, HTTPXML_BODY_BUF_SIZE, ip, &param.enabled, sizeof param.enabled);
    if (ret < 0)
        return ZREFUSE("Encap_FaceTrackInfo failed, host_id:%s, ch:%d, ret:%d", host.id(), ch, ret);
    return true;
}

bool analysis_face_track_enable(const HostView &host, int32_t ch, const Exchange &exchange, int32_t &enabled) {
    int32_t value = 0;
    if (Analysis_FaceTrackInfo(0, exchange.answer(), exchange.answer_len(), &value, sizeof value) < 0)
        return ZREFUSE("Analysis_FaceTrackInfo failed, host_id:%s, ch:%d, err:%lx", host.id(), ch, sdk_error());
    enabled = value;
    return true;
}

// The URL of a face-track exchange; false (logged) when it cannot be built.
bool face_track_url(const HostView &host, int32_t ch, const face_track_param &param, char *url) {
    int32_t ret = face_track_enable_get_url(url, &param, 1, ch);
    if (ret != 0)
        return ZREFUSE("face_track_enable_get_url ERR ,host_id:%s, ch:%d, Ret:%d", host.id(), ch, ret);
    return true;
}

}  // namespace

int32_t face_track_enable_get_url(char *http_url, const face_track_param *param, int32_t device_no, int32_t ch) {
    if (param == nullptr) {
        ZLOG(kLogError, "param == NULL");
        return -1;
    }
    if (http_url == nullptr) {
        ZLOG(kLogError, "http_url == NULL");
        return -1;
    }
    std::memset(http_url, 0, HTTPXML_URL_BUF_SIZE);
    // Device channels count from 1.
    std::snprintf(http_url, HTTPXML_URL_BUF_SIZE, "/CGI/Smart/FaceTrack/%d/Channels/%lld/Scene/%d", device_no,
                  static_cast<long long>(ch) + 1, param->scene_id);
    return 0;
}

int32_t xml_to_set_face_track_enable(void *host, int32_t ch, const face_track_param *param) {
    if (param == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "in_buf == NULL");
    HostView view(host);
    Exchange exchange(kWriteBuffers, HTTPXML_BODY_BUF_SIZE);
    if (!face_track_url(view, ch, *param, exchange.url()))
        return 0;
    if (!encap_face_track_enable(view, ch, *param, exchange.body()))
        return ZREFUSE("!xml_to_set_face_track_enable");
    exchange.request.iRequestType = HTTPXML_REQUEST_WRITE;
    exchange.request.iRequestUrlLen = text_len(exchange.url());
    exchange.request.iInBufLen = HTTPXML_BODY_BUF_SIZE;
    exchange.request.iRequestOption = HTTPXML_OPTION_NONE;
    if (exchange.send(view) != 0)
        return ZREFUSE("NetClient_HttpXmlConfig failed, host_id:%s, ch:%d, err:%lx", view.id(), ch, sdk_error());
    return 1;
}

int32_t xml_to_get_face_track_enable(void *host, int32_t ch, const face_track_param *param, int32_t *enabled) {
    if (param == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "in_buf == NULL");
    HostView view(host);
    Exchange exchange(kReadBuffers, HTTPXML_URL_BUF_SIZE);
    if (!face_track_url(view, ch, *param, exchange.url()))
        return 0;
    exchange.request.iRequestType = HTTPXML_REQUEST_READ;
    exchange.request.iRequestUrlLen = HTTPXML_URL_BUF_SIZE;
    exchange.request.iInBufLen = 0;
    exchange.request.iRequestOption = HTTPXML_OPTION_NONE;
    if (exchange.send(view) != 0)
        return ZREFUSE("NetClient_HttpXmlConfig failed, host_id:%s, ch:%d, err:%lx", view.id(), ch, sdk_error());
    if (!analysis_face_track_enable(view, ch, exchange, *enabled))
        return ZREFUSE("!xml_to_get_face_track_enable");
    return 1;
}

namespace {

constexpr char kDatabaseUrl[] = "/CGI/CourtDB/Database";
constexpr char kTestimonyQuery[] = R"({"key":524291,"conditions":{"Type":2}})";
constexpr int32_t kTestimonyRecordSize = sizeof(AsynOpIt_GetAllTestimonyChannelInfo);

// Entry `i` of the testimony record: channel id, name (cut to its field)
// and name id; the rest of the entry stays as the platform gave it.
void put_testimony_entry(const RecordView &record, size_t i, int32_t chid, const char *name, int32_t name_id) {
    size_t entry = offsetof(AsynOpIt_GetAllTestimonyChannelInfo, channels) + i * sizeof(testimony_channel_info);
    char field[TESTIMONY_NAME_LEN];
    copy_text(field, name);
    record.put(entry + offsetof(testimony_channel_info, chid), chid);
    std::memcpy(record.at(entry + offsetof(testimony_channel_info, name)), field, sizeof field);
    record.put(entry + offsetof(testimony_channel_info, name_id), name_id);
}

// The device's channel list into the record; false (logged) when the reply
// is not the expected document.
bool fill_testimony(const char *reply, const RecordView &record) {
    JsonPtr all(json_tokener_parse(reply));
    if (all == nullptr)
        return ZREFUSE("is_error(jso_all)");
    if (json_object_get_field_int(all.get(), "result", -1) != 0)
        return ZREFUSE("result != 0");
    json_object *info = json_object_object_get(all.get(), "info");
    if (info == nullptr || !json_object_is_type(info, json_type_object))
        return ZREFUSE("jso_info == NULL");
    json_object *list = json_object_object_get(info, "ListChInfo");
    if (list == nullptr || !json_object_is_type(list, json_type_array))
        return ZREFUSE("jso_list_ch_info == NULL");

    // Entries beyond the record's capacity are not read.
    size_t count = std::min(json_object_array_length(list), static_cast<size_t>(TESTIMONY_CHANNELS));
    record.put(offsetof(AsynOpIt_GetAllTestimonyChannelInfo, count), static_cast<int32_t>(count));
    for (size_t i = 0; i < count; ++i) {
        json_object *item = json_object_array_get_idx(list, i);
        if (item == nullptr) {
            ZLOG(kLogError, "jso_ch_info_item == NULL");
            continue;
        }
        json_object *ch_info = json_object_object_get(item, "ChInfo");
        if (ch_info == nullptr) {
            ZLOG(kLogError, "jso_ch_info == NULL");
            continue;
        }
        const char *name = json_object_get_field_string(ch_info, "Name");
        if (name == nullptr) {
            ZLOG(kLogError, "name == NULL");
            continue;
        }
        int32_t chid = json_object_get_field_int(ch_info, "Chid", -1);
        int32_t name_id = json_object_get_field_int(ch_info, "NameId", -1);
        if (chid < 0 || name_id < 0)
            continue;
        put_testimony_entry(record, i, chid, name, name_id);
        ZLOG(kLogError, "testimony: i: %d, name: %s, ch: %d, ch_name_id: %d", static_cast<int32_t>(i), name, chid,
             name_id);
    }
    return true;
}

}  // namespace

int32_t get_all_testimony_channel_info(void *host, void *record, int32_t size) {
    if (host == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "host == NULL");
    if (record == nullptr || size != kTestimonyRecordSize)
        return ZFAIL(CMD_ZEL_EINVAL, "opit == NULL || size != sizeof(AsynOpIt_GetAllTestimonyChannelInfo)");
    HostView view(host);
    Exchange exchange(kQueryBuffers, HTTPXML_BODY_BUF_SIZE);
    std::memcpy(exchange.url(), kDatabaseUrl, sizeof kDatabaseUrl);
    std::memcpy(exchange.body(), kTestimonyQuery, sizeof kTestimonyQuery);
    exchange.request.iRequestType = HTTPXML_REQUEST_DATABASE;
    exchange.request.iRequestUrlLen = text_len(kDatabaseUrl);
    exchange.request.iInBufLen = text_len(kTestimonyQuery);
    exchange.request.iRequestOption = HTTPXML_OPTION_DATABASE;
    if (exchange.send(view) != 0)
        return ZREFUSE("NetClient_HttpXmlConfig fail!");
    // "XML" and a full-width colon in the platform's GBK encoding.
    ZLOG(kLogError, "XML\xA3\xBA%s", exchange.answer());
    if (!fill_testimony(exchange.answer(), RecordView(record)))
        return 0;
    ZLOG(kLogError, "NetClient_HttpXmlConfig succ!");
    return 1;
}

}  // namespace zel
