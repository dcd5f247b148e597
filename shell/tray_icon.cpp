// CTrayIcon: one icon in the notification area, whose mouse events become the owner's menu commands.
#include "tray_icon.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <type_traits>

#include "code_page.h"
#include "gbk_search.h"
#include "win_app.h"
#include "wnd.h"

namespace {

// The tip holds 63 bytes of GBK text besides its zero, as in the narrow record; widened, each character
// takes one UTF-16 unit, so the text fits the wide record's first layout too.
constexpr size_t kTipBytes = 63;
constexpr BYTE kFirstShellWithTray = 4;
// A shell that is starting or busy can refuse an add for a moment: a few tries, a third of a second at most.
constexpr int kAddTries = 4;
constexpr DWORD kAddRetryMs = 100;

struct MenuDestroyer {
    void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

// The longest start of the text that fits the limit without splitting a two-byte character.
std::string_view GbkPrefix(std::string_view text, size_t maxBytes) {
    size_t end = 0;
    while (end < text.size()) {
        const size_t next = end + (core::IsGbkLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1);
        if (next > maxBytes || next > text.size()) break;
        end = next;
    }
    return text.substr(0, end);
}

// The menu is loaded afresh for every message, and each use destroys it again.
UniqueMenu LoadTrayMenu(UINT id) { return UniqueMenu(::LoadMenuW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(id))); }

HMENU FirstPopup(const UniqueMenu& menu) { return menu ? ::GetSubMenu(menu.get(), 0) : nullptr; }

}  // namespace

CTrayIcon::CTrayIcon() : m_bInTray(FALSE), m_iconData{} {}

CTrayIcon::~CTrayIcon() { RemoveFromTray(); }

BOOL CTrayIcon::AddToTray(CWnd* pWnd, UINT nCallbackMessage, LPCSTR pszTip, HICON hIcon, UINT nID) {
    // The shell keeps one icon per window and id: a second add would fail and orphan the first.
    RemoveFromTray();
    if (LOBYTE(LOWORD(::GetVersion())) < kFirstShellWithTray) return FALSE;
    if (pWnd == nullptr || !::IsWindow(pWnd->m_hWnd)) return FALSE;
    m_iconData.cbSize = NOTIFYICONDATAW_V1_SIZE;
    m_iconData.hWnd = pWnd->m_hWnd;
    m_iconData.uID = nID;
    m_iconData.hIcon = hIcon;
    m_iconData.uCallbackMessage = nCallbackMessage;
    m_iconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    const std::wstring tip = Widen(GbkPrefix(pszTip != nullptr ? pszTip : "", kTipBytes));
    const size_t length = std::min(tip.size(), kTipBytes);
    std::copy_n(tip.begin(), length, m_iconData.szTip);
    m_iconData.szTip[length] = L'\0';
    m_bInTray = AskShellToAdd();
    return m_bInTray;
}

// An add can fail yet leave the icon there (a shell that answered late): then a modify takes it over.
// Given up, the icon is deleted in case it is there after all, so none is left that nobody takes away.
BOOL CTrayIcon::AskShellToAdd() {
    for (int tries = 1;; ++tries) {
        if (::Shell_NotifyIconW(NIM_ADD, &m_iconData)) return TRUE;
        if (tries == kAddTries) break;
        ::Sleep(kAddRetryMs);
    }
    if (::Shell_NotifyIconW(NIM_MODIFY, &m_iconData)) return TRUE;
    ::Shell_NotifyIconW(NIM_DELETE, &m_iconData);
    return FALSE;
}

BOOL CTrayIcon::RemoveFromTray() {
    if (!m_bInTray) return FALSE;
    m_iconData.uFlags = 0;
    const BOOL removed = ::Shell_NotifyIconW(NIM_DELETE, &m_iconData);
    m_bInTray = FALSE;
    return removed;
}

// The shell sends the icon's id and the mouse message over the icon.
LRESULT CTrayIcon::HandleTrayMessage(WPARAM wParam, LPARAM lParam) {
    if (wParam != m_iconData.uID) return 0;
    switch (LOWORD(lParam)) {
        case WM_RBUTTONUP:
            return ShowMenu();
        case WM_LBUTTONDBLCLK:
            return SendDefaultCommand();
        default:
            return 1;
    }
}

// The chosen item reaches the owner as WM_COMMAND once the menu closes.
LRESULT CTrayIcon::ShowMenu() const {
    const UniqueMenu menu = LoadTrayMenu(LOWORD(m_iconData.uID));
    HMENU popup = FirstPopup(menu);
    if (popup == nullptr) return 0;
    ::SetMenuDefaultItem(popup, 0, TRUE);
    POINT cursor;
    ::GetCursorPos(&cursor);
    // Without the foreground, the menu would not close when the user clicks elsewhere.
    ::SetForegroundWindow(m_iconData.hWnd);
    ::TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, m_iconData.hWnd, nullptr);
    // After a menu tracked from the foreground, the next one would close as soon as it opens, unless the
    // owner gets a message of its own first.
    ::PostMessageW(m_iconData.hWnd, WM_NULL, 0, 0);
    return 1;
}

// Carried out before this returns, as the menu's first item.
LRESULT CTrayIcon::SendDefaultCommand() const {
    const UniqueMenu menu = LoadTrayMenu(LOWORD(m_iconData.uID));
    HMENU popup = FirstPopup(menu);
    if (popup == nullptr) return 0;
    ::SetForegroundWindow(m_iconData.hWnd);
    ::SendMessageW(m_iconData.hWnd, WM_COMMAND, ::GetMenuItemID(popup, 0), 0);
    return 1;
}
