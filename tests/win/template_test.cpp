// The built tool's resources read back from its file: the dialog templates, icon and strings.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resource.h"
#include "version.h"

namespace {

// Reads an extended dialog template: the header's fields and every item in order.
class TemplateReader {
public:
    explicit TemplateReader(const WORD* words) : m_at(words) {}

    WORD Word() { return *m_at++; }
    DWORD Dword() {
        const DWORD low = Word();
        return low | static_cast<DWORD>(Word()) << 16;
    }
    short Short() { return static_cast<short>(Word()); }
    // A string, or an ordinal (0xFFFF then a number) written as "#number".
    std::wstring SzOrOrdinal() {
        if (*m_at == 0xFFFF) {
            ++m_at;
            return L"#" + std::to_wstring(Word());
        }
        std::wstring text(reinterpret_cast<const wchar_t*>(m_at));
        m_at += text.size() + 1;
        return text;
    }
    void AlignToDword() {
        while (reinterpret_cast<uintptr_t>(m_at) % 4 != 0) ++m_at;
    }
    void Skip(size_t words) { m_at += words; }

private:
    const WORD* m_at;
};

struct Item {
    DWORD style;
    short x, y, cx, cy;
    int id;
    std::wstring className;
    std::wstring text;
};

struct Template {
    DWORD exStyle;
    DWORD style;
    short x, y, cx, cy;
    std::wstring caption;
    WORD pointSize;
    std::wstring font;
    std::vector<Item> items;
};

Template ReadTemplate(HMODULE module, UINT id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    EXPECT_NE(nullptr, found);
    TemplateReader r(static_cast<const WORD*>(LockResource(LoadResource(module, found))));
    Template t{};
    EXPECT_EQ(1, r.Word());
    EXPECT_EQ(0xFFFF, r.Word());
    r.Dword();  // help id
    t.exStyle = r.Dword();
    t.style = r.Dword();
    const WORD count = r.Word();
    t.x = r.Short(), t.y = r.Short(), t.cx = r.Short(), t.cy = r.Short();
    r.SzOrOrdinal();  // menu
    r.SzOrOrdinal();  // class
    t.caption = r.SzOrOrdinal();
    t.pointSize = r.Word();
    r.Skip(2);  // weight, italic and character set
    t.font = r.SzOrOrdinal();
    for (WORD i = 0; i < count; ++i) {
        r.AlignToDword();
        Item item{};
        EXPECT_EQ(0u, r.Dword()) << "help id of item " << i;
        EXPECT_EQ(0u, r.Dword()) << "extended style of item " << i;
        item.style = r.Dword();
        item.x = r.Short(), item.y = r.Short(), item.cx = r.Short(), item.cy = r.Short();
        item.id = static_cast<int>(r.Dword());
        item.className = r.SzOrOrdinal();
        item.text = r.SzOrOrdinal();
        r.Skip(r.Word() / 2);  // creation data
        t.items.push_back(item);
    }
    return t;
}

// Reads a classic dialog template, which has no help ids and 16-bit control ids.
Template ReadClassicTemplate(HMODULE module, UINT id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    EXPECT_NE(nullptr, found);
    TemplateReader r(static_cast<const WORD*>(LockResource(LoadResource(module, found))));
    Template t{};
    t.style = r.Dword();
    t.exStyle = r.Dword();
    const WORD count = r.Word();
    t.x = r.Short(), t.y = r.Short(), t.cx = r.Short(), t.cy = r.Short();
    r.SzOrOrdinal();  // menu
    r.SzOrOrdinal();  // class
    t.caption = r.SzOrOrdinal();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Word();
        t.font = r.SzOrOrdinal();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignToDword();
        Item item{};
        item.style = r.Dword();
        EXPECT_EQ(0u, r.Dword()) << "extended style of item " << i;
        item.x = r.Short(), item.y = r.Short(), item.cx = r.Short(), item.cy = r.Short();
        item.id = r.Word();
        item.className = r.SzOrOrdinal();
        item.text = r.SzOrOrdinal();
        r.Skip(r.Word() / 2);  // creation data
        t.items.push_back(item);
    }
    return t;
}

class ToolResources : public testing::Test {
protected:
    void SetUp() override {
        const wchar_t* exe = _wgetenv(L"WZ_TOOL_EXE");
        ASSERT_NE(nullptr, exe) << "WZ_TOOL_EXE names the built tool";
        m_module = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(nullptr, m_module);
    }
    void TearDown() override {
        if (m_module) FreeLibrary(m_module);
    }
    HMODULE m_module = nullptr;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

// Class names are case-blind, and the system's own may be stored by their ordinals.
std::wstring AsOrdinal(std::wstring className) {
    if (lstrcmpiW(className.c_str(), L"Button") == 0) return L"#128";
    if (lstrcmpiW(className.c_str(), L"Edit") == 0) return L"#129";
    if (lstrcmpiW(className.c_str(), L"Static") == 0) return L"#130";
    CharLowerW(className.data());
    return className;
}
constexpr int kStatic = -1;

TEST_F(ToolResources, MainWindowTemplateHasItsFrameAndFont) {
    const Template t = ReadTemplate(m_module, IDD_MONITOR_DIALOG);
    EXPECT_EQ(static_cast<DWORD>(WS_EX_APPWINDOW), t.exStyle);
    EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME |
                                 DS_SETFONT | DS_3DLOOK),
              t.style);
    EXPECT_EQ((std::vector<short>{0, 0, 320, 215}), (std::vector<short>{t.x, t.y, t.cx, t.cy}));
    EXPECT_EQ(L"望站 Ver1.10", t.caption);
    EXPECT_EQ(9, t.pointSize);
    EXPECT_EQ(L"宋体", t.font);
}

