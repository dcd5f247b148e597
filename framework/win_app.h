// CWinApp: the one application object, its name and its main window.
#pragma once

#include <windows.h>

#include "gbk_string.h"
#include "object.h"

class CWnd;

class CWinApp : public CObject {
public:
    CWinApp();
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Builds and runs the main window; returns whether a message loop should follow.
    virtual BOOL InitInstance() = 0;

    CWnd* m_pMainWnd = nullptr;
    // The executable's file name without directory and extension: every box's title.
    CString m_strAppName;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();

// A box owned by the main window, titled with the application's name; the exclamation
// icon unless the type asks for another.
int AfxMessageBox(const char* gbkText, UINT type = MB_OK);
