// The two command dispatchers and the other entry points, driven the way
// the platform drives them.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform_fixture.h"

namespace {

using test::Command;
using test::Host;
using test::LogCapture;

using Dispatch = int32_t (*)(void *, void *, int32_t);

struct Side {
    const char *name;
    Dispatch dispatch;
    const char *parse_error;  // expected refusal of unparsable text (%s = text)
};

const Side kSet{"set", cmd_common_set_config, "is_error(jso_param), jso_param:%s"};
const Side kGet{"get", cmd_common_get_config, "is_error(jso_param)"};

class DispatchTest : public ::testing::TestWithParam<Side> {
  protected:
    void SetUp() override { test::init_library_once(); }

    // Runs one command; returns the result and leaves errno in `err`.
    int32_t run(void *target, void *record, int32_t size) {
        errno = test::kSentinelErrno;
        int32_t result = GetParam().dispatch(target, record, size);
        err = errno;
        return result;
    }
    int32_t run(Command &cmd) { return run(host.data(), &cmd.opit, sizeof cmd.opit); }

    std::string parse_error(const std::string &text) const {
        std::string expected = GetParam().parse_error;
        auto at = expected.find("%s");
        if (at != std::string::npos)
            expected.replace(at, 2, text);
        return expected;
    }

    Host host;
    LogCapture log;
    int err = 0;
};

TEST_P(DispatchTest, RefusesMissingHostRecordOrCommandRecord) {
    Command cmd(R"({"command":1})"), no_text("");
    no_text.opit.in_buf = nullptr;
    const std::string bad_record = "opit == NULL || size != sizeof(AsynOpIt_ComCmd)";
    // The record's size is checked before its text is looked at.
    const std::tuple<void *, void *, int32_t, std::string> cases[] = {
        {nullptr, &cmd.opit, 48, "host == NULL"},
        {host.data(), &no_text.opit, 47, bad_record},
        {host.data(), &no_text.opit, 49, bad_record},
        {host.data(), &no_text.opit, 0, bad_record},
        {host.data(), &no_text.opit, -48, bad_record},
        {host.data(), nullptr, 48, bad_record},
        {host.data(), &no_text.opit, 48, "opit->in_buf == NULL"},
    };
    for (const auto &[target, record, size, line] : cases) {
        log.clear();
        EXPECT_EQ(run(target, record, size), 0) << line << " " << size;
        EXPECT_EQ(err, CMD_ZEL_EINVAL) << line << " " << size;
        EXPECT_EQ(log.messages(), std::vector<std::string>{line});
    }
}

TEST_P(DispatchTest, RefusesTextThatIsNotJson) {
    for (const char *text : {"", "{", "command:1", "{\"command\":1", "\x01\xff\xfe", "nul\0after"}) {
        log.clear();
        Command cmd(text);
        EXPECT_EQ(run(cmd), 0) << text;
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(log.lines(), std::vector<std::string>{"2 cmd_zel.cpp: " + parse_error(text)});
    }
    // Nesting deeper than the parser takes is refused, not recursed into.
    Command deep(std::string(100000, '[') + std::string(100000, ']'));
    EXPECT_EQ(run(deep), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
}

TEST_P(DispatchTest, RefusesMissingOrUnusableCommandNumber) {
    for (const char *text : {"{}", R"({"command":-1})", R"({"command":"5"})", R"({"command":null})",
                             R"({"command":[1]})", R"({"command":{"n":1}})", R"({"command":true})",
                             R"({"command":-1.7})", "[1,2,3]", "42", R"("text")", R"({"Command":1})"}) {
        log.clear();
        Command cmd(text);
        EXPECT_EQ(run(cmd), 0) << text;
        EXPECT_EQ(err, CMD_ZEL_EINVAL) << text;
        EXPECT_EQ(log.messages(), std::vector<std::string>{"cmd_type == -1"}) << text;
        EXPECT_EQ(cmd.opit.out_buf, nullptr);
    }
}

TEST_P(DispatchTest, NumbersWithoutHandlerLeaveErrnoAlone) {
    const std::string side = GetParam().name;
    const bool is_set = side == "set";
    // Numbers outside the table, inside it without a command, and numbers
    // reached through truncation and clamping of the member.
    std::vector<std::pair<std::string, int32_t>> cases = {
        {R"({"command":-2})", -2},
        {R"({"command":-2147483648})", INT32_MIN},
        {R"({"command":99999999999})", INT32_MAX},
        {R"({"command":1e300})", INT32_MAX},
        {is_set ? R"({"command":91})" : R"({"command":90})", is_set ? 91 : 90},
        {is_set ? R"({"command":43})" : R"({"command":88})", is_set ? 43 : 88},
        {is_set ? R"({"command":59.9})" : R"({"command":40.5})", is_set ? 59 : 40},
        {is_set ? R"({"command":63,"ch":1.5,"x":[1,2.5]})" : R"({"command":71,"ch":2.5})", is_set ? 63 : 71},
    };
    for (const auto &[text, number] : cases) {
        log.clear();
        Command cmd(text);
        cmd.opit.result = 777;
        EXPECT_EQ(run(cmd), 0) << text;
        EXPECT_EQ(err, test::kSentinelErrno) << text;
        EXPECT_EQ(log.messages(),
                  std::vector<std::string>{side + "_config not support command:" + std::to_string(number)});
        EXPECT_EQ(cmd.opit.out_buf, nullptr);
        EXPECT_EQ(cmd.opit.result, 777);
    }
}

INSTANTIATE_TEST_SUITE_P(BothTables, DispatchTest, ::testing::Values(kSet, kGet),
                         [](const auto &p) { return std::string(p.param.name); });

class EntryPointTest : public ::testing::Test {
  protected:
    void SetUp() override { test::init_library_once(); }
    Host host;
    LogCapture log;
};

TEST_F(EntryPointTest, InitialisationVideoRequestAndBodilessNotifications) {
    errno = test::kSentinelErrno;
    EXPECT_EQ(init_command_lib(), 1);  // a second time: at once
    cmd_alarm_notify(host.data(), 1, 2, 3);
    cmd_parachange_notify(host.data(), 1, 2, 3);
    cmd_proxy_notify(nullptr, 1, 2, 3);
    EXPECT_EQ(errno, test::kSentinelErrno);
    EXPECT_TRUE(log.messages().empty());

    Command cmd("{}");
    EXPECT_EQ(video_to_cmd_common_get_config(host.data(), 2, &cmd.opit, 48), 1);
    EXPECT_EQ(errno, test::kSentinelErrno);
    EXPECT_EQ(video_to_cmd_common_get_config(nullptr, 1, &cmd.opit, 48), 0);
    EXPECT_EQ(errno, CMD_ZEL_EINVAL);
    EXPECT_EQ(video_to_cmd_common_get_config(host.data(), 1, nullptr, 48), 0);
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"type unkown, type:2", "host == NULL", "opit == NULL"}));
}

}  // namespace
