// Files on POSIX systems: a directory scan for the lookup, and saves that replace a file through
// a flushed temporary file and rename(2), so a crash leaves the old file or the new one, whole.
// The new file keeps the old one's permission bits and owner, and a link to the schedule stays a
// link. Writers exclude each other with flock(2) on a lock file beside the file.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "platform/os_services.h"
#include "platform/posix/system_reason.h"
#include "platform/temp_names.h"

namespace qm {
namespace {

std::string reason(const std::string& what, const std::string& path, int error) {
    return "「" + path + "」を" + what + ": " + systemReason(error);
}

// Where a save really goes: the file a link points at, so that the link stays.
std::string resolveLinks(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return path;  // a dangling link: the save replaces the link itself
    std::string target(real);
    ::free(real);
    return target;
}

// Only a plain file is read as a schedule or replaced by a save: a pipe would block the reader
// or feed it anything, and a save through a link to a device (a schedule linked to /dev/null)
// would put a plain file in the device's place.
std::string notPlain(const std::string& path, std::string_view what) {
    return "「" + path + "」は通常のファイルではないため" + std::string(what);
}

// True when something other than a plain file is at `path` (a link followed).
bool isNotPlain(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

struct PathParts {
    std::string folder;
    std::string name;
};

PathParts split(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now, so the caller sees a write error that only shows at close.
    int close() {
        const int r = ::close(fd_);
        fd_ = -1;
        return r;
    }

private:
    int fd_;
};

std::string tempName(const std::string& path) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    return tempNameOf(path, random);
}

// The lock lives as long as this: flock(2) locks belong to the open file, so a second writer
// in the same process (another thread) waits as another process does.
class FlockHold final : public WriteLock::Hold {
public:
    explicit FlockHold(int fd) : fd_(fd) {}
    ~FlockHold() override {
        // Unlocked before the close: a child forked meanwhile shares the open file, and must
        // not keep the lock alive.
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

class PosixFileSystem final : public FileSystem {
public:
    std::optional<std::string> lookUpName(const std::string& path) const override {
        // A scan with an exact comparison rather than stat(): on a case-insensitive mount
        // stat() would also find "DTDDTA.WET", which is not the name asked for.
        const PathParts parts = split(path);
        if (parts.name.empty() || parts.name.front() == '.') return std::nullopt;
        DIR* dir = ::opendir(parts.folder.c_str());
        if (!dir) return std::nullopt;
        std::optional<std::string> found;
        while (const dirent* entry = ::readdir(dir)) {
            if (parts.name != entry->d_name) continue;
            struct stat st {};
            // Anything but a folder is found, a pipe or a device too: reading it then says it
            // is not a plain file, rather than passing it over as if nothing were there.
            if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && !S_ISDIR(st.st_mode))
                found = entry->d_name;
            break;
        }
        ::closedir(dir);
        return found;
    }

    Status readAll(const std::string& path, std::string& bytes) const override {
        bytes.clear();
        // Not even opened when it is no plain file (opening a device may do something); what
        // is opened is checked again, without blocking on a pipe put there meanwhile.
        if (isNotPlain(path)) return Status::failure(notPlain(path, "読み込めません"));
        Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (fd.get() < 0) return Status::failure(reason("読み込めません", path, errno));
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0) return Status::failure(reason("読み込めません", path, errno));
        if (!S_ISREG(st.st_mode)) return Status::failure(notPlain(path, "読み込めません"));
        if (st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
            if (n == 0) break;
            if (n < 0) {
                if (errno == EINTR) continue;
                return Status::failure(reason("読み込めません", path, errno));
            }
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        return Status::success();
    }

    Status replaceAll(const std::string& givenPath, std::string_view bytes) override {
        const std::string path = resolveLinks(givenPath);
        // What protected the old file protects the new one; a file nobody may write is not
        // replaced, whoever saves (root included).
        struct stat old {};
        const bool existed = ::stat(path.c_str(), &old) == 0;
        if (existed && !S_ISREG(old.st_mode)) return Status::failure(notPlain(path, "保存できません"));
        if (existed && (old.st_mode & 0222) == 0)
            return Status::failure("「" + path + "」は読み取り専用のため保存できません");
        // Made with O_EXCL under a name no one else uses: nothing else is ever written through
        // it, and no other save can delete it or rename it into place. Not mkstemp(): a new
        // file gets the permissions the user's umask gives, as any file the user saves.
        std::string temp;
        int made = -1;
        for (int attempt = 0; made < 0 && attempt < 100; ++attempt) {
            temp = tempName(path);
            made = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (made < 0 && errno != EEXIST) break;
        }
        Fd fd(made);
        if (fd.get() < 0) return Status::failure(reason("作成できません", temp, errno));
        if (existed) {
            // Only a privileged saver can give the file back to its owner; for anyone else the
            // new file stays the saver's, and the permission bits still keep other users out.
            if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
                ::fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
            }
            if (::fchmod(fd.get(), old.st_mode & 07777) != 0) {
                const int error = errno;
                ::unlink(temp.c_str());
                return Status::failure(reason("作成できません", temp, error));
            }
        }
        struct stat written {};
        if (!writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0 || ::fstat(fd.get(), &written) != 0 ||
            fd.close() != 0) {
            const int error = errno;
            ::unlink(temp.c_str());
            return Status::failure(reason("書き込めません", temp, error));
        }
        if (::rename(temp.c_str(), path.c_str()) != 0) {
            const int error = errno;
            ::unlink(temp.c_str());
            return Status::failure(reason("置き換えられません", path, error));
        }
        // Saved only if the file now there is the one written: anything that replaces the file
        // without the lock may have come between.
        struct stat now {};
        if (::stat(path.c_str(), &now) != 0 || now.st_dev != written.st_dev || now.st_ino != written.st_ino)
            return Status::failure("「" + path + "」" + std::string(kReplacedMeanwhile));
        return syncFolder(split(path).folder);
    }

