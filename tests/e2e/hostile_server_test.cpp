// Hostile servers against the real tool: every check ends with the right line, memory stays flat, nothing hangs;
// and HTTPS, trusted or not.
#include <windows.h>
#include <wincrypt.h>

#include <chrono>
#include <cstdio>
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
namespace {

using Clock = std::chrono::steady_clock;

const wchar_t kFailed[] = L" 网站出现异常!";
const wchar_t kRecovered[] = L" 网站恢复正常!";
// What a 256 MB line may add to the tool's memory while it is read: a few receive buffers, not the line.
constexpr long long kFlatBytes = 1 << 20;

class HostileServer : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        tool.SetItemText(IDC_FLAG, kMarker);
        tool.SetItemText(IDC_INTERVAL, L"600");  // no tick of the tool's own during a case
    }

    // Starts monitoring the address and returns the first check's line once it is there; the box that a
    // change of result brings must say so, and is dismissed.
    std::wstring Check(const std::wstring& url, std::chrono::seconds timeout = std::chrono::seconds(10)) {
        const size_t lines = ReportLineCount(tool);
        const bool wasOk = lines == 0 || EndsWith(ReportLines(tool).front(), L" OK");
        if (IsWindowVisible(tool.Item(IDC_STOP))) tool.ClickItem(IDC_STOP);
        tool.SetItemText(IDC_URL, url);
        const Clock::time_point start = Clock::now();
        tool.ClickItem(IDC_START);
        if (!WaitForReportLines(tool, lines + 1, timeout)) {
            ADD_FAILURE() << "no report line for " << url << " within " << timeout.count() << " s";
            return L"";
        }
        m_checkTime = Clock::now() - start;
        const std::wstring line = ReportLines(tool).front();
        if (wasOk != EndsWith(line, L" OK")) DismissAlarm(wasOk ? kFailed : kRecovered);
        Probe probe(tool);
        probe.Sync();
        const auto leftover = tool.FindMessageBox();
        EXPECT_FALSE(leftover.has_value()) << "a box after " << url << ": " << (leftover ? leftover->text : L"");
        EXPECT_TRUE(tool.IsRunning());
        return line;
    }

    void DismissAlarm(const wchar_t* ending) {
        const auto box = tool.WaitForMessageBox();
        ASSERT_TRUE(box.has_value()) << "no alarm box";
        EXPECT_TRUE(EndsWith(box->text, ending)) << box->text;
        PressOk(*box);
        WaitFor([&] { return !IsWindow(box->window); });
    }

    Clock::duration m_checkTime{};
};

TEST_F(HostileServer, A256MegabyteLineKeepsMemoryFlatAndIsSearchedToItsEnd) {
    Probe probe(tool);
    probe.PeakPrivateBytes();
    EXPECT_TRUE(EndsWith(Check(PageUrl(kPlainPage)), L" ERROR"));  // the session's first allocations, the alarm
    const size_t before = probe.PrivateBytes();
    probe.PeakPrivateBytes();
    EXPECT_TRUE(EndsWith(Check(PageUrl(kHugeLinePage), std::chrono::seconds(120)), L" ERROR"));
    const PeakMemory peak = probe.PeakPrivateBytes();
    const double seconds = std::chrono::duration<double>(m_checkTime).count();
    const long long rise = static_cast<long long>(peak.bytes) - static_cast<long long>(before);
    std::printf("a 256 MB line took %.1f s; the tool's private bytes, sampled %zu times, rose by at most %lld KiB\n",
                seconds, peak.samples, rise / 1024);
    EXPECT_GT(peak.samples, static_cast<size_t>(seconds * 50)) << "sampled while the check ran";
    EXPECT_LT(rise, kFlatBytes);
    EXPECT_TRUE(EndsWith(Check(PageUrl(kHugeLineMarkerPage), std::chrono::seconds(120)), L" OK"))
        << "the marker is the last bytes of the line";
}

TEST_F(HostileServer, AResetBeforeAnyAnswerIsAnErrorLine) {
    EXPECT_TRUE(EndsWith(Check(PageUrl(kResetPage)), L" ERROR"));
}

