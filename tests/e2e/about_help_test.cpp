// The About box, the Help button and the links from outside: what they open, and that monitoring goes on.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "e2e_config.h"
#include "pages.h"
#include "probe_client.h"
#include "report_view.h"
#include "resource.h"
#include "tool_test.h"
#include "version.h"
#include "window_access.h"

namespace e2e {
namespace {

constexpr wchar_t kAboutCaption[] = L"关于 望站";

// Monitoring a working page, with the About box found among the tool's windows.
class ShellServices : public ToolTest {
protected:
    void StartMonitoring() {
        tool.SetItemText(IDC_URL, PageUrl(kMarkerPage));
        tool.SetItemText(IDC_FLAG, kMarker);
        tool.SetItemText(IDC_INTERVAL, L"5");
        tool.ClickItem(IDC_START);
        ASSERT_TRUE(WaitForReportLines(tool, 1)) << "report: " << tool.ItemText(IDC_REPORT);
    }
    HWND FindAboutBox() const {
        for (HWND window : TopLevelWindowsOf(tool.ProcessId())) {
            if (ClassName(window) == L"#32770" && IsWindowVisible(window) &&
                TryWindowText(window) == std::wstring(kAboutCaption)) {
                return window;
            }
        }
        return nullptr;
    }
    HWND OpenAboutBox(WPARAM command = IDM_ABOUTBOX) const {
        Post(tool.MainWindow(), WM_SYSCOMMAND, command, 0);
        HWND box = nullptr;
        WaitFor([&] { return (box = FindAboutBox()) != nullptr; });
        return box;
    }
    void CloseAboutBox(HWND box) const {
        Click(GetDlgItem(box, IDOK));
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    }
    std::vector<std::wstring> ChildTexts(HWND window) const {
        std::vector<std::wstring> texts;
        for (HWND child : ChildWindows(window)) texts.push_back(WindowText(child));
        return texts;
    }
};

class AboutBox : public ShellServices {};

TEST_F(AboutBox, SystemCommandsSixteenAndThirtyOneOpenItOverTheDisabledMainWindow) {
    for (WPARAM command : {0x10, 0x1F}) {
        SCOPED_TRACE(testing::Message() << "system command " << command);
        HWND box = OpenAboutBox(command);
        ASSERT_NE(nullptr, box) << tool.DescribeWindows();
        EXPECT_EQ(tool.MainWindow(), GetWindow(box, GW_OWNER));
        EXPECT_FALSE(IsWindowEnabled(tool.MainWindow()));
        const std::vector<std::wstring> texts = ChildTexts(box);
        for (const std::wstring& text : {std::wstring(L"望站 1.10版"), std::wstring(L"" WZ_COPYRIGHT),
                                         std::wstring(L"" WZ_ABOUT_LINK_TEXT), std::wstring(L"" WZ_CREDITS)}) {
            EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), text)) << "no text " << text;
        }
        EXPECT_EQ(GetDlgItem(box, IDOK), tool.FocusWindow());
        CloseAboutBox(box);
        EXPECT_TRUE(IsWindowEnabled(tool.MainWindow()));
    }
}

TEST_F(AboutBox, OtherSystemCommandsKeepTheirDefaultCloseIncluded) {
    Probe probe(tool);
    for (WPARAM command : {0x0F, 0x20}) Post(tool.MainWindow(), WM_SYSCOMMAND, command, 0);
    ASSERT_TRUE(probe.Sync());
    EXPECT_EQ(nullptr, FindAboutBox());
    EXPECT_TRUE(IsWindowVisible(tool.MainWindow()));
    // Close goes on to WM_CLOSE, which ends the dialog or, with the tray, hides the window.
    Post(tool.MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitFor([&] { return !tool.IsRunning() || !IsWindowVisible(tool.MainWindow()); }));
    EXPECT_EQ(nullptr, FindAboutBox());
}

TEST_F(AboutBox, ATickWhileItIsOpenStillAddsItsLine) {
    StartMonitoring();
    HWND box = OpenAboutBox();
    ASSERT_NE(nullptr, box);
    Post(tool.MainWindow(), WM_TIMER, 1, 0);
    EXPECT_TRUE(WaitForReportLines(tool, 2)) << "report: " << tool.ItemText(IDC_REPORT);
    EXPECT_TRUE(IsWindowVisible(box));
    CloseAboutBox(box);
    EXPECT_TRUE(IsWindowVisible(tool.Item(IDC_STOP))) << "monitoring goes on";
}

class HelpButton : public ShellServices {};

TEST_F(HelpButton, AsksTheShellToOpenTheHelpFileInTheWorkingDirectoryWhileMonitoringGoesOn) {
    ASSERT_FALSE(Config().helpFile.empty()) << "the runner names the built help file with --help-file";
    const std::filesystem::path helpFile = tool.WorkingDirectory() / L"help.chm";
    std::filesystem::copy_file(Config().helpFile, helpFile);
    Probe probe(tool);
    ASSERT_TRUE(probe.WatchShell());
    StartMonitoring();

    tool.ClickItem(IDC_HELPBTN);
    tool.ClickItem(IDC_HELPBTN);
    ASSERT_TRUE(probe.Sync());
    const std::vector<ShellCall> calls = probe.ShellCalls();
    ASSERT_EQ(2u, calls.size()) << "Help opens the file at every press";
    for (const ShellCall& call : calls) {
        EXPECT_EQ(L"open", call.verb);
        EXPECT_EQ(L"help.chm", call.file);
        EXPECT_FALSE(call.withParameters);
        EXPECT_FALSE(call.withDirectory);
        EXPECT_EQ(SW_SHOWNORMAL, call.show);
    }
    EXPECT_TRUE(std::filesystem::equivalent(tool.WorkingDirectory(), probe.CurrentDirectory()))
        << "the relative name is found beside the settings file";

    EXPECT_FALSE(tool.FindMessageBox().has_value());
    EXPECT_TRUE(IsWindowVisible(tool.Item(IDC_STOP)));
    Post(tool.MainWindow(), WM_TIMER, 1, 0);
    EXPECT_TRUE(WaitForReportLines(tool, 2)) << "report: " << tool.ItemText(IDC_REPORT);
}

TEST_F(HelpButton, WithoutTheHelpFileShowsNothing) {
    Probe probe(tool);
    tool.ClickItem(IDC_HELPBTN);
    ASSERT_TRUE(probe.Sync());
    EXPECT_FALSE(tool.FindMessageBox().has_value()) << tool.DescribeWindows();
    EXPECT_TRUE(IsWindowEnabled(tool.MainWindow()));
    EXPECT_TRUE(tool.IsRunning());
}

class Links : public ShellServices {};

TEST_F(Links, TheMainWindowsAndTheAboutBoxsLinksOpenTheHomePage) {
    EXPECT_EQ(L"" WZ_HOME_LINK_TEXT, tool.ItemText(IDC_HOMELINK));
    Probe probe(tool);
    ASSERT_TRUE(probe.WatchShell());
    Post(tool.Item(IDC_HOMELINK), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    HWND box = OpenAboutBox();
    ASSERT_NE(nullptr, box);
    Post(GetDlgItem(box, IDC_ABOUTLINK), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ASSERT_TRUE(probe.Sync());
    const std::vector<ShellCall> calls = probe.ShellCalls();
    ASSERT_EQ(2u, calls.size());
    for (const ShellCall& call : calls) {
        EXPECT_EQ(L"open", call.verb);
        EXPECT_EQ(L"" WZ_HOME_PAGE, call.file);
    }
    CloseAboutBox(box);
}

}  // namespace
}  // namespace e2e
