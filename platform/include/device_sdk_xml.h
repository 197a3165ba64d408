/* Device SDK records of the HTTP-XML exchanges and of the XML-carried
 * device settings: the request and reply records of NetClient_HttpXmlConfig,
 * the structures that NetClient_XmlGetDevConfig and NetClient_XmlSetDevConfig
 * carry (the SDK turns them into XML documents and back), their result-status
 * record, and the platform's all-channels testimony record.
 *
 * Little-endian, byte for byte as they cross the SDK interface; texts are
 * NUL-terminated in their fixed fields; pointers are 8 bytes. */
#ifndef PLATFORM_DEVICE_SDK_XML_H
#define PLATFORM_DEVICE_SDK_XML_H

#include <assert.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------------
 * NetClient_HttpXmlConfig */

enum {
    HTTPXML_REQUEST_READ = 0,     /* read a document (face-track read) */
    HTTPXML_REQUEST_WRITE = 1,    /* write a document (face-track write) */
    HTTPXML_REQUEST_DATABASE = 2, /* query the court database */
    HTTPXML_OPTION_NONE = 0,
    HTTPXML_OPTION_DATABASE = 10,
    HTTPXML_FLAG = 1,
    HTTPXML_URL_BUF_SIZE = 1024,
    HTTPXML_BODY_BUF_SIZE = 102400,
    HTTPXML_REPLY_BUF_SIZE = 102400
};

typedef struct http_xml_request {
    int32_t iRequestType; /* HTTPXML_REQUEST_* */
    uint8_t reserved0[4];
    char *pcRequestUrl;     /* URL path */
    int32_t iRequestUrlLen; /* URL length (or its buffer's size) */
    uint8_t reserved1[4];
    void *pvInBuf;          /* request body */
    int32_t iInBufLen;      /* body length (or its buffer's size) */
    int32_t iRequestOption; /* HTTPXML_OPTION_* */
    uint8_t reserved2[4];
    int32_t iRequestFlag; /* HTTPXML_FLAG */
} http_xml_request;
static_assert(sizeof(http_xml_request) == 48, "http_xml_request");
static_assert(offsetof(http_xml_request, iRequestType) == 0, "http_xml_request.iRequestType");
static_assert(offsetof(http_xml_request, reserved0) == 4, "http_xml_request.reserved0");
static_assert(offsetof(http_xml_request, pcRequestUrl) == 8, "http_xml_request.pcRequestUrl");
static_assert(offsetof(http_xml_request, iRequestUrlLen) == 16, "http_xml_request.iRequestUrlLen");
static_assert(offsetof(http_xml_request, reserved1) == 20, "http_xml_request.reserved1");
static_assert(offsetof(http_xml_request, pvInBuf) == 24, "http_xml_request.pvInBuf");
static_assert(offsetof(http_xml_request, iInBufLen) == 32, "http_xml_request.iInBufLen");
static_assert(offsetof(http_xml_request, iRequestOption) == 36, "http_xml_request.iRequestOption");
static_assert(offsetof(http_xml_request, reserved2) == 40, "http_xml_request.reserved2");
static_assert(offsetof(http_xml_request, iRequestFlag) == 44, "http_xml_request.iRequestFlag");

typedef struct http_xml_reply {
    void *pvOutputBuf;  /* receives the device's answer */
    int32_t iOutBufLen; /* the buffer's capacity */
    uint8_t reserved[20];
} http_xml_reply;
static_assert(sizeof(http_xml_reply) == 32, "http_xml_reply");
static_assert(offsetof(http_xml_reply, pvOutputBuf) == 0, "http_xml_reply.pvOutputBuf");
static_assert(offsetof(http_xml_reply, iOutBufLen) == 8, "http_xml_reply.iOutBufLen");
static_assert(offsetof(http_xml_reply, reserved) == 12, "http_xml_reply.reserved");

/* The face-track switch of one scene of a channel. */
typedef struct face_track_param {
    int32_t channel;
    int32_t scene_id;
    int32_t enabled; /* 0 off, 1 on; 0 in a read */
} face_track_param;
static_assert(sizeof(face_track_param) == 12, "face_track_param");
static_assert(offsetof(face_track_param, channel) == 0, "face_track_param.channel");
static_assert(offsetof(face_track_param, scene_id) == 4, "face_track_param.scene_id");
static_assert(offsetof(face_track_param, enabled) == 8, "face_track_param.enabled");

