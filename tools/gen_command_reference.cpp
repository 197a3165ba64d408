// Writes the command reference (Markdown) from the dispatch tables: every
// number of both tables with its handler, call form and whether this build
// serves it. CI compares the result with docs/commands.md so the reference
// never drifts from the code.
#include <cstdio>

#include "command_catalog.h"
#include "command_tables.h"

namespace {

const char *form_meaning(zel::CallForm form) {
    switch (form) {
    case zel::CallForm::J: return "command document";
    case zel::CallForm::JO: return "command document, reply";
    case zel::CallForm::O: return "reply only";
    case zel::CallForm::FJO: return "file name, command document, reply";
    case zel::CallForm::None: break;
    }
    return "";
}

void table(const char *title, const zel::CommandInfo *commands, size_t count,
           const zel::Handler *(*find)(int32_t)) {
    std::printf("\n## %s\n\n| No. | Handler | Form | Takes | Served |\n|---|---|---|---|---|\n", title);
    for (size_t i = 0; i < count; ++i) {
        const zel::CommandInfo &c = commands[i];
        if (c.handler == nullptr) {
            std::printf("| %d | none | | | |\n", c.number);
            continue;
        }
        std::printf("| %d | `%s` | %s%s | %s | %s |\n", c.number, c.handler, zel::call_form_name(c.form),
                    c.stores_result ? " R" : "", form_meaning(c.form), find(c.number) != nullptr ? "yes" : "not yet");
    }
}

}  // namespace

int main() {
    std::printf("# Command reference\n\n"
                "Generated from the library's dispatch tables by `tools/gen_command_reference`;\n"
                "do not edit by hand (`cmake --build build --target command_reference` rewrites it).\n\n"
                "A command is a JSON object whose integer member \"command\" selects the handler.\n"
                "Form: J = the handler takes the command document; JO = the document and the\n"
                "reply slot; O = the reply slot only; FJO = the record's file name, the document\n"
                "and the reply slot. R = the result is also stored in the record's `result`.\n"
                "A number that is not served is refused like a number without a command.\n");
    table("Set commands (`cmd_common_set_config`)", zel::kSetCommands, zel::kSetCommandCount, zel::find_set_handler);
    table("Get commands (`cmd_common_get_config`)", zel::kGetCommands, zel::kGetCommandCount, zel::find_get_handler);
    return 0;
}
