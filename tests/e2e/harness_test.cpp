// The harness itself under this Wine: message boxes, the probe, the code page and the page server.
#include <string>

#include "http_fetch.h"
#include "pages.h"
#include "probe_client.h"
#include "resource.h"
#include "tool_test.h"

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

TEST(PageServer, ServesTheMarkerPageAndThePageWithoutItOverLoopback) {
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