/* ------------------------------------------------------------------------
 * The platform's all-channels testimony record (video_to_cmd_common_get_config
 * type 1). */

enum { TESTIMONY_CHANNELS = 320, TESTIMONY_NAME_LEN = 60 };

typedef struct testimony_channel_info {
    int32_t chid;
    char name[TESTIMONY_NAME_LEN];
    int32_t name_id;
    uint8_t reserved[64];
} testimony_channel_info;
static_assert(sizeof(testimony_channel_info) == 132, "testimony_channel_info");
static_assert(offsetof(testimony_channel_info, chid) == 0, "testimony_channel_info.chid");
static_assert(offsetof(testimony_channel_info, name) == 4, "testimony_channel_info.name");
static_assert(offsetof(testimony_channel_info, name_id) == 64, "testimony_channel_info.name_id");
static_assert(offsetof(testimony_channel_info, reserved) == 68, "testimony_channel_info.reserved");

typedef struct AsynOpIt_GetAllTestimonyChannelInfo {
    testimony_channel_info channels[TESTIMONY_CHANNELS];
    uint8_t reserved0[4];
    int32_t count;
    uint8_t reserved1[4];
} AsynOpIt_GetAllTestimonyChannelInfo;
static_assert(sizeof(AsynOpIt_GetAllTestimonyChannelInfo) == 42252, "AsynOpIt_GetAllTestimonyChannelInfo");
static_assert(offsetof(AsynOpIt_GetAllTestimonyChannelInfo, channels) == 0,
              "AsynOpIt_GetAllTestimonyChannelInfo.channels");
static_assert(offsetof(AsynOpIt_GetAllTestimonyChannelInfo, reserved0) == 42240,
              "AsynOpIt_GetAllTestimonyChannelInfo.reserved0");
static_assert(offsetof(AsynOpIt_GetAllTestimonyChannelInfo, count) == 42244,
              "AsynOpIt_GetAllTestimonyChannelInfo.count");
static_assert(offsetof(AsynOpIt_GetAllTestimonyChannelInfo, reserved1) == 42248,
              "AsynOpIt_GetAllTestimonyChannelInfo.reserved1");

/* ------------------------------------------------------------------------
 * NetClient_XmlGetDevConfig / NetClient_XmlSetDevConfig */

enum {
    NETXMLCFG_BESTIR_PARAM = 11,
    NETXMLCFG_JUDGEANYINFO = 16,
    NETXMLCFG_CASE_CONTROL = 17,
    NETXMLCFG_TYPE_VALUE = 20,
    NETXMLCFG_COURTAVP_CALLSTATE = 22,
    NETXMLCFG_H323_PARAM = 23,
    NETXMLCFG_COURT_ZFCHNINFO = 26,
    NETXMLCFG_CMD_MIXAUDIOCONFIG = 28,
    NETXMLCFG_DEFOGGING_PARAM = 42
};

/* Capacities of the structures below. */
enum {
    XML_IP_LEN = 64,
    XML_NAME_LEN = 64,
    XML_SRC_NAME_LEN = 32,
    XML_VALUE_LEN = 32,
    XML_TIME_LEN = 16,
    H323_MAX_DEV = 16,
    CALL_STATE_MAX = 16,
    JUDGE_ANY_TYPES = 8,
    JUDGE_ANY_REGIONS = 37,
    ZF_CH_MAX = 360,
    MIX_AUDIO_OUTPUTS = 8,
    MIX_AUDIO_INPUTS = 32,
    DEFOG_DAY_BLOCKS = 8,
    DEFOG_RANGES = 4
};

/* Result of every NetClient_XmlSetDevConfig: a write succeeded when the call
 * returned 0 or more and iStatusCode is 0 or 1. */
typedef struct xml_res_status {
    int32_t iStatusCode;
    uint8_t reserved[128];
} xml_res_status;
static_assert(sizeof(xml_res_status) == 132, "xml_res_status");
static_assert(offsetof(xml_res_status, iStatusCode) == 0, "xml_res_status.iStatusCode");
static_assert(offsetof(xml_res_status, reserved) == 4, "xml_res_status.reserved");

