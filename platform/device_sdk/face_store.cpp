#include "face_store.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace device_sdk_sim {
namespace {

/* Result codes of the recorder's face commands. */
constexpr int32_t kDone = 0;
constexpr int32_t kRefused = 1;
constexpr int32_t kNotFound = 2;

template <size_t N, size_t M> void copy(char (&to)[N], const char (&from)[M]) {
    static_assert(N >= M);
    std::memcpy(to, from, M);
}

Answer reply(int32_t result, int32_t detail = 0) {
    face_reply r{};
    r.size = sizeof r;
    r.iResult = result;
    r.detail = detail;
    return answer_with(r);
}

/* Page `page_no` of `all`: its records with their size, the first one also
 * carrying the total and the number of records in the page. An empty page is
 * one zeroed record without a size that only says so. */
template <typename Result>
Answer page(std::vector<Result> all, int32_t page_no, int32_t Result::*total, int32_t Result::*page_count) {
    size_t first = page_no < 0 ? all.size() : std::min(all.size(), static_cast<size_t>(page_no) * FACE_PAGE_RECORDS);
    size_t count = std::min(all.size() - first, static_cast<size_t>(FACE_PAGE_RECORDS));
    std::vector<Result> records(all.begin() + static_cast<ptrdiff_t>(first),
                                all.begin() + static_cast<ptrdiff_t>(first + count));
    for (Result &r : records)
        r.size = sizeof(Result);
    if (records.empty())
        records.push_back(Result{});
    records[0].*total = static_cast<int32_t>(all.size());
    records[0].*page_count = static_cast<int32_t>(count);
    return Answer{0, std::nullopt, bytes_of(records.data(), records.size())};
}

face_result found_face(const face_lib_record &lib, const face_record &f, int32_t index) {
    face_result r{};
    r.ch = f.channel;
    r.index = index;
    r.lib_key = lib.libkey;
    r.face_key = f.face_key;
    r.check_code = 1000 + f.face_key;
    r.file_type = f.file_type;
    r.modeling = f.modeling;
    copy(r.name, f.name);
    r.sex = f.sex;
    copy(r.birth_time, f.birthtime);
    r.nation = f.nation;
    r.place = f.place;
    r.cert_type = f.certype;
    copy(r.cert_num, f.certnum);
    r.opt_type = f.opttype;
    copy(r.lib_uuid, f.libuuid);
    copy(r.face_uuid, f.faceuuid);
    copy(r.lib_version, lib.libversion);
    std::snprintf(r.file_name, sizeof r.file_name, "%.*s", static_cast<int>(field_text(f.file_name).size()),
                  f.file_name);
    return r;
}

/* `minutes` after `t`, kept within the hour so the synthetic times stay valid. */
dvr_time later(dvr_time t, int32_t minutes) {
    t.minute = static_cast<uint16_t>((t.minute + minutes) % 60);
    return t;
}

}  // namespace

std::optional<Answer> FaceStore::face_config(const Call &call) {
    auto refuse = [] { return Answer{-1, 0, {}}; };
    switch (call.cmd) {
    case FACE_CMD_LIB_EDIT:
        if (auto in = input_record<face_lib_record>(call))
            return edit_library(*in);
        return refuse();
    case FACE_CMD_LIB_DELETE:
        if (auto in = input_record<face_lib_delete_record>(call))
            return delete_library(*in);
        return refuse();
    case FACE_CMD_EDIT:
        if (auto in = input_record<face_record>(call))
            return edit_face(*in);
        return refuse();
    case FACE_CMD_FACE_DELETE:
        if (auto in = input_record<face_key_record>(call))
            return delete_face(*in);
        return refuse();
    case FACE_CMD_LIB_QUERY:
        if (auto in = input_record<face_lib_query_request>(call))
            return libraries(*in);
        return refuse();
    case FACE_CMD_QUERY:
        if (auto in = input_record<face_query_request>(call))
            return query_faces(*in);
        return refuse();
    case FACE_CMD_SEARCH:
        if (auto in = input_record<face_search_request>(call))
            return search_by_picture(*in);
        return refuse();
    case FACE_CMD_SEARCH_SNAP:
        if (auto in = input_record<face_snap_search_request>(call))
            return start_snap_search(*in);
        return refuse();
    case FACE_CMD_SEARCH_SNAP_PROCESS:
        if (auto in = input_record<face_snap_progress_request>(call))
            return reply(snap_searches_.contains(in->task_id) ? kDone : kNotFound, 100);
        return refuse();
    case FACE_CMD_SEARCH_SNAP_RESULT:
        if (auto in = input_record<face_snap_result_request>(call))
            return snap_page(*in);
        return refuse();
    default: return std::nullopt;
    }
}

