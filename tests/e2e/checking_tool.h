// CheckingTool: the fixture of the cases that check one address after another and read the line each gives.
#pragma once

#include <windows.h>
#include <wincrypt.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pages.h"
#include "probe_client.h"
#include "report_view.h"
#include "resource.h"
#include "tool_test.h"
#include "window_access.h"

namespace e2e {

inline constexpr wchar_t kFailed[] = L" 网站出现异常!";
inline constexpr wchar_t kRecovered[] = L" 网站恢复正常!";

// The sites users watch are mostly HTTPS: the test authority is trusted by the test prefix alone, from inside
// Wine, as a user's Windows trusts the public ones.
inline void TrustTheTestAuthority() {
    ASSERT_NE(0, Config().httpsPort) << "the runner serves HTTPS when given the test's certificates";
    std::ifstream file(std::filesystem::path(Config().testAuthority), std::ios::binary);
    const std::vector<char> der{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(der.empty()) << "no test authority certificate";
    ASSERT_TRUE(CertAddEncodedCertificateToSystemStoreW(L"Root", reinterpret_cast<const BYTE*>(der.data()),
                                                        static_cast<DWORD>(der.size())))
        << "error " << GetLastError();
}

class CheckingTool : public ToolTest {
protected:
    using Clock = std::chrono::steady_clock;

    void SetUp() override {
        ToolTest::SetUp();
        tool.SetItemText(IDC_FLAG, kMarker);
        tool.SetItemText(IDC_INTERVAL, L"600");  // no tick of the tool's own during a case
    }

    // Starts monitoring the address and returns the first check's line once it is there; the box that a
    // change of result brings must say so, and is dismissed.
    std::wstring Check(const std::wstring& url, std::chrono::seconds timeout = std::chrono::seconds(10)) {
        if (IsWindowVisible(tool.Item(IDC_STOP))) tool.ClickItem(IDC_STOP);
        tool.SetItemText(IDC_URL, url);
        return LineOfTheCheck([&] { tool.ClickItem(IDC_START); }, url, timeout);
    }

    // The same for one more tick of the monitoring under way.
    std::wstring Tick(std::chrono::seconds timeout = std::chrono::seconds(10)) {
        return LineOfTheCheck([&] { Post(tool.MainWindow(), WM_TIMER, 1, 0); }, L"the tick", timeout);
    }

    void DismissAlarm(const wchar_t* ending) {
        const auto box = tool.WaitForMessageBox();
        ASSERT_TRUE(box.has_value()) << "no alarm box";
        EXPECT_TRUE(EndsWith(box->text, ending)) << box->text;
        PressOk(*box);
        WaitFor([&] { return !IsWindow(box->window); });
    }

    Clock::duration m_checkTime{};

private:
    template <typename Trigger>
    std::wstring LineOfTheCheck(Trigger trigger, const std::wstring& what, std::chrono::seconds timeout) {
        const size_t lines = ReportLineCount(tool);
        const bool wasOk = lines == 0 || EndsWith(ReportLines(tool).front(), L" OK");
        const Clock::time_point start = Clock::now();
        trigger();
        if (!WaitForReportLines(tool, lines + 1, timeout)) {
            ADD_FAILURE() << "no report line for " << what << " within " << timeout.count() << " s";
            return L"";
        }
        m_checkTime = Clock::now() - start;
        const std::wstring line = ReportLines(tool).front();
        if (wasOk != EndsWith(line, L" OK")) DismissAlarm(wasOk ? kFailed : kRecovered);
        Probe probe(tool);
        probe.Sync();
        const auto leftover = tool.FindMessageBox();
        EXPECT_FALSE(leftover.has_value()) << "a box after " << what << ": " << (leftover ? leftover->text : L"");
        EXPECT_TRUE(tool.IsRunning());
        return line;
    }
};

}  // namespace e2e
