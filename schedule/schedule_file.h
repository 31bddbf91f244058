// The schedule file "Dtddta.wet" beside the executable: Shift_JIS lines ending in CR LF.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace qm {

inline constexpr std::string_view kScheduleFileName = "Dtddta.wet";
// Follows the name of a schedule file saved in another encoding, and what that encoding is.
inline constexpr std::string_view kShiftJisOnly = "予定ファイルはShift_JISで保存し直して下さい。";
// How long a writer waits for another to finish its save before it gives up.
inline constexpr std::chrono::milliseconds kWriteLockPatience{5000};

// What the schedule file held when it was read: enough to tell, later, whether anything else
// has changed it since. Unreadable files all look alike.
struct FileStamp {
    enum class State { Absent, Read, Unreadable };
    State state = State::Absent;
    std::size_t size = 0;
    std::size_t hash = 0;  // of the bytes
    bool operator==(const FileStamp&) const = default;
};

// The schedule file as read: absent (a schedule of nothing, nothing to protect), read, or there
// but unreadable, which must never pass for absent: saving over it would lose what it holds. A
// file saved in UTF-8 or UTF-16, not Shift_JIS, is unreadable too: read as Shift_JIS it would
// silently schedule nothing.
struct ScheduleText {
    enum class State { Absent, Read, Unreadable };
    State state = State::Absent;
    std::string text;    // Read: the decoded text
    std::string reason;  // Unreadable: why, for the user
    FileStamp stamp{};   // of the bytes read
};

class ScheduleFile {
public:
    // `path` is the program folder's path of "Dtddta.wet".
    ScheduleFile(FileSystem& files, const TextCodec& codec, std::string path);

    // Present only when a lookup finds a plain file named exactly "Dtddta.wet".
    bool exists() const;
    // Every line without its end (CR LF, a lone CR or a lone LF), in file order, untrimmed; a last line
    // without an end counts. Nothing when the file is absent. Undecodable bytes become U+FFFD.
    std::vector<std::string> readLines() const;
    // The whole file decoded, for readers that walk it with forEachLine and keep no copy of
    // each line.
    ScheduleText read() const;
    // The same, nullopt when the file is absent or cannot be read.
    std::optional<std::string> readText() const;
    // What the file holds now, without decoding it.
    FileStamp stamp() const;
    // Taken by every writer before it reads the file for a save and held until the save is
    // done, so that no writer, in this process or another, saves over what another has just saved.
    WriteLock lock();
    // Replaces the file with these lines, each ended by CR LF, in one step; an empty list gives
    // a zero-length file. On failure (a character Shift_JIS cannot hold, a write error) the old
    // file is intact and the reason is returned.
    Status rewrite(std::span<const std::string> lines);
    // The same for lines already joined, each ended by CR LF: encoded in one piece, which is
    // what makes saving a long list cheap.
    // `written`, when given, receives what the file holds after a successful save.
    Status rewriteJoined(std::string_view text, FileStamp* written = nullptr);

    const std::string& path() const { return path_; }

private:
    FileSystem& files_;
    const TextCodec& codec_;
    std::string path_;
};

// Calls `f` with each line of `text` without its end. A line ends at CR LF, at a lone CR or at
// a lone LF (a file edited by hand on Linux); no correctly written line holds either. A last
// line without an end counts; an empty text has no lines.
template <class F>
void forEachLine(std::string_view text, F&& f) {
    if (text.empty()) return;
    // The next CR and the next LF are each found with memchr, many bytes a step, and looked for
    // again only once a line has passed them (find_first_of makes a call for every byte, which
    // was a quarter of reading a long schedule).
    const auto next = [text](char end, std::size_t from) {
        const void* at = std::memchr(text.data() + from, end, text.size() - from);
        return at ? static_cast<std::size_t>(static_cast<const char*>(at) - text.data()) : text.size();
    };
    std::size_t start = 0, cr = next('\r', 0), lf = next('\n', 0);
    while (start < text.size()) {
        if (cr < start) cr = next('\r', start);
        if (lf < start) lf = next('\n', start);
        const std::size_t end = std::min(cr, lf);
        if (end == text.size()) {
            f(text.substr(start));
            return;
        }
        f(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
}

}  // namespace qm
