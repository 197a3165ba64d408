// Handing out the results of query sessions: get 1 pages through a session,
// get 2 closes it, and find_next_result turns one device record after the
// other into a JSON object, loading the next page when the current one is
// used up.
#include <cstring>
#include <iterator>

#include "comm_func/comm_func.h"
#include "face/face_query.h"
#include "face/face_support.h"
#include "handler_support.h"
#include "host_view.h"
#include "zel_json.h"
#include "zel_log.h"

namespace zel {
namespace {

void add_time(json_object *obj, const char *key, const dvr_time &time) {
    char text[MIN_STR_TIME_LEN] = {};
    int32_t len = MIN_STR_TIME_LEN;
    dvr_time_to_str(&time, text, &len);
    add(obj, key, json_object_new_string(text));
}

// Type 0: a face found by picture.
bool face_add_cut_info_param(const void *record, json_object *results) {
    const auto &r = *static_cast<const face_result *>(record);
    if (r.size <= 0) {
        ZLOG(kLogError, "result->iSize <= 0");
        return false;
    }
    JsonPtr obj = new_object("is_error(jso_param_info)");
    add_int(obj.get(), "index", r.index);
    add_int(obj.get(), "checkcode", r.check_code);
    add_int(obj.get(), "filetype", r.file_type);
    add_int(obj.get(), "modeling", r.modeling);
    add_text(obj.get(), "name", r.name);
    add_int(obj.get(), "sex", r.sex);
    add_text(obj.get(), "birthtime", r.birth_time);
    add_int(obj.get(), "nation", r.nation);
    add_int(obj.get(), "place", r.place);
    add_int(obj.get(), "certype", r.cert_type);
    add_text(obj.get(), "certnum", r.cert_num);
    add_int(obj.get(), "opttype", r.opt_type);
    add_text(obj.get(), "libuuid", r.lib_uuid);
    add_text(obj.get(), "faceuuid", r.face_uuid);
    add_text(obj.get(), "libversion", r.lib_version);
    add_text(obj.get(), "verifycode", r.verify_code);
    add_int(obj.get(), "taskid", r.task_id);
    add_text(obj.get(), "filename", r.file_name);
    add_int(obj.get(), "similar", r.similar);
    append(results, obj.release(), "is_error(jso_param_info)");
    return true;
}

void add_picture(json_object *pictures, const char (&name)[256], int32_t size, int32_t type) {
    JsonPtr pic = new_object("is_error(pic_info_param)");
    add_text(pic.get(), "filename", name);
    add_int(pic.get(), "filesize", size);
    add_int(pic.get(), "filetype", type);
    append(pictures, pic.release(), "is_error(pic_info_param)");
}

// Type 1: a stored snapshot with its two pictures.
bool face_add_snap_info_param(const void *record, json_object *results) {
    const auto &r = *static_cast<const face_snap_result *>(record);
    if (r.size <= 0) {
        ZLOG(kLogError, "result->iSize <= 0");
        return false;
    }
    JsonPtr obj = new_object("is_error(jso_param_info)");
    add_int(obj.get(), "ch", r.ch);
    add_time(obj.get(), "begin_time", r.begin_time);
    add_time(obj.get(), "end_time", r.end_time);
    add_int(obj.get(), "age", r.age);
    add_int(obj.get(), "sex", r.sex);
    add_int(obj.get(), "nation", r.nation);
    add_int(obj.get(), "wearglass", r.wears_glasses);
    add_int(obj.get(), "wearmask", r.wears_mask);
    add_int(obj.get(), "similar", r.similar);
    add_int(obj.get(), "picnum", 2);
    JsonPtr pictures = new_array("is_error(pic_info)");
    add_picture(pictures.get(), r.pic1_name, r.pic1_size, r.pic1_type);
    add_picture(pictures.get(), r.pic2_name, r.pic2_size, r.pic2_type);
    add(obj.get(), "pic_info", pictures.release(), "is_error(pic_info)");
    append(results, obj.release(), "is_error(jso_param_info)");
    return true;
}

// Type 2: a face library.
bool face_add_facelib_info_param(const void *record, json_object *results) {
    const auto &r = *static_cast<const face_lib_query_result *>(record);
    if (r.size == 0) {
        ZLOG(kLogError, "result->iSize == 0");
        return false;
    }
    JsonPtr obj = new_object("is_error(jso_param_info)");
    add_int(obj.get(), "ch", r.ch);
    add_int(obj.get(), "index", r.index);
    add_int(obj.get(), "libkey", r.lib_key);
    add_int(obj.get(), "threshold", r.threshold);
    add_int(obj.get(), "alarmtype", r.alarm_type);
    add_int(obj.get(), "opttype", r.opt_type);
    add_text(obj.get(), "libuuid", r.lib_uuid);
    add_text(obj.get(), "libversion", r.lib_version);
    add_text(obj.get(), "name", r.name);
    add_text(obj.get(), "extrinfo", r.extra_info);
    append(results, obj.release(), "is_error(jso_param_info)");
    return true;
}

// Type 3: a face of a library found by personal data.
bool face_add_face_info_param(const void *record, json_object *results) {
    const auto &r = *static_cast<const face_result *>(record);
    JsonPtr obj = new_object("is_error(jso_param_info)");
    add_int(obj.get(), "ch", r.ch);
    add_int(obj.get(), "index", r.index);
    add_int(obj.get(), "libkey", r.lib_key);
    add_int(obj.get(), "modeling", r.modeling);
    add_int(obj.get(), "sex", r.sex);
    add_text(obj.get(), "birthtime", r.birth_time);
    add_int(obj.get(), "nation", r.nation);
    add_int(obj.get(), "place", r.place);
    add_int(obj.get(), "certtype", r.cert_type);
    add_text(obj.get(), "certnum", r.cert_num);
    add_int(obj.get(), "facekey", r.face_key);
    add_int(obj.get(), "checkcode", r.check_code);
    add_int(obj.get(), "filetype", r.file_type);
    add_text(obj.get(), "libuuid", r.lib_uuid);
    add_text(obj.get(), "faceuuid", r.face_uuid);
    add_text(obj.get(), "libversion", r.lib_version);
    add_text(obj.get(), "verifycode", r.verify_code);
    add_text(obj.get(), "filename", r.file_name);
    add_int(obj.get(), "similar", r.similar);
    add_text(obj.get(), "name", r.name);
    append(results, obj.release(), "is_error(jso_param_info)");
    return true;
}

// How the pages of one kind of session are fetched and read.
struct PageKind {
    int32_t page_cmd;
    int32_t request_len;
    size_t record_len;
    size_t page_count_at;  // in the first record of a page
    bool page_has_total;   // total (offset 8) updated by every page
    size_t page_no_at;     // in the stored request
    const char *missing_request;
    const char *sdk_failure;  // followed by the SDK's result
    const char *format_failure;
    bool (*format)(const void *record, json_object *results);
};

constexpr size_t kTotalAt = 8;

const PageKind kPageKinds[] = {
    {FACE_CMD_SEARCH, record_len<face_search_request>(), sizeof(face_result), offsetof(face_result, page_count), false,
     offsetof(face_search_request, page_no), "search == NULL",
     "NetClient_FaceConfig FACE_CMD_SEARCH err!ret:", "!face_add_cut_info_param", face_add_cut_info_param},
    {FACE_CMD_SEARCH_SNAP_RESULT, record_len<face_snap_result_request>(), sizeof(face_snap_result),
     offsetof(face_snap_result, page_count), true, offsetof(face_snap_result_request, page_no), "snap_query == NULL",
     "NetClient_FaceConfig FACE_CMD_SEARCH_SNAP_RESULT err!ret:", "!face_add_snap_info_param",
     face_add_snap_info_param},
    {FACE_CMD_LIB_QUERY, record_len<face_lib_query_request>(), sizeof(face_lib_query_result),
     offsetof(face_lib_query_result, page_count), true, offsetof(face_lib_query_request, page_no), "query == NULL",
     "NetClient_FaceConfig FACE_CMD_LIB_QUERY err!err:", "!face_add_facelib_info_param", face_add_facelib_info_param},
    {FACE_CMD_QUERY, record_len<face_query_request>(), sizeof(face_result), offsetof(face_result, page_count), true,
     offsetof(face_query_request, page_no), "query == NULL",
     "NetClient_FaceConfig FACE_CMD_QUERY err!err:", "!face_add_facelib_info_param", face_add_face_info_param},
};
static_assert(std::size(kPageKinds) == kQueryFace + 1);

int32_t read_i32(const void *base, size_t offset) {
    int32_t value;
    std::memcpy(&value, static_cast<const unsigned char *>(base) + offset, sizeof value);
    return value;
}

// Fetches the next page into the session's page buffer and takes its
// counts. A device that reports more records than a page holds is taken at
// the page's 20, so no record is read past the buffer. On failure nothing of
// the session changes, so the next call asks for the same page again and no
// result is handed out twice.
bool load_page(find_info *s, const PageKind &kind) {
    if (s->query_info == nullptr)
        return ZREFUSE("%s", kind.missing_request), false;
    if (s->query_result == nullptr)
        s->query_result = xcalloc(FACE_PAGE_RECORDS, kind.record_len, "find_info->query_result == NULL");
    else
        std::memset(s->query_result, 0, FACE_PAGE_RECORDS * kind.record_len);
    int32_t ret = NetClient_FaceConfig(HostView(s->host).loginfd(), kind.page_cmd, s->ch, s->query_info,
                                       kind.request_len, s->query_result, static_cast<int32_t>(kind.record_len));
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EDEVICE, "%s%d", kind.sdk_failure, ret), false;
    s->page_pos = 0;
    s->page_count = clamp_count(read_i32(s->query_result, kind.page_count_at), FACE_PAGE_RECORDS);
    if (kind.page_has_total)
        s->total = read_i32(s->query_result, kTotalAt);
    return true;
}

// Reads the session's next result; 1 while results can follow. A page the
// device answers empty does not end the search: its first record goes to the
// formatter like any other, counts as handed out, and the next call asks for
// the page after it.
int32_t hand_out_next(find_info *s, json_object *results) {
    const PageKind &kind = kPageKinds[s->query_type];
    if (s->page_pos >= s->page_count) {
        if (!load_page(s, kind))
            return 0;
        // A snapshot search the device found nothing (more) for ends here.
        if (s->query_type == kQuerySnapshot && (s->total < 1 || s->page_count < 1)) {
            ZLOG(kLogInfo, "query snap finish total[%d] , count[%d]", s->total, s->page_count);
            s->is_finish = 1;
            return 1;
        }
        auto *request = static_cast<unsigned char *>(s->query_info);
        int32_t page_no = read_i32(request, kind.page_no_at) + 1;
        std::memcpy(request + kind.page_no_at, &page_no, sizeof page_no);
    }
    const auto *page = static_cast<const unsigned char *>(s->query_result);
    bool formatted = kind.format(page + static_cast<size_t>(s->page_pos) * kind.record_len, results);
    if (!formatted)
        ZLOG(kLogError, "%s", kind.format_failure);
    ++s->page_pos;
    ++s->fetched;
    if (s->fetched >= s->total && (s->query_type == kQueryFaceByPicture || s->total != -1)) {
        s->is_finish = 1;
        return 1;
    }
    return formatted ? 1 : 0;
}

// Adds the members a session of this type reports before its results.
bool add_request_members(const find_info *s, json_object *reply) {
    if (s->query_type == kQueryFaceByPicture) {
        const auto *search = static_cast<const face_search_request *>(s->query_info);
        if (search == nullptr) {
            ZLOG(kLogError, "search == NULL");
            return false;
        }
        add_int(reply, "ch", search->ch);
        add_int(reply, "taskid", search->task_id);
    } else if (s->query_type == kQuerySnapshot) {
        const auto *snap_query = static_cast<const face_snap_result_request *>(s->query_info);
        if (snap_query == nullptr) {
            ZLOG(kLogError, "snap_query == NULL");
            return false;
        }
        add_int(reply, "taskid", snap_query->task_id);
    }
    return true;
}

struct PageOutcome {
    bool reply;  // false: the command ends without a reply
    int32_t ret;
};

// Hands out up to `count` results of a held session into the reply. A
// finished session is asked once more, as any other; a count below 0 hands
// out nothing.
PageOutcome page_session(void *host, find_info *s, int32_t count, json_object *reply) {
    add(reply, "host_id", field_string(HostView(host).id(), host_field::kIdSize));
    JsonPtr results = new_array("is_error(jso_param)");
    json_object *param = results.get();
    add(reply, "param", results.release(), "is_error(jso_param)");
    if (s->total == 0) {
        s->is_finish = 1;
        add_int(reply, "is_finish", 1);
        return {true, 0};
    }
    if (!add_request_members(s, reply))
        return {false, -1};
    int32_t ret = -1;
    if (s->query_type >= kQueryFaceByPicture && s->query_type <= kQueryFace) {
        int32_t i = 0;
        while (i < count) {
            int32_t more = find_next_result(s, param);
            if (more == 0 || s->is_finish == 1)
                break;
            ++i;
        }
        ret = (i >= count || s->is_finish == 1) ? 0 : -1;
    }
    add_int(reply, "is_finish", s->is_finish);
    return {true, ret};
}

}  // namespace

