// CMonitorApp: starts the tool by running its main window modally.
#include "monitor_app.h"

#include "monitor_dlg.h"

CMonitorApp theApp;

// The end of the main window is the end of the process, however the window ends.
BOOL CMonitorApp::InitInstance() {
    CMonitorDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
