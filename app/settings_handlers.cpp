// The main window's settings: filled from "sitecheck.ini" at start-up, written at every Start.
#include <string>

#include "monitor_dlg.h"
#include "settings_file.h"
#include "win_app.h"

namespace {

const char kDamaged[] = "配置文件已损坏!";

}  // namespace

void CMonitorDlg::LoadSettings() {
    m_btnStop.ShowWindow(SW_HIDE);
    m_spinInterval.SetRange(kMinInterval, kMaxInterval);
    ApplySettings(monitor::ReadSettingsFile().value_or(core::SettingsReading()));
}

void CMonitorDlg::ApplySettings(const core::SettingsReading& reading) {
    const core::Settings& settings = reading.settings;
    m_editURL.SetWindowText(settings.url.c_str());
    m_chkForward.SetCheck(settings.forward ? BST_CHECKED : BST_UNCHECKED);
    m_editFlag.SetWindowText(settings.flag.c_str());
    if (reading.intervalGiven) m_spinInterval.SetPos(settings.interval);
    if (reading.damaged) AfxMessageBox(kDamaged);
}

void CMonitorDlg::SaveSettings(int interval) {
    monitor::WriteSettingsFile(
        {std::string(m_strURL.View()), m_chkForward.GetCheck() != 0, std::string(m_strFlag.View()), interval});
}
