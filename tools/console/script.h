// The console's command language, shared by script files and the
// interactive shell. One statement per line:
//
//   # a comment                      (blank lines are ignored too)
//   echo TEXT                        print a heading
//   set JSON | get JSON              send a command and show its outcome
//   repeat KEY VALUE set|get JSON    send it again until the reply's member
//                                    KEY equals VALUE (at most 100 times)
//   expect result N                  the last command's result
//   expect errno N                   errno after it (0, or 0x1000002 ...)
//   expect reply TEXT                its reply text, exactly
//   expect member KEY VALUE          a member of its reply, as JSON (a
//                                    path like list.0.event_type reaches
//                                    into objects and arrays)
//   expect log TEXT                  one of its log lines, exactly
//   event NAME FIELD=VALUE ...       inject a device event (device_events.h)
//                                    through cmd_main_notify
//   wait delivered N                 wait (at most 10 s) until the broker
//                                    holds N delivered messages
//   wait producers N                 wait (at most 10 s) until N broker
//                                    producers are open (the library's
//                                    senders forward events only then)
//   expect delivered KEY VALUE       some message delivered to the broker
//                                    has member KEY (a path like param.flow
//                                    reaches into objects) equal to VALUE
//   upgrade FILE [TYPE]              start a firmware upgrade (set 29) and
//                                    follow it with get 22 until the device
//                                    reports its end; expectations then
//                                    check the last get 22 (or the set 29
//                                    that did not start)
//   commands                         list every command of both tables
//   help set|get N                   describe one command
//
// After each command the reply's top-level members are kept as variables:
// $findfd in a later line is replaced by the last reply's "findfd".
#pragma once

#include <map>
#include <string>

#include "platform_session.h"
#include "printer.h"

namespace console {

class Script {
  public:
    Script(PlatformSession &session, Printer &printer) : session_(session), printer_(printer) {}
    // Runs one statement; false when it could not be run or an expectation
    // failed (the reason is printed).
    bool run(const std::string &line);
    int failures() const { return failures_; }

  private:
    bool send(const std::string &rest, bool show);
    bool repeat(const std::string &rest);
    bool expect(const std::string &rest);
    bool event(const std::string &rest);
    bool wait(const std::string &rest);
    bool expect_delivered(const std::string &rest);
    bool upgrade(const std::string &rest);
    bool follow_upgrade();
    bool fail(const std::string &why);
    std::string substitute(const std::string &text) const;
    void keep_members();

    PlatformSession &session_;
    Printer &printer_;
    Outcome last_;
    std::map<std::string, std::string> variables_;
    int failures_ = 0;
};

// The catalogue as the console shows it.
void list_commands(std::FILE *out);
bool describe_command(std::FILE *out, const std::string &side, int number);

}  // namespace console
