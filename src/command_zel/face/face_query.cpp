// The search commands that open query sessions (by picture, snapshots,
// libraries, faces), the snapshot search progress, and the two direct
// picture queries.
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "face/face_query.h"
#include "face/query_records.h"
#include "handler_support.h"
#include "host_view.h"
#include "zel_json.h"
#include "zel_log.h"

namespace zel {
namespace {

// ZFAIL logs, sets the code and evaluates to 0, so `return ZFAIL(...) == 0`
// refuses with true and `return ZFAIL(...) != 0` with false.

// The refusal every handler starts with.
bool missing_arguments(void *host, json_object *jso, char **out_buf) {
    if (host == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "host == NULL") == 0;
    if (jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso)") == 0;
    if (out_buf == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "out_buf == NULL") == 0;
    return false;
}

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
            heap_copy(start.page, kPageRecords * start.record_len, "find_info->query_result == NULL");
    return session->findfd;
}

// Records of a first page as the device counts them, within the page.
int32_t page_records(int32_t reported) {
    if (reported < 0)
        return 0;
    return reported > kPageRecords ? kPageRecords : reported;
}

// Serialises the reply into the slot; a reply that cannot be made also
// closes the session this command opened.
bool send_reply(char **out_buf, json_object *reply, uint32_t opened) {
    if (reply_document(out_buf, reply))
        return true;
    if (opened != 0)
        del_cmd_findinfo_fd(opened);
    return false;
}

bool read_face_search(json_object *jso, face_search_request &request) {
    request.ch = json_object_get_field_int(jso, "ch", -1);
    if (request.ch < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1") != 0;
    request.task_id = json_object_get_field_int(jso, "taskid", -1);
    if (request.task_id < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "taskid == -1") != 0;
    const char *picname = json_object_get_field_string(jso, "picname");
    if (picname == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "picname == NULL") != 0;
    const char *libuuid = json_object_get_field_string(jso, "libuuid");
    if (libuuid == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "libuuid == NULL") != 0;
    request.similarity = json_object_get_field_int(jso, "similar", -1);
    if (request.similarity < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "similar == -1") != 0;
    copy_text(request.lib_uuid, libuuid);
    copy_text(request.pic_name, picname);
    request.page_no = 0;
    request.page_records = kPageRecords;
    return true;
}

// Fills the snapshot search request and its channel entries.
bool read_snap_search(json_object *jso, snap_search_request &request,
                      std::array<channel_entry, kMaxSnapChannels> &channels) {
    request.task_id = json_object_get_field_int(jso, "taskid", -1);
    if (request.task_id < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "taskid == -1") != 0;
    const char *picname = json_object_get_field_string(jso, "picname");
    if (picname == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "picname == NULL") != 0;
    request.similarity = json_object_get_field_int(jso, "similar", -1);
    if (request.similarity < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "similar == -1") != 0;
    request.short_mode = json_object_get_field_int(jso, "shortmode", -1);
    if (request.short_mode < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "shortmode == -1") != 0;
    const char *begin_time = json_object_get_field_string(jso, "begin_time");
    if (begin_time == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "begin_time == NULL") != 0;
    const char *end_time = json_object_get_field_string(jso, "end_time");
    if (end_time == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "end_time == NULL") != 0;
    json_object *jso_arry = nullptr;
    if (!json_object_object_get_ex(jso, "ch_info", &jso_arry) || jso_arry == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso_arry)") != 0;
    if (!json_object_is_type(jso_arry, json_type_array))
        return ZFAIL(CMD_ZEL_EINVAL, "!json_object_is_type(jso_arry, json_type_array)") != 0;

    size_t length = json_object_array_length(jso_arry);
    size_t used = length;
    if (length > kMaxSnapChannels) {
        ZLOG(kLogError, "face_get_query_snap  array_length > max_chanlist_count, len : %zu, max_chanlist_count: %d",
             length, kMaxSnapChannels);
        used = kMaxSnapChannels;
    }
    for (size_t i = 0; i < used; ++i) {
        int32_t ch_no = json_object_get_field_int(json_object_array_get_idx(jso_arry, i), "ch_no", -1);
        if (ch_no == -1)
            return ZFAIL(CMD_ZEL_EINVAL, "jso_arry ch_no == -1") != 0;
        channels[i] = channel_entry{ch_no, 0};
    }
    request.channel_count = static_cast<int32_t>(used);
    request.entry_size = sizeof(channel_entry);
    request.channels = channels.data();
    copy_text(request.pic_name, picname);
    str_to_dvr_time(begin_time, &request.begin_time);
    str_to_dvr_time(end_time, &request.end_time);
    return true;
}

bool read_face_query(json_object *jso, face_query_request &request) {
    request.ch = json_object_get_field_int(jso, "ch", -1);
    if (request.ch < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1") != 0;
    if (json_object_get_field_int(jso, "libkey", -1) < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "libkey == -1") != 0;
    request.modeling = json_object_get_field_int(jso, "modeling", -1);
    if (request.modeling < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "modeling == -1") != 0;
    const char *name = bounded_text(jso, "name", kLen64);
    if (name == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "name == NULL || strlen(name) >= LEN_64") != 0;
    request.sex = json_object_get_field_int(jso, "sex", -1);
    if (request.sex < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "sex == -1") != 0;
    const char *birthstart = bounded_text(jso, "birthstart", kLen16);
    if (birthstart == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "birthstart == NULL || strlen(birthstart) >= LEN_16") != 0;
    const char *birthend = bounded_text(jso, "birthend", kLen16);
    if (birthend == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "birthend == NULL || strlen(birthend) >= LEN_16") != 0;
    request.nation = json_object_get_field_int(jso, "nation", -1);
    if (request.nation < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "nation == -1") != 0;
    request.place = json_object_get_field_int(jso, "place", -1);
    if (request.place < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "place == -1") != 0;
    request.cert_type = json_object_get_field_int(jso, "certtype", -1);
    if (request.cert_type < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "certtype == -1") != 0;
    const char *certnum = bounded_text(jso, "certnum", kLen64);
    if (certnum == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "certnum == NULL || strlen(certnum) >= LEN_64") != 0;
    const char *libuuid = bounded_text(jso, "libuuid", kLen64);
    if (libuuid == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "libuuid == NULL || strlen(libuuid) >= LEN_UUID") != 0;
    copy_text(request.name, name);
    copy_text(request.birth_from, birthstart);
    copy_text(request.birth_to, birthend);
    copy_text(request.cert_num, certnum);
    copy_text(request.lib_uuid, libuuid);
    request.page_no = 0;
    request.page_records = kPageRecords;
    return true;
}

// The reply of the library and face queries: "ret", then "findfd" (-1
// without a session).
int32_t reply_ret_findfd(char **out_buf, int32_t ret, uint32_t findfd) {
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "ret", ret);
    add_int(reply.get(), "findfd", findfd != 0 ? static_cast<int32_t>(findfd) : -1);
    if (!send_reply(out_buf, reply.get(), findfd))
        return 0;
    return ret == 0 ? 1 : 0;
}

}  // namespace

int32_t face_search(void *host, json_object *jso, char **out_buf) {
    if (missing_arguments(host, jso, out_buf))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)");
    int32_t ret = -1;
    uint32_t findfd = 0;
    auto request = sized_record<face_search_request>();
    if (read_face_search(jso, request)) {
        std::array<face_result, kPageRecords> page{};
        ret = NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_SEARCH, request.ch, &request,
                                   record_len<face_search_request>(), page.data(), record_len<face_result>());
        if (ret != 0) {
            ZLOG(kLogError, "NetClient_FaceConfig FACE_CMD_SEARCH err!ret:%d", ret);
            set_error(CMD_ZEL_EDEVICE);
        } else {
            request.page_no = 1;
            findfd = open_session(host, {kQueryFaceByPicture, request.ch, page[0].total,
                                         page_records(page[0].page_count), &request, sizeof request,
                                         "find_info->query_info == NULL", page.data(), sizeof(face_result)});
            if (findfd == 0)
                ret = -1;
            else
                add_int(reply.get(), "findfd", static_cast<int32_t>(findfd));
        }
    }
    add_int(reply.get(), "ret", ret);
    if (!send_reply(out_buf, reply.get(), findfd))
        return 0;
    return ret == 0 ? 1 : 0;
}

