// The page check: fetch the page and look for the marker, plainly or through a forwarding frame.
#include "page_check.h"

#include <memory>
#include <optional>
#include <string>

#include "frame_tag.h"
#include "marker_scan.h"
#include "page_fetch.h"

namespace monitor {

int CheckPage(const CString& url, const CString& flag) {
    const auto session = std::make_shared<CInternetSession>();
    const std::optional<bool> found = ReadPage<bool>(
        session, url, [flag](core::LineSplitter& lines) { return core::AnyLineHolds(lines, flag.View()); });
    return found.value_or(false) ? 1 : 0;
}

int CheckForwardedPage(const CString& url, const CString& flag, const std::function<void()>& noFrame) {
    const auto session = std::make_shared<CInternetSession>();
    const std::optional<std::optional<std::string>> target =
        ReadPage<std::optional<std::string>>(session, url, core::ReadFrameTarget);
    if (!target) return 0;
    if (!*target) {
        noFrame();
        return 0;
    }
    return CheckPage(CString(std::move(**target)), flag);
}

}  // namespace monitor
