// The link control on a real dialog: its colours through the states, the hover timer, the click and the hand cursor.
#include <windows.h>
#include <gtest/gtest.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "import_patch.h"
#include "link_test_ids.h"
#include "static_link.h"

namespace {

using namespace std::chrono_literals;

// What the code under test asked of the shell and the speaker; the shell is never really asked.
struct ShellCall {
    std::wstring verb;
    std::wstring file;
    bool withParameters;
    bool withDirectory;
    int show;
};
std::vector<ShellCall> g_shellCalls;
INT_PTR g_shellResult = 0;
std::vector<UINT> g_beeps;

HINSTANCE WINAPI RecordShellExecute(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, INT show) {
    g_shellCalls.push_back({verb ? verb : L"", file ? file : L"", parameters != nullptr, directory != nullptr, show});
    return reinterpret_cast<HINSTANCE>(g_shellResult);
}

BOOL WINAPI RecordBeep(UINT type) {
    g_beeps.push_back(type);
    return TRUE;
}

HMODULE Self() { return GetModuleHandleW(nullptr); }

// The shell and the beep of this test program replaced by recorders while the object lives.
class ShellSpy {
public:
    explicit ShellSpy(INT_PTR result = 42) {
        g_shellCalls.clear();
        g_beeps.clear();
        g_shellResult = result;
    }
    bool Applied() const { return m_shell.Applied() && m_beep.Applied(); }

private:
    ImportPatch m_shell{Self(), "shell32.dll", "ShellExecuteW", reinterpret_cast<const void*>(&RecordShellExecute)};
    ImportPatch m_beep{Self(), "user32.dll", "MessageBeep", reinterpret_cast<const void*>(&RecordBeep)};
};

constexpr COLORREF kUntouched = RGB(1, 2, 3);

// What the parent's colour request for a control leaves in a device context.
struct Colouring {
    HBRUSH brush;
    COLORREF text;
    int backgroundMode;
    HFONT font;
};

INT_PTR CALLBACK IgnoreAll(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A hidden dialog from the test template. It is a window of ours, so it reflects its colour requests to the links.
class StaticLink : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_spy.Applied());
        HWND dialog = CreateDialogParamW(Self(), MAKEINTRESOURCEW(IDD_LINKS), nullptr, &IgnoreAll, 0);
        ASSERT_NE(nullptr, dialog);
        m_dialog.SubclassWindow(dialog);
        ASSERT_TRUE(m_link.SubclassWindow(Item(IDC_LINK_WINDOW_TEXT)));
    }
    void TearDown() override { DestroyWindow(m_dialog.m_hWnd); }

    HWND Item(int id) const { return GetDlgItem(m_dialog.m_hWnd, id); }

    Colouring ColouringOf(HWND control) const {
        HDC dc = CreateCompatibleDC(nullptr);
        SetTextColor(dc, kUntouched);
        const HFONT before = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
        const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
            m_dialog.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
        const Colouring colouring = {brush, GetTextColor(dc), GetBkMode(dc),
                                     static_cast<HFONT>(SelectObject(dc, before))};
        DeleteDC(dc);
        return colouring;
    }
    COLORREF LinkColour() const { return ColouringOf(m_link.m_hWnd).text; }

    void HitTest(HWND link) const { EXPECT_EQ(HTCLIENT, SendMessageW(link, WM_NCHITTEST, 0, 0)); }
    void Click(HWND link) const { SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, 0); }
    BOOL AskForCursor(HWND link) const {
        return static_cast<BOOL>(
            SendMessageW(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    }
    void MovePointerOnto(HWND control) const {
        RECT rect;
        GetWindowRect(control, &rect);
        SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
    void MovePointerAwayFrom(HWND control) const {
        RECT rect;
        GetWindowRect(control, &rect);
        SetCursorPos(rect.right + 200, rect.bottom + 200);
    }

    // Handles this thread's messages, the hover timer's ticks among them, until the condition holds or time runs out.
    static bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 2s) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!condition()) {
            if (std::chrono::steady_clock::now() >= end) return false;
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(10);
        }
        return true;
    }

    ShellSpy m_spy;
    CWnd m_dialog;
    CStaticLink m_link;
};

