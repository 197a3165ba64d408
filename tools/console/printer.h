// How the console shows a command and its outcome: the reply pretty-printed,
// the result, errno by name and the log lines the command caused, in colour
// on a terminal.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform_session.h"

namespace console {

class Printer {
  public:
    explicit Printer(std::FILE *out);
    void command(Side side, const std::string &json);
    // Any other statement that acts on the platform (an injected event).
    void statement(const std::string &text);
    void outcome(const Outcome &outcome);
    // errno and the log lines only (a call without reply or result).
    void log(const Outcome &outcome);
    void heading(const std::string &text);
    void note(const std::string &text);
    void failure(const std::string &text);
    // A progress bar at `percent`: redrawn in place on a terminal, elsewhere
    // one line per tenth reached; progress_done ends it.
    void progress(int32_t percent);
    void progress_done();
    std::FILE *stream() const { return out_; }

  private:
    const char *paint(const char *code) const { return colour_ ? code : ""; }
    std::FILE *out_;
    bool colour_;
    bool terminal_;
    int32_t shown_tenth_ = -1;
};

// The reply text indented and pretty-printed when it is JSON.
std::string pretty_json(const std::string &text, const std::string &indent);

}  // namespace console
