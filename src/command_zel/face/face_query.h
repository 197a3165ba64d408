// Paged face and snapshot searches: the search commands that open query
// sessions, the commands that page through and close them, and the direct
// picture queries.
#pragma once

#include <json-c/json.h>

#include <cstdint>

#include "face/find_session.h"

namespace zel {

// Get commands.
int32_t face_search(void *host, json_object *jso, char **out_buf);
int32_t get_query_result(void *host, json_object *jso, char **out_buf);
int32_t close_query(void *host, json_object *jso);
int32_t face_get_query_snap(void *host, json_object *jso, char **out_buf);
int32_t get_query_snap_process(void *host, json_object *jso, char **out_buf);
int32_t get_face_cut_pic(void *host, const char *filename, json_object *jso, char **out_buf);
int32_t query_face_lib(void *host, json_object *jso, char **out_buf);
int32_t query_faceimg_result(void *host, json_object *jso, char **out_buf);
int32_t query_pic_file(void *host, json_object *jso, char **out_buf);

// Hands out the next result of a held session as one object appended to
// `results`; 1 while results can follow, 0 when the page could not be loaded
// or the result not formatted.
int32_t find_next_result(find_info *session, json_object *results);

// The session numbered `findfd`, held by the caller; null (logged, with the
// session-not-found code set) when the number is unknown or expired. Any
// host record may page or close a session: it is found by its number alone.
find_info *find_session(int32_t findfd);

}  // namespace zel