/* NETXMLCFG_BESTIR_PARAM */
typedef struct xml_bestir_param {
    int32_t mode;
    int32_t audio_ch;
    int32_t video_ch;
    int32_t mute;
    int32_t volume;
} xml_bestir_param;
static_assert(sizeof(xml_bestir_param) == 20, "xml_bestir_param");
static_assert(offsetof(xml_bestir_param, mode) == 0, "xml_bestir_param.mode");
static_assert(offsetof(xml_bestir_param, audio_ch) == 4, "xml_bestir_param.audio_ch");
static_assert(offsetof(xml_bestir_param, video_ch) == 8, "xml_bestir_param.video_ch");
static_assert(offsetof(xml_bestir_param, mute) == 12, "xml_bestir_param.mute");
static_assert(offsetof(xml_bestir_param, volume) == 16, "xml_bestir_param.volume");

/* NETXMLCFG_JUDGEANYINFO: the analysis switches of a channel. */
typedef struct xml_judge_any_entry {
    int32_t size; /* sizeof(xml_judge_any_entry) */
    int32_t analyse_type;
    int32_t enable;
    int32_t region_count;
    int32_t regions[JUDGE_ANY_REGIONS];
} xml_judge_any_entry;
static_assert(sizeof(xml_judge_any_entry) == 164, "xml_judge_any_entry");
static_assert(offsetof(xml_judge_any_entry, size) == 0, "xml_judge_any_entry.size");
static_assert(offsetof(xml_judge_any_entry, analyse_type) == 4, "xml_judge_any_entry.analyse_type");
static_assert(offsetof(xml_judge_any_entry, enable) == 8, "xml_judge_any_entry.enable");
static_assert(offsetof(xml_judge_any_entry, region_count) == 12, "xml_judge_any_entry.region_count");
static_assert(offsetof(xml_judge_any_entry, regions) == 16, "xml_judge_any_entry.regions");

typedef struct xml_judge_any_info {
    int32_t channel;
    uint8_t device_filled[20];
    xml_judge_any_entry entries[JUDGE_ANY_TYPES];
} xml_judge_any_info;
static_assert(sizeof(xml_judge_any_info) == 1336, "xml_judge_any_info");
static_assert(offsetof(xml_judge_any_info, channel) == 0, "xml_judge_any_info.channel");
static_assert(offsetof(xml_judge_any_info, device_filled) == 4, "xml_judge_any_info.device_filled");
static_assert(offsetof(xml_judge_any_info, entries) == 24, "xml_judge_any_info.entries");

/* NETXMLCFG_CASE_CONTROL */
typedef struct xml_case_control {
    int32_t channel;
    int32_t scene_id;
    int32_t part_in_num;
    int32_t case_control;
} xml_case_control;
static_assert(sizeof(xml_case_control) == 16, "xml_case_control");
static_assert(offsetof(xml_case_control, channel) == 0, "xml_case_control.channel");
static_assert(offsetof(xml_case_control, scene_id) == 4, "xml_case_control.scene_id");
static_assert(offsetof(xml_case_control, part_in_num) == 8, "xml_case_control.part_in_num");
static_assert(offsetof(xml_case_control, case_control) == 12, "xml_case_control.case_control");

/* NETXMLCFG_TYPE_VALUE */
typedef struct xml_type_value {
    int32_t type;
    int32_t enable;
    char value[XML_VALUE_LEN];
} xml_type_value;
static_assert(sizeof(xml_type_value) == 40, "xml_type_value");
static_assert(offsetof(xml_type_value, type) == 0, "xml_type_value.type");
static_assert(offsetof(xml_type_value, enable) == 4, "xml_type_value.enable");
static_assert(offsetof(xml_type_value, value) == 8, "xml_type_value.value");

