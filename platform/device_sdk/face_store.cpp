#include "face_store.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace device_sdk_sim {
namespace {

using namespace face;

/* Result codes of the recorder's face commands. */
constexpr int32_t kDone = 0;
constexpr int32_t kRefused = 1;
constexpr int32_t kNotFound = 2;

/* Texts are compared within their field: the field need not be terminated. */
template <size_t N> std::string_view text(const char (&field)[N]) { return {field, strnlen(field, N)}; }

template <size_t N, size_t M> void copy(char (&to)[N], const char (&from)[M]) {
    static_assert(N >= M);
    std::memcpy(to, from, M);
}

template <typename Record> std::vector<uint8_t> bytes_of(const Record *records, size_t count) {
    const auto *begin = reinterpret_cast<const uint8_t *>(records);
    return {begin, begin + count * sizeof(Record)};
}

Answer reply(int32_t result, int32_t detail = 0) {
    Reply r{};
    r.size = sizeof r;
    r.result = result;
    r.detail = detail;
    return Answer{0, std::nullopt, bytes_of(&r, 1)};
}

/* The request record of a call, or nothing when the caller passed less. */
template <typename Record> std::optional<Record> request(const Call &call) {
    if (call.in == nullptr || call.in_len < static_cast<int64_t>(sizeof(Record)))
        return std::nullopt;
    Record r;
    std::memcpy(&r, call.in, sizeof r);
    return r;
}

/* Page `page_no` of `all`: its records with their index, the first one also
 * carrying the total and the number of records in the page. An empty page is
 * one zeroed record that says so. */
template <typename Result>
Answer page(std::vector<Result> all, int32_t page_no, int32_t Result::*total, int32_t Result::*page_count) {
    size_t first = page_no < 0 ? all.size() : std::min(all.size(), static_cast<size_t>(page_no) * kPageRecords);
    size_t count = std::min(all.size() - first, static_cast<size_t>(kPageRecords));
    std::vector<Result> records(all.begin() + static_cast<ptrdiff_t>(first),
                                all.begin() + static_cast<ptrdiff_t>(first + count));
    if (records.empty())
        records.push_back(Result{});
    records[0].*total = static_cast<int32_t>(all.size());
    records[0].*page_count = static_cast<int32_t>(count);
    for (Result &r : records)
        r.size = sizeof(Result);
    return Answer{0, std::nullopt, bytes_of(records.data(), records.size())};
}

FaceResult face_result(const Library &lib, const Face &f, int32_t index) {
    FaceResult r{};
    r.ch = f.ch;
    r.index = index;
    r.lib_key = lib.key;
    r.face_key = f.face_key;
    r.check_code = 1000 + f.face_key;
    r.file_type = f.file_type;
    r.modeling = f.modeling;
    copy(r.name, f.name);
    r.sex = f.sex;
    copy(r.birth_time, f.birth_time);
    r.nation = f.nation;
    r.place = f.place;
    r.cert_type = f.cert_type;
    copy(r.cert_num, f.cert_num);
    r.opt_type = f.opt_type;
    copy(r.lib_uuid, f.lib_uuid);
    copy(r.face_uuid, f.face_uuid);
    copy(r.lib_version, lib.version);
    std::snprintf(r.file_name, sizeof r.file_name, "%.*s", static_cast<int>(text(f.file_name).size()), f.file_name);
    return r;
}

/* `minutes` after `t`, kept within the hour so the synthetic times stay valid. */
Time later(Time t, int32_t minutes) {
    t.minute = static_cast<uint16_t>((t.minute + minutes) % 60);
    return t;
}

}  // namespace

std::optional<Answer> FaceStore::face_config(const Call &call) {
    auto refuse = [] { return Answer{-1, 0, {}}; };
    switch (call.cmd) {
    case kEditLibrary:
        if (auto in = request<Library>(call))
            return edit_library(*in);
        return refuse();
    case kDeleteLibrary:
        if (auto in = request<LibraryKey>(call))
            return delete_library(*in);
        return refuse();
    case kEditFace:
        if (auto in = request<Face>(call))
            return edit_face(*in);
        return refuse();
    case kDeleteFace:
        if (auto in = request<FaceKey>(call))
            return delete_face(*in);
        return refuse();
    case kQueryLibraries:
        if (auto in = request<LibraryPageRequest>(call))
            return libraries(*in);
        return refuse();
    case kQueryFaces:
        if (auto in = request<FaceQueryRequest>(call))
            return query_faces(*in);
        return refuse();
    case kSearchByPicture:
        if (auto in = request<PictureSearchRequest>(call))
            return search_by_picture(*in);
        return refuse();
    case kStartSnapSearch:
        if (auto in = request<SnapSearchRequest>(call))
            return start_snap_search(*in);
        return refuse();
    case kSnapSearchProgress:
        if (auto in = request<SnapTask>(call))
            return reply(snap_searches_.contains(in->task_id) ? kDone : kNotFound, 100);
        return refuse();
    case kSnapSearchPage:
        if (auto in = request<SnapPageRequest>(call))
            return snap_page(*in);
        return refuse();
    default: return std::nullopt;
    }
}

Answer FaceStore::counts() const {
    FaceCounts c{};
    c.size = sizeof c;
    for (const StoredLibrary &lib : libraries_)
        c.total += static_cast<int32_t>(lib.faces.size());
    c.custom = c.total;
    return Answer{0, std::nullopt, bytes_of(&c, 1)};
}

FaceStore::StoredLibrary *FaceStore::library(const char *uuid) {
    std::string_view wanted(uuid, strnlen(uuid, sizeof(Library::uuid)));
    for (StoredLibrary &lib : libraries_)
        if (text(lib.record.uuid) == wanted)
            return &lib;
    return nullptr;
}

