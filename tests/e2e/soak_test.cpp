// A thousand checks in a row: the report, the boxes, the tool's memory and its handles stay right, also
// when nobody closes a box.
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <set>
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

constexpr int kChecks = 1000;
constexpr int kFlipEvery = 100;  // the page turns from ERROR to OK and back every this many checks
constexpr int kSettled = 50;     // memory is compared with what it was after this many checks
constexpr size_t kMemorySlack = 1 << 20;
constexpr size_t kMaxOpenBoxes = 10;

// The page fails first, so the first alarm comes at check 1: the sound system that its tone starts takes
// some 3 MiB once under Wine, and that is in place before memory is first measured.
bool HealthyAt(int check) { return (check - 1) / kFlipEvery % 2 == 1; }

// The tool's result before check `check`: it starts at OK.
bool HealthyBefore(int check) { return check == 1 || HealthyAt(check - 1); }

// The report line's time stamp as numbers, so that lines can be put in order.
std::array<int, 6> StampOf(const std::wstring& line) {
    std::array<int, 6> stamp = {};
    swscanf(line.c_str(), L"%d-%d-%d %d:%d:%d", &stamp[0], &stamp[1], &stamp[2], &stamp[3], &stamp[4], &stamp[5]);
    return stamp;
}

class Soak : public ToolTest {
protected:
    // Runs check number `check`, by Start for the first and by a posted timer message after; returns the
    // text of the box it showed, dismissed, or an empty text when it showed none.
    std::wstring RunCheck(int check, Probe& probe) {
        if (check == 1) {
            tool.ClickItem(IDC_START);
        } else {
            Post(tool.MainWindow(), WM_TIMER, 1, 0);
        }
        if (!WaitForReportLines(tool, static_cast<size_t>(check))) {
            ADD_FAILURE() << "check " << check << " wrote no line";
            return L"";
        }
        probe.Sync();  // the cycle has ended, or its box is up
        if (IsWindowEnabled(tool.MainWindow())) return L"";
        const auto box = tool.WaitForMessageBox();
        if (!box) return L"(a box that could not be read)";
        PressOk(*box);
        WaitFor([&] { return IsWindowEnabled(tool.MainWindow()) != FALSE; });
        return box->text;
    }

