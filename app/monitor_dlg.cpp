// CMonitorDlg: the main window, which holds the watched site's settings and the report.
#include "monitor_dlg.h"

#include <shellapi.h>

#include "about_dlg.h"
#include "code_page.h"
#include "paint_dc.h"
#include "resource.h"
#include "version.h"
#include "win_app.h"

namespace {

// Sent to every top-level window when the taskbar starts again, holding none of the icons it had.
const UINT WM_TASKBARCREATED = ::RegisterWindowMessageW(L"TaskbarCreated");

// The resource's own image at the system's small size, sharper than the big one shrunk by the system.
// Loaded unshared, since a shared load may hand back the size that was loaded first.
HICON LoadSmallIcon() {
    return static_cast<HICON>(::LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                           ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                           LR_DEFAULTCOLOR));
}

}  // namespace

BEGIN_MESSAGE_MAP(CMonitorDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_START, OnStart)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_STOP, OnStop)
    ON_BN_CLICKED(IDC_HELPBTN, OnHelpButton)
    ON_WM_CLOSE()
    ON_COMMAND(ID_TRAY_SHOW, OnTrayShow)
    ON_COMMAND(ID_TRAY_EXIT, OnTrayExit)
    ON_MESSAGE(WM_TRAY_CALLBACK, OnTrayCallback)
    ON_REGISTERED_MESSAGE(WM_TASKBARCREATED, OnTaskbarCreated)
END_MESSAGE_MAP()

CMonitorDlg::CMonitorDlg(CWnd* pParent)
    : CDialog(IDD_MONITOR_DIALOG, pParent),
      m_hIcon(::LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_hSmallIcon(LoadSmallIcon()) {}

void CMonitorDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STOP, m_btnStop);
    DDX_Control(pDX, IDC_START, m_btnStart);
    DDX_Control(pDX, IDC_SPIN, m_spinInterval);
    DDX_Control(pDX, IDC_URL, m_editURL);
    DDX_Control(pDX, IDC_REPORT, m_editReport);
    DDX_Control(pDX, IDC_FLAG, m_editFlag);
    DDX_Control(pDX, IDC_FORWARD, m_chkForward);
    DDX_Control(pDX, IDC_HOMELINK, m_link);
}

BOOL CMonitorDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    LetTheShellThrough();
    AddAboutItem();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hSmallIcon.get(), FALSE);
    // The report is never cut: every line stays in the box.
    m_editReport.SetLimitText(0);
    LoadSettings();
    m_link.m_target = CString(WZ_HOME_PAGE);
    return TRUE;
}

// Run as administrator, the window would never hear from the shell, which runs at a lower integrity level and
// whose messages above WM_USER are dropped: the taskbar's restart and the icon's mouse. Refused, all else stays.
void CMonitorDlg::LetTheShellThrough() const {
    for (UINT message : {WM_TASKBARCREATED, WM_TRAY_CALLBACK}) {
        ::ChangeWindowMessageFilterEx(m_hWnd, message, MSGFLT_ALLOW, nullptr);
    }
}

void CMonitorDlg::AddAboutItem() const {
    HMENU systemMenu = GetSystemMenu(FALSE);
    if (systemMenu == nullptr) return;
    const CString aboutText = LoadResourceString(IDS_ABOUTBOX);
    if (aboutText.IsEmpty()) return;
    ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, Widen(aboutText.View()).c_str());
}

// The system keeps its own flags in the low four bits of a command: 16 to 31 all mean About.
void CMonitorDlg::OnSysCommand(UINT nID, LPARAM) {
    if ((nID & 0xFFF0) != IDM_ABOUTBOX) {
        Default();
        return;
    }
    CAboutDlg about;
    about.DoModal();
}

// The help viewer is a process of its own: the tool neither waits for it nor looks at the result.
void CMonitorDlg::OnHelpButton() { ::ShellExecuteW(nullptr, L"open", L"help.chm", nullptr, nullptr, SW_SHOWNORMAL); }

// Minimised, the window draws its icon centred in the client area.
void CMonitorDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()));
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - iconWidth + 1) / 2;
    const int y = (rect.bottom - rect.top - iconHeight + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}
