// What every scenario shares: a fresh program folder, the program on the headless back end
// started at a chosen moment, and the schedule file written and read as bytes.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_app.h"

namespace qm::scenarios {

using namespace std::chrono;
using namespace std::chrono_literals;
using headless::HeadlessApp;

// A local moment, to the second.
inline headless::VirtualTime at(year_month_day day, seconds timeOfDay) {
    return local_days{day} + timeOfDay;
}

class Scenario : public ::testing::Test {
protected:
    Scenario();
    ~Scenario() override;

    // The program over this scenario's folder, not yet started.
    HeadlessApp& makeApp(headless::VirtualTime start);
    // Made and started.
    HeadlessApp& startAt(headless::VirtualTime start);
    HeadlessApp& app() { return *app_; }

    // The schedule file, written as the program writes it: Shift_JIS, each line ended by CR LF.
    void writeSchedule(const std::vector<std::string>& lines);
    void writeBytes(const std::filesystem::path& relative, const std::string& bytes);
    // The schedule file's bytes; "" when there is none.
    std::string scheduleBytes() const;
    bool scheduleExists() const;
    std::string path(const std::string& relative) const;

    // Advances to the next moment at which the clock shows `time` (and the 100 ms step that
    // reaches it has run).
    void advanceTo(headless::VirtualTime time);

    // The schedule engine's choice.
    const NextDue& nextDue() { return app_->program.schedule.nextDue(); }

    std::filesystem::path folder_;

private:
    std::unique_ptr<HeadlessApp> app_;
};

// The settings window opened from the tray menu, as a user opens it.
void openSettings(HeadlessApp& app);
// The popup menu's items as the user sees them: "caption" or "caption (disabled)".
std::vector<std::string> menuSeen(const HeadlessApp& app);

}  // namespace qm::scenarios
