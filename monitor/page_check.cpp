// The page check: fetch the page and look for the marker, plainly or through a forwarding frame.
#include "page_check.h"

#include <optional>
#include <string>

#include "frame_tag.h"
#include "internet_exception.h"
#include "internet_session.h"
#include "marker_scan.h"

namespace monitor {
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

int CheckPage(const CString& url, const CString& flag) {
    CInternetSession session;
    std::unique_ptr<CStdioFile> page = OpenPage(session, url);
    if (!page) return 0;
    const bool found = core::AnyLineHolds(page->Lines(), flag.View());
    page->Close();
    return found ? 1 : 0;
}

int CheckForwardedPage(const CString& url, const CString& flag, const std::function<void()>& noFrame) {
    CInternetSession session;
    std::optional<std::string> target;
    {
        std::unique_ptr<CStdioFile> page = OpenPage(session, url);
        if (!page) return 0;
        target = core::ReadFrameTarget(page->Lines());
        page->Close();
    }
    if (!target) {
        noFrame();
        return 0;
    }
    return CheckPage(CString(std::move(*target)), flag);
}

}  // namespace monitor
