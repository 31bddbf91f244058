// The tray resident window: never on screen, it owns the tray icon, the icon's popup menu, pause
// and resume, and the 100 ms due check that opens the exit warning.
#pragma once

#include <cstdint>
#include <string>

#include "platform/tray_icon.h"
#include "platform/ui/form.h"

namespace qm {

class Program;

class TraySmple final : public ui::Form {
public:
    explicit TraySmple(Program& program);
    static ui::FormDef definition();

    bool paused() const { return paused_ != 0; }
    const std::string& tipText() const { return tipText_; }

private:
    void bindEvents() override;
    void Form_Load() override;
    void Form_Unload() override;
    void Form_MouseMove(int button, int shift, double x, double y) override;
    void Timer1_Timer();
    void mnuTimeSet_Click();
    void ssVER_Click();
    void ssFIN_Click();

    void openMenu();
    void togglePause();
    // The notify-icon record as every add and modify fills it: this window, id 1, message, icon
    // and tip, with mouse messages arriving as WM_MOUSEMOVE.
    TrayIconData iconRecord() const;

    Program& program_;
    std::int16_t paused_ = 0;  // 0 running, 1 paused
    std::string tipText_;
};

}  // namespace qm
