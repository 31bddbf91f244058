// The command line's arguments and text on Windows. Quietus.exe is a GUI program with no console
// of its own: it writes to the file or pipe its output was redirected to, else to the console of
// the program that started it, else nowhere (started from Explorer or a shortcut).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace qm::win32 {

// The arguments after the program's name, in UTF-8.
std::vector<std::string> commandLineArguments();

class ParentConsole {
public:
    // Takes the standard handles as the starter gave them; only where one of them goes to no
    // file or pipe does it attach to the starter's console, and a redirection always holds.
    ParentConsole();

    // UTF-8 text: as UTF-16 to a console, as the UTF-8 bytes themselves to a file or pipe.
    void out(std::string_view utf8) const { outFailed_ |= !write(out_, utf8); }
    void err(std::string_view utf8) const { write(err_, utf8); }
    // Whether some text for standard output was not written (a full disk, a closed pipe); text
    // with nowhere to go, as when Explorer started the program, is no failure.
    bool outFailed() const { return outFailed_; }

private:
    struct Stream {
        HANDLE handle = nullptr;
        bool console = false;
    };
    static Stream streamOf(HANDLE handle);
    // False when the text did not all arrive.
    static bool write(const Stream& stream, std::string_view utf8);

    Stream out_;
    Stream err_;
    mutable bool outFailed_ = false;
};

}  // namespace qm::win32
