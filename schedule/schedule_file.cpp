// The schedule file: the existence test, reading every line and saving the list in one step.
#include "schedule/schedule_file.h"

#include <cstdio>
#include <functional>
#include <utility>

#include "schedule/utf8.h"

namespace qm {
namespace {

// Names the first character of `line` that Shift_JIS cannot hold, so the user knows what to
// change, in the program's own language: `2行目の「😀」(U+1F600) はShift_JISで保存できません`.
std::string unencodableReason(const TextCodec& codec, std::string_view line, std::size_t index) {
    std::string out = std::to_string(index + 1) + "行目の";
    for (std::size_t pos = 0; pos < line.size();) {
        const std::size_t len = utf8CharLength(line, pos);
        const std::string_view ch = line.substr(pos, len);
        if (!codec.encode(ch)) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X",
                          static_cast<unsigned>(utf8CodePoint(line, pos, len)));
            out.append("「").append(ch).append("」(").append(code).append(")");
            return out.append(" はShift_JISで保存できません");
        }
        pos += len;
    }
    return out.append("文字はShift_JISで保存できません");
}

}  // namespace

ScheduleFile::ScheduleFile(FileSystem& files, const TextCodec& codec, std::string path)
    : files_(files), codec_(codec), path_(std::move(path)) {}

bool ScheduleFile::exists() const {
    // The name as stored must match exactly: "dtddta.wet" is not the schedule, even where the
    // file system would open it under either name.
    const auto name = files_.lookUpName(path_);
    return name && *name == kScheduleFileName;
}

namespace {

FileStamp stampOf(std::string_view bytes) {
    return {FileStamp::State::Read, bytes.size(), std::hash<std::string_view>{}(bytes)};
}

const FileStamp kUnreadableStamp{FileStamp::State::Unreadable, 0, 0};

}  // namespace

ScheduleText ScheduleFile::read() const {
    if (!exists()) return {};
    std::string bytes;
    const Status status = files_.readAll(path_, bytes);
    if (!status.ok) return {ScheduleText::State::Unreadable, {}, status.message, kUnreadableStamp};
    return {ScheduleText::State::Read, codec_.decode(bytes), {}, stampOf(bytes)};
}

FileStamp ScheduleFile::stamp() const {
    if (!exists()) return {};
    std::string bytes;
    if (!files_.readAll(path_, bytes).ok) return kUnreadableStamp;
    return stampOf(bytes);
}

WriteLock ScheduleFile::lock() {
    // The user's own schedule folder is made on the first save.
    if (const auto slash = path_.find_last_of("/\\"); slash != std::string::npos && slash > 0) {
        if (Status made = files_.makeFolder(path_.substr(0, slash)); !made.ok)
            return WriteLock::refused(std::move(made.message));
    }
    return files_.lockForWriting(path_, kWriteLockPatience);
}

std::optional<std::string> ScheduleFile::readText() const {
    ScheduleText read = this->read();
    if (read.state != ScheduleText::State::Read) return std::nullopt;
    return std::move(read.text);
}

std::vector<std::string> ScheduleFile::readLines() const {
    std::vector<std::string> lines;
    if (const auto text = readText())
        forEachLine(*text, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

Status ScheduleFile::rewrite(std::span<const std::string> lines) {
    std::string text;
    for (const std::string& line : lines) text.append(line).append("\r\n");
    return rewriteJoined(text);
}

Status ScheduleFile::rewriteJoined(std::string_view text, FileStamp* written) {
    // Everything is encoded before anything is written: a line that cannot be saved leaves the
    // old file as it was, and the message names it.
    const auto bytes = codec_.encode(text);
    if (!bytes) {
        std::size_t index = 0;
        std::string reason = "Shift_JISで保存できない文字があります";
        forEachLine(text, [&](std::string_view line) {
            if (index != std::string::npos && !codec_.encode(line)) {
                reason = unencodableReason(codec_, line, index);
                index = std::string::npos;
            } else if (index != std::string::npos) {
                ++index;
            }
        });
        return Status::failure(reason);
    }
    Status status = files_.replaceAll(path_, *bytes);
    if (status.ok && written) *written = stampOf(*bytes);
    return status;
}

}  // namespace qm
