// Configuration export: the shipped export step fails after clearing the
// host's export state; with a step that starts an export, the file name
// reaches the host record, the reply and the finished event, and the
// clean-up record goes with its timer.
#include "command_test.h"
#include "json_accessors.h"
#include "maintenance/config_export.h"

namespace {

using test::Command;
using test::Lines;

constexpr size_t kExportFinished = 31288;
constexpr size_t kExportFilename = 31572;

using ExportTest = test::CommandTest;

TEST_F(ExportTest, TheShippedStepFailsAfterClearingTheExportState) {
    host.put<uint32_t>(kExportFinished, 1);
    host.put_text(kExportFilename, "earlier.cfg");
    Command cmd(R"({"command":23})");
    EXPECT_EQ(get(cmd), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(log.messages(), Lines{"export_config failed"});
    EXPECT_EQ(cmd.reply(), "");
    EXPECT_EQ(host.get<uint32_t>(kExportFinished), 0u);
    EXPECT_EQ(host.text(kExportFilename), "earlier.cfg");
}

// Fills the whole name buffer, leaving no terminator.
int32_t full_name_export(void *, json_object *jso, char *name, int32_t size) {
    if (json_object_get_field_int(jso, "command", -1) != 23 || size != 260)
        return 0;
    std::memset(name, 'c', 260);
    return 1;
}

TEST_F(ExportTest, AStartedExportKeepsItsNameAndCleansUpWithItsTimer) {
    os_support_timers_pause(1);
    const int32_t timers = os_support_timers_fire();
    zel::ExportStep shipped = zel::replace_export_step(full_name_export);
    host.put<uint32_t>(kExportFinished, 1);
    Command cmd(R"({"command":23})");
    EXPECT_EQ(get(cmd), 1);
    zel::replace_export_step(shipped);
    const std::string name(259, 'c');
    EXPECT_EQ(cmd.reply(), R"({ "filename": ")" + name + "\" }");
    EXPECT_EQ(host.text(kExportFilename), name);
    EXPECT_EQ(host.get<uint32_t>(kExportFinished), 0u);

    // The clean-up runs once and takes its timer with it.
    EXPECT_EQ(os_support_timers_fire(), timers + 1);
    EXPECT_EQ(os_support_timers_fire(), timers);
    os_support_timers_pause(0);

    cmd_main_notify(host.data(), 117, nullptr, 0);
    EXPECT_EQ(log.messages().back(),
              "WCM_EXPORT_CONFIG_FINISHED, host->host.id: dev-0001, host->export_filename:" + name);
}

}  // namespace
