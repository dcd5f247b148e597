// The harness itself under this Wine (suites Harness*, checks of no behaviour of the tool): message boxes,
// the probe, the code page and the page server.
#include <map>
#include <string>

#include "http_fetch.h"
#include "pages.h"
#include "probe_client.h"
#include "resource.h"
#include "tool_test.h"
#include "window_access.h"

namespace e2e {
namespace {

class Harness : public ToolTest {};

TEST_F(Harness, ReadsTheIconAndTextOfAToolsMessageBoxAndPressesOk) {
    Probe probe(tool);
    const struct {
        UINT flag;
        const wchar_t* icon;
    } cases[] = {{MB_ICONHAND, L"stop"}, {MB_ICONEXCLAMATION, L"exclamation"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "icon " << c.icon);
        EXPECT_EQ(L"none", probe.MessageBoxIcon());
        probe.OpenMessageBox(c.flag);
        const auto box = tool.WaitForMessageBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(probe::kBoxTitle, box->title);
        EXPECT_EQ(probe::kBoxText, box->text);
        EXPECT_EQ(c.icon, probe.MessageBoxIcon());
        PressOk(*box);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(box->window); }));
        EXPECT_FALSE(tool.FindMessageBox().has_value());
        EXPECT_TRUE(tool.IsRunning());
    }
}

TEST_F(Harness, WritesAndReadsBackChineseTextOfTheToolsEdits) {
    tool.SetItemText(IDC_URL, PageUrl(kMarkerPage));
    tool.SetItemText(IDC_FLAG, kMarker);
    EXPECT_EQ(PageUrl(kMarkerPage), tool.ItemText(IDC_URL));
    EXPECT_EQ(kMarker, tool.ItemText(IDC_FLAG));
}

// The runs under two LANGs are only worth it if Wine gives the tool a different ANSI code page for each.
TEST_F(Harness, ToolsAnsiCodePageFollowsLang) {
    wchar_t lang[64] = {};
    GetEnvironmentVariableW(L"LANG", lang, 64);
    const std::wstring language(lang);
    UINT expected = 0;
    if (language.rfind(L"zh_CN", 0) == 0) expected = 936;
    if (language == L"C" || language.rfind(L"C.", 0) == 0) expected = 1252;
    if (expected == 0) GTEST_SKIP() << "no known code page for LANG=" << language;
    Probe probe(tool);
    EXPECT_EQ(expected, probe.AnsiCodePage()) << "LANG=" << language;
}

// The soak's handle count proves something only if it sees a handle the tool holds: a forwarded check keeps
// its session open while its box "未能找到真实网址！" is up.
TEST_F(Harness, CountsTheHandlesTheToolHoldsOpen) {
    Probe probe(tool);
    probe.CountHandles();
    tool.SetItemText(IDC_URL, PageUrl(kMarkerPage));
    tool.SetItemText(IDC_FLAG, kMarker);
    Send(tool.Item(IDC_FORWARD), BM_SETCHECK, BST_CHECKED);
    tool.ClickItem(IDC_START);
    const auto noFrame = tool.WaitForMessageBox();
    ASSERT_TRUE(noFrame.has_value());
    std::map<std::wstring, HandleCount> handles = probe.Handles();
    EXPECT_EQ(3u, handles[L"internet"].opened) << "the session, and the forwarding page's connection and request";
    EXPECT_EQ(1u, handles[L"internet"].open) << "the session, held until the check ends";
    PressOk(*noFrame);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(noFrame->window); }));
    const auto alarm = tool.WaitForMessageBox();
    ASSERT_TRUE(alarm.has_value());
    PressOk(*alarm);
    ASSERT_TRUE(WaitFor([&] { return tool.SettingsFile().has_value(); }));
    probe.Sync();
    handles = probe.Handles();
    EXPECT_EQ(0u, handles[L"internet"].open);
    EXPECT_EQ(1u, handles[L"file"].opened) << "the settings file, written at the end of Start";
    EXPECT_EQ(0u, handles[L"file"].open);
}

TEST(HarnessPageServer, ServesTheMarkerPageAndThePageWithoutItOverLoopback) {
    const std::string marker = ToGbk(kMarker);
    const auto withMarker = HttpGet(PageUrl(kMarkerPage));
    ASSERT_TRUE(withMarker.has_value());
    EXPECT_EQ(200u, withMarker->status);
    EXPECT_NE(std::string::npos, withMarker->body.find(marker));
    const auto withoutMarker = HttpGet(PageUrl(kPlainPage));
    ASSERT_TRUE(withoutMarker.has_value());
    EXPECT_EQ(200u, withoutMarker->status);
    EXPECT_EQ(std::string::npos, withoutMarker->body.find(marker));
    EXPECT_FALSE(withoutMarker->body.empty());
}

}  // namespace
}  // namespace e2e