    // Starts monitoring a working page, lets `breakSite` break it, and posts kChecks ticks one after another
    // without closing a box, as over a weekend away from the desk. Returns the boxes then open.
    std::vector<MessageBoxView> TickUnattended(Probe& probe, const std::function<void()>& breakSite) {
        tool.SetItemText(IDC_URL, PageUrl(kSwitchPage));
        tool.SetItemText(IDC_FLAG, kMarker);
        tool.SetItemText(IDC_INTERVAL, L"600");
        HttpGet(PageUrl(kSwitchOk));
        tool.ClickItem(IDC_START);
        EXPECT_TRUE(WaitForReportLines(tool, 1));
        probe.Sync();
        probe.CountHandles();
        breakSite();
        const auto start = std::chrono::steady_clock::now();
        for (int tick = 1; tick <= kChecks; ++tick) {
            Post(tool.MainWindow(), WM_TIMER, 1, 0);
            if (!probe.Sync()) {
                ADD_FAILURE() << "tick " << tick << " was never handled";
                break;
            }
            if (tick == kSettled) m_settledBytes = probe.PrivateBytes();
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const std::vector<MessageBoxView> boxes = tool.MessageBoxes();
        std::printf("%d ticks in %.0f s; %zu boxes open; private bytes %zu KiB after %d ticks, %zu KiB after %d\n",
                    kChecks, seconds, boxes.size(), m_settledBytes >> 10, kSettled, probe.PrivateBytes() >> 10,
                    kChecks);
        EXPECT_TRUE(tool.IsRunning());
        EXPECT_TRUE(IsWindowVisible(tool.Item(IDC_STOP))) << "still monitoring";
        EXPECT_LE(boxes.size(), kMaxOpenBoxes);
        std::set<std::wstring> texts;
        for (const MessageBoxView& box : boxes) EXPECT_TRUE(texts.insert(box.text).second) << "twice: " << box.text;
        return boxes;
    }

    // Closes the boxes from the top down, as the user who comes back does.
    void CloseEveryBox() {
        while (const auto box = tool.FindMessageBox()) {
            PressOk(*box);
            ASSERT_TRUE(WaitFor([&] { return !IsWindow(box->window); })) << box->text;
        }
    }

    // One more tick on a working page gives its line (and a recovery box, closed), and memory and handles
    // are as the plain soak keeps them. Returns the handles counted since the ticks began.
    std::map<std::wstring, HandleCount> ExpectBackToNormal(Probe& probe, size_t lines) {
        HttpGet(PageUrl(kSwitchOk));
        Post(tool.MainWindow(), WM_TIMER, 1, 0);
        EXPECT_TRUE(WaitForReportLines(tool, lines));
        EXPECT_TRUE(EndsWith(ReportLines(tool).front(), L" OK"));
        probe.Sync();
        CloseEveryBox();
        EXPECT_LE(probe.PrivateBytes(), m_settledBytes + kMemorySlack);
        std::map<std::wstring, HandleCount> handles = probe.HandlesOnceThreadsEnd();
        for (const wchar_t* kind : {L"internet", L"file"}) EXPECT_EQ(0u, handles[kind].open) << kind;
        EXPECT_LE(handles[L"sync"].open, 1u);
        return handles;
    }

    // Every line in place: check n is line kChecks - n from the top, with the page's result then.
    void ExpectReportInOrder() {
        const std::vector<std::wstring> lines = ReportLines(tool);
        ASSERT_EQ(static_cast<size_t>(kChecks), lines.size());
        for (int check = 1; check <= kChecks; ++check) {
            const std::wstring& line = lines[static_cast<size_t>(kChecks - check)];
            ASSERT_TRUE(EndsWith(line, HealthyAt(check) ? L" OK" : L" ERROR")) << "check " << check << ": " << line;
            if (check > 1) {
                ASSERT_LE(StampOf(lines[static_cast<size_t>(kChecks - check + 1)]), StampOf(line)) << "check " << check;
            }
        }
    }

    size_t m_settledBytes = 0;
};

TEST_F(Soak, AThousandTicksUnderANoFrameBoxOpenItOnceAndWriteEveryLine) {
    Probe probe(tool);
    const std::vector<MessageBoxView> boxes =
        TickUnattended(probe, [&] { Send(tool.Item(IDC_FORWARD), BM_SETCHECK, BST_CHECKED, 0); });
    ASSERT_EQ(2u, boxes.size()) << "the first tick's box, and the alarm of the second tick under it";
    EXPECT_TRUE(EndsWith(boxes[0].text, L" 网站出现异常!")) << boxes[0].text;
    EXPECT_EQ(L"未能找到真实网址！", boxes[1].text);
    EXPECT_EQ(static_cast<size_t>(kChecks), ReportLineCount(tool)) << "every tick but the first has its line";
    CloseEveryBox();
    EXPECT_TRUE(WaitForReportLines(tool, 1u + kChecks)) << "the first tick's line once its box is closed";
    Send(tool.Item(IDC_FORWARD), BM_SETCHECK, BST_UNCHECKED, 0);
    ExpectBackToNormal(probe, 2u + kChecks);
}

TEST_F(Soak, AThousandTicksThatBreakShowOneErrorBoxAndEachChecks) {
    Probe probe(tool);
    const std::vector<MessageBoxView> boxes = TickUnattended(probe, [] { HttpGet(PageUrl(kSwitchBroken)); });
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"stop", probe.MessageBoxIcon());
    EXPECT_EQ(1u, ReportLineCount(tool)) << "a check that breaks writes no line";
    EXPECT_EQ(3u * kChecks, probe.Handles()[L"internet"].opened)
        << "a session, a connection and its request for every tick";
    CloseEveryBox();
    ExpectBackToNormal(probe, 2);
}

