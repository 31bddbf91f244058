// The scenario fixture: a temporary program folder per test and the program over it.
#include "tests/scenarios/scenario.h"

#include <fstream>
#include <random>
#include <sstream>

#include "platform/os_services.h"

namespace qm::scenarios {

Scenario::Scenario() {
    std::random_device random;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name =
        std::string("quietus-") + (test ? test->name() : "scenario") + "-" + std::to_string(random());
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    folder_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(folder_);
}

Scenario::~Scenario() {
    app_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

HeadlessApp& Scenario::makeApp(headless::VirtualTime start) {
    app_ = std::make_unique<HeadlessApp>(folder_.string(), start);
    return *app_;
}

HeadlessApp& Scenario::startAt(headless::VirtualTime start) {
    makeApp(start).start();
    return *app_;
}

void Scenario::writeBytes(const std::filesystem::path& relative, const std::string& bytes) {
    const std::filesystem::path file = folder_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void Scenario::writeSchedule(const std::vector<std::string>& lines) {
    const auto codec = makeShiftJisCodec();
    std::string bytes;
    for (const std::string& line : lines) {
        const auto encoded = codec->encode(line);
        if (!encoded) throw std::invalid_argument("Shift_JIS cannot hold " + line);
        bytes += *encoded + "\r\n";
    }
    writeBytes("Dtddta.wet", bytes);
}

std::string Scenario::scheduleBytes() const {
    std::ifstream in(folder_ / "Dtddta.wet", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool Scenario::scheduleExists() const {
    return std::filesystem::is_regular_file(folder_ / "Dtddta.wet");
}

std::string Scenario::path(const std::string& relative) const {
    return app_->folder().path(relative);
}

void Scenario::advanceTo(headless::VirtualTime time) {
    const auto now = app_->clock.exact();
    if (time > now) app_->advance(duration_cast<milliseconds>(time - now));
}

void openSettings(HeadlessApp& app) {
    app.trayClick(TrayClick::Primary);
    app.pickMenuItem("時刻の設定");
}

std::vector<std::string> menuSeen(const HeadlessApp& app) {
    std::vector<std::string> out;
    if (const auto items = app.popupMenu()) {
        for (const auto& item : *items) out.push_back(item.caption + (item.enabled ? "" : " (disabled)"));
    }
    return out;
}

}  // namespace qm::scenarios
