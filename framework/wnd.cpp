// CWnd: a window of ours, its messages routed through the class's message map.
#include "wnd.h"

#include <string>

#include "code_page.h"
#include "exception.h"

namespace {

const wchar_t kObjectProperty[] = L"wangzhan.CWnd";

bool Matches(const MessageMapEntry& entry, UINT message, WPARAM wParam) {
    if (entry.message != message) return false;
    if (message != WM_COMMAND) return true;
    return entry.notifyCode == HIWORD(wParam) && entry.id == LOWORD(wParam);
}

bool IsCtlColor(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

// The brush that a child control of ours picks for itself, or null to leave the colouring to the parent.
HBRUSH ReflectCtlColor(UINT message, WPARAM wParam, LPARAM lParam) {
    const CWnd* child = CWnd::FromHandlePermanent(reinterpret_cast<HWND>(lParam));
    if (child == nullptr) return nullptr;
    return reinterpret_cast<HBRUSH>(child->SendMessage(WM_REFLECT_CTLCOLOR, wParam, message - WM_CTLCOLORMSGBOX));
}

}  // namespace

CWnd::~CWnd() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) Detach();
}

const MessageMap* CWnd::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {{0, 0, 0, nullptr}};
    static const MessageMap map = {nullptr, entries};
    return &map;
}

const MessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (hWnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWnd) != nullptr) return FALSE;
    m_hWnd = hWnd;
    ::SetPropW(hWnd, kObjectProperty, this);
    m_superProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWindowProc)));
    return TRUE;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) { return static_cast<CWnd*>(::GetPropW(hWnd, kObjectProperty)); }

void CWnd::Detach() {
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
    ::RemovePropW(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
}

CString CWnd::GetWindowText() const {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void CWnd::SetWindowText(const char* gbkText) { ::SetWindowTextW(m_hWnd, Widen(gbkText).c_str()); }

const MessageMapEntry* CWnd::FindEntry(UINT message, WPARAM wParam) const {
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* entry = map->entries; entry->handler != nullptr; ++entry) {
            if (Matches(*entry, message, wParam)) return entry;
        }
    }
    return nullptr;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsCtlColor(message)) {
        if (HBRUSH brush = ReflectCtlColor(message, wParam, lParam)) return reinterpret_cast<LRESULT>(brush);
    }
    const MessageMapEntry* entry = FindEntry(message, wParam);
    return entry ? entry->handler(*this, wParam, lParam) : Default();
}

LRESULT CWnd::Default() {
    return ::CallWindowProcW(m_superProc, m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CWnd::GuardedWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const Message outer = m_current;
    m_current = {message, wParam, lParam};
    LRESULT result = 0;
    try {
        result = WindowProc(message, wParam, lParam);
    } catch (const CException& failure) {
        ReportException(&failure);
    } catch (...) {
        ReportException(nullptr);
    }
    m_current = outer;
    return result;
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (wnd == nullptr) return ::DefWindowProcW(hWnd, message, wParam, lParam);
    const LRESULT result = wnd->GuardedWindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) wnd->Detach();
    return result;
}