struct Expected {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    short x, y, cx, cy;
    DWORD style;
};

void ExpectItems(const std::vector<Expected>& expected, const Template& t) {
    ASSERT_EQ(expected.size(), t.items.size());
    for (size_t i = 0; i < t.items.size(); ++i) {
        const Item& item = t.items[i];
        const Expected& e = expected[i];
        SCOPED_TRACE("item " + std::to_string(i + 1));
        EXPECT_EQ(static_cast<WORD>(e.id), static_cast<WORD>(item.id));
        EXPECT_EQ(std::wstring(e.className), AsOrdinal(item.className));
        EXPECT_EQ(std::wstring(e.text), item.text);
        EXPECT_EQ((std::vector<short>{e.x, e.y, e.cx, e.cy}), (std::vector<short>{item.x, item.y, item.cx, item.cy}));
        EXPECT_EQ(kChild | e.style, item.style);
    }
}

TEST_F(ToolResources, MainWindowControlsAreInTemplateOrder) {
    const std::vector<Expected> expected = {
        {IDC_START, L"#128", L"开始监测", 260, 9, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
        {IDCANCEL, L"#128", L"退出程序", 260, 25, 50, 14, BS_PUSHBUTTON | WS_TABSTOP},
        {kStatic, L"#130", L"监测网站地址", 10, 16, 49, 8, SS_LEFT | WS_GROUP},
        {IDC_URL, L"#129", L"", 63, 14, 155, 12, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
        {kStatic, L"#130", L"正常标志", 11, 43, 33, 8, SS_LEFT | WS_GROUP},
        {IDC_FLAG, L"#129", L"", 63, 41, 156, 12, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
        {IDC_FORWARD, L"#128", L"转发地址", 63, 28, 48, 10, BS_AUTOCHECKBOX | WS_TABSTOP},
        {kStatic, L"#128", L"监测报告", 7, 73, 306, 123, BS_GROUPBOX},
        {IDC_REPORT, L"#129", L"", 13, 81, 294, 106,
         ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP},
        {kStatic, L"#130", L"监测时间间隔", 12, 57, 49, 8, SS_LEFT | WS_GROUP},
        {IDC_INTERVAL, L"#129", L"", 63, 55, 30, 14, ES_RIGHT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
        {IDC_SPIN, L"msctls_updown32", L"", 83, 56, 10, 14,
         UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS},
        {kStatic, L"#130", L"分钟", 98, 59, 17, 8, SS_LEFT | WS_GROUP},
        {IDC_HOMELINK, L"#130", L"" WZ_HOME_LINK_TEXT, 172, 203, 134, 9, SS_LEFT | WS_GROUP},
        {IDC_STOP, L"#128", L"停止监测", 260, 9, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
        {IDC_HELPBTN, L"#128", L"帮助", 260, 41, 50, 14, BS_PUSHBUTTON | WS_TABSTOP},
    };
    ExpectItems(expected, ReadTemplate(m_module, IDD_MONITOR_DIALOG));
}

TEST_F(ToolResources, AboutBoxTemplateIsClassicWithItsFrameFontAndControlsInOrder) {
    const Template t = ReadClassicTemplate(m_module, IDD_ABOUTBOX);
    EXPECT_EQ(0u, t.exStyle);
    EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT), t.style);
    EXPECT_EQ((std::vector<short>{0, 0, 235, 77}), (std::vector<short>{t.x, t.y, t.cx, t.cy}));
    EXPECT_EQ(L"关于 望站", t.caption);
    EXPECT_EQ(9, t.pointSize);
    EXPECT_EQ(L"宋体", t.font);
    const std::vector<Expected> expected = {
        {kStatic, L"#130", L"#128", 11, 17, 20, 20, SS_ICON},
        {kStatic, L"#130", L"望站 1.10版", 39, 10, 61, 8, SS_LEFT | SS_NOPREFIX | WS_GROUP},
        {kStatic, L"#130", L"" WZ_COPYRIGHT, 39, 25, 161, 8, SS_LEFT | WS_GROUP},
        {IDOK, L"#128", L"确定", 177, 7, 50, 14, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
        {kStatic, L"#130", L"" WZ_CREDITS, 39, 56, 185, 8, SS_LEFT | WS_GROUP},
        {IDC_ABOUTLINK, L"#130", L"" WZ_ABOUT_LINK_TEXT, 39, 41, 129, 8, SS_LEFT | WS_GROUP},
    };
    ExpectItems(expected, t);
}

// Every size Windows asks for, the small and the big icon at 100 to 200 % and Explorer's largest, each an image of
// its own rather than one that the system scales, 32-bit with alpha; the largest stored as PNG, as since Vista.
TEST_F(ToolResources, IconComesInEverySizeWindowsAsksForWithAlpha) {
    HRSRC group = FindResourceW(m_module, MAKEINTRESOURCEW(IDR_MAINFRAME), RT_GROUP_ICON);
    ASSERT_NE(nullptr, group);
    const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(m_module, group)));
    const WORD count = *reinterpret_cast<const WORD*>(dir + 4);
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = dir + 6 + 14 * i;
        const int size = entry[0] == 0 ? 256 : entry[0];
        SCOPED_TRACE(testing::Message() << "entry " << i << ", " << size << " px");
        EXPECT_EQ(entry[0], entry[1]);
        EXPECT_EQ(32, *reinterpret_cast<const WORD*>(entry + 6));  // bits per pixel
        const WORD id = *reinterpret_cast<const WORD*>(entry + 12);
        HRSRC image = FindResourceW(m_module, MAKEINTRESOURCEW(id), RT_ICON);
        ASSERT_NE(nullptr, image);
        const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(m_module, image)));
        sizes.push_back(size);
        if (size == 256) {
            EXPECT_EQ(0, std::memcmp(bytes, "\x89PNG\r\n\x1a\n", 8)) << "the largest image is a PNG";
            continue;
        }
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
        EXPECT_EQ(size, header->biWidth) << "the image is of the size its entry gives";
        EXPECT_EQ(2 * size, header->biHeight) << "the colours and the mask";
        EXPECT_EQ(32, header->biBitCount);
        const auto* pixels = reinterpret_cast<const RGBQUAD*>(bytes + header->biSize);
        const auto partlyCovered = std::count_if(pixels, pixels + size * size, [](const RGBQUAD& pixel) {
            return pixel.rgbReserved != 0 && pixel.rgbReserved != 255;
        });
        EXPECT_GT(partlyCovered, 0) << "the round edge is smoothed by alpha";
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ((std::vector<int>{16, 20, 24, 28, 32, 40, 48, 56, 64, 256}), sizes);
}

