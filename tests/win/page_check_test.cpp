// The page check against a local page server: marker, forwarding, redirects, failures, memory.
#include "page_check.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "code_page.h"
#include "file_exception.h"
#include "import_patch.h"
#include "internet_exception.h"
#include "internet_session.h"
#include "message_box_spy.h"
#include "private_bytes.h"

namespace {

const char kMarker[] = "网站运行正常";

// The first line of a page, fetched apart from the checks and their limits.
std::string FirstLine(const CString& url) {
    CInternetSession session;
    const std::unique_ptr<CStdioFile> page = session.OpenURL(url);
    core::LinePiece piece;
    return page && page->Lines().NextPiece(piece) ? std::string(piece.bytes) : "";
}

class PageCheck : public testing::Test {
protected:
    void SetUp() override {
        const wchar_t* port = _wgetenv(L"WZ_PAGE_PORT");
        ASSERT_NE(nullptr, port) << "WZ_PAGE_PORT names the page server's port";
        m_base = "http://127.0.0.1:" + Narrow(port);
    }
    CString Url(const char* path) const { return m_base + path; }
    // How many connections the page server has accepted, the one that asks included.
    int ConnectionsAccepted() const { return std::atoi(FirstLine(Url("/connections")).c_str()); }
    // A forwarded check, counting the calls that say the forwarding page holds no frame.
    int CheckForwardedPage(const CString& url, const CString& flag) {
        return monitor::CheckForwardedPage(url, flag, [this] { ++m_noFrame; });
    }

    CString m_base;
    int m_noFrame = 0;
};

TEST_F(PageCheck, FindsTheMarkerInAnyLineWhateverTheStatus) {
    EXPECT_EQ(1, monitor::CheckPage(Url("/marker"), kMarker));
    EXPECT_EQ(0, monitor::CheckPage(Url("/plain"), kMarker));
    EXPECT_EQ(1, monitor::CheckPage(Url("/404-marker"), kMarker));
    EXPECT_EQ(0, monitor::CheckPage(Url("/empty"), kMarker));
    EXPECT_EQ(0, monitor::CheckPage(Url("/empty"), ""));
    EXPECT_EQ(1, monitor::CheckPage(Url("/plain"), ""));
}

TEST_F(PageCheck, AnAddressThatCannotBeOpenedIsZeroWithoutABox) {
    MessageBoxSpy spy;
    EXPECT_EQ(0, monitor::CheckPage("", kMarker));
    EXPECT_EQ(0, monitor::CheckPage("127.0.0.1/marker", kMarker));
    EXPECT_EQ(0, monitor::CheckPage("http://127.0.0.1:1/marker", kMarker));
    EXPECT_EQ(0, monitor::CheckPage("http://no-such-host.invalid/", kMarker));
    EXPECT_EQ(0, monitor::CheckPage("mailto:someone@example.com", kMarker));
    EXPECT_EQ(0, CheckForwardedPage("http://127.0.0.1:1/frame", kMarker));
    EXPECT_TRUE(spy.Boxes().empty());
    EXPECT_EQ(0, m_noFrame) << "a forwarding page that cannot be opened is not one without a frame";
}

TEST_F(PageCheck, ABodyThatBreaksMidwayLeavesAsAnException) {
    try {
        monitor::CheckPage(Url("/break"), kMarker);
        ADD_FAILURE() << "a broken transfer must not give a result";
    } catch (const CInternetException& failure) {
        std::printf("broken transfer: error %lu, \"%s\"\n", failure.m_dwError, failure.GetErrorMessage().GetString());
    }
    EXPECT_EQ(1, monitor::CheckPage(Url("/marker"), kMarker));  // nothing left behind
}

TEST_F(PageCheck, ReadsALocalFileAddress) {
    wchar_t directory[MAX_PATH];
    GetTempPathW(MAX_PATH, directory);
    const std::wstring path = std::wstring(directory) + L"wz_page_check.html";
    FILE* file = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(nullptr, file);
    std::fputs("<p>\r\n", file);
    std::fputs(kMarker, file);
    std::fclose(file);
    std::wstring url = L"file:///" + path;
    for (auto& c : url) c = c == L'\\' ? L'/' : c;
    EXPECT_EQ(1, monitor::CheckPage(Narrow(url), kMarker));
    EXPECT_EQ(0, monitor::CheckPage(Narrow(url), "ok"));
    DeleteFileW(path.c_str());
    EXPECT_THROW(monitor::CheckPage(Narrow(url), kMarker), CFileException);
}

TEST_F(PageCheck, ForwardingFollowsTheFirstFrameTag) {
    EXPECT_EQ(1, CheckForwardedPage(Url("/frame"), kMarker));
    EXPECT_EQ(0, CheckForwardedPage(Url("/frame-to-plain"), kMarker));
    EXPECT_EQ(0, CheckForwardedPage(Url("/frame-unclosed"), kMarker));
    EXPECT_EQ(0, m_noFrame);
}

// The box it shows is the main window's, checked end to end.
TEST_F(PageCheck, AForwardingPageWithoutFrameSaysSoAndIsZero) {
    EXPECT_EQ(0, CheckForwardedPage(Url("/marker"), kMarker));
    EXPECT_EQ(1, m_noFrame);
}

TEST_F(PageCheck, RedirectsAreFollowedButALoopEndsQuickly) {
    EXPECT_EQ(1, monitor::CheckPage(Url("/redirect/3"), kMarker));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(0, monitor::CheckPage(Url("/loop"), kMarker));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

// The test program's own InternetCloseHandle calls: by handle, the threads that made them.
std::mutex g_closesLock;
std::map<HINTERNET, std::vector<DWORD>> g_closes;
const ImportPatch* g_closePatch = nullptr;

BOOL WINAPI CountedClose(HINTERNET handle) {
    {
        const std::lock_guard<std::mutex> lock(g_closesLock);
        g_closes[handle].push_back(GetCurrentThreadId());
    }
    return g_closePatch->Original<decltype(&InternetCloseHandle)>()(handle);
}

// What a check does at its bound: the fetch is abandoned from another thread while its page streams. Its read
// ends at the next receive, and the thread that used the handles closes each of them, once.
TEST_F(PageCheck, AnAbandonedFetchEndsAtItsNextReceiveAndClosesItsHandlesOnItsOwnThread) {
    EXPECT_EQ(1, monitor::CheckPage(Url("/switch/stream-forever"), "set"));
    DWORD fetchThread = 0;
    DWORD error = 0;
    {
        const ImportPatch patch(GetModuleHandleW(nullptr), "wininet.dll", "InternetCloseHandle",
                                reinterpret_cast<const void*>(&CountedClose));
        ASSERT_TRUE(patch.Applied());
        g_closePatch = &patch;
        auto session = std::make_shared<CInternetSession>();
        std::unique_ptr<CStdioFile> page = session->OpenURL(Url("/switch"));
        ASSERT_NE(nullptr, page);
        // The thread holds the page and the session's last reference, as a given-up fetch does.
        std::thread fetch([&, session, page = std::move(page)]() mutable {
            fetchThread = GetCurrentThreadId();
            try {
                core::LinePiece piece;
                while (page->Lines().NextPiece(piece)) {
                }
            } catch (const CInternetException& failure) {
                error = failure.m_dwError;
            }
            page.reset();
            session.reset();
        });
        Sleep(300);  // well into the endless page
        session->Abandon();
        session.reset();
        fetch.join();
    }
    EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_OPERATION_CANCELLED), error);
    EXPECT_EQ(3u, g_closes.size()) << "the session, the page's connection and its request";
    for (const auto& [handle, threads] : g_closes) {
        EXPECT_EQ(std::vector<DWORD>{fetchThread}, threads) << "handle " << handle;
    }
    EXPECT_EQ(1, monitor::CheckPage(Url("/switch/ok"), "set"));
}

