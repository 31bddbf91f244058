// The About window: the product line with its version and a link to the maker's home page.
#pragma once

#include <string_view>

#include "platform/ui/form.h"

namespace qm {

class Program;

// The maker's home page, shown by the link and opened by it.
inline constexpr std::string_view kHomePage = "http://www.cobaltfenwick.example/";

class About final : public ui::Form {
public:
    explicit About(Program& program);
    static ui::FormDef definition();

private:
    void bindEvents() override;
    void Label5_Click();

    Program& program_;
};

}  // namespace qm
