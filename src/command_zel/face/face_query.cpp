// The search commands that open query sessions (by picture, snapshots,
// libraries, faces), the snapshot search progress, and the two direct
// picture queries.
#include <algorithm>
#include <array>
#include <cstring>

#include "comm_func/comm_func.h"
#include "face/face_query.h"
#include "face/face_support.h"
#include "handler_support.h"
#include "host_view.h"
#include "zel_json.h"
#include "zel_log.h"

namespace zel {
namespace {

void *heap_copy(const void *data, size_t len, const char *what) {
    void *copy = xcalloc(1, len, what);
    std::memcpy(copy, data, len);
    return copy;
}

// What a search hands to its new session.
struct SessionStart {
    find_query_type type;
    int32_t ch;
    int32_t total;
    int32_t page_count;
    const void *request;
    size_t request_len;
    const char *request_oom;
    const void *page;  // the first page, or null when none was loaded
    size_t record_len;
};

// Opens the session of a search the device accepted; its number, or 0
// (logged, code set) when no session could be made.
uint32_t open_session(void *host, const SessionStart &start) {
    SessionHold session(create_cmd_findinfo_fd());
    if (!session) {
        ZFAIL(CMD_ZEL_ENOTDONE, "create_cmd_findinfo_fd false! find_info == NULL");
        return 0;
    }
    session->host = host;
    session->ch = start.ch;
    session->page_pos = 0;
    session->query_type = start.type;
    session->total = start.total;
    session->page_count = start.page_count;
    session->query_info = heap_copy(start.request, start.request_len, start.request_oom);
    if (start.page != nullptr && start.page_count > 0)
        session->query_result =
            heap_copy(start.page, FACE_PAGE_RECORDS * start.record_len, "find_info->query_result == NULL");
    return session->findfd;
}

bool read_face_search(json_object *jso, face_search_request &request) {
    const char *picname = nullptr;
    const char *libuuid = nullptr;
    if (!read_non_negative(jso, "ch", request.ch, {"ch == -1"}) ||
        !read_non_negative(jso, "taskid", request.task_id, {"taskid == -1"}) || !read_text(jso, "picname", picname) ||
        !read_text(jso, "libuuid", libuuid) ||
        !read_non_negative(jso, "similar", request.similarity, {"similar == -1"}))
        return false;
    // Both texts may fill their fields, as uuids do.
    copy_uuid(request.lib_uuid, libuuid);
    copy_uuid(request.pic_name, picname);
    request.page_no = 0;
    request.page_records = FACE_PAGE_RECORDS;
    return true;
}

// Fills the snapshot search request and its channel entries.
bool read_snap_search(json_object *jso, face_snap_search_request &request,
                      std::array<face_channel_entry, FACE_SNAP_MAX_CHANNELS> &channels) {
    const char *picname = nullptr;
    const char *begin_time = nullptr;
    const char *end_time = nullptr;
    if (!read_non_negative(jso, "taskid", request.task_id, {"taskid == -1"}) || !read_text(jso, "picname", picname) ||
        !read_non_negative(jso, "similar", request.similarity, {"similar == -1"}) ||
        !read_non_negative(jso, "shortmode", request.short_mode, {"shortmode == -1"}) ||
        !read_text(jso, "begin_time", begin_time) || !read_text(jso, "end_time", end_time))
        return false;
    json_object *list = json_object_object_get(jso, "ch_info");
    if (list == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso_arry)"), false;
    if (!json_object_is_type(list, json_type_array))
        return ZFAIL(CMD_ZEL_EINVAL, "!json_object_is_type(jso_arry, json_type_array)"), false;

    size_t length = json_object_array_length(list);
    if (length > FACE_SNAP_MAX_CHANNELS)
        ZLOG(kLogError, "face_get_query_snap  array_length > max_chanlist_count, len : %zu, max_chanlist_count: %d",
             length, FACE_SNAP_MAX_CHANNELS);
    size_t used = std::min<size_t>(length, FACE_SNAP_MAX_CHANNELS);
    for (size_t i = 0; i < used; ++i) {
        int32_t ch_no = json_object_get_field_int(json_object_array_get_idx(list, i), "ch_no", -1);
        if (ch_no == -1)
            return ZFAIL(CMD_ZEL_EINVAL, "jso_arry ch_no == -1"), false;
        channels[i] = face_channel_entry{ch_no, 0};
    }
    request.channel_count = static_cast<int32_t>(used);
    request.entry_size = sizeof(face_channel_entry);
    request.channels = channels.data();
    copy_text(request.pic_name, picname);
    str_to_dvr_time(begin_time, &request.begin_time);
    str_to_dvr_time(end_time, &request.end_time);
    return true;
}

bool read_face_query(json_object *jso, face_query_request &request) {
    int32_t libkey = -1;  // checked, not sent
    const char *name = nullptr;
    const char *birthstart = nullptr;
    const char *birthend = nullptr;
    const char *certnum = nullptr;
    const char *libuuid = nullptr;
    if (!read_non_negative(jso, "ch", request.ch, {"ch == -1"}) ||
        !read_non_negative(jso, "libkey", libkey, {"libkey == -1"}) ||
        !read_non_negative(jso, "modeling", request.modeling, {"modeling == -1"}) ||
        !read_bounded_text(jso, "name", LEN_64, name, {"name == NULL || strlen(name) >= LEN_64"}) ||
        !read_non_negative(jso, "sex", request.sex, {"sex == -1"}) ||
        !read_bounded_text(jso, "birthstart", LEN_16, birthstart,
                           {"birthstart == NULL || strlen(birthstart) >= LEN_16"}) ||
        !read_bounded_text(jso, "birthend", LEN_16, birthend, {"birthend == NULL || strlen(birthend) >= LEN_16"}) ||
        !read_non_negative(jso, "nation", request.nation, {"nation == -1"}) ||
        !read_non_negative(jso, "place", request.place, {"place == -1"}) ||
        !read_non_negative(jso, "certtype", request.cert_type, {"certtype == -1"}) ||
        !read_bounded_text(jso, "certnum", LEN_64, certnum, {"certnum == NULL || strlen(certnum) >= LEN_64"}) ||
        !read_bounded_text(jso, "libuuid", LEN_UUID, libuuid, {"libuuid == NULL || strlen(libuuid) >= LEN_UUID"}))
        return false;
    copy_text(request.name, name);
    copy_text(request.birth_from, birthstart);
    copy_text(request.birth_to, birthend);
    copy_text(request.cert_num, certnum);
    copy_text(request.lib_uuid, libuuid);
    request.page_no = 0;
    request.page_records = FACE_PAGE_RECORDS;
    return true;
}

// How a paged search asks for its first page and logs a device failure.
struct FirstPage {
    find_query_type type;
    int32_t cmd;
    const char *failure;  // followed by the device's result
    int32_t failure_code;
};

// Asks the device for the first page of `request` and opens the session
// that goes on with page 1. The device's result, or -1 when no session could
// be opened; `findfd` is set when one was.
template <typename Result, typename Request>
int32_t ask_first_page(void *host, const FirstPage &kind, Request &request, uint32_t &findfd) {
    std::array<Result, FACE_PAGE_RECORDS> page{};
    int32_t ret = NetClient_FaceConfig(HostView(host).loginfd(), kind.cmd, request.ch, &request, record_len<Request>(),
                                       page.data(), record_len<Result>());
    if (ret != 0) {
        ZLOG(kLogError, "%s%d", kind.failure, ret);
        fail_with(kind.failure_code);
        return ret;
    }
    if (kind.type == kQueryFace)
        ZLOG(kLogInfo, "query_faceimg_result total:%d,pagecount:%d", page[0].total, page[0].page_count);
    request.page_no = 1;
    findfd =
        open_session(host, {kind.type, request.ch, page[0].total, clamp_count(page[0].page_count, FACE_PAGE_RECORDS),
                            &request, sizeof request, "find_info->query_info == NULL", page.data(), sizeof(Result)});
    return findfd != 0 ? ret : -1;
}

// Each search reads its members, asks the device and opens the session; the
// device's result, or -1 when a member was refused or no session could be
// opened, with `findfd` set when a session was opened.
int32_t start_face_search(void *host, json_object *jso, uint32_t &findfd) {
    auto request = sized_record<face_search_request>();
    if (!read_face_search(jso, request))
        return -1;
    return ask_first_page<face_result>(
        host, {kQueryFaceByPicture, FACE_CMD_SEARCH, "NetClient_FaceConfig FACE_CMD_SEARCH err!ret:", CMD_ZEL_EDEVICE},
        request, findfd);
}

// The snapshot search loads no page: the first get 1 asks for page 0.
int32_t start_snap_search(void *host, json_object *jso, uint32_t &findfd) {
    auto request = sized_record<face_snap_search_request>();
    std::array<face_channel_entry, FACE_SNAP_MAX_CHANNELS> channels{};
    if (!read_snap_search(jso, request, channels))
        return -1;
    int32_t ret = NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_SEARCH_SNAP, kAllChannels, &request,
                                       record_len<face_snap_search_request>(), nullptr, 0);
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EDEVICE, "NetClient_FaceConfig FACE_CMD_SEARCH_SNAP err!ret:%d", ret), ret;
    face_snap_result_request pages{record_len<face_snap_result_request>(), request.task_id, FACE_PAGE_RECORDS, 0};
    findfd = open_session(host, {kQuerySnapshot, 0, -1, 0, &pages, sizeof pages, "snap_query == NULL", nullptr,
                                 sizeof(face_snap_result)});
    return findfd != 0 ? ret : -1;
}

