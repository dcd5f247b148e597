// The tool started in a folder that also holds DLLs named like system ones, as an attacker could leave them in
// a Downloads folder: run only by the planted-DLL test, whose script plants them and reads their log.
#include <windows.h>
#include <gtest/gtest.h>

#include "http_fetch.h"
#include "pages.h"
#include "report_view.h"
#include "resource.h"
#include "tool_process.h"
#include "window_access.h"

namespace e2e {
namespace {

// Start, a check that reads OK, one that reads ERROR with its alarm, the About box and Help: what loads a
// DLL for the tool.
TEST(PlantedDlls, TheToolGoesThroughItsPaces) {
    ToolProcess tool(std::nullopt, RunIn::ToolFolder);
    ASSERT_NE(nullptr, tool.MainWindow()) << tool.DescribeWindows();
    HttpGet(PageUrl(kSwitchOk));
    tool.SetItemText(IDC_URL, PageUrl(kSwitchPage));
    tool.SetItemText(IDC_FLAG, kMarker);
    tool.SetItemText(IDC_INTERVAL, L"600");
    tool.ClickItem(IDC_START);
    ASSERT_TRUE(WaitForReportLines(tool, 1)) << tool.DescribeWindows();
    EXPECT_TRUE(EndsWith(ReportLines(tool)[0], L" OK"));

    HttpGet(PageUrl(kSwitchFail));
    Post(tool.MainWindow(), WM_TIMER, 1, 0);
    ASSERT_TRUE(WaitForReportLines(tool, 2));
    EXPECT_TRUE(EndsWith(ReportLines(tool)[0], L" ERROR"));
    const auto alarm = tool.WaitForMessageBox();
    ASSERT_TRUE(alarm.has_value()) << tool.DescribeWindows();
    PressOk(*alarm);

    Post(tool.MainWindow(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(about = FindWindowW(L"#32770", L"关于 望站")); }))
        << tool.DescribeWindows();
    Click(GetDlgItem(about, IDOK));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); }));

    tool.ClickItem(IDC_HELPBTN);       // no help file in the folder: the shell looks for one and opens nothing
    Send(tool.MainWindow(), WM_NULL);  // taken once the click has been handled
    EXPECT_TRUE(tool.IsRunning());
    EXPECT_FALSE(tool.FindMessageBox().has_value()) << tool.DescribeWindows();
}

}  // namespace
}  // namespace e2e
