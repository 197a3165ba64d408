#include "printer.h"

#include <json-c/json.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace console {
namespace {
constexpr const char *kReset = "\033[0m";
constexpr const char *kBold = "\033[1m";
constexpr const char *kDim = "\033[2m";
constexpr const char *kRed = "\033[31m";
constexpr const char *kGreen = "\033[32m";
constexpr const char *kCyan = "\033[36m";
}  // namespace

Printer::Printer(std::FILE *out)
    : out_(out), colour_(isatty(fileno(out)) != 0 && std::getenv("NO_COLOR") == nullptr),
      terminal_(isatty(fileno(out)) != 0) {}

std::string pretty_json(const std::string &text, const std::string &indent) {
    json_object *doc = json_tokener_parse(text.c_str());
    std::string shown = text;
    if (doc != nullptr) {
        shown = json_object_to_json_string_ext(doc, JSON_C_TO_STRING_PRETTY | JSON_C_TO_STRING_NOSLASHESCAPE);
        json_object_put(doc);
    }
    std::string out;
    for (char c : shown) {
        out += c;
        if (c == '\n')
            out += indent;
    }
    return out;
}

void Printer::command(Side side, const std::string &json) {
    statement(std::string(side == Side::Set ? "set " : "get ") + json);
}

void Printer::statement(const std::string &text) {
    std::fprintf(out_, "%s%s> %s%s\n", paint(kBold), paint(kCyan), text.c_str(), paint(kReset));
}

void Printer::outcome(const Outcome &o) {
    const std::string indent(10, ' ');
    std::fprintf(out_, "  reply   %s\n", o.has_reply ? pretty_json(o.reply, indent).c_str() : "(none)");
    std::fprintf(out_, "  result  %s%d%s\n", paint(o.result != 0 ? kGreen : kRed), o.result, paint(kReset));
    log(o);
}

void Printer::log(const Outcome &o) {
    std::fprintf(out_, "  errno   %s\n", errno_name(o.err).c_str());
    for (size_t i = 0; i < o.log.size(); ++i)
        std::fprintf(out_, "  %s%s[%d] %s %s%s\n", i == 0 ? "log     " : "        ", paint(kDim), o.log[i].level,
                     o.log[i].where.c_str(), o.log[i].message.c_str(), paint(kReset));
}

void Printer::heading(const std::string &text) {
    std::fprintf(out_, "\n%s== %s%s\n", paint(kBold), text.c_str(), paint(kReset));
}

void Printer::note(const std::string &text) { std::fprintf(out_, "  %s\n", text.c_str()); }

void Printer::failure(const std::string &text) {
    std::fprintf(out_, "  %s%sFAILED: %s%s\n", paint(kBold), paint(kRed), text.c_str(), paint(kReset));
}

void Printer::progress(int32_t percent) {
    percent = std::clamp(percent, 0, 100);
    if (!terminal_ && percent / 10 == shown_tenth_)
        return;
    shown_tenth_ = percent / 10;
    const std::string bar = std::string(percent / 5, '#') + std::string(20 - percent / 5, '.');
    std::fprintf(out_, "%s  %s[%s]%s %3d%%%s", terminal_ ? "\r" : "", paint(kGreen), bar.c_str(), paint(kReset),
                 percent, terminal_ ? "" : "\n");
    std::fflush(out_);
}

void Printer::progress_done() {
    if (terminal_ && shown_tenth_ >= 0)
        std::fputc('\n', out_);
    shown_tenth_ = -1;
}

}  // namespace console
