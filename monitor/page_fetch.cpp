// A page read on a thread of its own, given up at a bound whatever the server does.
#include "page_fetch.h"

#include <exception>
#include <future>
#include <thread>

namespace monitor {
namespace detail {
namespace {

// The most fetches alive at once, whatever the platform does: a server that drips its headers for ever holds
// a fetch inside WinINet's own call, where no time-out trips, and each left thread holds its stack.
constexpr int kMaxLiveFetches = 4;
std::atomic<int> g_liveFetches{0};

// The fetch's thread: it lets go of what the work holds, its session's handles among them, on this thread and
// before it counts itself gone.
void RunFetch(std::function<void()> work, std::promise<void> ended) {
    try {
        work();
        ended.set_value();
    } catch (...) {
        ended.set_exception(std::current_exception());
    }
    work = nullptr;
    --g_liveFetches;
}

}  // namespace

std::unique_ptr<CStdioFile> OpenPage(CInternetSession& session, const CString& url) {
    try {
        return session.OpenURL(url);
    } catch (const CInternetException&) {
        return nullptr;
    }
}

FetchEnd RunWithinBound(CInternetSession& session, std::function<void()> work) {
    if (g_liveFetches.fetch_add(1) >= kMaxLiveFetches) {
        --g_liveFetches;
        return FetchEnd::NotStarted;
    }
    std::future<void> ended;
    std::thread thread;
    try {
        std::promise<void> promise;
        ended = promise.get_future();
        thread = std::thread(RunFetch, std::move(work), std::move(promise));
    } catch (const std::exception&) {  // no thread, or no memory for its state
        --g_liveFetches;
        return FetchEnd::NotStarted;
    }
    if (ended.wait_for(kFetchBound) != std::future_status::ready) {
        session.Abandon();
        thread.detach();
        return FetchEnd::GivenUp;
    }
    thread.join();
    ended.get();  // the work's exception, if any
    return FetchEnd::InTime;
}

}  // namespace detail
}  // namespace monitor
