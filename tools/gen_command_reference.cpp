// Writes the command reference (Markdown) from the dispatch tables: every
// number of both tables with its handler, call form, the members it reads,
// an example and whether this build serves it. CI compares the result with
// docs/commands.md so the reference never drifts from the code.
//
//   gen_command_reference             the reference on standard output
//   gen_command_reference --seeds DIR one fuzz seed per example in DIR
//
// A served command without members or example is a mistake in the
// catalogue: the generator then fails.
#include <cstdio>
#include <cstring>
#include <string>

#include "command_catalog.h"
#include "command_tables.h"

namespace {

using Finder = const zel::Handler *(*)(int32_t);

struct Table {
    const char *title;
    const char *side;  // "set" or "get"
    const zel::CommandInfo *commands;
    size_t count;
    Finder find;
};

const Table kTables[] = {
    {"Set commands (`cmd_common_set_config`)", "set", zel::kSetCommands, zel::kSetCommandCount, zel::find_set_handler},
    {"Get commands (`cmd_common_get_config`)", "get", zel::kGetCommands, zel::kGetCommandCount, zel::find_get_handler},
};

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

// Table cells must not break the row.
std::string cell(const char *text) {
    std::string out;
    for (const char *p = text; *p != '\0'; ++p)
        out += *p == '|' ? std::string("\\|") : std::string(1, *p);
    return out;
}

bool undescribed(const Table &t) {
    bool missing = false;
    for (size_t i = 0; i < t.count; ++i) {
        const zel::CommandInfo &c = t.commands[i];
        if (t.find(c.number) != nullptr && (*c.members == '\0' || *c.example == '\0')) {
            std::fprintf(stderr, "%s %d is served but has no members or example\n", t.side, c.number);
            missing = true;
        }
    }
    return missing;
}

void reference(const Table &t) {
    std::printf("\n## %s\n\n| No. | Handler | Form | Takes | Members | Served |\n|---|---|---|---|---|---|\n", t.title);
    for (size_t i = 0; i < t.count; ++i) {
        const zel::CommandInfo &c = t.commands[i];
        if (c.handler == nullptr) {
            std::printf("| %d | none | | | | |\n", c.number);
            continue;
        }
        std::printf("| %d | `%s` | %s%s | %s | %s | %s |\n", c.number, c.handler, zel::call_form_name(c.form),
                    c.stores_result ? " R" : "", form_meaning(c.form), cell(c.members).c_str(),
                    t.find(c.number) != nullptr ? "yes" : "not yet");
    }
    std::printf("\n### Examples\n\n");
    for (size_t i = 0; i < t.count; ++i)
        if (*t.commands[i].example != '\0')
            std::printf("- %s %d: `%s`\n", t.side, t.commands[i].number, t.commands[i].example);
}

// The dispatch fuzz target's input: [side: 0 set, 1 get][answer length: 0][text].
bool write_seeds(const Table &t, const std::string &dir) {
    for (size_t i = 0; i < t.count; ++i) {
        const zel::CommandInfo &c = t.commands[i];
        if (*c.example == '\0')
            continue;
        char name[16];
        std::snprintf(name, sizeof name, "/%s_%02d", t.side, c.number);
        std::string path = dir + name;
        std::FILE *f = std::fopen(path.c_str(), "wb");
        if (f == nullptr) {
            std::perror(path.c_str());
            return false;
        }
        const unsigned char header[2] = {static_cast<unsigned char>(std::strcmp(t.side, "set") == 0 ? 0 : 1), 0};
        bool ok = std::fwrite(header, 1, 2, f) == 2 &&
                  std::fwrite(c.example, 1, std::strlen(c.example), f) == std::strlen(c.example);
        if (std::fclose(f) != 0 || !ok) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    bool missing = false;
    for (const Table &t : kTables)
        missing = undescribed(t) || missing;
    if (missing)
        return 1;
    if (argc == 3 && std::strcmp(argv[1], "--seeds") == 0) {
        for (const Table &t : kTables)
            if (!write_seeds(t, argv[2]))
                return 1;
        return 0;
    }
    if (argc != 1) {
        std::fprintf(stderr, "usage: gen_command_reference [--seeds DIR]\n");
        return 2;
    }
    std::printf("# Command reference\n\n"
                "Generated from the library's dispatch tables by `tools/gen_command_reference`;\n"
                "do not edit by hand (`cmake --build build --target command_reference` rewrites it).\n\n"
                "A command is a JSON object whose integer member \"command\" selects the handler.\n"
                "Form: J = the handler takes the command document; JO = the document and the\n"
                "reply slot; O = the reply slot only; FJO = the record's file name, the document\n"
                "and the reply slot. R = the result is also stored in the record's `result`.\n"
                "Members: what the handler reads (`a[].b`: member b of each entry of array a;\n"
                "`a{b}`: member b of object a). Each example is accepted on the simulated device.\n"
                "A number that is not served is refused like a number without a command.\n");
    for (const Table &t : kTables)
        reference(t);
    return 0;
}
