// CDialog: a modal dialog from a template, with data exchange and default OK/Cancel.
#include "dialog.h"

#include <commctrl.h>

#include "exception.h"
#include "win_app.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

namespace {

// The common controls, the up-down control among them, must be registered before a
// template that uses them is created.
void RegisterCommonControls() {
    const INITCOMMONCONTROLSEX classes = {sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
}

// A dialog with no owner of ours gets the main window as owner, as long as there is one.
HWND OwnerFor(const CWnd* dialog, CWnd* parent) {
    if (parent != nullptr) return parent->m_hWnd;
    CWnd* main = AfxGetMainWnd();
    return main != nullptr && main != dialog ? main->m_hWnd : nullptr;
}

}  // namespace

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (control.m_hWnd != nullptr) return;
    if (!control.SubclassWindow(pDX->m_pDlgWnd->GetDlgItem(id))) throw CException();
}

CDialog::CDialog(UINT templateId, CWnd* pParentWnd) : m_templateId(templateId), m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal() {
    RegisterCommonControls();
    return ::DialogBoxParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_templateId), OwnerFor(this, m_pParentWnd),
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

// Only binds the object: once subclassed, every message goes through the message map
// first, and the system's dialog procedure calls back here for nothing further.
INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->SubclassWindow(hWnd);
    return dialog->GuardedWindowProc(message, wParam, lParam);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    if (TemplateAtOrigin()) CenterWindow();
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog() { return UpdateData(); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData() {
    CDataExchange exchange = {this};
    DoDataExchange(&exchange);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData();
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::TemplateAtOrigin() const {
    HINSTANCE module = AfxGetInstanceHandle();
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(m_templateId), MAKEINTRESOURCEW(5));
    const auto* words = found ? static_cast<const WORD*>(::LockResource(::LoadResource(module, found))) : nullptr;
    if (words == nullptr) return false;
    // An extended template starts with version 1 and 0xFFFF and has its position at word 9;
    // a classic one has it at word 5.
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    const WORD* position = extended ? words + 9 : words + 5;
    return position[0] == 0 && position[1] == 0;
}

// Over the owner, or over the screen's work area when the owner is hidden or minimised.
void CDialog::CenterWindow() const {
    RECT area;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT self;
    ::GetWindowRect(m_hWnd, &self);
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    const int x = area.left + (area.right - area.left - width) / 2;
    const int y = area.top + (area.bottom - area.top - height) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
