// Files on Windows: FindFirstFileW for the lookup, and saves that replace a file through a
// flushed temporary file and MoveFileExW, so a crash leaves the old file or the new one, whole.
#include <algorithm>
#include <string>

#include "platform/os_services.h"
#include "platform/win32/wide.h"

namespace qm {
namespace {

constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::string reason(const std::string& what, const std::string& path, DWORD error) {
    return "「" + path + "」を" + what + ": " + systemMessage(error);
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

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

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
        // A read-only file stays as it is; the new file keeps the old one's other attributes.
        const DWORD old = ::GetFileAttributesW(widePath.c_str());
        const bool existed = old != INVALID_FILE_ATTRIBUTES;
        if (existed && (old & FILE_ATTRIBUTE_READONLY))
            return Status::failure("「" + path + "」は読み取り専用のため保存できません");
        const DWORD kept = existed ? old & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED) : 0;
        const std::string temp = path + ".tmp";
        const std::wstring wideTemp = widen(temp);
        Handle file(::CreateFileW(wideTemp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  kept ? kept : FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) return Status::failure(reason("作成できません", temp, ::GetLastError()));
        if (!writeAll(file.get(), bytes) || !::FlushFileBuffers(file.get()) || !file.close()) {
            const DWORD error = ::GetLastError();
            ::DeleteFileW(wideTemp.c_str());
            return Status::failure(reason("書き込めません", temp, error));
        }
        if (!::MoveFileExW(wideTemp.c_str(), widePath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const DWORD error = ::GetLastError();
            ::DeleteFileW(wideTemp.c_str());
            return Status::failure(reason("置き換えられません", path, error));
        }
        return Status::success();
    }
};

}  // namespace

std::unique_ptr<FileSystem> makeFileSystem() {
    return std::make_unique<Win32FileSystem>();
}

}  // namespace qm
