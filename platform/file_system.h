// The file service: directory lookup, whole-file reads, safe whole-file replacement and the
// lock that keeps writers of one file from losing each other's saves.
#pragma once

#include <chrono>
#include <memory>
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

// Follows a file's name in quotes when another writer keeps its lock longer than a writer waits.
inline constexpr std::string_view kHeldByAnotherWriter =
    "は他のプログラムが保存中です。しばらくしてからもう一度保存して下さい";
// Follows a file's name in quotes when what a save put in place was replaced at once by
// something that does not take the lock.
inline constexpr std::string_view kReplacedMeanwhile =
    "に保存した内容は、同時に書き込んだ他のプログラムに置き換えられました";

// A writer's hold on one file: while it lives, no other writer, in this process or another, gets
// one for the same file, so what a writer reads, checks and saves under it is one step. Ending
// it, or release(), lets the next writer in.
class WriteLock {
public:
    // What a file system keeps while the lock is held; destroying it releases the lock.
    struct Hold {
        virtual ~Hold() = default;
    };

    static WriteLock held(std::unique_ptr<Hold> hold) {
        return WriteLock(Status::success(), std::move(hold));
    }
    static WriteLock refused(std::string why) { return WriteLock(Status::failure(std::move(why)), nullptr); }

    bool ok() const { return status_.ok; }
    // Why the lock could not be had, for the user.
    const Status& status() const { return status_; }
    void release() { hold_.reset(); }

private:
    WriteLock(Status status, std::unique_ptr<Hold> hold)
        : status_(std::move(status)), hold_(std::move(hold)) {}
    Status status_;
    std::unique_ptr<Hold> hold_;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // A directory lookup of `path` that passes over folders, hidden and system files: the last
    // component's name exactly as stored, or nullopt when none is found. Anything else of that
    // name is found, a pipe or a device too, so that reading it says it is not a plain file.
    virtual std::optional<std::string> lookUpName(const std::string& path) const = 0;
    // The whole file into `bytes`; on failure (no permission, an I/O error, a file another
    // program holds locked, something that is not a plain file) the reason, and `bytes` means
    // nothing.
    virtual Status readAll(const std::string& path, std::string& bytes) const = 0;
    // Writes `bytes` to a temporary file beside `path`, flushes it, then replaces `path` in one
    // step. The new file keeps what protected the old one (its permission bits and owner, or its
    // attributes), a link stays a link and its target is replaced, and neither a read-only file
    // nor anything but a plain file (a folder, a device, a pipe) is replaced at all. Success means these bytes are what is at `path` now; on failure they are
    // not, and the old file is untouched unless something that takes no lock replaced it at the
    // same moment. Writers call it holding lockForWriting(path): each temporary file has a name
    // of its own, but only the lock keeps one writer from saving over what another has just saved.
    virtual Status replaceAll(const std::string& path, std::string_view bytes) = 0;
    // The lock every writer of `path` holds from reading the file to replacing it, waiting up
    // to `patience` while another writer has it. It lives in a file beside the one a link at
    // `path` leads to, named after that one with ".lock", and stays there for the next writer.
    // Whoever gets it also removes the temporary files that a save killed midway left there.
    virtual WriteLock lockForWriting(const std::string& path, std::chrono::milliseconds patience) = 0;
    // Makes `folder` and every missing folder above it (one the program makes for the user is for
    // the user alone, where the OS has such a right); success when the folder is there.
    virtual Status makeFolder(const std::string& folder) = 0;
};

}  // namespace qm
