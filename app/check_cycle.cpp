// The monitoring cycle: Start and Stop, the check at every tick, the report and the alarm.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <optional>

#include "exception.h"
#include "monitor_dlg.h"
#include "page_check.h"
#include "report.h"
#include "thread.h"
#include "time_stamp.h"
#include "win_app.h"

int g_nLastResult = 1;

namespace {

constexpr UINT_PTR kCheckTimer = 1;
constexpr UINT kMillisecondsPerMinute = 60000;
const char kNoFrame[] = "未能找到真实网址！";

}  // namespace

void CMonitorDlg::OnStart() {
    m_strFlag = m_editFlag.GetWindowText();
    const int interval = IntervalInForce();
    m_strURL = m_editURL.GetWindowText();
    // Runs the first check now, on this thread: an alarm box holds the steps below until it is closed.
    ::SendNotifyMessageW(m_hWnd, WM_TIMER, 0, 0);
    SetTimer(kCheckTimer, static_cast<UINT>(interval) * kMillisecondsPerMinute);
    m_btnStart.ShowWindow(SW_HIDE);
    m_btnStop.ShowWindow(SW_SHOW);
    m_btnStop.SetFocus();
    SaveSettings(interval);
}

void CMonitorDlg::OnStop() {
    KillTimer(kCheckTimer);
    m_btnStop.ShowWindow(SW_HIDE);
    m_btnStart.ShowWindow(SW_SHOW);
    m_btnStart.SetFocus();
}

// The up-down control's position; when the box holds no valid interval, its last valid one,
// written back so the user sees the interval in force.
int CMonitorDlg::IntervalInForce() const {
    const DWORD position = m_spinInterval.GetPos();
    if (HIWORD(position) == 0) return LOWORD(position);
    const int lastValid = std::clamp<int>(static_cast<short>(LOWORD(position)), kMinInterval, kMaxInterval);
    m_spinInterval.SetPos(lastValid);
    return lastValid;
}

void CMonitorDlg::OnTimer(UINT_PTR) {
    CheckSite(m_strURL, m_strFlag);
    Default();
}

void CMonitorDlg::CheckSite(CString url, CString flag) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    const CString stamp = monitor::CheckTimeStamp(now);
    const std::optional<int> result = RunCheck(url, flag);
    if (!result) return;
    AddReportLine(CString(core::ReportLine(stamp.View(), *result)));

    const core::Alarm alarm = core::AlarmFor(g_nLastResult, *result);
    if (alarm == core::Alarm::None) return;
    g_nLastResult = *result;
    CString message = stamp;
    if (alarm == core::Alarm::Recovered) {
        message += " 网站恢复正常!";
    } else {
        message += " 网站出现异常!";
        AfxBeginThread(&CMonitorDlg::AlarmSoundThread, nullptr);
    }
    m_cycleBoxes.Show(message);
}

// The check's result, or nothing when it failed and its error box, one of the cycle's, has been
// shown: the cycle then ends without a line, and the next tick checks again.
std::optional<int> CMonitorDlg::RunCheck(const CString& url, const CString& flag) {
    try {
        return m_chkForward.GetCheck() != 0 ? CheckForwardedPage(url, flag) : CheckPage(url, flag);
    } catch (const CException& failure) {
        m_cycleBoxes.Show(ErrorMessageOf(&failure), MB_ICONSTOP);
        return std::nullopt;
    }
}

int CMonitorDlg::CheckPage(CString url, CString flag) { return monitor::CheckPage(url, flag); }

int CMonitorDlg::CheckForwardedPage(CString url, CString flag) {
    return monitor::CheckForwardedPage(url, flag, [this] { m_cycleBoxes.Show(kNoFrame); });
}

// Puts the line in at the top of the box instead of setting the whole report again, so a
// check costs the same after a year of them. The box is the report: no copy of it is kept.
void CMonitorDlg::AddReportLine(const CString& line) {
    m_editReport.SetSel(0, 0);
    m_editReport.ReplaceSel(line);
}

unsigned int CMonitorDlg::AlarmSoundThread(void*) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, L"IDW", L"WAVE");
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* image = loaded ? ::LockResource(loaded) : nullptr;
    if (image != nullptr) ::sndPlaySoundW(static_cast<const wchar_t*>(image), SND_MEMORY);
    return 0;
}
