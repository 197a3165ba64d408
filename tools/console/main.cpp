// The platform console: plays the platform service for one simulated
// 16-channel recorder (login handle 1). It loads the command library the way
// the platform does, initialises it, and sends it commands.
//
//   zel_console set|get [JSON]   one command (JSON from stdin when omitted)
//   zel_console run FILE         a script of statements (see script.h)
//   zel_console shell            an interactive shell with history
//   zel_console commands         every command number of both tables
//   zel_console help set|get N   one command
#include <editline/readline.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "platform_session.h"
#include "printer.h"
#include "script.h"

namespace {

std::string library_path() {
    if (const char *env = std::getenv("CMD_ZEL_LIBRARY"))
        return env;
    return CMD_ZEL_LIBRARY_PATH;
}

int usage() {
    std::fprintf(stderr, "usage: zel_console set|get [JSON]    send one command\n"
                         "       zel_console run FILE          run a script ('-' for standard input)\n"
                         "       zel_console shell             interactive shell\n"
                         "       zel_console commands          list every command\n"
                         "       zel_console help set|get N    describe one command\n"
                         "The device is a simulated 16-channel recorder. CMD_ZEL_LIBRARY overrides the\n"
                         "library path; NO_COLOR turns colours off. Broker messages are shown on\n"
                         "standard output, or written to the file CMD_ZEL_BROKER_SINK names.\n");
    return 2;
}

int run_file(console::Script &script, std::istream &in) {
    std::string line;
    while (std::getline(in, line))
        script.run(line);
    return script.failures() == 0 ? 0 : 1;
}

int run_shell(console::Script &script) {
    std::string history = std::string(std::getenv("HOME") ? std::getenv("HOME") : ".") + "/.zel_console_history";
    read_history(history.c_str());
    std::printf("cmd_zel console: a simulated 16-channel recorder is logged in.\n"
                "Type 'commands', 'help get 11', 'get {\"command\":11,\"ch\":0}', or 'quit'.\n");
    while (char *input = readline("zel> ")) {
        std::string line = input;
        std::free(input);
        if (line == "quit" || line == "exit")
            break;
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        add_history(line.c_str());
        script.run(line);
    }
    write_history(history.c_str());
    return script.failures() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv) {
    // Without arguments: the shell on a terminal, a script from a pipe.
    std::string mode = argc >= 2 ? argv[1] : isatty(STDIN_FILENO) ? "shell" : "run";
    std::string file = argc >= 3 ? argv[2] : "-";
    if (mode == "commands") {
        console::list_commands(stdout);
        return 0;
    }
    if (mode == "help")
        return argc == 4 && console::describe_command(stdout, argv[2], std::atoi(argv[3])) ? 0 : usage();

    console::PlatformSession session;
    std::string error;
    if (!session.start(library_path(), error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    console::Printer printer(stdout);
    console::Script script(session, printer);

    if (mode == "set" || mode == "get") {
        if (argc > 3)
            return usage();
        std::string json = argc == 3 ? std::string(argv[2]) : std::string(std::istreambuf_iterator<char>(std::cin), {});
        return script.run(mode + " " + json) ? 0 : 1;
    }
    if (mode == "run" && argc <= 3) {
        if (file == "-")
            return run_file(script, std::cin);
        std::ifstream in(file);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", file.c_str());
            return 1;
        }
        return run_file(script, in);
    }
    if (mode == "shell")
        return run_shell(script);
    return usage();
}
