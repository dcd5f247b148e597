// The notification area from outside: closing hides the window behind one icon, showing and exiting, taskbar restarts.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

#include "http_fetch.h"
#include "pages.h"
#include "probe_client.h"
#include "report_view.h"
#include "resource.h"
#include "tool_test.h"
#include "window_access.h"
#include "wine_tray.h"

namespace e2e {
namespace {

constexpr auto kExitTimeout = 2s;

class Tray : public ToolTest {
protected:
    // Wine's shell makes its notification area only once a session's first icon comes, and a slow start
    // (a loaded machine) leaves the area missing for longer than the tool's add tries: closing then only
    // minimises. Each case begins once the area takes an icon.
    void SetUp() override {
        ToolTest::SetUp();
        Probe probe(tool);
        constexpr UINT kReadinessIcon = 999;
        ASSERT_TRUE(WaitFor([&] { return probe.AddTrayIcon(kReadinessIcon); }))
            << "the notification area takes no icon";
        ASSERT_TRUE(probe.DeleteTrayIcon(kReadinessIcon));
    }
    HWND Main() const { return tool.MainWindow(); }
    bool Shown() const { return IsWindowVisible(Main()) != FALSE; }
    // As the close box does it.
    void CloseToTray() {
        Post(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(WaitFor([&] { return !Shown(); }))
            << (IsIconic(Main()) ? "the window is minimised: the shell took no icon" : "the window stays shown");
    }
    bool WaitForIcons(size_t count) {
        return WaitFor([&] { return WineTrayIcons().size() == count; });
    }
    // Monitoring the switch page while it serves the marker, then closed to the tray: one OK line.
    void MonitorTheSwitchFromTheTray() {
        HttpGet(PageUrl(kSwitchOk));
        tool.SetItemText(IDC_URL, PageUrl(kSwitchPage));
        tool.SetItemText(IDC_FLAG, kMarker);
        tool.ClickItem(IDC_START);
        ASSERT_TRUE(WaitForReportLines(tool, 1));
        CloseToTray();
    }
    void Tick(size_t linesAfter) {
        Post(Main(), WM_TIMER, 1, 0);
        ASSERT_TRUE(WaitForReportLines(tool, linesAfter)) << tool.ItemText(IDC_REPORT);
    }
};

TEST_F(Tray, CloseHidesTheWindowBehindOneIconAndTheToolRunsOn) {
    Probe probe(tool);
    EXPECT_FALSE(probe.TrayIconShown(IDR_TRAYMENU));
    CloseToTray();
    EXPECT_TRUE(probe.TrayIconShown(IDR_TRAYMENU));
    EXPECT_TRUE(WaitForIcons(1));
    EXPECT_TRUE(tool.IsRunning());
    EXPECT_TRUE(IsWindow(Main()));
}

TEST_F(Tray, ChecksReportLinesAndAlarmsGoOnWhileHidden) {
    ASSERT_NO_FATAL_FAILURE(MonitorTheSwitchFromTheTray());
    Tick(2);
    HttpGet(PageUrl(kSwitchFail));
    Tick(3);
    const auto box = tool.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(L"望站", box->title);
    EXPECT_FALSE(Shown());
    PressOk(*box);
}

TEST_F(Tray, ShowCommandAndDoubleClickBringTheWindowBackWithoutItsIcon) {
    Probe probe(tool);
    const struct {
        const char* name;
        std::function<void()> show;
    } ways[] = {
        {"the menu's show command", [&] { Post(Main(), WM_COMMAND, ID_TRAY_SHOW, 0); }},
        {"a double click on the icon", [&] { DoubleClickTrayIcon(WineTrayIcons().front()); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        CloseToTray();
        ASSERT_TRUE(WaitForIcons(1));
        way.show();
        EXPECT_TRUE(WaitFor([&] { return Shown(); }));
        EXPECT_FALSE(probe.TrayIconShown(IDR_TRAYMENU));
        EXPECT_TRUE(WaitForIcons(0));
    }
}

TEST_F(Tray, ClosingAgainWhileHiddenKeepsOneIcon) {
    Probe probe(tool);
    CloseToTray();
    Post(Main(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(probe.Sync());
    EXPECT_TRUE(probe.TrayIconShown(IDR_TRAYMENU));
    EXPECT_EQ(1u, WineTrayIcons().size());
    EXPECT_FALSE(Shown());
    Post(Main(), WM_COMMAND, ID_TRAY_SHOW, 0);
    EXPECT_FALSE(probe.TrayIconShown(IDR_TRAYMENU)) << "the icon of the first close is left behind";
    EXPECT_TRUE(WaitForIcons(0));
}

TEST_F(Tray, ExitCommandTakesTheIconAwayAndEndsTheToolWritingNothing) {
    Probe probe(tool);
    CloseToTray();
    Post(Main(), WM_COMMAND, ID_TRAY_EXIT, 0);
    EXPECT_FALSE(probe.TrayIconShown(IDR_TRAYMENU)) << "asked before the quit message is handled";
    EXPECT_TRUE(tool.WaitForExit(kExitTimeout));
    EXPECT_FALSE(std::filesystem::exists(tool.WorkingDirectory() / "sitecheck.ini"));
}

TEST_F(Tray, ARestartedTaskbarGetsTheIconBackOnlyWhileHidden) {
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    Probe probe(tool);
    CloseToTray();
    ASSERT_TRUE(probe.DeleteTrayIcon(IDR_TRAYMENU));  // lost with the old taskbar
    Send(Main(), taskbarCreated);
    EXPECT_TRUE(probe.TrayIconShown(IDR_TRAYMENU));
    Send(Main(), taskbarCreated);  // a taskbar that kept it
    EXPECT_TRUE(probe.TrayIconShown(IDR_TRAYMENU));
    EXPECT_TRUE(WaitForIcons(1));
    EXPECT_FALSE(Shown());
    Post(Main(), WM_COMMAND, ID_TRAY_SHOW, 0);
    ASSERT_TRUE(WaitFor([&] { return Shown(); }));
    Send(Main(), taskbarCreated);
    EXPECT_FALSE(probe.TrayIconShown(IDR_TRAYMENU));
    EXPECT_TRUE(Shown());
}

// A shell busy for a moment refuses the first add; the next try is taken. (An icon the shell holds already
// is taken over by the tray icon itself, checked in its own test.)
TEST_F(Tray, AnAddRefusedOnceStillHidesBehindOneIcon) {
    Probe probe(tool);
    ASSERT_TRUE(probe.RefuseTrayAdds(1));
    CloseToTray();
    EXPECT_FALSE(IsIconic(Main()));
    EXPECT_TRUE(probe.TrayIconShown(IDR_TRAYMENU));
    EXPECT_TRUE(WaitForIcons(1));
    Post(Main(), WM_COMMAND, ID_TRAY_SHOW, 0);
    ASSERT_TRUE(WaitFor([&] { return Shown(); }));
    EXPECT_TRUE(WaitForIcons(0)) << "an icon is left behind";
}

// Hidden without an icon, the window could never be brought back.
TEST_F(Tray, CloseWithoutAnIconMinimisesInsteadOfHiding) {
    Probe probe(tool);
    ASSERT_TRUE(probe.RefuseTrayAdds(probe::kEveryTrayAdd));
    Post(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitFor([&] { return IsIconic(Main()) != FALSE; }));
    EXPECT_TRUE(Shown());
    EXPECT_FALSE(probe.TrayIconShown(IDR_TRAYMENU));
    EXPECT_TRUE(WineTrayIcons().empty());
    EXPECT_TRUE(tool.IsRunning());
}

// Nobody at the desk sees a box behind other windows: every box of the check cycle comes to the front.
// (Wine shows no WS_EX_TOPMOST for MB_TOPMOST, so the foreground is what can be seen here.)
TEST_F(Tray, TheNoFrameBoxAndTheErrorBoxComeToTheForegroundWhileHidden) {
    ASSERT_NO_FATAL_FAILURE(MonitorTheSwitchFromTheTray());
    Probe probe(tool);
    // The box's icon and text, once it has been seen in front and closed.
    const auto inFront = [&]() -> std::wstring {
        const auto box = tool.WaitForMessageBox();
        if (!box) return L"(no box)";
        const std::wstring seen = probe.MessageBoxIcon() + L": " + box->text;
        EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == box->window; })) << "foreground";
        PressOk(*box);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(box->window); }));
        return seen;
    };
    Send(tool.Item(IDC_FORWARD), BM_SETCHECK, BST_CHECKED, 0);
    Post(Main(), WM_TIMER, 1, 0);
    EXPECT_EQ(L"exclamation: 未能找到真实网址！", inFront());
    EXPECT_TRUE(EndsWith(inFront(), L" 网站出现异常!")) << "the alarm, in front as before";
    Send(tool.Item(IDC_FORWARD), BM_SETCHECK, BST_UNCHECKED, 0);
    HttpGet(PageUrl(kSwitchBroken));
    Post(Main(), WM_TIMER, 1, 0);
    EXPECT_EQ(0u, inFront().rfind(L"stop: ", 0)) << "the error box of the broken check";
}

}  // namespace
}  // namespace e2e