// Fetches stuck inside the platform's own call (headers dripped for ever) are given up but stay alive; a few
// of them at most, and a check beyond them opens no connection. Four at once share the bound's wait.
TEST_F(PageCheck, AtMostFourFetchesLiveAtOnceAndACheckBeyondOpensNoConnection) {
    EXPECT_EQ(1, monitor::CheckPage(Url("/switch/headers-forever"), "set"));
    std::vector<std::thread> checks;
    std::atomic<int> errors{0};
    for (int held = 0; held < 4; ++held) {
        checks.emplace_back([&] { errors += monitor::CheckPage(Url("/switch"), kMarker) == 0 ? 1 : 0; });
    }
    for (std::thread& check : checks) check.join();
    EXPECT_EQ(4, errors.load());
    const int before = ConnectionsAccepted();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(0, monitor::CheckPage(Url("/marker"), kMarker));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(before + 1, ConnectionsAccepted()) << "only the count's own connection";
    EXPECT_EQ("set", FirstLine(Url("/switch/ok"))) << "the server ends the dripping answers";
    int result = 0;
    for (int tries = 0; tries < 100 && (result = monitor::CheckPage(Url("/marker"), kMarker)) == 0; ++tries) Sleep(100);
    EXPECT_EQ(1, result) << "the fetches ended with the server's answers, and checks open pages again";
}

// The threads library makes its threads through the C runtime: a failure there is a system out of threads.
uintptr_t __cdecl NoThread(void*, unsigned, unsigned(__stdcall*)(void*), void*, unsigned, unsigned*) {
    errno = EAGAIN;
    return 0;
}

TEST_F(PageCheck, AFetchThatGetsNoThreadIsAnAddressThatCannotBeOpened) {
    const int before = ConnectionsAccepted();
    {
        const ImportPatch patch(GetModuleHandleW(nullptr), "msvcrt.dll", "_beginthreadex",
                                reinterpret_cast<const void*>(&NoThread));
        ASSERT_TRUE(patch.Applied());
        EXPECT_EQ(0, monitor::CheckPage(Url("/marker"), kMarker));
        EXPECT_EQ(0, CheckForwardedPage(Url("/frame"), kMarker));
    }
    EXPECT_EQ(before + 1, ConnectionsAccepted()) << "no page was asked for";
    EXPECT_EQ(1, monitor::CheckPage(Url("/marker"), kMarker)) << "and the next check with a thread works";
}

TEST_F(PageCheck, AHugeLineCostsNoMemory) {
    monitor::CheckPage(Url("/plain"), kMarker);  // the session's own allocations are made once
    const size_t before = memory::CommittedPrivateBytes();
    ASSERT_GT(before, 0u);
    EXPECT_EQ(0, monitor::CheckPage(Url("/huge"), kMarker));
    const long long growth = static_cast<long long>(memory::CommittedPrivateBytes()) - static_cast<long long>(before);
    std::printf("private bytes grew by %lld KiB over a 256 MB line\n", growth / 1024);
    EXPECT_LT(growth, 4LL << 20);
}

}  // namespace
