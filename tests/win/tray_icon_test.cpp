// CTrayIcon on a real window under Wine's shell: the icon's state, the tip's bound, the callback's dispatch, the menu.
#include "tray_icon.h"

#include <windows.h>
#include <gtest/gtest.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "resource.h"
#include "wnd.h"

namespace {

constexpr UINT kCallback = WM_USER + 10;
constexpr UINT kNoSuchMenu = 999;
constexpr UINT kMenuWithoutPopup = 202;  // in win_tests.rc

// A hidden window that owns the icon and records the commands and the popup menus it gets.
// A menu that opens is closed again at once, unless the case says what to do with it.
class TrayOwner : public CWnd {
public:
    TrayOwner() {
        SubclassWindow(::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
    }
    ~TrayOwner() override { ::DestroyWindow(m_hWnd); }

    std::vector<WPARAM> commands;
    int menusOpened = 0;
    std::function<void(HMENU menu, HWND menuWindow)> whileMenuOpen;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND) commands.push_back(wParam);
        if (message == WM_INITMENUPOPUP) {
            ++menusOpened;
            m_menu = reinterpret_cast<HMENU>(wParam);
        }
        if (message == WM_ENTERIDLE && wParam == MSGF_MENU && m_menu != nullptr) {
            if (whileMenuOpen) {
                whileMenuOpen(m_menu, reinterpret_cast<HWND>(lParam));
            } else {
                ::EndMenu();
            }
            m_menu = nullptr;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    HMENU m_menu = nullptr;
};

// Reads the state and the record that the shell was given.
class InspectedTrayIcon : public CTrayIcon {
public:
    BOOL InTray() const { return m_bInTray; }
    const NOTIFYICONDATAW& Record() const { return m_iconData; }
};

// The shell modifies only an icon that it holds.
bool ShellHolds(HWND window, UINT id) {
    NOTIFYICONDATAW record = {};
    record.cbSize = NOTIFYICONDATAW_V1_SIZE;
    record.hWnd = window;
    record.uID = id;
    return ::Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

// An icon that the test puts into the shell itself, under a window and id that a CTrayIcon will ask for.
class ForeignIcon {
public:
    ForeignIcon(HWND window, UINT id) : m_record{} {
        m_record.cbSize = NOTIFYICONDATAW_V1_SIZE;
        m_record.hWnd = window;
        m_record.uID = id;
        EXPECT_TRUE(::Shell_NotifyIconW(NIM_ADD, &m_record));
    }
    ~ForeignIcon() { ::Shell_NotifyIconW(NIM_DELETE, &m_record); }
    ForeignIcon(const ForeignIcon&) = delete;
    ForeignIcon& operator=(const ForeignIcon&) = delete;

private:
    NOTIFYICONDATAW m_record;
};

void DispatchPending() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

class TrayIcon : public testing::Test {
protected:
    BOOL Add(CTrayIcon& icon, UINT id = IDR_TRAYMENU, const char* tip = "\xCD\xFB\xD5\xBE") {
        return icon.AddToTray(&owner, kCallback, tip, m_hIcon, id);
    }
    bool ShellHoldsOurs() const { return ShellHolds(owner.m_hWnd, IDR_TRAYMENU); }

    TrayOwner owner;
    InspectedTrayIcon tray;

private:
    HICON m_hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
};

TEST_F(TrayIcon, IsAddedAndRemovedOnce) {
    ASSERT_TRUE(Add(tray));
    EXPECT_TRUE(tray.InTray());
    EXPECT_TRUE(ShellHoldsOurs());
    EXPECT_TRUE(tray.RemoveFromTray());
    EXPECT_FALSE(tray.InTray());
    EXPECT_FALSE(ShellHoldsOurs());
    EXPECT_FALSE(tray.RemoveFromTray());
}

TEST_F(TrayIcon, AddingAgainReplacesItsIconInsteadOfFailing) {
    ASSERT_TRUE(Add(tray));
    EXPECT_TRUE(Add(tray));
    EXPECT_TRUE(tray.InTray());
    EXPECT_TRUE(ShellHoldsOurs());
    EXPECT_TRUE(tray.RemoveFromTray());
    EXPECT_FALSE(ShellHoldsOurs()) << "no icon is left behind";
}

// The shell refuses a second icon of a window and id, as after an add that failed yet went through.
TEST_F(TrayIcon, AnIconTheShellAlreadyHoldsIsTakenOverAndRemovedOnce) {
    ForeignIcon foreign(owner.m_hWnd, IDR_TRAYMENU);
    EXPECT_TRUE(Add(tray));
    EXPECT_TRUE(tray.InTray());
    EXPECT_TRUE(tray.RemoveFromTray());
    EXPECT_FALSE(ShellHoldsOurs());
}

TEST_F(TrayIcon, NoLiveWindowGetsNoIcon) {
    EXPECT_FALSE(tray.AddToTray(nullptr, kCallback, "", nullptr, IDR_TRAYMENU));
    EXPECT_FALSE(tray.InTray());
    CWnd gone;
    gone.m_hWnd = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(gone.m_hWnd);
    EXPECT_FALSE(tray.AddToTray(&gone, kCallback, "", nullptr, IDR_TRAYMENU));
    EXPECT_FALSE(tray.InTray());
}

TEST_F(TrayIcon, DestructionTakesTheIconAway) {
    {
        CTrayIcon local;
        ASSERT_TRUE(Add(local));
        EXPECT_TRUE(ShellHoldsOurs());
    }
    EXPECT_FALSE(ShellHoldsOurs());
}

template <typename Text>
Text Repeat(const Text& text, int times) {
    Text repeated;
    for (int i = 0; i < times; ++i) repeated += text;
    return repeated;
}

// 63 bytes of text and the zero fill the tip; the rest of the record stays as it was.
TEST_F(TrayIcon, TipIsCutToTheRecordAtACharacter) {
    const std::string zhan = "\xD5\xBE";  // 站
    const struct {
        const char* name;
        std::optional<std::string> tip;
        std::wstring expected;
    } cases[] = {
        {"the tool's own", "\xCD\xFB\xD5\xBE", L"望站"},
        {"none", std::nullopt, L""},
        {"63 bytes", std::string(63, 'a'), std::wstring(63, L'a')},
        {"200 bytes", std::string(200, 'a'), std::wstring(63, L'a')},
        {"a character at bytes 62 and 63", "a" + Repeat(zhan, 40), L"a" + Repeat<std::wstring>(L"站", 31)},
        {"a character at bytes 63 and 64", Repeat(zhan, 40), Repeat<std::wstring>(L"站", 31)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        InspectedTrayIcon icon;
        ASSERT_TRUE(Add(icon, IDR_TRAYMENU, c.tip ? c.tip->c_str() : nullptr));
        const NOTIFYICONDATAW& record = icon.Record();
        EXPECT_EQ(c.expected, record.szTip);
        const auto* tip = reinterpret_cast<const BYTE*>(record.szTip);
        const auto* end = reinterpret_cast<const BYTE*>(&record + 1);
        for (const auto* at = tip + c.expected.size() * sizeof(wchar_t); at < end; ++at) {
            ASSERT_EQ(0, *at) << "written at byte " << (at - tip) << " of the tip";
        }
    }
}

class TrayMessage : public TrayIcon {
protected:
    void SetUp() override { ASSERT_TRUE(Add(tray)); }
};

TEST_F(TrayMessage, AnotherIconsIdIsAnsweredZeroAndIgnored) {
    for (WPARAM id : {WPARAM{0}, WPARAM{IDR_TRAYMENU + 1}, WPARAM{MAKEWPARAM(IDR_TRAYMENU, 1)}}) {
        EXPECT_EQ(0, tray.HandleTrayMessage(id, WM_LBUTTONDBLCLK)) << id;
        EXPECT_EQ(0, tray.HandleTrayMessage(id, WM_RBUTTONUP)) << id;
        EXPECT_EQ(0, tray.HandleTrayMessage(id, WM_MOUSEMOVE)) << id;
    }
    EXPECT_TRUE(owner.commands.empty());
    EXPECT_EQ(0, owner.menusOpened);
}

TEST_F(TrayMessage, OtherMouseMessagesAreAnsweredOneAndDoNothing) {
    for (UINT mouse : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_MBUTTONUP}) {
        EXPECT_EQ(1, tray.HandleTrayMessage(IDR_TRAYMENU, mouse)) << mouse;
    }
    DispatchPending();
    EXPECT_TRUE(owner.commands.empty());
    EXPECT_EQ(0, owner.menusOpened);
}

TEST_F(TrayMessage, DoubleClickCarriesOutTheShowCommandBeforeReturning) {
    // Only the low 16 bits of lParam name the mouse message.
    EXPECT_EQ(1, tray.HandleTrayMessage(IDR_TRAYMENU, MAKELPARAM(WM_LBUTTONDBLCLK, 0x55)));
    EXPECT_EQ(std::vector<WPARAM>{ID_TRAY_SHOW}, owner.commands);
    EXPECT_EQ(0, owner.menusOpened);
}

TEST_F(TrayMessage, RightButtonReleaseOpensTheMenuAtThePointerWithShowInBold) {
    ::SetCursorPos(200, 150);
    POINT pointer;
    ::GetCursorPos(&pointer);
    std::vector<std::pair<UINT, std::wstring>> items;
    UINT defaultItem = 0;
    RECT rect{};
    owner.whileMenuOpen = [&](HMENU menu, HWND menuWindow) {
        for (int position = 0; position < ::GetMenuItemCount(menu); ++position) {
            wchar_t text[32] = {};
            ::GetMenuStringW(menu, static_cast<UINT>(position), text, 32, MF_BYPOSITION);
            items.emplace_back(::GetMenuItemID(menu, position), text);
        }
        defaultItem = ::GetMenuDefaultItem(menu, FALSE, 0);
        ::GetWindowRect(menuWindow, &rect);
        ::EndMenu();
    };
    EXPECT_EQ(1, tray.HandleTrayMessage(IDR_TRAYMENU, WM_RBUTTONUP));
    const std::vector<std::pair<UINT, std::wstring>> expected = {{ID_TRAY_SHOW, L"显示窗口"},
                                                                 {ID_TRAY_EXIT, L"退出监测"}};
    EXPECT_EQ(expected, items);
    EXPECT_EQ(static_cast<UINT>(ID_TRAY_SHOW), defaultItem);
    EXPECT_EQ(pointer.x, rect.left);
    EXPECT_EQ(pointer.y, rect.top);
    DispatchPending();
    EXPECT_TRUE(owner.commands.empty()) << "a dismissed menu sends nothing";
}

// Shown again at once, as a user who opens it twice in a row does, the menu still opens and takes a choice.
TEST_F(TrayMessage, TheChosenItemReachesTheOwnerAsItsCommandEachTime) {
    const struct {
        std::vector<WPARAM> keys;
        WPARAM command;
    } rounds[] = {{{VK_DOWN, VK_DOWN, VK_RETURN}, ID_TRAY_EXIT}, {{VK_DOWN, VK_RETURN}, ID_TRAY_SHOW}};
    for (const auto& round : rounds) {
        SCOPED_TRACE(testing::Message() << "command " << round.command);
        owner.commands.clear();
        owner.whileMenuOpen = [&](HMENU, HWND) {
            for (WPARAM key : round.keys) ::PostMessageW(owner.m_hWnd, WM_KEYDOWN, key, 0);
        };
        EXPECT_EQ(1, tray.HandleTrayMessage(IDR_TRAYMENU, WM_RBUTTONUP));
        DispatchPending();
        EXPECT_EQ(std::vector<WPARAM>{round.command}, owner.commands);
    }
    EXPECT_EQ(2, owner.menusOpened);
}

TEST_F(TrayMessage, AMissingMenuOrPopupIsAnsweredZero) {
    for (UINT id : {kNoSuchMenu, kMenuWithoutPopup}) {
        ASSERT_TRUE(Add(tray, id));
        EXPECT_EQ(0, tray.HandleTrayMessage(id, WM_RBUTTONUP)) << id;
        EXPECT_EQ(0, tray.HandleTrayMessage(id, WM_LBUTTONDBLCLK)) << id;
    }
    EXPECT_TRUE(owner.commands.empty());
    EXPECT_EQ(0, owner.menusOpened);
}

}  // namespace