int32_t face_get_query_snap(void *host, json_object *jso, char **out_buf) {
    if (missing_arguments(host, jso, out_buf))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)");
    int32_t ret = -1;
    uint32_t findfd = 0;
    auto request = sized_record<snap_search_request>();
    std::array<channel_entry, kMaxSnapChannels> channels{};
    if (read_snap_search(jso, request, channels)) {
        ret = NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_SEARCH_SNAP, NETCLIENT_ALL_CHANNELS, &request,
                                   record_len<snap_search_request>(), nullptr, 0);
        if (ret != 0) {
            ZLOG(kLogError, "NetClient_FaceConfig FACE_CMD_SEARCH_SNAP err!ret:%d", ret);
            set_error(CMD_ZEL_EDEVICE);
        } else {
            snap_result_request pages{record_len<snap_result_request>(), request.task_id, kPageRecords, 0};
            findfd = open_session(host, {kQuerySnapshot, 0, -1, 0, &pages, sizeof pages, "snap_query == NULL", nullptr,
                                         sizeof(snap_result)});
            if (findfd == 0)
                ret = -1;
            else
                add_int(reply.get(), "findfd", static_cast<int32_t>(findfd));
        }
    }
    add_int(reply.get(), "ret", ret);
    if (!send_reply(out_buf, reply.get(), findfd))
        return 0;
    return ret >= 0 ? 1 : 0;
}

