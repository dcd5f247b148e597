// The page check: fetch the page and look for the marker, plainly or through a forwarding frame.
#include <optional>
#include <string>

#include "frame_tag.h"
#include "internet_exception.h"
#include "internet_session.h"
#include "marker_scan.h"
#include "monitor_dlg.h"
#include "win_app.h"

namespace {

// The page at the address, or null when it cannot be opened or is of no page kind.
std::unique_ptr<CStdioFile> OpenPage(CInternetSession& session, const CString& url) {
    try {
        return session.OpenURL(url);
    } catch (const CInternetException&) {
        return nullptr;
    }
}

}  // namespace

int CMonitorDlg::CheckPage(CString url, CString flag) {
    CInternetSession session;
    std::unique_ptr<CStdioFile> page = OpenPage(session, url);
    if (!page) return 0;
    const bool found = core::AnyLineHolds(page->Lines(), flag.View());
    page->Close();
    return found ? 1 : 0;
}

int CMonitorDlg::CheckForwardedPage(CString url, CString flag) {
    CInternetSession session;
    std::optional<std::string> target;
    {
        std::unique_ptr<CStdioFile> page = OpenPage(session, url);
        if (!page) return 0;
        target = core::ReadFrameTarget(page->Lines());
        page->Close();
    }
    if (!target) {
        m_cycleBoxes.Show("未能找到真实网址！");
        return 0;
    }
    return CheckPage(CString(std::move(*target)), flag);
}
