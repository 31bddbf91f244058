// The file service: directory lookup, whole-file reads and safe whole-file replacement.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// A failure a caller can act on; `message` is the OS's own reason, for a message box.
struct Status {
    bool ok = true;
    std::string message;
    static Status success() { return {}; }
    static Status failure(std::string why) { return {false, std::move(why)}; }
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // A directory lookup of `path` restricted to plain files (not folders, hidden or system
    // files): the last component's name exactly as stored, or nullopt when none is found.
    virtual std::optional<std::string> lookUpName(const std::string& path) const = 0;
    // The whole file into `bytes`; on failure (no permission, an I/O error, a file another
    // program holds locked) the reason, and `bytes` means nothing.
    virtual Status readAll(const std::string& path, std::string& bytes) const = 0;
    // Writes `bytes` to a temporary file beside `path`, flushes it, then replaces `path` in one
    // step. The new file keeps what protected the old one (its permission bits and owner, or its
    // attributes), a link stays a link and its target is replaced, and a read-only file is not
    // replaced at all. On failure the old file is untouched.
    virtual Status replaceAll(const std::string& path, std::string_view bytes) = 0;
};

}  // namespace qm
