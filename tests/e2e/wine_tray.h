// Wine's notification area as a user sees it: the icons' own windows, which take the mouse.
#pragma once

#include <windows.h>

#include <vector>

namespace e2e {

// Wine's X11 driver gives every icon a window: in a stand-alone "Wine System Tray" window when the
// display has no system tray (as under Xvfb), or docked into the display's own.
std::vector<HWND> WineTrayIcons();

// What a double click on the icon sends it; Wine passes it to the icon's owner.
void DoubleClickTrayIcon(HWND icon);

}  // namespace e2e
