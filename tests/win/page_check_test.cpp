// The page check against a local page server: marker, forwarding, redirects, failures, memory.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "code_page.h"
#include "file_exception.h"
#include "internet_exception.h"
#include "message_box_spy.h"
#include "monitor_dlg.h"
#include "private_bytes.h"

namespace {

const char kMarker[] = "网站运行正常";

class PageCheck : public testing::Test {
protected:
    void SetUp() override {
        const wchar_t* port = _wgetenv(L"WZ_PAGE_PORT");
        ASSERT_NE(nullptr, port) << "WZ_PAGE_PORT names the page server's port";
        m_base = "http://127.0.0.1:" + Narrow(port);
    }
    CString Url(const char* path) const { return m_base + path; }

    CMonitorDlg m_dlg;
    CString m_base;
};

TEST_F(PageCheck, FindsTheMarkerInAnyLineWhateverTheStatus) {
    EXPECT_EQ(1, m_dlg.CheckPage(Url("/marker"), kMarker));
    EXPECT_EQ(0, m_dlg.CheckPage(Url("/plain"), kMarker));
    EXPECT_EQ(1, m_dlg.CheckPage(Url("/404-marker"), kMarker));
    EXPECT_EQ(0, m_dlg.CheckPage(Url("/empty"), kMarker));
    EXPECT_EQ(0, m_dlg.CheckPage(Url("/empty"), ""));
    EXPECT_EQ(1, m_dlg.CheckPage(Url("/plain"), ""));
}

TEST_F(PageCheck, AnAddressThatCannotBeOpenedIsZeroWithoutABox) {
    MessageBoxSpy spy;
    EXPECT_EQ(0, m_dlg.CheckPage("", kMarker));
    EXPECT_EQ(0, m_dlg.CheckPage("127.0.0.1/marker", kMarker));
    EXPECT_EQ(0, m_dlg.CheckPage("http://127.0.0.1:1/marker", kMarker));
    EXPECT_EQ(0, m_dlg.CheckPage("http://no-such-host.invalid/", kMarker));
    EXPECT_EQ(0, m_dlg.CheckPage("mailto:someone@example.com", kMarker));
    EXPECT_EQ(0, m_dlg.CheckForwardedPage("http://127.0.0.1:1/frame", kMarker));
    EXPECT_TRUE(spy.Boxes().empty());
}

TEST_F(PageCheck, ABodyThatBreaksMidwayLeavesAsAnException) {
    try {
        m_dlg.CheckPage(Url("/break"), kMarker);
        ADD_FAILURE() << "a broken transfer must not give a result";
    } catch (const CInternetException& failure) {
        std::printf("broken transfer: error %lu, \"%s\"\n", failure.m_dwError, failure.GetErrorMessage().GetString());
    }
    EXPECT_EQ(1, m_dlg.CheckPage(Url("/marker"), kMarker));  // nothing left behind
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
    EXPECT_EQ(1, m_dlg.CheckPage(Narrow(url), kMarker));
    EXPECT_EQ(0, m_dlg.CheckPage(Narrow(url), "ok"));
    DeleteFileW(path.c_str());
    EXPECT_THROW(m_dlg.CheckPage(Narrow(url), kMarker), CFileException);
}

TEST_F(PageCheck, ForwardingFollowsTheFirstFrameTag) {
    MessageBoxSpy spy;
    EXPECT_EQ(1, m_dlg.CheckForwardedPage(Url("/frame"), kMarker));
    EXPECT_EQ(0, m_dlg.CheckForwardedPage(Url("/frame-to-plain"), kMarker));
    EXPECT_EQ(0, m_dlg.CheckForwardedPage(Url("/frame-unclosed"), kMarker));
    EXPECT_TRUE(spy.Boxes().empty());
}

TEST_F(PageCheck, AForwardingPageWithoutFrameShowsItsBox) {
    MessageBoxSpy spy;
    EXPECT_EQ(0, m_dlg.CheckForwardedPage(Url("/marker"), kMarker));
    ASSERT_EQ(1u, spy.Boxes().size());
    EXPECT_EQ(L"未能找到真实网址！", spy.Boxes()[0].text);
    EXPECT_EQ(::LoadIconW(nullptr, IDI_EXCLAMATION), spy.Boxes()[0].icon);
}

TEST_F(PageCheck, RedirectsAreFollowedButALoopEndsQuickly) {
    EXPECT_EQ(1, m_dlg.CheckPage(Url("/redirect/3"), kMarker));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(0, m_dlg.CheckPage(Url("/loop"), kMarker));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}


TEST_F(PageCheck, AHugeLineCostsNoMemory) {
    m_dlg.CheckPage(Url("/plain"), kMarker);  // the session's own allocations are made once
    const size_t before = memory::CommittedPrivateBytes();
    ASSERT_GT(before, 0u);
    EXPECT_EQ(0, m_dlg.CheckPage(Url("/huge"), kMarker));
    const long long growth = static_cast<long long>(memory::CommittedPrivateBytes()) - static_cast<long long>(before);
    std::printf("private bytes grew by %lld KiB over a 256 MB line\n", growth / 1024);
    EXPECT_LT(growth, 4LL << 20);
}

}  // namespace
