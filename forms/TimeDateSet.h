// The settings window: the schedule list, a calendar to pick a day, timer entries, deleting, and
// "設定" that writes the list to the schedule file. Nothing reaches the file before "設定".
#pragma once

#include "platform/ui/form.h"

namespace qm {

class Program;

class TimeDateSet final : public ui::Form {
public:
    explicit TimeDateSet(Program& program);
    static ui::FormDef definition();

private:
    void bindEvents() override;

    // Loading, the clock label, saving and cancelling (TimeDateSet.cpp).
    void Form_Load() override;
    void Timer1_Timer();
    void Command1_Click();
    void Command2_Click();

    // Editing the list (TimeDateSet_editing.cpp).
    void Command3_Click();
    void List1_MouseDown(int button, int shift, double x, double y);
    void mnu_Del_Click();
    void mnu_AllDel_Click();
    void Command5_Click();
    void Calendar1_Click();

    // The startup shortcut, About and help (TimeDateSet_shell.cpp).
    void Command4_Click();
    void Command6_Click();
    void Command7_Click();

    Program& program_;
};

}  // namespace qm