TEST_F(StaticLink, ColoursGoFromIdleToHoveredToOpenedAndBackToIdle) {
    m_link.m_target = CString("https://example.com/");
    EXPECT_EQ(g_crLinkNormal, LinkColour());

    MovePointerOnto(m_link.m_hWnd);
    HitTest(m_link.m_hWnd);
    EXPECT_EQ(g_crLinkHover, LinkColour());

    Click(m_link.m_hWnd);
    ASSERT_EQ(1u, g_shellCalls.size());
    EXPECT_EQ(L"open", g_shellCalls[0].verb);
    EXPECT_EQ(L"https://example.com/", g_shellCalls[0].file);
    EXPECT_FALSE(g_shellCalls[0].withParameters);
    EXPECT_FALSE(g_shellCalls[0].withDirectory);
    EXPECT_EQ(SW_SHOWNORMAL, g_shellCalls[0].show);
    EXPECT_EQ(g_crLinkVisited, LinkColour());
    EXPECT_TRUE(g_beeps.empty());

    EXPECT_FALSE(PumpUntil([&] { return LinkColour() != g_crLinkVisited; }, 300ms))
        << "ticks with the pointer over the link keep it hovered";
    MovePointerAwayFrom(m_link.m_hWnd);
    EXPECT_TRUE(PumpUntil([&] { return LinkColour() == g_crLinkNormal; }));

    HitTest(m_link.m_hWnd);
    EXPECT_EQ(g_crLinkHover, LinkColour()) << "a visit is not remembered";
}

// A bitmap of a window's client size, into which the window paints itself as it would on the screen.
class Canvas {
public:
    explicit Canvas(HWND window) : m_window(window) {
        ::GetClientRect(window, &m_rect);
        HDC screen = GetDC(nullptr);
        m_dc = CreateCompatibleDC(screen);
        m_bitmap = CreateCompatibleBitmap(screen, m_rect.right, m_rect.bottom);
        ReleaseDC(nullptr, screen);
        m_previous = SelectObject(m_dc, m_bitmap);
    }
    ~Canvas() {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void Fill(COLORREF colour) const {
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(m_dc, &m_rect, brush);
        DeleteObject(brush);
    }
    void Paint() const { SendMessageW(m_window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_dc), PRF_CLIENT); }
    // The dialog's own ground, as it erases its background.
    void EraseAsDialog(HWND dialog) const { SendMessageW(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(m_dc), 0); }
    std::vector<COLORREF> Pixels() const {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < m_rect.bottom; ++y) {
            for (int x = 0; x < m_rect.right; ++x) pixels.push_back(GetPixel(m_dc, x, y));
        }
        return pixels;
    }

private:
    HWND m_window;
    RECT m_rect{};
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
};

// Glyphs are smoothed onto the ground, so a pixel counts by the channel that stands out.
int PixelsStandingOutIn(int (*channel)(COLORREF), const std::vector<COLORREF>& pixels) {
    int count = 0;
    for (COLORREF pixel : pixels) {
        const int others = GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) - channel(pixel);
        count += channel(pixel) > 200 && others < 200;
    }
    return count;
}

TEST_F(StaticLink, DrawsItsTextInTheLinkColourWhenTheStaticPaints) {
    const Canvas canvas(m_link.m_hWnd);
    const auto blue = [](COLORREF pixel) -> int { return GetBValue(pixel); };
    const auto red = [](COLORREF pixel) -> int { return GetRValue(pixel); };
    canvas.Paint();
    EXPECT_GT(PixelsStandingOutIn(blue, canvas.Pixels()), 0);
    EXPECT_EQ(0, PixelsStandingOutIn(red, canvas.Pixels()));
    MovePointerOnto(m_link.m_hWnd);
    HitTest(m_link.m_hWnd);
    canvas.Paint();
    EXPECT_GT(PixelsStandingOutIn(red, canvas.Pixels()), 0);
    EXPECT_EQ(0, PixelsStandingOutIn(blue, canvas.Pixels()));
}