int32_t start_library_query(void *host, json_object *jso, uint32_t &findfd) {
    auto request = sized_record<face_lib_query_request>();
    if (!read_non_negative(jso, "ch", request.ch, {"ch == -1"}))
        return -1;
    request.page_records = FACE_PAGE_RECORDS;
    return ask_first_page<face_lib_query_result>(
        host,
        {kQueryFaceLibrary, FACE_CMD_LIB_QUERY, "NetClient_FaceConfig FACE_CMD_LIB_QUERY err!ret:", CMD_ZEL_EDEVICE},
        request, findfd);
}

// The face query's device failure leaves errno alone.
int32_t start_face_query(void *host, json_object *jso, uint32_t &findfd) {
    auto request = sized_record<face_query_request>();
    if (!read_face_query(jso, request))
        return -1;
    return ask_first_page<face_result>(
        host, {kQueryFace, FACE_CMD_QUERY, "!NetClient_FaceConfig FACE_CMD_QUERY:", kKeepErrno}, request, findfd);
}

// How a search answers. Get 0 and get 4 put "findfd" (only when a session
// was opened) before "ret"; get 11 and get 12 put "ret" first and "findfd"
// after it, -1 without a session.
struct SearchReply {
    bool findfd_first;
    bool positive_succeeds;  // the command succeeds on any "ret" of 0 or more
};

