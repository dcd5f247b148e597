// Wine's notification area as a user sees it: the icons' own windows, which take the mouse.
#include "wine_tray.h"

#include "window_access.h"

namespace e2e {

namespace {

const wchar_t kIconClass[] = L"__winex11_tray_icon";
const wchar_t kStandaloneTrayClass[] = L"__winex11_standalone_tray";

BOOL CALLBACK CollectIcons(HWND window, LPARAM lParam) {
    auto* icons = reinterpret_cast<std::vector<HWND>*>(lParam);
    if (!IsWindowVisible(window)) return TRUE;
    const std::wstring className = ClassName(window);
    if (className == kIconClass) icons->push_back(window);
    if (className != kStandaloneTrayClass) return TRUE;
    for (HWND child : ChildWindows(window)) {
        if (IsWindowVisible(child) && ClassName(child) == kIconClass) icons->push_back(child);
    }
    return TRUE;
}

}  // namespace

std::vector<HWND> WineTrayIcons() {
    std::vector<HWND> icons;
    EnumWindows(&CollectIcons, reinterpret_cast<LPARAM>(&icons));
    return icons;
}

void DoubleClickTrayIcon(HWND icon) {
    const LPARAM inside = MAKELPARAM(4, 4);
    Post(icon, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    Post(icon, WM_LBUTTONUP, 0, inside);
    Post(icon, WM_LBUTTONDBLCLK, MK_LBUTTON, inside);
    Post(icon, WM_LBUTTONUP, 0, inside);
}

}  // namespace e2e