// Wine ends such a body quietly, as if it were whole; the tool counts what the server announced.
TEST_F(HostileServer, ABodyClosedBeforeItsLengthIsABrokenTransfer) {
    tool.SetItemText(IDC_URL, PageUrl(kCutShortPage));
    tool.ClickItem(IDC_START);
    const auto box = tool.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    Probe probe(tool);
    EXPECT_EQ(L"stop", probe.MessageBoxIcon());
    PressOk(*box);
    probe.Sync();
    EXPECT_EQ(0u, ReportLineCount(tool)) << "no line for a check that broke";
    EXPECT_TRUE(IsWindowVisible(tool.Item(IDC_STOP))) << "monitoring runs on";
}

TEST_F(HostileServer, ABodyDrippedOneByteASecondIsWaitedForAndRead) {
    EXPECT_TRUE(EndsWith(Check(PageUrl(kDripPage), std::chrono::seconds(kDripSeconds + 30)), L" OK"));
    EXPECT_GE(m_checkTime, std::chrono::seconds(kDripSeconds - 2)) << "the marker comes with the last bytes";
}

TEST_F(HostileServer, TenThousandHeaderLinesAreRead) {
    EXPECT_TRUE(EndsWith(Check(PageUrl(kManyHeadersPage)), L" OK"));
}

TEST_F(HostileServer, ARedirectLoopIsAnErrorWithinSeconds) {
    EXPECT_TRUE(EndsWith(Check(PageUrl(kRedirectLoopPage)), L" ERROR"));
    EXPECT_LT(m_checkTime, std::chrono::seconds(5));
}

TEST_F(HostileServer, TlsToAPlainServerIsAnError) {
    EXPECT_TRUE(EndsWith(Check(TlsUrlOfPlainServer(kMarkerPage)), L" ERROR"));
}

TEST_F(HostileServer, PlainHttpToATlsServerIsAnError) {
    EXPECT_TRUE(EndsWith(Check(PlainUrlOfTlsServer(kMarkerPage)), L" ERROR"));
}

// The sites users watch are mostly HTTPS: the test authority is trusted by the test prefix alone, from inside
// Wine, as a user's Windows trusts the public ones.
class Https : public HostileServer {
protected:
    static void SetUpTestSuite() {
        ASSERT_NE(0, Config().httpsPort) << "the runner serves HTTPS when given the test's certificates";
        std::ifstream file(std::filesystem::path(Config().testAuthority), std::ios::binary);
        const std::vector<char> der{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        ASSERT_FALSE(der.empty()) << "no test authority certificate";
        ASSERT_TRUE(CertAddEncodedCertificateToSystemStoreW(L"Root", reinterpret_cast<const BYTE*>(der.data()),
                                                            static_cast<DWORD>(der.size())))
            << "error " << GetLastError();
    }
};

TEST_F(Https, APageWithATrustedCertificateIsCheckedAndARedirectToItFollowed) {
    EXPECT_TRUE(EndsWith(Check(HttpsUrl(kMarkerPage)), L" OK"));
    EXPECT_TRUE(EndsWith(Check(HttpsUrl(kPlainPage)), L" ERROR")) << "the page is read, not only reached";
    EXPECT_TRUE(EndsWith(Check(PageUrl(kToHttpsPage)), L" OK"));
}

// What was asked for over TLS is not fetched in the clear, as WinINet's own redirect handling refuses it.
TEST_F(Https, ARedirectFromHttpsToHttpIsRefused) {
    EXPECT_TRUE(EndsWith(Check(PageUrl(kMarkerPage)), L" OK"));
    EXPECT_TRUE(EndsWith(Check(HttpsUrl(kToHttpPage)), L" ERROR"));
}

// A certificate that fails is an address that cannot be opened: an ERROR line, and no box but the alarm.
TEST_F(Https, AnUntrustedAuthorityOrAnotherNameIsAnErrorWithNoBox) {
    EXPECT_TRUE(EndsWith(Check(UntrustedHttpsUrl(kMarkerPage)), L" ERROR"));
    EXPECT_TRUE(EndsWith(Check(HttpsUrl(kMarkerPage)), L" OK"));
    EXPECT_TRUE(EndsWith(Check(HttpsUrlByAddress(kMarkerPage)), L" ERROR"));
}

}  // namespace
}  // namespace e2e