// Drawn over what was there before, smoothed text piles up its edges at each hover; over the dialog's own
// ground, a repaint looks the same whatever it covers.
TEST_F(StaticLink, EachRepaintStartsFromTheDialogsOwnGround) {
    const Canvas canvas(m_link.m_hWnd);
    canvas.EraseAsDialog(m_dialog.m_hWnd);
    const COLORREF ground = canvas.Pixels().front();
    canvas.Fill(RGB(0, 255, 0));
    canvas.Paint();
    const std::vector<COLORREF> idle = canvas.Pixels();
    EXPECT_EQ(0, std::count(idle.begin(), idle.end(), RGB(0, 255, 0))) << "the old ground shows through";
    EXPECT_GT(std::count(idle.begin(), idle.end(), ground), 0) << "no pixel of the dialog's ground";

    MovePointerOnto(m_link.m_hWnd);
    HitTest(m_link.m_hWnd);
    canvas.Paint();
    MovePointerAwayFrom(m_link.m_hWnd);
    ASSERT_TRUE(PumpUntil([&] { return LinkColour() == g_crLinkNormal; }));
    canvas.Paint();
    EXPECT_EQ(idle, canvas.Pixels()) << "the hovered text shows under the idle one";
}

TEST_F(StaticLink, ManyHitTestsStartTheHoverTimerOnce) {
    MovePointerOnto(m_link.m_hWnd);
    HitTest(m_link.m_hWnd);
    EXPECT_TRUE(KillTimer(m_link.m_hWnd, 1)) << "the first hit test starts the timer";
    for (int i = 0; i < 5; ++i) HitTest(m_link.m_hWnd);
    EXPECT_FALSE(KillTimer(m_link.m_hWnd, 1)) << "hit tests while hovering leave the timer alone";
    EXPECT_EQ(g_crLinkHover, LinkColour());
}

TEST_F(StaticLink, AnOpenAtOrBelow32BeepsAndKeepsTheHoverColour) {
    const struct {
        INT_PTR result;
        bool opened;
    } cases[] = {{0, false}, {SE_ERR_FNF, false}, {32, false}, {33, true}, {42, true}};
    m_link.m_target = CString("https://example.com/");
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "shell result " << c.result);
        ShellSpy spy(c.result);
        MovePointerAwayFrom(m_link.m_hWnd);
        ASSERT_TRUE(PumpUntil([&] { return LinkColour() == g_crLinkNormal; }));
        MovePointerOnto(m_link.m_hWnd);
        HitTest(m_link.m_hWnd);
        Click(m_link.m_hWnd);
        EXPECT_EQ(1u, g_shellCalls.size());
        EXPECT_EQ(c.opened ? std::vector<UINT>{} : std::vector<UINT>{MB_OK}, g_beeps);
        EXPECT_EQ(c.opened ? g_crLinkVisited : g_crLinkHover, LinkColour());
    }
}

TEST_F(StaticLink, AnEmptyTargetFallsBackToTheStringResourceThenToTheWindowTextAndKeepsIt) {
    CStaticLink withString;
    ASSERT_TRUE(withString.SubclassWindow(Item(IDC_LINK_STRING)));
    const struct {
        HWND link;
        const wchar_t* opened;
    } cases[] = {{withString.m_hWnd, L"字符串资源里的目标.未知"}, {m_link.m_hWnd, L"不存在的链接目标.未知"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "expecting " << c.opened);
        g_shellCalls.clear();
        Click(c.link);
        SetWindowTextW(c.link, L"后来的文字");
        Click(c.link);
        ASSERT_EQ(2u, g_shellCalls.size());
        EXPECT_EQ(c.opened, g_shellCalls[0].file);
        EXPECT_EQ(c.opened, g_shellCalls[1].file) << "the target found at the first click is kept";
    }
}

TEST_F(StaticLink, ALinkWithNothingToOpenIgnoresAClick) {
    CStaticLink empty;
    ASSERT_TRUE(empty.SubclassWindow(Item(IDC_LINK_EMPTY)));
    Click(empty.m_hWnd);
    EXPECT_TRUE(g_shellCalls.empty());
    EXPECT_TRUE(g_beeps.empty());
    EXPECT_EQ(g_crLinkNormal, ColouringOf(empty.m_hWnd).text);
}

