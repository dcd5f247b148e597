// The page check: fetch a page and look for the marker, plainly or through a forwarding frame.
#pragma once

#include <functional>

#include "gbk_string.h"

namespace monitor {

// 1 when a line of the page holds the marker, 0 when none does or the page cannot be opened. A transfer
// that breaks midway and a local file that cannot be read leave as the framework's exceptions.
int CheckPage(const CString& url, const CString& flag);

// The same for the page that a forwarding page's frame points to. When the forwarding page holds no frame,
// the check is 0 and noFrame is called first, while the check's session is still open.
int CheckForwardedPage(const CString& url, const CString& flag, const std::function<void()>& noFrame);

}  // namespace monitor
