// The schedule file "Dtddta.wet" beside the executable: Shift_JIS lines ending in CR LF.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace qm {

inline constexpr std::string_view kScheduleFileName = "Dtddta.wet";

class ScheduleFile {
public:
    // `path` is the program folder's path of "Dtddta.wet".
    ScheduleFile(FileSystem& files, const TextCodec& codec, std::string path);

    // Present only when a lookup finds a plain file named exactly "Dtddta.wet".
    bool exists() const;
    // Every line without its end (CR LF or a lone CR), in file order, untrimmed; a last line
    // without an end counts. Nothing when the file is absent. Undecodable bytes become U+FFFD.
    std::vector<std::string> readLines() const;
    // Replaces the file with these lines, each ended by CR LF, in one step; an empty list gives
    // a zero-length file. On failure (a character Shift_JIS cannot hold, a write error) the old
    // file is intact and the reason is returned.
    Status rewrite(std::span<const std::string> lines);

    const std::string& path() const { return path_; }

private:
    FileSystem& files_;
    const TextCodec& codec_;
    std::string path_;
};

}  // namespace qm
