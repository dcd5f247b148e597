// The main window as the tool opens it: caption, controls, focus, the interval's range, the system menu, leaving.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "probe_client.h"
#include "resource.h"
#include "tool_test.h"
#include "window_access.h"

namespace e2e {
namespace {

// Leaving is immediate: no question, no saving, the process simply ends.
constexpr auto kExitTimeout = 2s;

class MainWindow : public ToolTest {};

TEST_F(MainWindow, IsAFixedSizeDialogWithTheNameAndVersionInItsCaption) {
    HWND window = tool.MainWindow();
    EXPECT_EQ(L"#32770", ClassName(window));
    EXPECT_EQ(L"望站 Ver1.10", WindowText(window));
    const LONG style = Style(window);
    EXPECT_EQ(static_cast<LONG>(WS_POPUP), style & WS_POPUP);
    EXPECT_EQ(static_cast<LONG>(WS_CAPTION), style & WS_CAPTION);
    EXPECT_EQ(static_cast<LONG>(WS_SYSMENU), style & WS_SYSMENU);
    EXPECT_EQ(static_cast<LONG>(WS_MINIMIZEBOX), style & WS_MINIMIZEBOX);
    EXPECT_EQ(0, style & WS_MAXIMIZEBOX);
    EXPECT_EQ(0, style & WS_THICKFRAME);
    EXPECT_EQ(static_cast<LONG>(WS_EX_APPWINDOW), ExStyle(window) & WS_EX_APPWINDOW);
}

TEST_F(MainWindow, KeyControlsHaveTheTemplatesStyles) {
    const LONG report = Style(tool.Item(IDC_REPORT));
    const LONG reportBits = ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL;
    EXPECT_EQ(reportBits, report & reportBits);
    EXPECT_EQ(ES_RIGHT, Style(tool.Item(IDC_INTERVAL)) & (ES_LEFT | ES_CENTER | ES_RIGHT));
    const LONG upDownBits = UDS_WRAP | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ALIGNLEFT | UDS_AUTOBUDDY |
                            UDS_ARROWKEYS | UDS_HORZ | UDS_NOTHOUSANDS | UDS_HOTTRACK;
    EXPECT_EQ(UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
              Style(tool.Item(IDC_SPIN)) & upDownBits);
    EXPECT_EQ(reinterpret_cast<LRESULT>(tool.Item(IDC_INTERVAL)), Send(tool.Item(IDC_SPIN), UDM_GETBUDDY));
    EXPECT_EQ(BS_AUTOCHECKBOX, Style(tool.Item(IDC_FORWARD)) & BS_TYPEMASK);
    EXPECT_EQ(ES_AUTOHSCROLL, Style(tool.Item(IDC_URL)) & ES_AUTOHSCROLL);
}

TEST_F(MainWindow, OpensWithStartShownStopHiddenAndTheFocusOnStart) {
    EXPECT_TRUE(IsWindowVisible(tool.Item(IDC_START)));
    EXPECT_FALSE(IsWindowVisible(tool.Item(IDC_STOP)));
    EXPECT_EQ(IDC_START, GetDlgCtrlID(tool.FocusWindow()));
}

TEST_F(MainWindow, IntervalRangesFromOneToSixHundredMinutes) {
    const LRESULT range = Send(tool.Item(IDC_SPIN), UDM_GETRANGE);
    EXPECT_EQ(1, HIWORD(range));
    EXPECT_EQ(600, LOWORD(range));
}

TEST_F(MainWindow, ArrowKeysStopAtTheEndsOfTheIntervalWithoutWrapping) {
    Probe probe(tool);
    HWND spin = tool.Item(IDC_SPIN);
    tool.FocusItem(IDC_INTERVAL);
    const struct {
        int start;
        WORD key;
        const wchar_t* afterEachPress[3];
    } cases[] = {
        {598, VK_UP, {L"599", L"600", L"600"}},
        {3, VK_DOWN, {L"2", L"1", L"1"}},
    };
    for (const auto& c : cases) {
        Send(spin, UDM_SETPOS32, 0, c.start);
        for (const wchar_t* expected : c.afterEachPress) {
            tool.PressKey(c.key);
            ASSERT_TRUE(probe.Sync());
            EXPECT_EQ(expected, tool.ItemText(IDC_INTERVAL)) << "from " << c.start;
        }
    }
}

TEST_F(MainWindow, SystemMenuEndsWithASeparatorAndTheAboutItem) {
    Probe probe(tool);
    const std::vector<MenuItem> items = probe.SystemMenu();
    ASSERT_GE(items.size(), 2u);
    const MenuItem& separator = items[items.size() - 2];
    const MenuItem& about = items.back();
    EXPECT_TRUE(separator.separator);
    EXPECT_FALSE(about.separator);
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), about.id);
    EXPECT_EQ(L"关于 望站(&A)...", about.text);
    const auto isClose = [](const MenuItem& item) { return item.id == SC_CLOSE; };
    EXPECT_EQ(1, std::count_if(items.begin(), items.end(), isClose)) << "the system's own items stay";
}

// The title bar and the taskbar draw the small icon: one of the system's small size, not the big one shrunk.
TEST_F(MainWindow, HasItsIconsAtTheSystemsLargeAndSmallSizes) {
    Probe probe(tool);
    const auto size = [](int width, int height) {
        return std::to_wstring(GetSystemMetrics(width)) + L"x" + std::to_wstring(GetSystemMetrics(height));
    };
    EXPECT_EQ(size(SM_CXICON, SM_CYICON) + L"\t" + size(SM_CXSMICON, SM_CYSMICON), probe.WindowIcons());
}

TEST_F(MainWindow, EscEndsTheProcessAtOnceWithoutWritingSettings) {
    tool.PressKey(VK_ESCAPE);
    EXPECT_TRUE(tool.WaitForExit(kExitTimeout));
    EXPECT_FALSE(std::filesystem::exists(tool.WorkingDirectory() / "sitecheck.ini"));
}

TEST_F(MainWindow, ExitButtonEndsTheProcessAtOnceWithoutWritingSettings) {
    EXPECT_EQ(L"退出程序", tool.ItemText(IDCANCEL));
    tool.ClickItem(IDCANCEL);
    EXPECT_TRUE(tool.WaitForExit(kExitTimeout));
    EXPECT_FALSE(std::filesystem::exists(tool.WorkingDirectory() / "sitecheck.ini"));
}

}  // namespace
}  // namespace e2e