    WriteLock lockForWriting(const std::string& givenPath, std::chrono::milliseconds patience) override {
        const std::string path = resolveLinks(givenPath);
        // No lock file is made beside a device or a pipe ("/dev/null.lock"): nothing is saved there.
        if (isNotPlain(path)) return WriteLock::refused(notPlain(path, "保存できません"));
        const std::string lockPath = path + ".lock";
        // flock(2) needs no write access: a lock file someone else made, which we may only read,
        // locks as well.
        int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
            const int error = errno;
            fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) errno = error;
        }
        if (fd < 0) return WriteLock::refused(reason("開けません", lockPath, errno));
        auto hold = std::make_unique<FlockHold>(fd);
        const auto giveUp = std::chrono::steady_clock::now() + patience;
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                return WriteLock::refused(reason("ロックできません", lockPath, errno));
            if (std::chrono::steady_clock::now() >= giveUp)
                return WriteLock::refused("「" + path + "」" + std::string(kHeldByAnotherWriter));
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        removeStaleTemps(split(path));
        return WriteLock::held(std::move(hold));
    }

    Status makeFolder(const std::string& folder) override {
        struct stat st {};
        // Usually there already (every save asks): one look then, and nothing made.
        if (::stat(folder.c_str(), &st) != 0) {
            // From the top down; made for the user alone, as a configuration folder should be.
            for (std::size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
                const std::string part = folder.substr(0, at);
                if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
                    return Status::failure(reason("作成できません", part, errno));
                if (at == std::string::npos) break;
            }
            if (::stat(folder.c_str(), &st) != 0) return Status::failure(reason("作成できません", folder, errno));
        }
        if (!S_ISDIR(st.st_mode)) return Status::failure(reason("作成できません", folder, ENOTDIR));
        return Status::success();
    }

private:
    // Makes the rename itself durable. File systems that cannot sync a folder say EINVAL; for
    // them the rename is as safe as it gets.
    static Status syncFolder(const std::string& folder) {
        Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.get() < 0) return Status::failure(reason("開けません", folder, errno));
        if (::fsync(dir.get()) != 0 && errno != EINVAL)
            return Status::failure(reason("書き出せません", folder, errno));
        return Status::success();
    }

    // With the lock held no save of ours is under way, so any temporary file of ours is one
    // that a killed save left.
    static void removeStaleTemps(const PathParts& parts) {
        DIR* dir = ::opendir(parts.folder.c_str());
        if (!dir) return;
        while (const dirent* entry = ::readdir(dir))
            if (isTempOf<char>(entry->d_name, parts.name)) ::unlinkat(::dirfd(dir), entry->d_name, 0);
        ::closedir(dir);
    }
};

}  // namespace

std::unique_ptr<FileSystem> makeFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace qm
