// The About window: the product line with its version and a link to the maker's home page.
#pragma once

#include <string_view>

#include "platform/shell.h"
#include "platform/ui/form.h"

namespace qm {

// The product line with its version, as the window shows it and the command line's --version.
inline constexpr std::string_view kProductLine = "QuietusMachine   ver1.0.01";
// The maker's home page, shown by the link and opened by it.
inline constexpr std::string_view kHomePage = "http://www.cobaltfenwick.example/";

class AboutWindow final : public ui::Form {
public:
    AboutWindow(ui::Runtime& runtime, Shell& shell);
    static ui::FormDef definition();

private:
    void bind() override;
    void homePageClicked();

    Shell& shell_;
    ui::Control* homePageLink_ = nullptr;
};

}  // namespace qm