TEST_F(StaticLink, ColoursOnlyPlainTextStylesAndLeavesTheRestToTheParent) {
    const struct {
        DWORD style;
        const char* name;
        bool coloured;
    } cases[] = {
        {SS_LEFT, "SS_LEFT", true},      {SS_CENTER, "SS_CENTER", true},
        {SS_RIGHT, "SS_RIGHT", true},    {SS_ICON, "SS_ICON", false},
        {SS_SIMPLE, "SS_SIMPLE", false}, {SS_LEFT | SS_NOPREFIX, "SS_LEFT | SS_NOPREFIX", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND control = CreateWindowExW(0, L"Static", L"文字", WS_CHILD | c.style, 0, 0, 80, 12, m_dialog.m_hWnd,
                                       nullptr, Self(), nullptr);
        CStaticLink link;
        ASSERT_TRUE(link.SubclassWindow(control));
        const Colouring colouring = ColouringOf(control);
        if (c.coloured) {
            EXPECT_EQ(ColouringOf(Item(IDC_LINK_STRING)).brush, colouring.brush) << "a plain static's ground";
            EXPECT_EQ(g_crLinkNormal, colouring.text);
            EXPECT_EQ(TRANSPARENT, colouring.backgroundMode);
        } else {
            EXPECT_NE(nullptr, colouring.brush) << "the parent's own brush";
            EXPECT_NE(GetStockObject(NULL_BRUSH), colouring.brush);
            EXPECT_NE(g_crLinkNormal, colouring.text);
            EXPECT_EQ(0, SendMessageW(control, WM_REFLECT_CTLCOLOR, 0, CTLCOLOR_STATIC));
        }
        DestroyWindow(control);
    }
}

TEST_F(StaticLink, DrawsInACopyOfTheControlsFontMadeOnce) {
    const HFONT own = reinterpret_cast<HFONT>(SendMessageW(m_link.m_hWnd, WM_GETFONT, 0, 0));
    ASSERT_NE(nullptr, own);
    const HFONT copy = ColouringOf(m_link.m_hWnd).font;
    EXPECT_NE(own, copy);
    LOGFONTW ownFont = {};
    LOGFONTW copyFont = {};
    GetObjectW(own, sizeof(ownFont), &ownFont);
    GetObjectW(copy, sizeof(copyFont), &copyFont);
    EXPECT_EQ(ownFont.lfHeight, copyFont.lfHeight);
    EXPECT_EQ(std::wstring(ownFont.lfFaceName), copyFont.lfFaceName);
    EXPECT_FALSE(copyFont.lfUnderline);

    SendMessageW(m_link.m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), FALSE);
    EXPECT_EQ(copy, ColouringOf(m_link.m_hWnd).font) << "the copy is not refreshed";
}

TEST(LinkTarget, OpensItsTextThroughTheShellAndAnEmptyOneNotAtAll) {
    ShellSpy spy(42);
    ASSERT_TRUE(spy.Applied());
    EXPECT_EQ(nullptr, CLinkTarget().Open());
    EXPECT_EQ(nullptr, CLinkTarget(CString("")).Open());
    EXPECT_TRUE(g_shellCalls.empty());

    EXPECT_EQ(42, reinterpret_cast<INT_PTR>(CLinkTarget(CString("帮助.chm")).Open()));
    ASSERT_EQ(1u, g_shellCalls.size());
    EXPECT_EQ(L"open", g_shellCalls[0].verb);
    EXPECT_EQ(L"帮助.chm", g_shellCalls[0].file);
}

// The process-wide hand cursor, forgotten before and after each case.
HMODULE(WINAPI* g_realLoadLibraryEx)(LPCWSTR, HANDLE, DWORD) = nullptr;
std::vector<std::wstring> g_librariesAsked;
int g_handsAsked = 0;

HMODULE WINAPI NoLibrary(LPCWSTR path, HANDLE, DWORD) {
    g_librariesAsked.push_back(path);
    return nullptr;
}

