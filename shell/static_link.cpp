// CStaticLink: a static text of a dialog turned into a link that the shell opens.
#include "static_link.h"

#include <memory>
#include <string>
#include <type_traits>

#include "code_page.h"

HCURSOR g_hHandCursor = nullptr;
BOOL g_bHandCursorTried = FALSE;

namespace {

constexpr UINT kHoverCheckMs = 100;
constexpr WORD kHelpProgramHandCursor = 106;
// Only plain text statics are coloured: SS_LEFT, SS_CENTER and SS_RIGHT, with no other low-byte bit.
constexpr DWORD kLowStyleByte = 0xFF;

struct ModuleFreer {
    void operator()(HMODULE module) const { ::FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;

// The hand of the system's help program, copied so that it outlives the program's module.
HCURSOR HelpProgramHand() {
    wchar_t directory[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(directory, length) + L"\\winhlp32.exe";
    // Only its resources are wanted: mapped as data, none of its code is prepared to run.
    const UniqueModule program(::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!program) return nullptr;
    HCURSOR hand = ::LoadCursorW(program.get(), MAKEINTRESOURCEW(kHelpProgramHandCursor));
    return hand != nullptr ? ::CopyIcon(hand) : nullptr;
}

// Systems without that program still have a hand of their own.
HCURSOR FindHandCursor() {
    if (HCURSOR hand = HelpProgramHand()) return hand;
    return ::LoadCursorW(nullptr, IDC_HAND);
}

}  // namespace

BEGIN_MESSAGE_MAP(CStaticLink, CStatic)
    ON_WM_NCHITTEST()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_LBUTTONDOWN()
    ON_WM_SETCURSOR()
    ON_WM_TIMER()
END_MESSAGE_MAP()

// A static without SS_NOTIFY is transparent to the mouse; answering HTCLIENT gives it clicks and cursor requests.
LRESULT CStaticLink::OnNcHitTest(POINT) {
    if (!m_bHover) {
        m_bHover = TRUE;
        m_crText = g_crLinkHover;
        Invalidate();
        SetTimer(m_nTimerID, kHoverCheckMs);
    }
    return HTCLIENT;
}

// The hover ends at the first tick that finds the pointer outside.
void CStaticLink::OnTimer(UINT_PTR) {
    const DWORD position = ::GetMessagePos();
    POINT point = PointOf(static_cast<LPARAM>(position));
    ScreenToClient(&point);
    RECT client;
    GetClientRect(&client);
    if (!::PtInRect(&client, point)) {
        m_bHover = FALSE;
        KillTimer(m_nTimerID);
        m_crText = g_crLinkNormal;
        Invalidate();
    }
    Default();
}

// The control paints its ground with the brush the dialog gives a plain static, so every repaint starts clean:
// drawn over the last one, smoothed text piled up its edges at each hover and turned smeared and bold.
HBRUSH CStaticLink::CtlColor(HDC dc, UINT) {
    if ((GetStyle() & kLowStyleByte) > SS_RIGHT) return nullptr;
    if (m_font.GetSafeHandle() == nullptr) CopyFontOfControl();
    const auto ground = reinterpret_cast<HBRUSH>(::DefDlgProcW(
        ::GetParent(m_hWnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(m_hWnd)));
    ::SelectObject(dc, m_font.GetSafeHandle());
    ::SetTextColor(dc, m_crText);
    ::SetBkMode(dc, TRANSPARENT);
    return ground;
}

// Once, at the first drawing; a control that reports no font of its own draws in the system font.
void CStaticLink::CopyFontOfControl() {
    HFONT own = GetFont();
    LOGFONTW logFont = {};
    if (::GetObjectW(own != nullptr ? own : ::GetStockObject(SYSTEM_FONT), sizeof(logFont), &logFont) != 0) {
        m_font.CreateFontIndirect(logFont);
    }
}

void CStaticLink::OnLButtonDown(UINT, POINT) {
    if (m_target.IsEmpty()) {
        m_target = LoadResourceString(static_cast<UINT>(GetDlgCtrlID()));
        if (m_target.IsEmpty()) m_target = GetWindowText();
        if (m_target.IsEmpty()) return;
    }
    if (reinterpret_cast<UINT_PTR>(m_target.Open()) <= 32) {
        ::MessageBeep(MB_OK);
        return;
    }
    m_crText = g_crLinkVisited;
    Invalidate();
}

// The first link asked decides for all: a hand that cannot be found is not looked for again.
BOOL CStaticLink::OnSetCursor(HWND, UINT, UINT) {
    if (g_hHandCursor == nullptr && !g_bHandCursorTried) {
        g_hHandCursor = FindHandCursor();
        g_bHandCursorTried = TRUE;
    }
    if (g_hHandCursor == nullptr) return FALSE;
    ::SetCursor(g_hHandCursor);
    return TRUE;
}