TEST_F(Soak, AThousandTicksOfAFlappingSiteOpenTenBoxesAtMost) {
    Probe probe(tool);
    const std::vector<MessageBoxView> boxes = TickUnattended(probe, [] { HttpGet(PageUrl(kSwitchFlap)); });
    EXPECT_EQ(kMaxOpenBoxes, boxes.size());
    EXPECT_EQ(1u + kChecks, ReportLineCount(tool));
    EXPECT_TRUE(EndsWith(ReportLines(tool)[kChecks - 1], L" ERROR")) << "the site failed first";
    CloseEveryBox();
    const std::map<std::wstring, HandleCount> handles = ExpectBackToNormal(probe, 2u + kChecks);
    EXPECT_EQ(static_cast<size_t>(kChecks + 1 + kChecks / 2), handles.at(L"thread").opened)
        << "a fetch for every tick, the last one's included, and a sound for every failure";
}

TEST_F(Soak, AThousandChecksKeepReportBoxesMemoryAndHandlesRight) {
    Probe probe(tool);
    probe.CountHandles();
    tool.SetItemText(IDC_URL, PageUrl(kSwitchPage));
    tool.SetItemText(IDC_FLAG, kMarker);
    tool.SetItemText(IDC_INTERVAL, L"600");  // only the driver's timer messages tick

    std::vector<std::pair<int, std::wstring>> boxes;
    size_t settledBytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int check = 1; check <= kChecks && !HasFatalFailure(); ++check) {
        if (check % kFlipEvery == 1) HttpGet(PageUrl(HealthyAt(check) ? kSwitchOk : kSwitchFail));
        const std::wstring box = RunCheck(check, probe);
        if (!box.empty()) boxes.emplace_back(check, box);
        if (check == kSettled) settledBytes = probe.PrivateBytes();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const size_t endBytes = probe.PrivateBytes();
    std::printf("%d checks in %.0f s; private bytes %zu KiB after %d checks, %zu KiB after %d\n", kChecks, seconds,
                settledBytes >> 10, kSettled, endBytes >> 10, kChecks);

    ExpectReportInOrder();
    std::vector<std::pair<int, std::wstring>> changes;
    int alarms = 0;
    for (int check = 1; check <= kChecks; ++check) {
        if (HealthyAt(check) == HealthyBefore(check)) continue;
        changes.emplace_back(check, HealthyAt(check) ? L"恢复" : L"异常");
        alarms += HealthyAt(check) ? 0 : 1;
    }
    ASSERT_EQ(changes.size(), boxes.size()) << "one box for each change of result, and none else";
    for (size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(changes[i].first, boxes[i].first);
        EXPECT_NE(std::wstring::npos, boxes[i].second.find(changes[i].second)) << boxes[i].second;
    }

    EXPECT_LE(endBytes, settledBytes + kMemorySlack);
    std::map<std::wstring, HandleCount> handles = probe.Handles();
    for (const auto& [kind, count] : handles) {
        std::printf("%ls handles: %zu opened, %zu still open\n", kind.c_str(), count.opened, count.open);
    }
    EXPECT_EQ(3u * kChecks, handles[L"internet"].opened) << "a session, a connection and its request for every check";
    EXPECT_EQ(1u, handles[L"file"].opened) << "the settings file, written at Start";
    EXPECT_EQ(static_cast<size_t>(kChecks + alarms), handles[L"thread"].opened)
        << "a fetch thread for every check and a sound thread for every alarm";
    for (const wchar_t* kind : {L"internet", L"file", L"thread"}) EXPECT_EQ(0u, handles[kind].open) << kind;
    // The thread library gives a static mutex of its own an event the first time two threads meet at it,
    // and keeps it for the process's life: one at most, however many checks and alarms.
    EXPECT_LE(handles[L"sync"].open, 1u);
}

}  // namespace
}  // namespace e2e
