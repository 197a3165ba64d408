#include "platform_fixture.h"

#include "os_support_control.h"

namespace test {

LogCapture::LogCapture() {
    os_support_set_log_quiet(1);
    os_support_set_log_hook(&LogCapture::hook, this);
}

LogCapture::~LogCapture() {
    os_support_set_log_hook(nullptr, nullptr);
    os_support_set_log_quiet(0);
}

void LogCapture::hook(void *ctx, int32_t level, const char *file, int32_t, const char *message) {
    auto *self = static_cast<LogCapture *>(ctx);
    std::lock_guard lock(self->mutex_);
    self->lines_.push_back({level, file, message});
}

std::vector<LogCapture::Line> LogCapture::entries() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::string> LogCapture::lines() const {
    std::vector<std::string> out;
    for (const Line &l : entries())
        out.push_back(std::to_string(l.level) + " " + l.file + ": " + l.message);
    return out;
}

std::vector<std::string> LogCapture::messages() const {
    std::vector<std::string> out;
    for (const Line &l : entries())
        out.push_back(l.message);
    return out;
}

bool LogCapture::contains(const std::string &message) const {
    for (const Line &l : entries())
        if (l.message == message)
            return true;
    return false;
}

void LogCapture::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

}  // namespace test
