// The monitoring cycle from outside: Start, ticks, the report, the alarm and recovery boxes, Stop.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "http_fetch.h"
#include "pages.h"
#include "probe_client.h"
#include "report_view.h"
#include "resource.h"
#include "tool_test.h"
#include "window_access.h"

namespace e2e {
namespace {

const wchar_t kFailed[] = L" 网站出现异常!";
const wchar_t kRecovered[] = L" 网站恢复正常!";

class CheckCycle : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        SetSite(true);
        tool.SetItemText(IDC_URL, PageUrl(kSwitchPage));
        tool.SetItemText(IDC_FLAG, kMarker);
        tool.SetItemText(IDC_INTERVAL, L"5");
    }

    void SetSite(bool healthy) { HttpGet(PageUrl(healthy ? kSwitchOk : kSwitchFail)); }

    std::vector<std::wstring> ReportLines() const { return e2e::ReportLines(tool); }
    bool WaitForLines(size_t count) { return WaitForReportLines(tool, count); }
    // Clicks Start and waits for its first check's line; a box the check opens stays open.
    void Start(size_t linesAfter) {
        tool.ClickItem(IDC_START);
        ASSERT_TRUE(WaitForLines(linesAfter)) << "report: " << tool.ItemText(IDC_REPORT);
    }
    void Tick(size_t linesAfter) {
        Post(tool.MainWindow(), WM_TIMER, 1, 0);
        ASSERT_TRUE(WaitForLines(linesAfter)) << "report: " << tool.ItemText(IDC_REPORT);
    }
    // The text of the box on top, after pressing its OK.
    std::wstring DismissBox() {
        const auto box = tool.WaitForMessageBox();
        if (!box) return L"(no box)";
        PressOk(*box);
        WaitFor([&] { return !IsWindow(box->window); });
        return box->text;
    }
    bool Shows(int id) const { return IsWindowVisible(tool.Item(id)) != FALSE; }
};

TEST_F(CheckCycle, FirstStartOnAWorkingPageWritesOneOkLineAndNoBox) {
    Start(1);
    Probe probe(tool);
    probe.Sync();
    EXPECT_TRUE(std::regex_match(ReportLines()[0], std::wregex(LR"(\d{4}-\d{2}-\d{2} \d{1,2}:\d{2}:\d{2} OK)")))
        << ReportLines()[0];
    EXPECT_FALSE(tool.FindMessageBox().has_value());
    EXPECT_TRUE(Shows(IDC_STOP));
    EXPECT_FALSE(Shows(IDC_START));
    EXPECT_EQ(tool.Item(IDC_STOP), tool.FocusWindow());
}

TEST_F(CheckCycle, FirstStartOnAFailingPageAlarmsBeforeTheButtonsSwap) {
    SetSite(false);
    Start(1);
    const auto box = tool.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_TRUE(EndsWith(box->text, kFailed)) << box->text;
    const std::wstring line = ReportLines()[0];
    EXPECT_EQ(line.substr(0, line.size() - std::wstring(L" ERROR").size()) + kFailed, box->text)
        << "the box begins with the line's time stamp";
    EXPECT_EQ(L"望站", box->title);
    Probe probe(tool);
    EXPECT_EQ(L"exclamation", probe.MessageBoxIcon());
    EXPECT_TRUE(Shows(IDC_START));
    EXPECT_FALSE(Shows(IDC_STOP));
    PressOk(*box);
    EXPECT_TRUE(WaitFor([&] { return Shows(IDC_STOP) && !Shows(IDC_START); }));
}

TEST_F(CheckCycle, OnlyAChangeOfResultRaisesABox) {
    Start(1);
    SetSite(false);
    Tick(2);
    EXPECT_TRUE(EndsWith(DismissBox(), kFailed));
    Tick(3);
    Probe probe(tool);
    probe.Sync();
    EXPECT_FALSE(tool.FindMessageBox().has_value());
    EXPECT_TRUE(EndsWith(ReportLines()[0], L" ERROR"));
    EXPECT_TRUE(EndsWith(ReportLines()[1], L" ERROR"));
    EXPECT_TRUE(EndsWith(ReportLines()[2], L" OK"));
}

TEST_F(CheckCycle, EveryChangeRaisesItsBox) {
    SetSite(false);
    Start(1);
    EXPECT_TRUE(EndsWith(DismissBox(), kFailed));
    SetSite(true);
    Tick(2);
    EXPECT_TRUE(EndsWith(DismissBox(), kRecovered));
    SetSite(false);
    Tick(3);
    EXPECT_TRUE(EndsWith(DismissBox(), kFailed));
}