int32_t get_query_snap_process(void *host, json_object *jso, char **out_buf) {
    if (missing_arguments(host, jso, out_buf))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)");
    int32_t ret = -1;
    int32_t findfd = json_object_get_field_int(jso, "findfd", -1);
    if (findfd == -1) {
        ZFAIL(CMD_ZEL_EINVAL, "findfd == -1");
    } else if (SessionHold session(find_session_of(host, findfd)); session) {
        if (session->query_info == nullptr) {
            ZLOG(kLogError, "snap_query == NULL");
            return 0;
        }
        // Every stored request carries the snapshot task id in its second word.
        auto request = sized_record<snap_progress_request>();
        std::memcpy(&request.task_id, static_cast<const unsigned char *>(session->query_info) + 4,
                    sizeof request.task_id);
        auto progress = sized_record<snap_progress_reply>();
        ret = NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_SEARCH_SNAP_PROCESS, NETCLIENT_ALL_CHANNELS,
                                   &request, record_len<snap_progress_request>(), &progress,
                                   record_len<snap_progress_reply>());
        if (ret != 0) {
            ZLOG(kLogError, "NetClient_FaceConfig FACE_CMD_SEARCH_SNAP_PROCESS err!ret:%d, face_reply.iResult:%d", ret,
                 progress.result);
            set_error(CMD_ZEL_EDEVICE);
        } else {
            add_int(reply.get(), "pos", progress.progress);
        }
    }
    add_int(reply.get(), "ret", ret);
    if (!reply_document(out_buf, reply.get()))
        return 0;
    return ret == 0 ? 1 : 0;
}

int32_t query_face_lib(void *host, json_object *jso, char **out_buf) {
    if (missing_arguments(host, jso, out_buf))
        return 0;
    int32_t ret = -1;
    uint32_t findfd = 0;
    lib_query_request request{record_len<lib_query_request>(), json_object_get_field_int(jso, "ch", -1), 0,
                              kPageRecords};
    if (request.ch < 0) {
        ZFAIL(CMD_ZEL_EINVAL, "ch == -1");
    } else {
        std::array<lib_query_result, kPageRecords> page{};
        ret = NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_LIB_QUERY, request.ch, &request,
                                   record_len<lib_query_request>(), page.data(), record_len<lib_query_result>());
        if (ret != 0) {
            ZLOG(kLogError, "NetClient_FaceConfig FACE_CMD_LIB_QUERY err!ret:%d", ret);
            set_error(CMD_ZEL_EDEVICE);
        } else {
            request.page_no = 1;
            findfd = open_session(host, {kQueryFaceLibrary, request.ch, page[0].total, page_records(page[0].page_count),
                                         &request, sizeof request, "find_info->query_info == NULL", page.data(),
                                         sizeof(lib_query_result)});
            if (findfd == 0)
                ret = -1;
        }
    }
    return reply_ret_findfd(out_buf, ret, findfd);
}

