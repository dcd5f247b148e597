// A page read on a thread of its own, given up at a bound whatever the server does.
#include "page_fetch.h"

#include <future>
#include <thread>

namespace monitor {
namespace detail {
namespace {

// How long a cut fetch is waited for before its thread is left to end by itself. Windows ends a call on a
// closed handle at once; Wine's WinINet goes on receiving until the server sends or hangs up.
constexpr std::chrono::seconds kCutGrace{2};

}  // namespace

std::unique_ptr<CStdioFile> OpenPage(CInternetSession& session, const CString& url) {
    try {
        return session.OpenURL(url);
    } catch (const CInternetException&) {
        return nullptr;
    }
}

// The task's state is shared with its future, so a thread left to end by itself holds what it uses.
bool RunWithinBound(CInternetSession& session, std::function<void()> work) {
    std::packaged_task<void()> task(std::move(work));
    std::future<void> ended = task.get_future();
    std::thread thread(std::move(task));
    const bool inTime = ended.wait_for(kFetchBound) == std::future_status::ready;
    if (!inTime) session.Cut();
    if (inTime || ended.wait_for(kCutGrace) == std::future_status::ready) {
        thread.join();
    } else {
        thread.detach();
    }
    if (inTime) ended.get();  // the work's exception, if any
    return inTime;
}

}  // namespace detail
}  // namespace monitor
