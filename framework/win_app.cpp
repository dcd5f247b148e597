// CWinApp: the one application object, its name and its main window.
#include "win_app.h"

#include <string>

#include "code_page.h"
#include "dll_search.h"
#include "wnd.h"

namespace {

CWinApp* g_app = nullptr;

CString AppNameFromModule() {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length;
    while ((length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    const size_t start = path.find_last_of(L"\\/") + 1;
    const size_t dot = path.rfind(L'.');
    const size_t end = dot == std::wstring::npos || dot < start ? path.size() : dot;
    return Narrow(std::wstring_view(path).substr(start, end - start));
}

}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() { g_app = nullptr; }

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() { return ::GetModuleHandleW(nullptr); }

int AfxMessageBox(const char* gbkText, UINT type) {
    if ((type & MB_ICONMASK) == 0) type |= MB_ICONEXCLAMATION;
    CWnd* main = AfxGetMainWnd();
    HWND owner = main != nullptr && ::IsWindow(main->m_hWnd) ? ::GetLastActivePopup(main->m_hWnd) : nullptr;
    const CString title = g_app ? g_app->m_strAppName : CString();
    return ::MessageBoxW(owner, Widen(gbkText).c_str(), Widen(title.View()).c_str(), type);
}

// The main window runs modally inside InitInstance, and its end is the end of the process.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystemFolder();
    CWinApp* app = AfxGetApp();
    app->m_strAppName = AppNameFromModule();
    app->InitInstance();
    return 0;
}