Answer FaceStore::counts() const {
    face_lib_count_record c{};
    c.size = sizeof c;
    for (const StoredLibrary &lib : libraries_)
        c.total_count += static_cast<int32_t>(lib.faces.size());
    c.custom_count = c.total_count;
    return answer_with(c);
}

FaceStore::StoredLibrary *FaceStore::library(const char *uuid) {
    std::string_view wanted(uuid, strnlen(uuid, sizeof(face_lib_record::libuuid)));
    for (StoredLibrary &lib : libraries_)
        if (field_text(lib.record.libuuid) == wanted)
            return &lib;
    return nullptr;
}

Answer FaceStore::edit_library(const face_lib_record &in) {
    if (field_text(in.libuuid).empty())
        return reply(kRefused);
    StoredLibrary *lib = library(in.libuuid);
    if (lib == nullptr) {
        libraries_.push_back({in, {}});
        lib = &libraries_.back();
        if (lib->record.libkey <= 0)
            lib->record.libkey = next_library_key_;
        next_library_key_ = std::max(next_library_key_, lib->record.libkey) + 1;
        return reply(kDone);
    }
    int32_t key = lib->record.libkey;
    lib->record = in;
    lib->record.libkey = key;
    return reply(kDone);
}

Answer FaceStore::delete_library(const face_lib_delete_record &in) {
    auto it = std::find_if(libraries_.begin(), libraries_.end(), [&](const StoredLibrary &lib) {
        return field_text(lib.record.libuuid) == field_text(in.libuuid);
    });
    if (it == libraries_.end())
        return reply(kNotFound);
    libraries_.erase(it);
    return reply(kDone, 100);
}

Answer FaceStore::edit_face(const face_record &in) {
    StoredLibrary *lib = library(in.libuuid);
    if (lib == nullptr || field_text(in.faceuuid).empty())
        return reply(kRefused);
    auto it = std::find_if(lib->faces.begin(), lib->faces.end(),
                           [&](const face_record &f) { return field_text(f.faceuuid) == field_text(in.faceuuid); });
    constexpr int32_t kAdd = 1;
    if (it != lib->faces.end()) {
        if (in.opttype == kAdd)
            return reply(kRefused, FACE_REPLY_UUID_EXISTS);
        int32_t key = it->face_key;
        *it = in;
        it->face_key = key;
        it->face_lib_key = lib->record.libkey;
        return reply(kDone);
    }
    face_record stored = in;
    stored.face_lib_key = lib->record.libkey;
    stored.face_key = next_face_key_++;
    lib->faces.push_back(stored);
    return reply(kDone);
}

Answer FaceStore::delete_face(const face_key_record &in) {
    StoredLibrary *lib = library(in.libuuid);
    if (lib == nullptr)
        return reply(kNotFound);
    // The uuid names the face; without one, its key does.
    auto named = [&](const face_record &f) {
        return field_text(in.faceuuid).empty() ? f.face_key == in.face_key
                                               : field_text(f.faceuuid) == field_text(in.faceuuid);
    };
    auto it = std::find_if(lib->faces.begin(), lib->faces.end(), named);
    if (it == lib->faces.end())
        return reply(kNotFound);
    lib->faces.erase(it);
    return reply(kDone);
}

