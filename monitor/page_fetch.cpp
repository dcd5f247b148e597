// A page read on a thread of its own, given up at a bound whatever the server does.
#include "page_fetch.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace monitor {
namespace detail {
namespace {

// How long a cut fetch is waited for before its thread is left to end by itself. Windows ends a call on a
// closed handle at once; Wine's WinINet goes on receiving until the server sends or hangs up.
constexpr std::chrono::seconds kCutGrace{2};

// What the fetch's thread and the waiting one share; held by both, since a cut fetch may outlive the wait.
struct Run {
    std::mutex mutex;
    std::condition_variable changed;
    bool ended = false;
    std::exception_ptr failure;
};

}  // namespace

std::unique_ptr<CStdioFile> OpenPage(CInternetSession& session, const CString& url) {
    try {
        return session.OpenURL(url);
    } catch (const CInternetException&) {
        return nullptr;
    }
}

bool RunWithinBound(CInternetSession& session, std::function<void()> work) {
    const auto run = std::make_shared<Run>();
    std::thread thread([run, work = std::move(work)]() mutable {
        std::exception_ptr failure;
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        work = nullptr;  // the page and the session go here, not after the waiting thread has moved on
        const std::lock_guard<std::mutex> lock(run->mutex);
        run->failure = failure;
        run->ended = true;
        run->changed.notify_all();
    });
    std::unique_lock<std::mutex> lock(run->mutex);
    const bool inTime = run->changed.wait_for(lock, kFetchBound, [&] { return run->ended; });
    if (!inTime) {
        lock.unlock();
        session.Cut();
        lock.lock();
        run->changed.wait_for(lock, kCutGrace, [&] { return run->ended; });
    }
    const bool ended = run->ended;
    const std::exception_ptr failure = run->failure;
    lock.unlock();
    if (ended) {
        thread.join();
    } else {
        thread.detach();
    }
    if (inTime && failure) std::rethrow_exception(failure);
    return inTime;
}

}  // namespace detail
}  // namespace monitor