HCURSOR WINAPI NoCursor(HINSTANCE, LPCWSTR) {
    ++g_handsAsked;
    return nullptr;
}

// The test program itself, which carries a cursor under the help program's id, stands in for the help program.
HMODULE WINAPI ThisProgramAsHelpProgram(LPCWSTR path, HANDLE file, DWORD flags) {
    g_librariesAsked.push_back(path);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return g_realLoadLibraryEx(self, file, flags);
}

class HandCursor : public StaticLink {
protected:
    void SetUp() override {
        StaticLink::SetUp();
        Forget();
        g_librariesAsked.clear();
        g_handsAsked = 0;
    }
    void TearDown() override {
        Forget();
        StaticLink::TearDown();
    }
    static void Forget() {
        if (g_hHandCursor != nullptr && g_hHandCursor != LoadCursorW(nullptr, IDC_HAND)) DestroyCursor(g_hHandCursor);
        g_hHandCursor = nullptr;
        g_bHandCursorTried = FALSE;
    }
    static std::wstring WindowsDirectory() {
        wchar_t directory[MAX_PATH] = {};
        return std::wstring(directory, GetWindowsDirectoryW(directory, MAX_PATH));
    }
};

TEST_F(HandCursor, IsLookedForOnceWhenItCannotBeFound) {
    ImportPatch library(Self(), "kernel32.dll", "LoadLibraryExW", reinterpret_cast<const void*>(&NoLibrary));
    ImportPatch cursor(Self(), "user32.dll", "LoadCursorW", reinterpret_cast<const void*>(&NoCursor));
    ASSERT_TRUE(library.Applied() && cursor.Applied());
    CStaticLink other;
    ASSERT_TRUE(other.SubclassWindow(Item(IDC_LINK_STRING)));
    const HCURSOR before = GetCursor();

    EXPECT_FALSE(AskForCursor(m_link.m_hWnd));
    EXPECT_FALSE(AskForCursor(m_link.m_hWnd));
    EXPECT_FALSE(AskForCursor(other.m_hWnd)) << "the first link's lookup holds for every link";
    EXPECT_EQ(1u, g_librariesAsked.size());
    EXPECT_EQ(1, g_handsAsked);
    EXPECT_EQ(before, GetCursor()) << "the pointer keeps its shape";
}

TEST_F(HandCursor, ComesFromTheHelpProgramInTheWindowsDirectoryAndOutlivesIt) {
    ImportPatch library(Self(), "kernel32.dll", "LoadLibraryExW",
                        reinterpret_cast<const void*>(&ThisProgramAsHelpProgram));
    ASSERT_TRUE(library.Applied());
    g_realLoadLibraryEx = library.Original<decltype(g_realLoadLibraryEx)>();
    CStaticLink other;
    ASSERT_TRUE(other.SubclassWindow(Item(IDC_LINK_STRING)));

    EXPECT_TRUE(AskForCursor(m_link.m_hWnd));
    ASSERT_EQ(1u, g_librariesAsked.size());
    EXPECT_EQ(WindowsDirectory() + L"\\winhlp32.exe", g_librariesAsked[0]);
    EXPECT_EQ(g_hHandCursor, GetCursor());
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(g_hHandCursor, &info)) << "the copy stays valid once the program is released";
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    EXPECT_EQ(9u, info.xHotspot);
    EXPECT_EQ(2u, info.yHotspot);

    SetCursor(nullptr);
    EXPECT_TRUE(AskForCursor(other.m_hWnd));
    EXPECT_EQ(g_hHandCursor, GetCursor()) << "every link shows the same hand";
    EXPECT_EQ(1u, g_librariesAsked.size());
}

TEST_F(HandCursor, IsTheSystemsHandWithoutTheHelpProgram) {
    ImportPatch library(Self(), "kernel32.dll", "LoadLibraryExW", reinterpret_cast<const void*>(&NoLibrary));
    ASSERT_TRUE(library.Applied());
    EXPECT_TRUE(AskForCursor(m_link.m_hWnd));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), GetCursor());
}

}  // namespace
