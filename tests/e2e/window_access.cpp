// Reading and driving another process's windows through messages only.
#include "window_access.h"

#include <gtest/gtest.h>

namespace e2e {

namespace {

constexpr UINT kSendTimeoutMs = 5000;

struct ProcessWindows {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectIfOfProcess(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<ProcessWindows*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId) search->windows.push_back(window);
    return TRUE;
}

LPARAM KeyData(WORD virtualKey, bool release) {
    const UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    const UINT transition = release ? 0xC0000000u : 0u;
    return static_cast<LPARAM>(transition | (scanCode << 16) | 1u);
}

}  // namespace

std::optional<LRESULT> TrySend(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(result);
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const std::optional<LRESULT> result = TrySend(window, message, wParam, lParam);
    if (!result) {
        ADD_FAILURE() << "message 0x" << std::hex << message << " to window " << window << " got no answer, error "
                      << std::dec << GetLastError();
    }
    return result.value_or(0);
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!PostMessageW(window, message, wParam, lParam)) {
        ADD_FAILURE() << "message 0x" << std::hex << message << " could not be posted to window " << window;
    }
}

std::optional<std::wstring> TryWindowText(HWND window) {
    const std::optional<LRESULT> length = TrySend(window, WM_GETTEXTLENGTH);
    if (!length) return std::nullopt;
    std::wstring text(static_cast<size_t>(*length) + 1, L'\0');
    const std::optional<LRESULT> copied =
        TrySend(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    if (!copied) return std::nullopt;
    text.resize(static_cast<size_t>(*copied));
    return text;
}

std::wstring WindowText(HWND window) {
    std::optional<std::wstring> text = TryWindowText(window);
    if (!text) ADD_FAILURE() << "the text of window " << window << " could not be read, error " << GetLastError();
    return text.value_or(L"");
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    return std::wstring(name, static_cast<size_t>(GetClassNameW(window, name, 256)));
}

LONG Style(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

LONG ExStyle(HWND window) { return GetWindowLongW(window, GWL_EXSTYLE); }

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    ProcessWindows search = {processId, {}};
    EnumWindows(&CollectIfOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

// A key that ends the tool (Esc) can close the window before its release is posted: that is no failure.
void PostKeyPress(HWND window, WORD virtualKey) {
    Post(window, WM_KEYDOWN, virtualKey, KeyData(virtualKey, false));
    if (!PostMessageW(window, WM_KEYUP, virtualKey, KeyData(virtualKey, true)) && IsWindow(window)) {
        ADD_FAILURE() << "the release of key 0x" << std::hex << virtualKey << " could not be posted to window "
                      << window;
    }
}

void Click(HWND button) { Post(button, BM_CLICK); }

}  // namespace e2e