TEST_F(ToolResources, AlarmToneIsTheWaveImageOfItsFixedFormat) {
    HRSRC found = FindResourceExW(m_module, L"WAVE", L"IDW", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    ASSERT_NE(nullptr, found);
    ASSERT_EQ(25704u, SizeofResource(m_module, found));
    const auto* image = static_cast<const BYTE*>(LockResource(LoadResource(m_module, found)));
    const auto dword = [image](size_t at) { return *reinterpret_cast<const DWORD*>(image + at); };
    const auto word = [image](size_t at) { return *reinterpret_cast<const WORD*>(image + at); };
    EXPECT_EQ(0, memcmp(image, "RIFF", 4));
    EXPECT_EQ(25696u, dword(4));
    EXPECT_EQ(0, memcmp(image + 8, "WAVEfmt ", 8));
    EXPECT_EQ(16u, dword(16));
    EXPECT_EQ(1, word(20));  // PCM
    EXPECT_EQ(1, word(22));  // mono
    EXPECT_EQ(11025u, dword(24));
    EXPECT_EQ(11025u, dword(28));
    EXPECT_EQ(1, word(32));
    EXPECT_EQ(8, word(34));
    EXPECT_EQ(0, memcmp(image + 36, "data", 4));
    EXPECT_EQ(25564u, dword(40));
}

TEST_F(ToolResources, AboutItemTextAndVersion) {
    wchar_t text[64] = {};
    LoadStringW(m_module, IDS_ABOUTBOX, text, 64);
    EXPECT_EQ(std::wstring(L"关于 望站(&A)..."), text);

    HRSRC version = FindResourceW(m_module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));
    ASSERT_NE(nullptr, version);
    const auto* block = LockResource(LoadResource(m_module, version));
    const DWORD size = SizeofResource(m_module, version);
    std::vector<BYTE> copy(static_cast<const BYTE*>(block), static_cast<const BYTE*>(block) + size);
    const auto query = [&copy](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
        return VerQueryValueW(copy.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)
                   ? std::wstring(value)
                   : std::wstring();
    };
    EXPECT_EQ(L"1.1.1.0", query(L"FileVersion"));
    EXPECT_EQ(L"望站", query(L"FileDescription"));
    EXPECT_EQ(L"望站", query(L"InternalName"));
    EXPECT_EQ(L"望站.exe", query(L"OriginalFilename"));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(MAKELONG(1, 1), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(0, 1), fixed->dwFileVersionLS);
}

}  // namespace
