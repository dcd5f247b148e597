// Reading and driving another process's windows through messages only.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Sends and waits for the answer; empty when the window is gone or hung.
std::optional<LRESULT> TrySend(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// The same where no answer fails the test and gives 0.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
void Post(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// Through WM_GETTEXT, which every class answers with its current text (edits included).
std::optional<std::wstring> TryWindowText(HWND window);
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
LONG Style(HWND window);
LONG ExStyle(HWND window);

// Direct children in Z order, which for a dialog is the template's order.
std::vector<HWND> ChildWindows(HWND parent);
std::vector<HWND> TopLevelWindowsOf(DWORD processId);

// A key press as the thread's message loop sees it: WM_KEYDOWN then WM_KEYUP, posted to the window.
void PostKeyPress(HWND window, WORD virtualKey);

// A click on a button through its own BM_CLICK, posted: a box that the click opens must not hold the driver.
void Click(HWND button);

}  // namespace e2e
