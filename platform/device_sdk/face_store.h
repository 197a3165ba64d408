/* The face libraries, faces and snapshot searches of one simulated
 * recorder: what the face commands add, edit and delete lives here, and the
 * library, face and snapshot searches page through it 20 records at a time. */
#ifndef PLATFORM_DEVICE_SDK_FACE_STORE_H
#define PLATFORM_DEVICE_SDK_FACE_STORE_H

#include "face_layouts.h"
#include "sim_engine.h"

#include <map>
#include <optional>
#include <vector>

namespace device_sdk_sim {

class FaceStore {
  public:
    /* The answer to NetClient_FaceConfig sub-command `cmd`, or nothing for a
     * sub-command the recorder leaves to the programmed answers. */
    std::optional<Answer> face_config(const Call &call);
    /* The answer to the face count query (GetDevConfig kDevFaceCounts). */
    Answer counts() const;

  private:
    struct StoredLibrary {
        face::Library record;
        std::vector<face::Face> faces;
    };
    /* Snapshots found per channel of a snapshot search. */
    static constexpr int32_t kSnapshotsPerChannel = 3;

    Answer edit_library(const face::Library &in);
    Answer delete_library(const face::LibraryKey &in);
    Answer edit_face(const face::Face &in);
    Answer delete_face(const face::FaceKey &in);
    Answer libraries(const face::LibraryPageRequest &in) const;
    Answer query_faces(const face::FaceQueryRequest &in) const;
    Answer search_by_picture(const face::PictureSearchRequest &in) const;
    Answer start_snap_search(const face::SnapSearchRequest &in);
    Answer snap_page(const face::SnapPageRequest &in) const;

    StoredLibrary *library(const char *uuid);

    std::vector<StoredLibrary> libraries_; /* in the order they were added */
    int32_t next_library_key_ = 1;
    int32_t next_face_key_ = 1;
    std::map<int32_t, std::vector<face::SnapResult>> snap_searches_; /* by task id */
};

}  // namespace device_sdk_sim

#endif
