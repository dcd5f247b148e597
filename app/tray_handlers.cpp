// The main window in the notification area: closing hides it there, the icon's menu brings it back or ends the tool.
#include "monitor_dlg.h"
#include "resource.h"

namespace {

constexpr char kTrayTip[] = "望站";

}  // namespace

// The check timer runs on: monitoring goes on while the window is hidden.
void CMonitorDlg::OnClose() { HideToTray(); }

// Hidden only with an icon to come back by; without one the window keeps its taskbar button, minimised.
void CMonitorDlg::HideToTray() {
    const BOOL added = m_trayIcon.AddToTray(this, WM_TRAY_CALLBACK, kTrayTip, m_hSmallIcon.get(), IDR_TRAYMENU);
    ShowWindow(added ? SW_HIDE : SW_MINIMIZE);
}

void CMonitorDlg::OnTrayShow() {
    m_trayIcon.RemoveFromTray();
    ShowWindow(SW_SHOW);
}

// The thread's quit ends the modal loop once the queue is empty, and with it the process; nothing is written.
// Windows wants it from PostQuitMessage, never as a posted WM_QUIT.
void CMonitorDlg::OnTrayExit() {
    m_trayIcon.RemoveFromTray();
    ::PostQuitMessage(0);
}

LRESULT CMonitorDlg::OnTrayCallback(WPARAM wParam, LPARAM lParam) {
    return m_trayIcon.HandleTrayMessage(wParam, lParam);
}

// Only a window hidden in the tray needs its icon on the new taskbar.
LRESULT CMonitorDlg::OnTaskbarCreated(WPARAM, LPARAM) {
    if (!IsWindowVisible()) HideToTray();
    return 0;
}
