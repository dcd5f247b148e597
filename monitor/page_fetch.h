// A page read on a thread of its own, given up at a bound whatever the server does.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "gbk_string.h"
#include "internet_exception.h"
#include "internet_session.h"

namespace monitor {

// The longest a page may take from its request to its last byte read: a page that drips or streams
// without end must not hold the window and every later check for ever.
inline constexpr std::chrono::seconds kFetchBound{60};

namespace detail {

// The page at the address, or null when it cannot be opened or is of no page kind.
std::unique_ptr<CStdioFile> OpenPage(CInternetSession& session, const CString& url);

// How a fetch run within the bound came to its end.
enum class FetchEnd { InTime, GivenUp, NotStarted };

// Runs `work` on a thread of its own, which owns what `work` holds, and waits at most kFetchBound for it.
// InTime: it ended, its exception rethrown here. GivenUp: the bound struck and the session was abandoned; the
// thread ends at its next call on the session, within a receive time-out, and lets go of what it holds there.
// NotStarted: as many fetches as may be are alive already, or no thread could be made; nothing was opened.
FetchEnd RunWithinBound(CInternetSession& session, std::function<void()> work);

}  // namespace detail

// What `read` makes of the lines of the page at the address, read through the session within kFetchBound.
// Nothing when the address cannot be opened or is of no page kind, when the bound strikes before the page is
// open, and when the fetch cannot be started. When the bound strikes while the page is read, a
// CInternetException of ERROR_INTERNET_TIMEOUT, as for a receive that timed out. A failure of the transfer
// leaves as the framework's exception.
template <typename Result>
std::optional<Result> ReadPage(const std::shared_ptr<CInternetSession>& session, const CString& url,
                               std::function<Result(core::LineSplitter&)> read) {
    struct Fetch {
        std::optional<Result> result;
        std::atomic<bool> opened{false};
    };
    const auto fetch = std::make_shared<Fetch>();
    const detail::FetchEnd end = detail::RunWithinBound(*session, [session, url, read = std::move(read), fetch] {
        const std::unique_ptr<CStdioFile> page = detail::OpenPage(*session, url);
        if (!page) return;
        fetch->opened = true;
        fetch->result = read(page->Lines());
        page->Close();
    });
    if (end == detail::FetchEnd::InTime) return std::move(fetch->result);
    if (end == detail::FetchEnd::GivenUp && fetch->opened) throw CInternetException(ERROR_INTERNET_TIMEOUT);
    return std::nullopt;
}

}  // namespace monitor