/* NETXMLCFG_COURTAVP_CALLSTATE */
typedef struct xml_call_state_entry {
    int32_t call_id;
    int32_t group_id;
    char ip_address[XML_IP_LEN];
    int32_t port;
    int32_t call_type;
    int32_t sip_net_link_type;
    int32_t call_state;
} xml_call_state_entry;
static_assert(sizeof(xml_call_state_entry) == 88, "xml_call_state_entry");
static_assert(offsetof(xml_call_state_entry, call_id) == 0, "xml_call_state_entry.call_id");
static_assert(offsetof(xml_call_state_entry, group_id) == 4, "xml_call_state_entry.group_id");
static_assert(offsetof(xml_call_state_entry, ip_address) == 8, "xml_call_state_entry.ip_address");
static_assert(offsetof(xml_call_state_entry, port) == 72, "xml_call_state_entry.port");
static_assert(offsetof(xml_call_state_entry, call_type) == 76, "xml_call_state_entry.call_type");
static_assert(offsetof(xml_call_state_entry, sip_net_link_type) == 80, "xml_call_state_entry.sip_net_link_type");
static_assert(offsetof(xml_call_state_entry, call_state) == 84, "xml_call_state_entry.call_state");

typedef struct xml_call_state {
    int32_t gk_state;
    int32_t count;
    xml_call_state_entry entries[CALL_STATE_MAX];
} xml_call_state;
static_assert(sizeof(xml_call_state) == 1416, "xml_call_state");
static_assert(offsetof(xml_call_state, gk_state) == 0, "xml_call_state.gk_state");
static_assert(offsetof(xml_call_state, count) == 4, "xml_call_state.count");
static_assert(offsetof(xml_call_state, entries) == 8, "xml_call_state.entries");

/* NETXMLCFG_H323_PARAM: the conference calls of the device. */
typedef struct xml_h323_single_dev {
    int32_t set_type;
    int32_t stream_type;
    int32_t call_id;
    int32_t group_id;
    int32_t call_type;
    int32_t sip_net_link_type;
    int32_t call_mode;
    int32_t call_rate;
    char ip_address[XML_IP_LEN];
    int32_t port;
    char net_name[XML_NAME_LEN];
    char uri[XML_NAME_LEN];
    char call_msg[XML_NAME_LEN];
} xml_h323_single_dev;
static_assert(sizeof(xml_h323_single_dev) == 292, "xml_h323_single_dev");
static_assert(offsetof(xml_h323_single_dev, set_type) == 0, "xml_h323_single_dev.set_type");
static_assert(offsetof(xml_h323_single_dev, stream_type) == 4, "xml_h323_single_dev.stream_type");
static_assert(offsetof(xml_h323_single_dev, call_id) == 8, "xml_h323_single_dev.call_id");
static_assert(offsetof(xml_h323_single_dev, group_id) == 12, "xml_h323_single_dev.group_id");
static_assert(offsetof(xml_h323_single_dev, call_type) == 16, "xml_h323_single_dev.call_type");
static_assert(offsetof(xml_h323_single_dev, sip_net_link_type) == 20, "xml_h323_single_dev.sip_net_link_type");
static_assert(offsetof(xml_h323_single_dev, call_mode) == 24, "xml_h323_single_dev.call_mode");
static_assert(offsetof(xml_h323_single_dev, call_rate) == 28, "xml_h323_single_dev.call_rate");
static_assert(offsetof(xml_h323_single_dev, ip_address) == 32, "xml_h323_single_dev.ip_address");
static_assert(offsetof(xml_h323_single_dev, port) == 96, "xml_h323_single_dev.port");
static_assert(offsetof(xml_h323_single_dev, net_name) == 100, "xml_h323_single_dev.net_name");
static_assert(offsetof(xml_h323_single_dev, uri) == 164, "xml_h323_single_dev.uri");
static_assert(offsetof(xml_h323_single_dev, call_msg) == 228, "xml_h323_single_dev.call_msg");

typedef struct xml_h323_param {
    int32_t count;
    xml_h323_single_dev devs[H323_MAX_DEV];
} xml_h323_param;
static_assert(sizeof(xml_h323_param) == 4676, "xml_h323_param");
static_assert(offsetof(xml_h323_param, count) == 0, "xml_h323_param.count");
static_assert(offsetof(xml_h323_param, devs) == 4, "xml_h323_param.devs");

/* NETXMLCFG_COURT_ZFCHNINFO: the name type of each court channel. */
typedef struct xml_zf_ch_entry {
    int32_t ch_no;
    int32_t ch_name_type;
} xml_zf_ch_entry;
static_assert(sizeof(xml_zf_ch_entry) == 8, "xml_zf_ch_entry");
static_assert(offsetof(xml_zf_ch_entry, ch_no) == 0, "xml_zf_ch_entry.ch_no");
static_assert(offsetof(xml_zf_ch_entry, ch_name_type) == 4, "xml_zf_ch_entry.ch_name_type");