int32_t run_search(void *host, json_object *jso, char **out_buf, SearchReply form,
                   int32_t (*start)(void *, json_object *, uint32_t &)) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)");
    uint32_t findfd = 0;
    int32_t ret = start(host, jso, findfd);
    if (form.findfd_first && findfd != 0)
        add_int(reply.get(), "findfd", static_cast<int32_t>(findfd));
    add_int(reply.get(), "ret", ret);
    if (!form.findfd_first)
        add_int(reply.get(), "findfd", findfd != 0 ? static_cast<int32_t>(findfd) : -1);
    // A reply that cannot be made also closes the session just opened.
    if (!reply_document(out_buf, reply.get())) {
        if (findfd != 0)
            del_cmd_findinfo_fd(findfd);
        return 0;
    }
    return ret == 0 || (form.positive_succeeds && ret > 0) ? 1 : 0;
}

}  // namespace

int32_t face_search(void *host, json_object *jso, char **out_buf) {
    return run_search(host, jso, out_buf, {true, false}, start_face_search);
}

int32_t face_get_query_snap(void *host, json_object *jso, char **out_buf) {
    return run_search(host, jso, out_buf, {true, true}, start_snap_search);
}

int32_t query_face_lib(void *host, json_object *jso, char **out_buf) {
    return run_search(host, jso, out_buf, {false, false}, start_library_query);
}

int32_t query_faceimg_result(void *host, json_object *jso, char **out_buf) {
    return run_search(host, jso, out_buf, {false, false}, start_face_query);
}

int32_t get_query_snap_process(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)");
    int32_t ret = -1;
    int32_t findfd = -1;
    SessionHold session(read_required(jso, "findfd", findfd) ? find_session(findfd) : nullptr);
    if (session) {
        if (session->query_info == nullptr)
            return ZREFUSE("snap_query == NULL");
        // Every stored request carries the snapshot task id in its second word.
        auto request = sized_record<face_snap_progress_request>();
        std::memcpy(&request.task_id, static_cast<const unsigned char *>(session->query_info) + 4,
                    sizeof request.task_id);
        auto progress = sized_record<face_reply>();
        ret = NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_SEARCH_SNAP_PROCESS, kAllChannels, &request,
                                   record_len<face_snap_progress_request>(), &progress, record_len<face_reply>());
        if (ret != 0)
            ZFAIL(CMD_ZEL_EDEVICE,
                  "NetClient_FaceConfig FACE_CMD_SEARCH_SNAP_PROCESS err!ret:%d, face_reply.iResult:%d", ret,
                  progress.iResult);
        else
            add_int(reply.get(), "pos", progress.detail);
    }
    add_int(reply.get(), "ret", ret);
    if (!reply_document(out_buf, reply.get()))
        return 0;
    return ret == 0 ? 1 : 0;
}

