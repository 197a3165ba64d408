// The logged conversions between device size codes and definitions.
#include "video/video_sizes.h"
#include "video/video_handlers.h"
#include "zel_log.h"

namespace zel {

using namespace video;

int32_t convert_video_size_definition(int32_t code, int32_t *width, int32_t *height) {
    ZLOG(kLogError, "@@@ convert_video_size_definition sdk video_size:0x%x", static_cast<unsigned>(code));
    int32_t definition = -1;
    int32_t w = 0;
    int32_t h = 0;
    if (const PictureSize *size = size_of_code(code)) {
        definition = size->definition;
        w = size->width;
        h = size->height;
    } else if (carries_size(code)) {
        definition = code;
        w = carried_width(code);
        h = carried_height(code);
    }
    if (width != nullptr)
        *width = w;
    if (height != nullptr)
        *height = h;
    ZLOG(kLogError, "@@@ convert_video_size_definition vs video_size:%d, width:%d, height:%d", definition, w, h);
    return definition;
}

int32_t convert_definition_video_size(int32_t definition) {
    ZLOG(kLogError, "@@@ convert_definition_video_size vs video_size:%d", definition);
    int32_t code = -1;
    if (const PictureSize *size = size_of_definition(definition)) {
        code = size->code;
    } else if (carries_size(definition)) {
        code = definition;
        ZLOG(kLogError, "@@@ convert_video_size_definition video size: (%dx%d) value:%x", carried_width(code),
             carried_height(code), static_cast<unsigned>(code));
    }
    ZLOG(kLogError, "@@@ convert_video_size_definition sdk video_size:0x%x", static_cast<unsigned>(code));
    return code;
}

}  // namespace zel
