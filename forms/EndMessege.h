// The exit warning: names the method about to be carried out, counts down from 30 and then asks
// the OS to end the session. "OK" hides it, "中止" aborts; nothing else closes it.
#pragma once

#include <string>

#include "platform/ui/form.h"

namespace qm {

class Program;

class EndMessege final : public ui::Form {
public:
    explicit EndMessege(Program& program);
    static ui::FormDef definition();

    // The method word read at load: the one the texts announce and the request at zero uses.
    const std::string& method() const { return method_; }

private:
    void bindEvents() override;
    void Form_Load() override;
    void Form_Close() override {}  // the Close command is greyed: only the two buttons close it
    void Timer1_Timer();
    void Command1_Click();
    void Command2_Click();

    void requestSessionEnd();

    Program& program_;
    std::string method_;
};

}  // namespace qm