Answer FaceStore::edit_library(const Library &in) {
    if (text(in.uuid).empty())
        return reply(kRefused);
    StoredLibrary *lib = library(in.uuid);
    if (lib == nullptr) {
        libraries_.push_back({in, {}});
        lib = &libraries_.back();
        if (lib->record.key <= 0)
            lib->record.key = next_library_key_;
        next_library_key_ = std::max(next_library_key_, lib->record.key) + 1;
        return reply(kDone);
    }
    int32_t key = lib->record.key;
    lib->record = in;
    lib->record.key = key;
    return reply(kDone);
}

Answer FaceStore::delete_library(const LibraryKey &in) {
    auto it = std::find_if(libraries_.begin(), libraries_.end(),
                           [&](const StoredLibrary &lib) { return text(lib.record.uuid) == text(in.uuid); });
    if (it == libraries_.end())
        return reply(kNotFound);
    libraries_.erase(it);
    return reply(kDone, 100);
}

Answer FaceStore::edit_face(const Face &in) {
    StoredLibrary *lib = library(in.lib_uuid);
    if (lib == nullptr || text(in.face_uuid).empty())
        return reply(kRefused);
    auto it = std::find_if(lib->faces.begin(), lib->faces.end(),
                           [&](const Face &f) { return text(f.face_uuid) == text(in.face_uuid); });
    constexpr int32_t kAdd = 1;
    if (it != lib->faces.end()) {
        if (in.opt_type == kAdd)
            return reply(kRefused, kDetailFaceExists);
        int32_t key = it->face_key;
        *it = in;
        it->face_key = key;
        it->lib_key = lib->record.key;
        return reply(kDone);
    }
    Face stored = in;
    stored.lib_key = lib->record.key;
    stored.face_key = next_face_key_++;
    lib->faces.push_back(stored);
    return reply(kDone);
}

Answer FaceStore::delete_face(const FaceKey &in) {
    StoredLibrary *lib = library(in.lib_uuid);
    if (lib == nullptr)
        return reply(kNotFound);
    // The uuid names the face; without one, its key does.
    auto named = [&](const Face &f) {
        return text(in.face_uuid).empty() ? f.face_key == in.face_key : text(f.face_uuid) == text(in.face_uuid);
    };
    auto it = std::find_if(lib->faces.begin(), lib->faces.end(), named);
    if (it == lib->faces.end())
        return reply(kNotFound);
    lib->faces.erase(it);
    return reply(kDone);
}

Answer FaceStore::libraries(const LibraryPageRequest &in) const {
    std::vector<LibraryResult> all;
    for (const StoredLibrary &lib : libraries_) {
        LibraryResult r{};
        r.ch = in.ch;
        r.index = static_cast<int32_t>(all.size());
        r.key = lib.record.key;
        copy(r.name, lib.record.name);
        r.threshold = lib.record.threshold;
        copy(r.extra_info, lib.record.extra_info);
        r.alarm_type = lib.record.alarm_type;
        r.opt_type = lib.record.opt_type;
        copy(r.uuid, lib.record.uuid);
        copy(r.version, lib.record.version);
        all.push_back(r);
    }
    return page(all, in.page_no, &LibraryResult::total, &LibraryResult::page_count);
}

Answer FaceStore::query_faces(const FaceQueryRequest &in) const {
    std::vector<FaceResult> all;
    for (const StoredLibrary &lib : libraries_) {
        if (!text(in.lib_uuid).empty() && text(in.lib_uuid) != text(lib.record.uuid))
            continue;
        for (const Face &f : lib.faces)
            if (text(f.name).find(text(in.name)) != std::string_view::npos)
                all.push_back(face_result(lib.record, f, static_cast<int32_t>(all.size())));
    }
    return page(all, in.page_no, &FaceResult::total, &FaceResult::page_count);
}

Answer FaceStore::search_by_picture(const PictureSearchRequest &in) const {
    // Every face of the library resembles the picture a little less than the
    // one before; those at or above the asked similarity are found.
    std::vector<FaceResult> all;
    for (const StoredLibrary &lib : libraries_) {
        if (!text(in.lib_uuid).empty() && text(in.lib_uuid) != text(lib.record.uuid))
            continue;
        int32_t similar = 98;
        for (const Face &f : lib.faces) {
            if (similar >= in.similarity) {
                FaceResult r = face_result(lib.record, f, static_cast<int32_t>(all.size()));
                r.task_id = in.task_id;
                r.similar = similar;
                all.push_back(r);
            }
            similar = std::max(similar - 3, 0);
        }
    }
    return page(all, in.page_no, &FaceResult::total, &FaceResult::page_count);
}

Answer FaceStore::start_snap_search(const SnapSearchRequest &in) {
    constexpr int32_t kMaxChannels = 64;
    if (in.channels == nullptr || in.channel_count < 0 || in.channel_count > kMaxChannels ||
        in.entry_size != static_cast<int32_t>(sizeof(ChannelEntry)))
        return Answer{-1, 0, {}};
    std::vector<SnapResult> found;
    for (int32_t c = 0; c < in.channel_count; ++c) {
        int32_t ch = in.channels[c].ch;
        for (int32_t i = 0; i < kSnapshotsPerChannel; ++i) {
            SnapResult r{};
            r.ch = ch;
            r.begin = later(in.begin, 10 * i);
            r.end = later(r.begin, 1);
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

Answer FaceStore::snap_page(const SnapPageRequest &in) const {
    auto it = snap_searches_.find(in.task_id);
    if (it == snap_searches_.end())
        return page(std::vector<SnapResult>{}, 0, &SnapResult::total, &SnapResult::page_count);
    return page(it->second, in.page_no, &SnapResult::total, &SnapResult::page_count);
}

}  // namespace device_sdk_sim