typedef struct xml_zf_ch_info {
    int32_t type;
    int32_t count;
    xml_zf_ch_entry entries[ZF_CH_MAX];
} xml_zf_ch_info;
static_assert(sizeof(xml_zf_ch_info) == 2888, "xml_zf_ch_info");
static_assert(offsetof(xml_zf_ch_info, type) == 0, "xml_zf_ch_info.type");
static_assert(offsetof(xml_zf_ch_info, count) == 4, "xml_zf_ch_info.count");
static_assert(offsetof(xml_zf_ch_info, entries) == 8, "xml_zf_ch_info.entries");

/* NETXMLCFG_CMD_MIXAUDIOCONFIG: the audio outputs and the inputs mixed into
 * each. */
typedef struct xml_mix_audio_input {
    char input_src_name[XML_SRC_NAME_LEN];
    int32_t enable;
} xml_mix_audio_input;
static_assert(sizeof(xml_mix_audio_input) == 36, "xml_mix_audio_input");
static_assert(offsetof(xml_mix_audio_input, input_src_name) == 0, "xml_mix_audio_input.input_src_name");
static_assert(offsetof(xml_mix_audio_input, enable) == 32, "xml_mix_audio_input.enable");

typedef struct xml_mix_audio_output {
    int32_t iAudioSrcNum;
    char output_src_name[XML_SRC_NAME_LEN];
    xml_mix_audio_input inputs[MIX_AUDIO_INPUTS];
} xml_mix_audio_output;
static_assert(sizeof(xml_mix_audio_output) == 1188, "xml_mix_audio_output");
static_assert(offsetof(xml_mix_audio_output, iAudioSrcNum) == 0, "xml_mix_audio_output.iAudioSrcNum");
static_assert(offsetof(xml_mix_audio_output, output_src_name) == 4, "xml_mix_audio_output.output_src_name");
static_assert(offsetof(xml_mix_audio_output, inputs) == 36, "xml_mix_audio_output.inputs");

typedef struct xml_mix_audio_config {
    int32_t iAudioConfigNum;
    xml_mix_audio_output outputs[MIX_AUDIO_OUTPUTS];
} xml_mix_audio_config;
static_assert(sizeof(xml_mix_audio_config) == 9508, "xml_mix_audio_config");
static_assert(offsetof(xml_mix_audio_config, iAudioConfigNum) == 0, "xml_mix_audio_config.iAudioConfigNum");
static_assert(offsetof(xml_mix_audio_config, outputs) == 4, "xml_mix_audio_config.outputs");

/* NETXMLCFG_DEFOGGING_PARAM: a channel's defogging switch and weekly
 * schedule. Day block 0 is not used; blocks 1 to 7 are the days. */
typedef struct xml_defog_range {
    int32_t time_vaild;
    char start_time[XML_TIME_LEN];
    char end_time[XML_TIME_LEN];
} xml_defog_range;
static_assert(sizeof(xml_defog_range) == 36, "xml_defog_range");
static_assert(offsetof(xml_defog_range, time_vaild) == 0, "xml_defog_range.time_vaild");
static_assert(offsetof(xml_defog_range, start_time) == 4, "xml_defog_range.start_time");
static_assert(offsetof(xml_defog_range, end_time) == 20, "xml_defog_range.end_time");

typedef struct xml_defog_day {
    xml_defog_range ranges[DEFOG_RANGES];
} xml_defog_day;
static_assert(sizeof(xml_defog_day) == 144, "xml_defog_day");
static_assert(offsetof(xml_defog_day, ranges) == 0, "xml_defog_day.ranges");

typedef struct xml_defogging_param {
    int32_t channel;
    int32_t enable;
    xml_defog_day days[DEFOG_DAY_BLOCKS];
} xml_defogging_param;
static_assert(sizeof(xml_defogging_param) == 1160, "xml_defogging_param");
static_assert(offsetof(xml_defogging_param, channel) == 0, "xml_defogging_param.channel");
static_assert(offsetof(xml_defogging_param, enable) == 4, "xml_defogging_param.enable");
static_assert(offsetof(xml_defogging_param, days) == 8, "xml_defogging_param.days");

#ifdef __cplusplus
}
#endif

#endif