int32_t query_faceimg_result(void *host, json_object *jso, char **out_buf) {
    if (missing_arguments(host, jso, out_buf))
        return 0;
    int32_t ret = -1;
    uint32_t findfd = 0;
    auto request = sized_record<face_query_request>();
    if (read_face_query(jso, request)) {
        std::array<face_result, kPageRecords> page{};
        ret = NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_QUERY, request.ch, &request,
                                   record_len<face_query_request>(), page.data(), record_len<face_result>());
        if (ret != 0) {
            ZLOG(kLogError, "!NetClient_FaceConfig FACE_CMD_QUERY:%d", ret);
        } else {
            ZLOG(kLogInfo, "query_faceimg_result total:%d,pagecount:%d", page[0].total, page[0].page_count);
            request.page_no = 1;
            findfd =
                open_session(host, {kQueryFace, request.ch, page[0].total, page_records(page[0].page_count), &request,
                                    sizeof request, "find_info->query_info == NULL", page.data(), sizeof(face_result)});
            if (findfd == 0)
                ret = -1;
        }
    }
    return reply_ret_findfd(out_buf, ret, findfd);
}

int32_t get_face_cut_pic(void *host, const char *filename, json_object *jso, char **out_buf) {
    if (missing_arguments(host, jso, out_buf))
        return 0;
    if (filename == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "filename == NULL");
    auto request = sized_record<cut_pic_request>();
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
    request.page_records = kPageRecords;

    JsonPtr reply = new_object("is_error(jso_ret)");
    std::array<cut_pic_record, kPageRecords> pictures{};
    int32_t ret = NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_CUT_EX, request.ch, &request,
                                       record_len<cut_pic_request>(), pictures.data(), record_len<cut_pic_record>());
    if (ret == 0) {
        const cut_pic_record &first = pictures[0];
        int32_t count = page_records(first.pic_count);
        add_int(reply.get(), "total", first.total);
        add_int(reply.get(), "taskid", first.task_id);
        add_int(reply.get(), "pageno", first.page_no);
        add_int(reply.get(), "count", count);
        JsonPtr pic_info = new_array("is_error(jso_pic_info)");
        for (int32_t i = 0; i < count; ++i) {
            JsonPtr pic = new_object("is_error(pic_info_param)");
            add_int(pic.get(), "index", pictures[i].index);
            add(pic.get(), "filename", field_string(pictures[i].file_name), "is_error(pic_info_param)");
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
    if (missing_arguments(host, jso, out_buf))
        return 0;
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1");
    const char *uuid = json_object_get_field_string(jso, "uuid");
    if (uuid == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "uuid == NULL");
    int32_t type = json_object_get_field_int(jso, "type", -1);
    if (type < 0)
        type = 54;

    channel_entry channel{ch, 0};
    pic_file_request request{};
    request.channel_count = 1;
    request.entry_size = sizeof channel;
    request.channels = &channel;
    request.one = 1;
    request.file_type = type;
    request.twenty = 20;
    request.two = 2;
    request.one2 = 1;
    copy_text(request.uuid, uuid);
    std::unique_ptr<pic_file_answer, decltype(&std::free)> answer(
        static_cast<pic_file_answer *>(xcalloc(1, sizeof(pic_file_answer), "pic_file_answer == NULL")), &std::free);
    int32_t ret = NetClient_Query_V5(HostView(host).loginfd(), QUERY_PIC_FILE, ch, &request,
                                     record_len<pic_file_request>(), answer.get(), kPicFileAnswerLen);
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EINVAL, "NetClient_Query_V5 failed ret == %d", ret);

    int32_t count = answer->count < 0 ? 0 : answer->count;
    if (count > kMaxPicFiles) {
        ZLOG(kLogError, "query_pic_file file count %d > %d, the rest is not listed", count, kMaxPicFiles);
        count = kMaxPicFiles;
    }
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "ret", 0);
    JsonPtr pic_info = new_array("is_error(jso_array_param)");
    for (int32_t i = 0; i < count; ++i) {
        const pic_file_entry &file = answer->files[i];
        JsonPtr entry = new_object("is_error(jso_param_info)");
        add(entry.get(), "file_name", field_string(file.file_name), "is_error(jso_param_info)");
        add_int(entry.get(), "type", file.type);
        append(pic_info.get(), entry.release(), "is_error(jso_param_info)");
    }
    add(reply.get(), "pic_info", pic_info.release(), "is_error(jso_array_param)");
    if (!reply_document(out_buf, reply.get()))
        return 0;
    return 1;
}

}  // namespace zel
