/* The face libraries, faces and snapshot searches of one simulated
 * recorder: what the face commands add, edit and delete lives here, and the
 * library, face and snapshot searches page through it 20 records at a time. */
#ifndef PLATFORM_DEVICE_SDK_FACE_STORE_H
#define PLATFORM_DEVICE_SDK_FACE_STORE_H

#include "device_sdk_face.h"
#include "device_sdk_face_search.h"
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
    /* The answer to the face count query (GetDevConfig NET_CLIENT_FACE_LIB_COUNT). */
    Answer counts() const;

  private:
    struct StoredLibrary {
        face_lib_record record;
        std::vector<face_record> faces;
    };
    /* Snapshots found per channel of a snapshot search. */
    static constexpr int32_t kSnapshotsPerChannel = 3;

    Answer edit_library(const face_lib_record &in);
    Answer delete_library(const face_lib_delete_record &in);
    Answer edit_face(const face_record &in);
    Answer delete_face(const face_key_record &in);
    Answer libraries(const face_lib_query_request &in) const;
    Answer query_faces(const face_query_request &in) const;
    Answer search_by_picture(const face_search_request &in) const;
    Answer start_snap_search(const face_snap_search_request &in);
    Answer snap_page(const face_snap_result_request &in) const;

    StoredLibrary *library(const char *uuid);

    std::vector<StoredLibrary> libraries_; /* in the order they were added */
    int32_t next_library_key_ = 1;
    int32_t next_face_key_ = 1;
    std::map<int32_t, std::vector<face_snap_result>> snap_searches_; /* by task id */
};

}  // namespace device_sdk_sim

#endif
