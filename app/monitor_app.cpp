// CMonitorApp: starts the tool by running its main window modally.
#include "monitor_app.h"

#include <objbase.h>

#include "monitor_dlg.h"

CMonitorApp theApp;

namespace {

// The shell may hand a link or the help file to a handler of its own reached through COM, which needs a
// single-threaded apartment on the calling thread. Without one the tool runs on as it is; only an apartment
// that was entered is left again.
class ComApartment {
public:
    ComApartment()
        : m_entered(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (m_entered) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_entered;
};

}  // namespace

// The end of the main window is the end of the process, however the window ends.
BOOL CMonitorApp::InitInstance() {
    const ComApartment apartment;
    CMonitorDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
