// Playing the platform for the video-analysis commands: records built as the
// SDK header lays them out, and commands run with what they must leave.
#pragma once

#include <algorithm>
#include <cstring>

#include "command_test.h"
#include "device_sdk_vca.h"

namespace vca_test {

using namespace test;

// The bytes of an SDK record, as the device answers or receives them.
template <typename Record> Bytes image(const Record &record) {
    return Bytes(sizeof record).raw(0, &record, sizeof record);
}

// A JSON list of the points (i, i + 100) for i from 1 to n.
inline std::string point_list(int n) {
    std::string out = "[";
    for (int i = 1; i <= n; ++i)
        out += (i > 1 ? ",{\"x\":" : "{\"x\":") + std::to_string(i) + ",\"y\":" + std::to_string(i + 100) + "}";
    return out + "]";
}

class VcaTest : public test::CommandTest {
  protected:
    // A set command that must succeed and leave errno alone; returns the last
    // request the device received.
    sdk_sim_call request(const std::string &json) {
        Command cmd(json);
        EXPECT_EQ(set(cmd), 1) << json;
        EXPECT_EQ(err, test::kSentinelErrno) << json;
        auto all = calls();
        return all.empty() ? sdk_sim_call{} : all.back();
    }
    // A get command that must succeed and leave errno alone; returns its reply.
    std::string reply_to(const std::string &json) {
        Command cmd(json);
        EXPECT_EQ(get(cmd), 1) << json;
        EXPECT_EQ(err, test::kSentinelErrno) << json;
        return cmd.reply();
    }
    // A command that must fail: result 0, `error` in errno and exactly `lines`
    // logged. A refused one has written nothing to the device. Returns the reply.
    std::string failed(const std::string &json, const Lines &lines, int error = CMD_ZEL_EINVAL) {
        return fails(cmd_common_set_config, json, lines, error, false);
    }
    std::string refused(const std::string &json, const Lines &lines, int error = CMD_ZEL_EINVAL) {
        return fails(cmd_common_set_config, json, lines, error, true);
    }
    std::string refused_get(const std::string &json, const Lines &lines, int error = CMD_ZEL_EINVAL) {
        return fails(cmd_common_get_config, json, lines, error, true);
    }

  private:
    std::string fails(int32_t (*entry)(void *, void *, int32_t), const std::string &json, const Lines &lines, int error,
                      bool refusal) {
        const size_t writes = device_writes();
        Command cmd(json);
        EXPECT_EQ(run(entry, cmd), 0) << json;
        EXPECT_EQ(err, error) << json;
        EXPECT_EQ(log.messages(), lines) << json;
        EXPECT_TRUE(!refusal || device_writes() == writes) << json << " wrote to the device";
        return cmd.reply();
    }
    static size_t device_writes() {
        auto all = calls();
        return std::count_if(all.begin(), all.end(), [](auto &call) { return std::strstr(call.function, "Set"); });
    }
};

}  // namespace vca_test
