// Configuration export (get 23): clears the host's export state, runs the
// export step and, once an export has started, records its file name in
// the host record (the export-finished event publishes it), arms a
// ten-minute clean-up timer and answers the name.
#include "maintenance/config_export.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "handler_support.h"
#include "host_view.h"
#include "maintenance/maintenance_handlers.h"

namespace zel {
namespace {

constexpr size_t kNameSize = 260;
constexpr int32_t kCleanUpAfterMs = 600000;

// One per started export; freed by its own timer.
struct delete_tmpfile_record {
    os_timer_t timer;  // null once the timer is destroyed
    char filename[kNameSize];
};
static_assert(offsetof(delete_tmpfile_record, timer) == 0);
static_assert(offsetof(delete_tmpfile_record, filename) == sizeof(void *));

std::atomic<ExportStep> s_export_step{export_config};

// Runs once, ten minutes after the export started: the timer goes with the
// record. The exported file itself is left where it is.
void delete_tmpfile(void *arg) {
    auto *record = static_cast<delete_tmpfile_record *>(arg);
    if (record == nullptr) {
        ZLOG(kLogInfo, "delete_tmpfile == NULL");
        return;
    }
    if (os_timer_t timer = std::atomic_ref(record->timer).exchange(nullptr))
        os_timer_destroy(timer);
    std::free(record);
}

int32_t export_started(const HostView &dev, const char (&name)[kNameSize], char **out_buf) {
    // The step may fill the whole buffer: at most 259 characters are kept.
    char kept[kNameSize] = {};
    std::memcpy(kept, name, strnlen(name, kNameSize - 1));
    std::memcpy(dev.at(host_field::kExportFilename), kept, sizeof kept);
    auto *record =
        static_cast<delete_tmpfile_record *>(xcalloc(1, sizeof(delete_tmpfile_record), "delete_tmpfile == NULL"));
    std::memcpy(record->filename, kept, sizeof kept);
    os_timer_t timer = os_timer_create(delete_tmpfile, kCleanUpAfterMs, record);
    if (timer == nullptr)
        die("os_timer_create failed.");
    std::atomic_ref(record->timer).store(timer);

    JsonPtr reply = new_object("is_error(jso_ret)");
    add_text(reply.get(), "filename", kept);
    return reply_document(out_buf, reply.get(), {"calloc failed"}, "jso_string == NULL", kLogInfo) ? 1 : 0;
}

}  // namespace

int32_t export_config(void *, json_object *, char *, int32_t) { return 0; }

ExportStep replace_export_step(ExportStep step) { return s_export_step.exchange(step); }

int32_t get_export_config(void *host, json_object *jso, char **out_buf) {
    if (!has_host_and_reply(host, out_buf, {.host_code = kKeepErrno, .code = kKeepErrno, .host_id = ", host_id:%s"}))
        return 0;
    HostView dev(host);
    dev.store_flag(host_field::kExportFinished, 0);
    char name[kNameSize] = {};
    if (s_export_step.load()(host, jso, name, static_cast<int32_t>(sizeof name)) == 0)
        return ZREFUSE("export_config failed");
    return export_started(dev, name, out_buf);
}

}  // namespace zel