int32_t get_face_cut_pic(void *host, const char *filename, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    if (filename == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "filename == NULL");
    auto request = sized_record<face_cut_pic_request>();
    // A cut file name or check code would name another picture: refused.
    if (strnlen(filename, sizeof request.file_name) >= sizeof request.file_name)
        return ZFAIL(CMD_ZEL_EINVAL, "strlen(filename) >= %zu", sizeof request.file_name);
    request.ch = json_object_get_field_int(jso, "ch", -2);
    if (request.ch == -2)
        ZLOG(kLogError, "ch == -2");
    const char *picuuid = json_object_get_field_string(jso, "picuuid");
    if (picuuid == nullptr)
        ZLOG(kLogError, "picuuid == NULL");
    request.pic_type = json_object_get_field_int(jso, "pictype", -1);
    if (request.pic_type < 0)
        ZLOG(kLogError, "pictype : %d", request.pic_type);
    const char *checkcode = json_object_get_field_string(jso, "checkcode");
    if (checkcode == nullptr)
        ZLOG(kLogError, "checkcode == NULL");
    else if (strnlen(checkcode, sizeof request.check_code) >= sizeof request.check_code)
        return ZFAIL(CMD_ZEL_EINVAL, "strlen(checkcode) >= %zu", sizeof request.check_code);
    copy_text(request.check_code, checkcode);
    copy_text(request.file_name, filename);
    request.page_no = 0;
    request.page_records = FACE_PAGE_RECORDS;

    JsonPtr reply = new_object("is_error(jso_ret)");
    std::array<face_cut_pic_record, FACE_PAGE_RECORDS> pictures{};
    int32_t ret =
        NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_CUT_EX, request.ch, &request,
                             record_len<face_cut_pic_request>(), pictures.data(), record_len<face_cut_pic_record>());
    if (ret == 0) {
        const face_cut_pic_record &first = pictures[0];
        int32_t count = clamp_count(first.pic_count, FACE_PAGE_RECORDS);
        add_int(reply.get(), "total", first.total);
        add_int(reply.get(), "taskid", first.task_id);
        add_int(reply.get(), "pageno", first.page_no);
        add_int(reply.get(), "count", count);
        JsonPtr pic_info = new_array("is_error(jso_pic_info)");
        for (int32_t i = 0; i < count; ++i) {
            JsonPtr pic = new_object("is_error(pic_info_param)");
            add_int(pic.get(), "index", pictures[i].index);
            add_text(pic.get(), "filename", pictures[i].file_name, "is_error(pic_info_param)");
            append(pic_info.get(), pic.release(), "is_error(pic_info_param)");
        }
        add(reply.get(), "pic_info", pic_info.release(), "is_error(jso_pic_info)");
    } else {
        ZLOG(kLogError, "FACE_CMD_CUT_EX failed, ret [%d]", ret);
    }
    add_int(reply.get(), "ret", ret);
    add(reply.get(), "host_id", field_string(HostView(host).id(), host_field::kIdSize));
    add_int(reply.get(), "ch", request.ch);
    if (picuuid != nullptr)
        add(reply.get(), "picuuid", json_object_new_string(picuuid));
    if (!reply_document(out_buf, reply.get()))
        return 0;
    return ret >= 0 ? 1 : 0;
}

int32_t query_pic_file(void *host, json_object *jso, char **out_buf) {
    face_channel_entry channel{-1, 0};
    const char *uuid = nullptr;
    if (!has_command_and_reply(host, jso, out_buf) || !read_non_negative(jso, "ch", channel.ch, {"ch == -1"}) ||
        !read_text(jso, "uuid", uuid))
        return 0;
    int32_t type = json_object_get_field_int(jso, "type", -1);

    face_pic_file_request request{};
    request.channel_count = 1;
    request.entry_size = sizeof channel;
    request.channels = &channel;
    request.one = 1;
    request.file_type = type < 0 ? 54 : type;
    request.twenty = 20;
    request.two = 2;
    request.one2 = 1;
    copy_text(request.uuid, uuid);
    auto answer = zeroed_record<face_pic_file_answer>("pic_file_answer == NULL");
    int32_t ret = NetClient_Query_V5(HostView(host).loginfd(), QUERY_PIC_FILE, channel.ch, &request,
                                     record_len<face_pic_file_request>(), answer.get(), FACE_PIC_FILE_ANSWER_LEN);
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EINVAL, "NetClient_Query_V5 failed ret == %d", ret);

    // The answer area holds so many entries; a larger count is cut to them.
    if (answer->count > FACE_PIC_FILE_ENTRIES)
        ZLOG(kLogError, "query_pic_file file count %d > %d, the rest is not listed", answer->count,
             FACE_PIC_FILE_ENTRIES);
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "ret", 0);
    JsonPtr pic_info = new_array("is_error(jso_array_param)");
    for (int32_t i = 0; i < clamp_count(answer->count, FACE_PIC_FILE_ENTRIES); ++i) {
        const face_pic_file_entry &file = answer->files[i];
        JsonPtr entry = new_object("is_error(jso_param_info)");
        add_text(entry.get(), "file_name", file.file_name, "is_error(jso_param_info)");
        add_int(entry.get(), "type", file.type);
        append(pic_info.get(), entry.release(), "is_error(jso_param_info)");
    }
    add(reply.get(), "pic_info", pic_info.release(), "is_error(jso_array_param)");
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

}  // namespace zel
