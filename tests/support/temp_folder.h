// A fresh folder for one test, removed with everything in it when the test ends; paths in UTF-8.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace qm::test {

inline std::string utf8(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return {s.begin(), s.end()};
}

inline std::filesystem::path fromUtf8(std::string_view s) {
    return std::filesystem::path(std::u8string(s.begin(), s.end()));
}

class TempFolder {
public:
    explicit TempFolder(std::string_view subfolder = {}) {
        std::random_device seed;
        root_ = std::filesystem::temp_directory_path() /
                ("qm-test-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        folder_ = subfolder.empty() ? root_ : root_ / fromUtf8(subfolder);
        std::filesystem::create_directories(folder_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    std::string path(std::string_view name) const { return utf8(folder_ / fromUtf8(name)); }

    void write(std::string_view name, std::string_view bytes) const {
        std::ofstream(folder_ / fromUtf8(name), std::ios::binary).write(bytes.data(),
                                                                        static_cast<std::streamsize>(bytes.size()));
    }
    std::string read(std::string_view name) const {
        std::ifstream in(folder_ / fromUtf8(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path root_;
    std::filesystem::path folder_;
};

}  // namespace qm::test
