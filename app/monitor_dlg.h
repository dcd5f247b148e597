// CMonitorDlg: the main window, which holds the watched site's settings and the report.
#pragma once

#include <memory>
#include <optional>
#include <type_traits>

#include "controls.h"
#include "cycle_boxes.h"
#include "dialog.h"
#include "settings_text.h"
#include "static_link.h"
#include "tray_icon.h"

// The result of the latest check, 1 for OK and 0 for ERROR; the first check compares with OK.
extern int g_nLastResult;

// The tray icon's callback message: the icon's id in wParam, the mouse message over it in lParam.
constexpr UINT WM_TRAY_CALLBACK = WM_USER + 10;

struct IconDestroyer {
    void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;

class CMonitorDlg : public CDialog {
public:
    static constexpr short kMinInterval = 1;
    static constexpr short kMaxInterval = 600;

    explicit CMonitorDlg(CWnd* pParent = nullptr);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnHelpButton();
    void OnPaint();
    HCURSOR OnQueryDragIcon() const { return m_hIcon; }
    void OnStart();
    void OnTimer(UINT_PTR nIDEvent);
    void OnStop();
    void OnClose();
    void OnTrayShow();
    void OnTrayExit();
    LRESULT OnTrayCallback(WPARAM wParam, LPARAM lParam);
    LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    void LetTheShellThrough() const;
    void AddAboutItem() const;
    int IntervalInForce() const;
    void LoadSettings();
    void ApplySettings(const core::SettingsReading& reading);
    void SaveSettings(int interval);
    void CheckSite(CString url, CString flag);
    std::optional<int> RunCheck(const CString& url, const CString& flag);
    int CheckPage(CString url, CString flag);
    // Shows the box of a forwarding page that holds no frame as one of the cycle's.
    int CheckForwardedPage(CString url, CString flag);
    void AddReportLine(const CString& line);
    static unsigned int AlarmSoundThread(void* param);
    void HideToTray();

    CButton m_btnStop;
    CButton m_btnStart;
    CSpinButtonCtrl m_spinInterval;
    CEdit m_editURL;
    CEdit m_editReport;
    CEdit m_editFlag;
    CButton m_chkForward;
    CStaticLink m_link;
    // The icon at the system's large size, shared and never destroyed, and at its small size for the title bar,
    // the taskbar and the notification area, the window's own: destroyed after the tray icon has gone.
    HICON m_hIcon;
    UniqueIcon m_hSmallIcon;
    CTrayIcon m_trayIcon;
    CString m_strFlag;
    CString m_strURL;
    CCycleBoxes m_cycleBoxes;
};