Answer FaceStore::libraries(const face_lib_query_request &in) const {
    std::vector<face_lib_query_result> all;
    for (const StoredLibrary &lib : libraries_) {
        face_lib_query_result r{};
        r.ch = in.ch;
        r.index = static_cast<int32_t>(all.size());
        r.lib_key = lib.record.libkey;
        copy(r.name, lib.record.name);
        r.threshold = lib.record.threshold;
        copy(r.extra_info, lib.record.extrainfo);
        r.alarm_type = lib.record.alarmtype;
        r.opt_type = lib.record.opttype;
        copy(r.lib_uuid, lib.record.libuuid);
        copy(r.lib_version, lib.record.libversion);
        all.push_back(r);
    }
    return page(all, in.page_no, &face_lib_query_result::total, &face_lib_query_result::page_count);
}

Answer FaceStore::query_faces(const face_query_request &in) const {
    std::vector<face_result> all;
    for (const StoredLibrary &lib : libraries_) {
        if (!field_text(in.lib_uuid).empty() && field_text(in.lib_uuid) != field_text(lib.record.libuuid))
            continue;
        for (const face_record &f : lib.faces)
            if (field_text(f.name).find(field_text(in.name)) != std::string_view::npos)
                all.push_back(found_face(lib.record, f, static_cast<int32_t>(all.size())));
    }
    return page(all, in.page_no, &face_result::total, &face_result::page_count);
}

Answer FaceStore::search_by_picture(const face_search_request &in) const {
    // Every face of the library resembles the picture a little less than the
    // one before; those at or above the asked similarity are found.
    std::vector<face_result> all;
    for (const StoredLibrary &lib : libraries_) {
        if (!field_text(in.lib_uuid).empty() && field_text(in.lib_uuid) != field_text(lib.record.libuuid))
            continue;
        int32_t similar = 98;
        for (const face_record &f : lib.faces) {
            if (similar >= in.similarity) {
                face_result r = found_face(lib.record, f, static_cast<int32_t>(all.size()));
                r.task_id = in.task_id;
                r.similar = similar;
                all.push_back(r);
            }
            similar = std::max(similar - 3, 0);
        }
    }
    return page(all, in.page_no, &face_result::total, &face_result::page_count);
}

Answer FaceStore::start_snap_search(const face_snap_search_request &in) {
    if (in.channels == nullptr || in.channel_count < 0 || in.channel_count > FACE_SNAP_MAX_CHANNELS ||
        in.entry_size != static_cast<int32_t>(sizeof(face_channel_entry)))
        return Answer{-1, 0, {}};
    std::vector<face_snap_result> found;
    for (int32_t c = 0; c < in.channel_count; ++c) {
        int32_t ch = in.channels[c].ch;
        for (int32_t i = 0; i < kSnapshotsPerChannel; ++i) {
            face_snap_result r{};
            r.ch = ch;
            r.begin_time = later(in.begin_time, 10 * i);
            r.end_time = later(r.begin_time, 1);
            r.age = 25 + 7 * i;
            r.sex = 1 + i % 2;
            r.similar = std::min(99, in.similarity + 20 - 5 * i);
            std::snprintf(r.pic1_name, sizeof r.pic1_name, "snap/ch%02d/%d-face.jpg", ch, i);
            std::snprintf(r.pic2_name, sizeof r.pic2_name, "snap/ch%02d/%d-scene.jpg", ch, i);
            r.pic1_size = 24576;
            r.pic2_size = 262144;
            found.push_back(r);
        }
    }
    snap_searches_[in.task_id] = std::move(found);
    return Answer{};
}

Answer FaceStore::snap_page(const face_snap_result_request &in) const {
    auto it = snap_searches_.find(in.task_id);
    if (it == snap_searches_.end())
        return page(std::vector<face_snap_result>{}, 0, &face_snap_result::total, &face_snap_result::page_count);
    return page(it->second, in.page_no, &face_snap_result::total, &face_snap_result::page_count);
}

}  // namespace device_sdk_sim
