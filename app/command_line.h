// The program's command line: it lists the schedule, names the next due entry, adds an entry and
// deletes past ones, without the tray program and without any window. Each back end's main()
// asks isCommandLine() before it builds anything of its user interface.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "platform/text_codec.h"

namespace qm {

// Exit statuses: done, or refused with one line on standard error (bad input, or a schedule
// file that cannot be read or written), in which case nothing was written.
inline constexpr int kCommandDone = 0;
inline constexpr int kCommandRefused = 2;

struct CommandLineNeeds {
    const Clock& clock;
    const TextCodec& codec;
    FileSystem& files;
    ProgramFolder folder;
    // The program's name as the help's usage line shows it: "quietus", "Quietus.exe".
    std::string_view programName;
    // Help lines for options the back end answers itself, each ended by "\n"; may be empty.
    std::string_view backEndHelp = {};
};

// Where the text goes: UTF-8, whole lines, each ended by "\n". A back end writes each piece as
// it comes; the tests keep it.
struct CommandOutput {
    std::function<void(std::string_view)> out;
    std::function<void(std::string_view)> err;
};

// True when the first argument (after the program's own name) is one of the command line's
// options: --list, --next, --add, --delete-past, --where, --help, --version. Any other arguments start
// the tray program as before.
bool isCommandLine(std::span<const std::string> args);

// Runs the command that `args` (without the program's name) give; kCommandDone or
// kCommandRefused.
int runCommandLine(std::span<const std::string> args, const CommandLineNeeds& needs,
                   const CommandOutput& output);

}  // namespace qm
