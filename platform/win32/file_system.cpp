// Files on Windows: FindFirstFileW for the lookup, and saves that replace a file through a
// flushed temporary file and MoveFileExW, so a crash leaves the old file or the new one, whole.
// Writers exclude each other with LockFileEx on a lock file beside the file.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>

#include "platform/os_services.h"
#include "platform/temp_names.h"
#include "platform/win32/wide.h"

namespace qm {
namespace {

constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::string reason(const std::string& what, const std::string& path, DWORD error) {
    return "「" + path + "」を" + what + ": " + systemMessage(error);
}

std::string notPlain(const std::string& path, std::string_view what) {
    return "「" + path + "」は通常のファイルではないため" + std::string(what);
}

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (valid()) ::CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    // Closes now, so the caller sees an error that only shows at close.
    bool close() {
        const BOOL ok = ::CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok != FALSE;
    }

private:
    HANDLE h_;
};

// Only a plain file is read as a schedule or replaced by a save: not a folder, nor a device (a
// device name, or a link to a pipe or a console), which a save would put a plain file in place of.
// Asked of what is there, opened for no access at all: nothing is read or written.
bool isNotPlain(const std::wstring& path) {
    Handle there(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!there.valid()) return false;  // nothing there, or nothing to tell: the save says why
    if (::GetFileType(there.get()) != FILE_TYPE_DISK) return true;
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileInformationByHandle(there.get(), &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

std::wstring tempName(const std::wstring& path) {
    thread_local std::mt19937_64 random{[] {
        LARGE_INTEGER now{};
        ::QueryPerformanceCounter(&now);
        return std::random_device{}() ^ static_cast<std::uint64_t>(::GetCurrentProcessId()) << 32 ^
               static_cast<std::uint64_t>(now.QuadPart);
    }()};
    return tempNameOf(path, random);
}

// A file's identity: the same volume and index are the same file, whatever its name.
struct FileIdentity {
    DWORD volume = 0, indexHigh = 0, indexLow = 0;
    bool operator==(const FileIdentity&) const = default;
};

bool identify(HANDLE file, FileIdentity& id) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file, &info)) return false;
    id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

// The lock lives as long as this; LockFileEx locks belong to the handle, so a second writer in
// the same process (another thread) waits as another process does.
class LockFileHold final : public WriteLock::Hold {
public:
    explicit LockFileHold(HANDLE file) : file_(file) {}
    ~LockFileHold() override {
        OVERLAPPED start{};
        ::UnlockFileEx(file_, 0, 1, 0, &start);
        ::CloseHandle(file_);
    }

private:
    HANDLE file_;
};

class Win32FileSystem final : public FileSystem {
public:
    std::optional<std::string> lookUpName(const std::string& path) const override {
        // The lookup ignores case; the caller compares the stored name it returns.
        WIN32_FIND_DATAW found{};
        const HANDLE find = ::FindFirstFileW(widen(path).c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return std::nullopt;
        std::optional<std::string> name;
        do {
            if ((found.dwFileAttributes & kNotPlain) == 0) {
                name = narrow(found.cFileName);
                break;
            }
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
        return name;
    }

    Status readAll(const std::string& path, std::string& bytes) const override {
        bytes.clear();
        Handle file(::CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) return Status::failure(reason("読み込めません", path, ::GetLastError()));
        if (::GetFileType(file.get()) != FILE_TYPE_DISK) return Status::failure(notPlain(path, "読み込めません"));
        LARGE_INTEGER size{};
        if (::GetFileSizeEx(file.get(), &size) && size.QuadPart > 0)
            bytes.reserve(static_cast<std::size_t>(size.QuadPart));
        char buffer[65536];
        for (;;) {
            DWORD got = 0;
            if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
                return Status::failure(reason("読み込めません", path, ::GetLastError()));
            if (got == 0) break;
            bytes.append(buffer, got);
        }
        return Status::success();
    }

    Status replaceAll(const std::string& path, std::string_view bytes) override {
        const std::wstring widePath = widen(path);
        if (isNotPlain(widePath)) return Status::failure(notPlain(path, "保存できません"));
        // A read-only file stays as it is; the new file keeps the old one's other attributes.
        const DWORD old = ::GetFileAttributesW(widePath.c_str());
        const bool existed = old != INVALID_FILE_ATTRIBUTES;
        if (existed && (old & FILE_ATTRIBUTE_READONLY))
            return Status::failure("「" + path + "」は読み取り専用のため保存できません");
        const DWORD kept = existed ? old & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED) : 0;
        // Made new under a name no one else uses: nothing else is ever written through it, and
        // no other save can delete it or move it into place.
        std::wstring wideTemp;
        HANDLE made = INVALID_HANDLE_VALUE;
        for (int attempt = 0; made == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
            wideTemp = tempName(widePath);
            made = ::CreateFileW(wideTemp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 kept ? kept : FILE_ATTRIBUTE_NORMAL, nullptr);
            if (made == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
        }
        Handle file(made);
        const std::string temp = narrow(wideTemp);
        if (!file.valid()) return Status::failure(reason("作成できません", temp, ::GetLastError()));
        FileIdentity written;
        if (!writeAll(file.get(), bytes) || !::FlushFileBuffers(file.get()) ||
            !identify(file.get(), written) || !file.close()) {
            const DWORD error = ::GetLastError();
            ::DeleteFileW(wideTemp.c_str());
            return Status::failure(reason("書き込めません", temp, error));
        }
        if (!::MoveFileExW(wideTemp.c_str(), widePath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const DWORD error = ::GetLastError();
            ::DeleteFileW(wideTemp.c_str());
            return Status::failure(reason("置き換えられません", path, error));
        }
        // Saved only if the file now there is the one written: anything that replaces the file
        // without the lock may have come between. Asking for its attributes alone opens it past
        // any program that shares it with no one.
        Handle now(::CreateFileW(widePath.c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        FileIdentity there;
        if (!now.valid() || !identify(now.get(), there) || !(there == written))
            return Status::failure("「" + path + "」" + std::string(kReplacedMeanwhile));
        return Status::success();
    }

    Status makeFolder(const std::string& folder) override {
        const std::wstring wide = widen(folder);
        DWORD attributes = ::GetFileAttributesW(wide.c_str());
        // Usually there already (every save asks): one look then, and nothing made.
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            // From the top down. A drive ("C:") or a share ("\\\\server\\share") cannot be made:
            // whether the whole path is there afterwards decides. A new folder takes the rights
            // of the one above it (the user's own application data).
            DWORD error = ERROR_SUCCESS;
            for (std::size_t at = wide.find_first_of(L"\\/", 1);; at = wide.find_first_of(L"\\/", at + 1)) {
                const std::wstring part = wide.substr(0, at);
                if (::GetFileAttributesW(part.c_str()) == INVALID_FILE_ATTRIBUTES &&
                    !::CreateDirectoryW(part.c_str(), nullptr))
                    error = ::GetLastError();
                if (at == std::wstring::npos) break;
            }
            attributes = ::GetFileAttributesW(wide.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES)
                return Status::failure(
                    reason("作成できません", folder, error != ERROR_SUCCESS ? error : ::GetLastError()));
        }
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return Status::failure(reason("作成できません", folder, ERROR_DIRECTORY));
        return Status::success();
    }

    WriteLock lockForWriting(const std::string& path, std::chrono::milliseconds patience) override {
        // No lock file is made beside a folder or a device: nothing is saved there.
        if (isNotPlain(widen(path))) return WriteLock::refused(notPlain(path, "保存できません"));
        const std::string lockPath = path + ".lock";
        const std::wstring wideLock = widen(lockPath);
        constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        HANDLE opened = ::CreateFileW(wideLock.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        // LockFileEx needs only read access: a lock file someone else made, which we may only
        // read, locks as well.
        if (opened == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED) {
            opened = ::CreateFileW(wideLock.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            if (opened == INVALID_HANDLE_VALUE) ::SetLastError(ERROR_ACCESS_DENIED);
        }
        if (opened == INVALID_HANDLE_VALUE)
            return WriteLock::refused(reason("開けません", lockPath, ::GetLastError()));
        auto hold = std::make_unique<LockFileHold>(opened);
        const auto giveUp = std::chrono::steady_clock::now() + patience;
        for (;;) {
            OVERLAPPED start{};
            if (::LockFileEx(opened, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start))
                break;
            const DWORD error = ::GetLastError();
            if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING)
                return WriteLock::refused(reason("ロックできません", lockPath, error));
            if (std::chrono::steady_clock::now() >= giveUp)
                return WriteLock::refused("「" + path + "」" + std::string(kHeldByAnotherWriter));
            ::Sleep(10);
        }
        removeStaleTemps(widen(path));
        return WriteLock::held(std::move(hold));
    }

private:
    // With the lock held no save of ours is under way, so any temporary file of ours is one
    // that a killed save left.
    static void removeStaleTemps(const std::wstring& path) {
        const std::size_t slash = path.find_last_of(L"\\/");
        const std::wstring folder = slash == std::wstring::npos ? L"" : path.substr(0, slash + 1);
        const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
        WIN32_FIND_DATAW found{};
        const HANDLE find = ::FindFirstFileW((path + L".*" + std::wstring(kTempEnd.begin(), kTempEnd.end())).c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return;
        do {
            if (isTempOf<wchar_t>(found.cFileName, name)) ::DeleteFileW((folder + found.cFileName).c_str());
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
};

}  // namespace

std::unique_ptr<FileSystem> makeFileSystem() {
    return std::make_unique<Win32FileSystem>();
}

}  // namespace qm
