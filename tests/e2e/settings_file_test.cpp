// The settings file from outside: defaults without it, the bytes Start writes, reading them back.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <optional>
#include <string>

#include "http_fetch.h"
#include "pages.h"
#include "resource.h"
#include "tool_test.h"
#include "window_access.h"

namespace e2e {
namespace {

const wchar_t kDamaged[] = L"配置文件已损坏!";
const char kOldFile[] = "URL=http://127.0.0.1:1/old;NoDire=0;Flag=old;CheckTime=7;";

class SettingsFile : public ToolTest {
protected:
    bool Checked(const ToolProcess& run, int id) const { return Send(run.Item(id), BM_GETCHECK) == BST_CHECKED; }
    void FillAndStart(bool forward, const std::wstring& interval) {
        tool.SetItemText(IDC_URL, PageUrl(kMarkerPage));
        tool.SetItemText(IDC_FLAG, kMarker);
        Send(tool.Item(IDC_FORWARD), BM_SETCHECK, forward ? BST_CHECKED : BST_UNCHECKED);
        tool.SetItemText(IDC_INTERVAL, interval);
        tool.ClickItem(IDC_START);
    }
};

TEST_F(SettingsFile, NoFileGivesTheDefaultsWithoutABox) {
    EXPECT_EQ(L"http://", tool.ItemText(IDC_URL));
    EXPECT_EQ(L"5", tool.ItemText(IDC_INTERVAL));
    EXPECT_EQ(L"", tool.ItemText(IDC_FLAG));
    EXPECT_FALSE(Checked(tool, IDC_FORWARD));
    EXPECT_FALSE(tool.FindMessageBox().has_value());
}

TEST_F(SettingsFile, StartWritesTheFourEntriesAndTheNextStartUpReadsThemBack) {
    FillAndStart(false, L"105");
    ASSERT_TRUE(WaitFor([&] { return tool.SettingsFile().has_value() && !tool.SettingsFile()->empty(); }));
    const std::string written = *tool.SettingsFile();
    EXPECT_EQ("URL=" + ToGbk(PageUrl(kMarkerPage)) + ";NoDire=0;Flag=" + ToGbk(kMarker) + ";CheckTime=105;", written);
    EXPECT_EQ(';', written.back());

    ToolProcess next(written);
    ASSERT_NE(nullptr, next.MainWindow());
    EXPECT_EQ(PageUrl(kMarkerPage), next.ItemText(IDC_URL));
    EXPECT_EQ(kMarker, next.ItemText(IDC_FLAG));
    EXPECT_EQ(L"105", next.ItemText(IDC_INTERVAL));
    EXPECT_FALSE(Checked(next, IDC_FORWARD));
    EXPECT_FALSE(next.FindMessageBox().has_value());
}

TEST_F(SettingsFile, TheForwardingBoxIsStoredAsItStandsWhenWritten) {
    FillAndStart(true, L"5");
    EXPECT_EQ(L"未能找到真实网址！", tool.WaitForMessageBox().value_or(MessageBoxView{}).text);
    PressOk(*tool.FindMessageBox());
    PressOk(tool.WaitForMessageBox().value_or(MessageBoxView{}));  // and then the alarm
    ASSERT_TRUE(WaitFor([&] { return tool.SettingsFile().has_value(); }));
    EXPECT_NE(std::string::npos, tool.SettingsFile()->find(";NoDire=1;"));
    ToolProcess next(tool.SettingsFile());
    ASSERT_NE(nullptr, next.MainWindow());
    EXPECT_TRUE(Checked(next, IDC_FORWARD));
}

TEST(SettingsFileAtStartUp, ADamagedFileIsReportedAndTheDefaultsShow) {
    ToolProcess tool("URL=short;");
    const auto box = tool.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(kDamaged, box->text);
    EXPECT_EQ(L"望站", box->title);
    PressOk(*box);
    ASSERT_NE(nullptr, tool.WaitForMainWindow());
    EXPECT_EQ(L"http://", tool.ItemText(IDC_URL));
    EXPECT_EQ(L"5", tool.ItemText(IDC_INTERVAL));
}

TEST(SettingsFileAtStartUp, AnIntervalTooLongIsReportedAfterTheOtherValues) {
    ToolProcess tool(std::string("URL=http://a.cn/;NoDire=1;Flag=ok;CheckTime=1234;"));
    const auto box = tool.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(kDamaged, box->text);
    PressOk(*box);
    ASSERT_NE(nullptr, tool.WaitForMainWindow());
    EXPECT_EQ(L"http://a.cn/", tool.ItemText(IDC_URL));
    EXPECT_EQ(L"ok", tool.ItemText(IDC_FLAG));
    EXPECT_EQ(BST_CHECKED, Send(tool.Item(IDC_FORWARD), BM_GETCHECK));
    EXPECT_EQ(L"", tool.ItemText(IDC_INTERVAL)) << "the interval is left unset";
}

TEST(SettingsFileAtStartUp, LeavingWithEscWritesNothing) {
    ToolProcess tool(std::string{kOldFile});
    ASSERT_NE(nullptr, tool.MainWindow());
    tool.SetItemText(IDC_URL, L"http://changed/");
    tool.FocusItem(IDC_URL);
    tool.PressKey(VK_ESCAPE);
    EXPECT_TRUE(tool.WaitForExit(std::chrono::seconds(2)));
    EXPECT_EQ(kOldFile, tool.SettingsFile().value_or(""));
}

}  // namespace
}  // namespace e2e
