// The schedule file: the existence test, reading every line and saving the list in one step.
#include "schedule/schedule_file.h"

#include <cstdio>
#include <functional>
#include <utility>

#include "schedule/schedule_entry.h"
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
            // Taken from the text as typed, never from what a codec made of it (U+FFFD). A byte
            // that starts no UTF-8 character is no character to show: it is named as a byte.
            char code[16];
            const auto lead = static_cast<unsigned char>(ch[0]);
            if (len == 1 && lead >= 0x80) {
                std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(lead));
                out.append("バイト").append(code);
            } else {
                std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(utf8CodePoint(line, pos, len)));
                out.append("「").append(ch).append("」(").append(code).append(")");
            }
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

// Whether `bytes` are well-formed UTF-8 holding at least one character beyond ASCII. Shift_JIS
// text rarely gets far: its double-byte characters start with bytes UTF-8 uses only inside a
// character (0x81-0x9F), or with 0xE0-0xFC followed by a byte below 0x80 or by one of those.
bool isUtf8BeyondAscii(std::string_view bytes) {
    bool beyondAscii = false;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[pos]);
        if (lead < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t len = utf8CharLength(bytes, pos);
        const bool whole = (lead >= 0xC2 && lead <= 0xDF && len == 2) || (lead >= 0xE0 && lead <= 0xEF && len == 3) ||
                           (lead >= 0xF0 && lead <= 0xF4 && len == 4);
        if (!whole) return false;
        const char32_t code = utf8CodePoint(bytes, pos, len);
        if ((len == 3 && code < 0x800) || (len == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;  // overlong, beyond Unicode or a surrogate: not what a UTF-8 editor writes
        beyondAscii = true;
        pos += len;
    }
    return beyondAscii;
}

// The encoding a schedule was saved in when it was not Shift_JIS, as far as it can be told
// for sure; nullopt for Shift_JIS (and plain ASCII). A byte order mark says it outright. Without
// one, a file is UTF-8 when its bytes are well-formed UTF-8 beyond ASCII and, read as UTF-8, a
// line of it is an entry. No Shift_JIS file with an entry passes the first test: every entry
// holds 年月日 or 毎日実行, and 時分, whose Shift_JIS bytes are never UTF-8 (年 is 0x94 0x4E after
// a digit, 毎 0x96 0x88 at the line's start). A Shift_JIS file that is UTF-8 as well ("ﾃｩ" is
// 0xC3 0xA9, UTF-8's "é") holds no entry either way, and reads as it always did.
std::optional<std::string_view> foreignEncoding(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return "UTF-8 (BOM付き)";
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return "UTF-16";
    if (!isUtf8BeyondAscii(bytes)) return std::nullopt;
    bool entry = false;
    forEachLine(bytes, [&](std::string_view line) { entry = entry || parseEntryFields(line).has_value(); });
    if (entry) return "UTF-8";
    return std::nullopt;
}

}  // namespace

ScheduleText ScheduleFile::read() const {
    if (!exists()) return {};
    std::string bytes;
    const Status status = files_.readAll(path_, bytes);
    if (!status.ok) return {ScheduleText::State::Unreadable, {}, status.message, kUnreadableStamp};
    // Read as Shift_JIS, such a file would schedule nothing, silently: it is named instead, and
    // left as it is until the user saves it in Shift_JIS.
    if (const auto foreign = foreignEncoding(bytes)) {
        std::string why = "「" + path_ + "」は" + std::string(*foreign) + "で保存されています。";
        why.append(kShiftJisOnly);
        return {ScheduleText::State::Unreadable, {}, std::move(why), kUnreadableStamp};
    }
    return {ScheduleText::State::Read, codec_.decode(bytes), {}, stampOf(bytes)};
}

FileStamp ScheduleFile::stamp() const {
    if (!exists()) return {};
    std::string bytes;
    if (!files_.readAll(path_, bytes).ok || foreignEncoding(bytes)) return kUnreadableStamp;
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