int32_t find_next_result(find_info *session, json_object *results) {
    if (session == nullptr || results == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "find_info == NULL");
    if (session->query_type < kQueryFaceByPicture || session->query_type > kQueryFace)
        return ZFAIL(CMD_ZEL_EINVAL, "find_info->query_type unknown:%d", session->query_type);
    return hand_out_next(session, results);
}

find_info *find_session(int32_t findfd) {
    find_info *session = get_cmd_findinfo_fd(static_cast<uint32_t>(findfd));
    if (session == nullptr)
        ZFAIL(CMD_ZEL_ENOSESSION, "get_cmd_findinfo_fd err!find_info == NULL");
    return session;
}

int32_t get_query_result(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)");
    int32_t total = 0;
    int32_t ret = -1;
    int32_t findfd = -1;
    int32_t count = -1;
    SessionHold session(
        read_required(jso, "findfd", findfd) && read_required(jso, "count", count) ? find_session(findfd) : nullptr);
    if (session) {
        PageOutcome outcome = page_session(host, session.get(), count, reply.get());
        if (!outcome.reply)
            return 0;
        ret = outcome.ret;
        total = session->total;
    }
    add_int(reply.get(), "total", total);
    add_int(reply.get(), "ret", ret);
    // The text is handed over as a copy from the OS support library.
    const char *text = json_object_to_json_string(reply.get());
    if (text == nullptr) {
        ZLOG(kLogError, "jso_string == NULL");
        if (session)
            del_cmd_findinfo_fd(session->findfd);
        return 0;
    }
    *out_buf = os_strdup(text);
    if (*out_buf == nullptr)
        die("*out_buf == NULL");
    return ret == 0 ? 1 : 0;
}

int32_t close_query(void *host, json_object *jso) {
    int32_t findfd = -1;
    if (!has_command(host, jso) || !read_required(jso, "findfd", findfd))
        return 0;
    return del_cmd_findinfo_fd(static_cast<uint32_t>(findfd));
}

}  // namespace zel
