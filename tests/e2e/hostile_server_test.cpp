// Hostile servers against the real tool: every check ends with the right line, memory stays flat, nothing hangs;
// and HTTPS, trusted or not.
#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include "checking_tool.h"
#include "http_fetch.h"
#include "pages.h"

namespace e2e {
namespace {

// What a 256 MB line may add to the tool's memory while it is read, over what a small page adds (the fetch's
// thread, which Wine gives some 2 MiB): a few receive buffers, not the line.
constexpr long long kFlatBytes = 1 << 20;

class HostileServer : public CheckingTool {};

TEST_F(HostileServer, A256MegabyteLineKeepsMemoryFlatAndIsSearchedToItsEnd) {
    Probe probe(tool);
    probe.PeakPrivateBytes();
    EXPECT_TRUE(EndsWith(Check(PageUrl(kPlainPage)), L" ERROR"));  // the session's first allocations, the alarm
    probe.PeakPrivateBytes();
    EXPECT_TRUE(EndsWith(Check(PageUrl(kSlowPlainPage)), L" ERROR"));
    const size_t before = probe.PeakPrivateBytes().bytes;
    EXPECT_TRUE(EndsWith(Check(PageUrl(kHugeLinePage), std::chrono::seconds(120)), L" ERROR"));
    const PeakMemory peak = probe.PeakPrivateBytes();
    const double seconds = std::chrono::duration<double>(m_checkTime).count();
    const long long rise = static_cast<long long>(peak.bytes) - static_cast<long long>(before);
    std::printf(
        "a 256 MB line took %.1f s; the tool's private bytes, sampled %zu times, rose by at most %lld KiB over a small "
        "page's\n",
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

// Pages that never end: each fetch is given up at its bound, its thread ends by itself while the server goes
// on, and the next tick checks again.
class EndlessPage : public HostileServer {
protected:
    static constexpr std::chrono::seconds kBound{60};
    static constexpr std::chrono::seconds kReceiveTimeout{30};
    static constexpr std::chrono::seconds kMargin{8};

    // Monitors the switch page, through `url`, while it works, then makes its answer `endless`.
    void MonitorAPageThatTurns(const std::wstring& url, const wchar_t* endless) {
        HttpGet(PageUrl(kSwitchOk));
        ASSERT_TRUE(EndsWith(Check(url), L" OK"));
        Probe probe(tool);
        probe.CountHandles();
        m_bytesBefore = probe.PrivateBytes();
        HttpGet(PageUrl(endless));
    }

    // The fetch given up at the bound lets go within a receive time-out, while the server still sends.
    void ExpectTheFetchToEndByItself(Clock::time_point givenUp) {
        Probe(tool).HandlesOnceThreadsEnd(kReceiveTimeout + kMargin);
        std::printf("the given-up fetch's thread ended within %.1f s of the bound\n",
                    std::chrono::duration<double>(Clock::now() - givenUp).count());
    }

    // The check took the bound; once the server ends its answer the next tick checks the working page, and
    // neither the fetch's thread nor its handles nor its memory stay.
    void ExpectTheBoundThenTheNextTick(Clock::duration took) {
        std::printf("the check took %.1f s\n", std::chrono::duration<double>(took).count());
        EXPECT_GE(took, kBound - std::chrono::seconds(1));
        EXPECT_LT(took, kBound + kMargin);
        HttpGet(PageUrl(kSwitchOk));
        EXPECT_TRUE(EndsWith(Tick(), L" OK"));
        Probe probe(tool);
        std::map<std::wstring, HandleCount> handles = probe.HandlesOnceThreadsEnd();
        for (const wchar_t* kind : {L"internet", L"file"}) EXPECT_EQ(0u, handles[kind].open) << kind;
        EXPECT_LE(probe.PrivateBytes(), m_bytesBefore + (1 << 20));
    }

    size_t m_bytesBefore = 0;
};

// The box says what WinINet says of a receive that timed out.
TEST_F(EndlessPage, ABodyThatNeverEndsIsAReceiveThatTimedOutAtTheBound) {
    wchar_t timedOut[256] = {};
    FormatMessageW(FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_HMODULE, GetModuleHandleW(L"wininet.dll"),
                   ERROR_INTERNET_TIMEOUT, 0x800, timedOut, 256, nullptr);
    for (const wchar_t* endless : {kSwitchDripForever, kSwitchStreamForever}) {
        SCOPED_TRACE(testing::Message() << endless);
        ASSERT_NO_FATAL_FAILURE(MonitorAPageThatTurns(PageUrl(kSwitchPage), endless));
        const size_t lines = ReportLineCount(tool);
        const Clock::time_point start = Clock::now();
        Post(tool.MainWindow(), WM_TIMER, 1, 0);
        const auto box = tool.WaitForMessageBox(kBound + kMargin);
        ASSERT_TRUE(box.has_value());
        const Clock::time_point givenUp = Clock::now();
        Probe probe(tool);
        EXPECT_EQ(L"stop", probe.MessageBoxIcon());
        EXPECT_EQ(timedOut, box->text);
        PressOk(*box);
        probe.Sync();
        EXPECT_EQ(lines, ReportLineCount(tool)) << "no line for a check given up";
        ExpectTheFetchToEndByItself(givenUp);
        ExpectTheBoundThenTheNextTick(givenUp - start);
    }
}

// Through a forwarding page, whose frame's page is fetched within a bound of its own. The fetch stays inside
// WinINet's own call for as long as the server drips, where no time-out trips; the server's end ends it.
TEST_F(EndlessPage, HeadersThatNeverEndAreAnAddressThatCannotBeOpened) {
    Send(tool.Item(IDC_FORWARD), BM_SETCHECK, BST_CHECKED);
    ASSERT_NO_FATAL_FAILURE(MonitorAPageThatTurns(PageUrl(kFrameToSwitchPage), kSwitchHeadersForever));
    EXPECT_TRUE(EndsWith(Tick(kBound + kMargin), L" ERROR"));
    ExpectTheBoundThenTheNextTick(m_checkTime);
}

// A server that accepts, reads the request and never answers, as a hung server behind a kernel that still
// accepts, night long: every check ends by itself, and none leaves a thread, a socket or its stack behind.
class HungServer : public EndlessPage {};

TEST_F(HungServer, CheckAfterCheckEachEndsAndLeavesNothingBehind) {
    EXPECT_TRUE(EndsWith(Check(PageUrl(kPlainPage)), L" ERROR"));  // the session's first allocations, the alarm
    ASSERT_NO_FATAL_FAILURE(MonitorAPageThatTurns(PageUrl(kSwitchPage), kSwitchHang));
    Probe probe(tool);
    const LinuxResources before = probe.Linux();
    constexpr int kChecks = 5;
    for (int check = 1; check <= kChecks; ++check) {
        EXPECT_TRUE(EndsWith(Tick(kBound + kMargin), L" ERROR"));
        std::printf("hung check %d took %.1f s\n", check, std::chrono::duration<double>(m_checkTime).count());
        EXPECT_LT(m_checkTime, kBound + kMargin);
    }
    probe.HandlesOnceThreadsEnd();  // while the server still holds on
    const LinuxResources after = probe.Linux();
    std::printf(
        "the tool's process before and after %d hung checks: %zu and %zu threads, %zu and %zu file "
        "descriptors, %zu and %zu KiB of address space%s\n",
        kChecks, before.threads, after.threads, before.descriptors, after.descriptors, before.addressSpace >> 10,
        after.addressSpace >> 10, before.emulated ? " (qemu's, not judged)" : "");
    // Within one fetch: its thread, its socket with what Wine holds for it, its stack.
    EXPECT_LE(after.threads, before.threads + 1);
    EXPECT_LE(after.descriptors, before.descriptors + 6);
    if (!before.emulated) {
        EXPECT_LE(after.addressSpace, before.addressSpace + (3 << 20));
    }
    HttpGet(PageUrl(kSwitchOk));
    EXPECT_TRUE(EndsWith(Tick(), L" OK"));
}

// HTTPS, whose test authority the test prefix trusts.
class Https : public HostileServer {
protected:
    static void SetUpTestSuite() { TrustTheTestAuthority(); }
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
