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
    // The whole file, or nullopt when it cannot be opened.
    virtual std::optional<std::string> readAll(const std::string& path) const = 0;
    // Writes `bytes` to a temporary file beside `path`, flushes it, then replaces `path` in one
    // step. On failure the old file is untouched.
    virtual Status replaceAll(const std::string& path, std::string_view bytes) = 0;
};

}  // namespace qm
