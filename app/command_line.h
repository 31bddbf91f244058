// The program's command line: it lists the schedule, names the next due entry, adds an entry and
// deletes past ones, without the tray program and without any window; and it asks the running
// program to pause, resume, skip or postpone its next entry, or to say what it will do. Each back
// end's main() asks isCommandLine() before it builds anything of its user interface.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/control_channel.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "platform/text_codec.h"

namespace qm {

// Exit statuses: done, or refused with one line on standard error (bad input, or a schedule
// file that cannot be read or written), in which case nothing was written; also refused when
// standard output could not take the command's text.
inline constexpr int kCommandDone = 0;
inline constexpr int kCommandRefused = 2;
// The options that reach the running program (--pause, --status and the like) also end with: no
// entry ahead to skip or postpone (said on standard error, nothing changed), or no running
// program of this user answered.
inline constexpr int kCommandNothingAhead = 1;
inline constexpr int kCommandNoProgram = 3;

// Where the text goes: UTF-8, whole lines, each ended by "\n". A back end writes each piece as
// it comes; the tests keep it. `outFailed`, when given, says after the command whether any of
// standard output could not be written (a full disk, a closed pipe): the command is then refused.
struct CommandOutput {
    std::function<void(std::string_view)> out;
    std::function<void(std::string_view)> err;
    std::function<bool()> outFailed = {};
};

// An option only one back end answers (quietus --install-desktop-entry): its work, which returns
// why it failed (one line for the user, refused as any other refusal) or "" when it is done.
struct BackEndCommand {
    std::string_view option;
    std::function<std::string(const CommandOutput&)> run;
};

struct CommandLineNeeds {
    const Clock& clock;
    const TextCodec& codec;
    FileSystem& files;
    ProgramFolder folder;
    // The program's name as the help's usage line shows it: "quietus", "Quietus.exe".
    std::string_view programName;
    // Help lines for options the back end answers itself, each ended by "\n"; may be empty.
    std::string_view backEndHelp = {};
    // The back end's own options; none when empty.
    std::span<const BackEndCommand> backEndCommands = {};
    // The channel to the running program (--pause, --status and the like); none: no program is
    // ever reached.
    ControlChannel* control = nullptr;
};

// True when the first argument (after the program's own name) begins with "-": it is then the
// command line's to answer, an unknown option being refused, never the tray program's. Only the
// options `passThrough` names ("-platform": also "--platform", "-platform=..."), which the back
// end's toolkit takes, start the tray program, as do no arguments or a first one without "-".
bool isCommandLine(std::span<const std::string> args, std::span<const std::string_view> passThrough = {});

// Runs the command that `args` (without the program's name) give; kCommandDone or
// kCommandRefused. Options take their value after a space or after "=" (--at=22:30); -h and -V
// are --help and --version, and --help after any option still shows the help.
int runCommandLine(std::span<const std::string> args, const CommandLineNeeds& needs,
                   const CommandOutput& output);

}  // namespace qm
