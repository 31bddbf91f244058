// A file system in memory that looks names up the way Windows does (ignoring case, returning
// the name as stored), and can be told to fail a read or a save, or that another writer holds
// the lock; it counts saves made without the lock.
#pragma once

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "platform/file_system.h"

namespace qm::test {

class MemoryFileSystem final : public FileSystem {
public:
    std::map<std::string, std::string> files;  // full path -> bytes
    bool failSaves = false;
    bool failReads = false;
    int saves = 0;
    // When set, the lock is refused with this reason, as when another writer keeps it.
    std::optional<std::string> lockRefusal;
    int locksHeld = 0;
    int savesWithoutLock = 0;

    std::optional<std::string> lookUpName(const std::string& path) const override {
        for (const auto& [stored, bytes] : files)
            if (sameIgnoringCase(stored, path)) return stored.substr(stored.find_last_of("/\\") + 1);
        return std::nullopt;
    }
    Status readAll(const std::string& path, std::string& bytes) const override {
        const auto it = files.find(path);
        if (failReads || it == files.end()) return Status::failure("I/O error");
        bytes = it->second;
        return Status::success();
    }
    Status replaceAll(const std::string& path, std::string_view bytes) override {
        if (failSaves) return Status::failure("disk full");
        ++saves;
        if (locksHeld == 0) ++savesWithoutLock;
        files[path] = std::string(bytes);
        return Status::success();
    }
    Status makeFolder(const std::string&) override { return Status::success(); }
    WriteLock lockForWriting(const std::string&, std::chrono::milliseconds) override {
        if (lockRefusal) return WriteLock::refused(*lockRefusal);
        return WriteLock::held(std::make_unique<Hold>(locksHeld));
    }

private:
    struct Hold final : WriteLock::Hold {
        explicit Hold(int& held) : held_(held) { ++held_; }
        ~Hold() override { --held_; }
        int& held_;
    };
    static bool sameIgnoringCase(std::string_view a, std::string_view b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) ==
                   std::tolower(static_cast<unsigned char>(y));
        });
    }
};

}  // namespace qm::test
