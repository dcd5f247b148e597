// Records the message boxes that this thread opens and closes each at once with OK.
#include "message_box_spy.h"

namespace {

MessageBoxSpy* g_spy = nullptr;

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

struct BoxContent {
    std::wstring text;
    HICON icon = nullptr;
};

BOOL CALLBACK ReadChild(HWND child, LPARAM lParam) {
    auto* content = reinterpret_cast<BoxContent*>(lParam);
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (lstrcmpiW(className, L"Static") != 0) return TRUE;
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        content->icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    } else if (content->text.empty()) {
        content->text = TextOf(child);
    }
    return TRUE;
}

}  // namespace

MessageBoxSpy::MessageBoxSpy()
    : m_hook(SetWindowsHookExW(WH_CBT, &MessageBoxSpy::HookProc, nullptr, GetCurrentThreadId())) {
    g_spy = this;
}

MessageBoxSpy::~MessageBoxSpy() {
    UnhookWindowsHookEx(m_hook);
    g_spy = nullptr;
}

// Reads the box once it is active and filled, then presses OK from the box's own loop.
LRESULT CALLBACK MessageBoxSpy::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_spy != nullptr) {
        auto box = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        GetClassNameW(box, className, 16);
        if (lstrcmpW(className, L"#32770") == 0 && GetPropW(box, L"wangzhan.CWnd") == nullptr) {
            SetTimer(box, 1, 10, &MessageBoxSpy::DismissBox);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK MessageBoxSpy::DismissBox(HWND box, UINT, UINT_PTR id, DWORD) {
    KillTimer(box, id);
    BoxContent content;
    EnumChildWindows(box, &ReadChild, reinterpret_cast<LPARAM>(&content));
    g_spy->m_boxes.push_back({TextOf(box), content.text, content.icon});
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}
