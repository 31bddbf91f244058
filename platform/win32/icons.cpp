// Loads the icons of the resource script once per size; a build without them shows the
// system's application icon instead of nothing.
#include "platform/win32/icons.h"

#include <map>
#include <utility>

#include "platform/win32/resource.h"

namespace qm::win32 {

HICON programIcon(ui::Icon icon, int size) {
    if (icon == ui::Icon::None) return nullptr;
    static std::map<std::pair<ui::Icon, int>, HICON> loaded;
    const auto key = std::make_pair(icon, size);
    if (auto it = loaded.find(key); it != loaded.end()) return it->second;
    const int id = icon == ui::Icon::Paused ? QM_IDI_PAUSED : QM_IDI_RUNNING;
    auto handle = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (!handle) handle = LoadIconW(nullptr, MAKEINTRESOURCEW(32512) /* IDI_APPLICATION */);
    loaded.emplace(key, handle);
    return handle;
}

}  // namespace qm::win32
