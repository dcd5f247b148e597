// Pictures for the docs: the tool driven as a user would, its windows saved as the screen shows them.
//
// Not part of the test run: `make screenshots` runs it with WZ_PICTURES naming the directory for the
// BMP files, which the script turns into the PNGs under docs/.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

constexpr UINT kTrayCallback = WM_USER + 10;
constexpr UINT kTrayIconId = 133;
// Long enough for the X server to show what Wine drew.
constexpr DWORD kSettleMs = 500;

// The window's rectangle of the screen as a bottom-up 24-bit BMP file.
bool SaveWindowPicture(HWND window, const std::wstring& path) {
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    BITMAPINFOHEADER header = {sizeof(header), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap =
        CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
    GdiFlush();
    const DWORD imageSize = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    const BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(header) + imageSize), 0,
                                   0, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(header))};
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(static_cast<const char*>(bits), imageSize);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return copied && out.good();
}

class Pictures : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        const wchar_t* directory = _wgetenv(L"WZ_PICTURES");
        ASSERT_NE(nullptr, directory) << "WZ_PICTURES names the directory for the pictures";
        m_directory = directory;
    }
    void Save(HWND window, const wchar_t* name) {
        Sleep(kSettleMs);
        EXPECT_TRUE(SaveWindowPicture(window, m_directory + L"\\" + name + L".bmp")) << name;
    }
    HWND WindowOfClass(const wchar_t* className, const wchar_t* caption = nullptr) const {
        for (HWND window : TopLevelWindowsOf(tool.ProcessId())) {
            if (ClassName(window) == className && IsWindowVisible(window) &&
                (caption == nullptr || TryWindowText(window) == std::wstring(caption))) {
                return window;
            }
        }
        return nullptr;
    }
    // One more check, on a site that works or not; a change of result opens a box, which is closed.
    void Check(bool healthy, size_t linesAfter) {
        HttpGet(PageUrl(healthy ? kSwitchOk : kSwitchFail));
        Post(tool.MainWindow(), WM_TIMER, 1, 0);
        ASSERT_TRUE(WaitForReportLines(tool, linesAfter));
    }
    void CloseBoxes() {
        while (const auto box = tool.WaitForMessageBox(std::chrono::milliseconds(1500))) {
            PressOk(*box);
            WaitFor([&] { return !IsWindow(box->window); });
        }
    }

    std::wstring m_directory;
};

TEST_F(Pictures, OfTheMainWindowTheAboutBoxAndTheTrayMenu) {
    HttpGet(PageUrl(kSwitchOk));
    tool.SetItemText(IDC_URL, PageUrl(kSwitchPage));
    tool.SetItemText(IDC_FLAG, kMarker);
    tool.SetItemText(IDC_INTERVAL, L"5");
    tool.ClickItem(IDC_START);
    ASSERT_TRUE(WaitForReportLines(tool, 1));
    Check(true, 2);
    Check(false, 3);
    CloseBoxes();
    Check(true, 4);
    CloseBoxes();
    Probe probe(tool);
    ASSERT_TRUE(probe.Sync());
    Save(tool.MainWindow(), L"main-window");

    Post(tool.MainWindow(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (about = WindowOfClass(L"#32770", L"关于 望站")) != nullptr; }));
    Save(about, L"about-box");
    Click(GetDlgItem(about, IDOK));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); }));

    // Closed to the tray, the icon's menu comes up at the pointer, as after a right click on the icon.
    RECT main;
    GetWindowRect(tool.MainWindow(), &main);
    Post(tool.MainWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(tool.MainWindow()); }));
    SetCursorPos(main.left + 40, main.top + 40);
    Post(tool.MainWindow(), kTrayCallback, kTrayIconId, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = WindowOfClass(L"#32768")) != nullptr; }));
    Save(menu, L"tray-menu");
    Post(tool.MainWindow(), WM_CANCELMODE, 0, 0);
}

}  // namespace
}  // namespace e2e