TEST_F(CheckCycle, StopAndStartKeepTheReportAndTheLastResult) {
    SetSite(false);
    Start(1);
    DismissBox();
    tool.ClickItem(IDC_STOP);
    EXPECT_TRUE(WaitFor([&] { return Shows(IDC_START) && !Shows(IDC_STOP); }));
    Start(2);
    Probe probe(tool);
    probe.Sync();
    EXPECT_FALSE(tool.FindMessageBox().has_value()) << "still failing: no new alarm";
    tool.ClickItem(IDC_STOP);
    SetSite(true);
    Start(3);
    EXPECT_TRUE(EndsWith(DismissBox(), kRecovered));
    const std::vector<std::wstring> lines = ReportLines();
    EXPECT_TRUE(EndsWith(lines[0], L" OK"));
    EXPECT_TRUE(EndsWith(lines[1], L" ERROR"));
    EXPECT_TRUE(EndsWith(lines[2], L" ERROR"));
    for (const std::wstring& line : lines) {
        EXPECT_TRUE(std::regex_match(line, std::wregex(LR"(\d{4}-\d{2}-\d{2} \d{1,2}:\d{2}:\d{2} (OK|ERROR))")))
            << line;
    }
}

TEST_F(CheckCycle, TicksGoOnUnderAnOpenBoxAndAFurtherChangeStacksASecond) {
    Start(1);
    SetSite(false);
    Tick(2);
    ASSERT_TRUE(tool.WaitForMessageBox().has_value());
    Tick(3);
    Tick(4);
    EXPECT_EQ(1u, tool.MessageBoxes().size());
    SetSite(true);
    Tick(5);
    ASSERT_TRUE(WaitFor([&] { return tool.MessageBoxes().size() == 2; }));
    EXPECT_TRUE(EndsWith(DismissBox(), kRecovered));
    EXPECT_TRUE(EndsWith(DismissBox(), kFailed));
}

TEST_F(CheckCycle, AnEditedMarkerWaitsForStartWhileForwardingCountsAtOnce) {
    Start(1);
    tool.SetItemText(IDC_FLAG, L"找不到的标志");
    Tick(2);
    EXPECT_TRUE(EndsWith(ReportLines()[0], L" OK"));
    Send(tool.Item(IDC_FORWARD), BM_SETCHECK, BST_CHECKED, 0);
    Post(tool.MainWindow(), WM_TIMER, 1, 0);
    EXPECT_EQ(L"未能找到真实网址！", DismissBox());
    ASSERT_TRUE(WaitForLines(3));
    EXPECT_TRUE(EndsWith(ReportLines()[0], L" ERROR"));
    EXPECT_TRUE(EndsWith(DismissBox(), kFailed));
}

TEST_F(CheckCycle, ABrokenTransferShowsTheStopBoxWritesNoLineAndTheNextTickChecksAgain) {
    tool.SetItemText(IDC_URL, PageUrl(kBrokenPage));
    tool.ClickItem(IDC_START);
    Probe probe(tool);
    for (int check = 0; check < 2; ++check) {
        const auto box = tool.WaitForMessageBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(L"stop", probe.MessageBoxIcon());
        EXPECT_EQ(L"望站", box->title);
        PressOk(*box);
        probe.Sync();
        EXPECT_TRUE(ReportLines().empty());
        EXPECT_TRUE(Shows(IDC_STOP)) << "Start goes on after the failed first check";
        Post(tool.MainWindow(), WM_TIMER, 1, 0);
    }
}

// A log that another program keeps open for writing is a page like any other.
TEST_F(CheckCycle, ALocalPageHeldOpenForWritingIsStillRead) {
    const std::filesystem::path path = tool.WorkingDirectory() / L"log.html";
    UniqueHandle writer(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, writer.get());
    const std::string marker = ToGbk(kMarker);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer.get(), marker.data(), static_cast<DWORD>(marker.size()), &written, nullptr));
    std::wstring url = L"file:///" + path.wstring();
    for (wchar_t& c : url) c = c == L'\\' ? L'/' : c;
    tool.SetItemText(IDC_URL, url);
    Start(1);
    EXPECT_TRUE(EndsWith(ReportLines()[0], L" OK")) << ReportLines()[0];
    Probe probe(tool);
    probe.Sync();
    EXPECT_FALSE(tool.FindMessageBox().has_value());
}

TEST_F(CheckCycle, AnIntervalThatIsNoNumberFallsBackToTheLastValidOne) {
    Send(tool.Item(IDC_SPIN), UDM_SETPOS32, 0, 42);
    tool.SetItemText(IDC_INTERVAL, L"abc");
    Start(1);
    EXPECT_EQ(L"42", tool.ItemText(IDC_INTERVAL));
}

}  // namespace
}  // namespace e2e
