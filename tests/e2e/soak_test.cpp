// A thousand checks in a row: the report, the boxes, the tool's memory and its handles stay right.
#include <array>
#include <chrono>
#include <cstdio>
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
};

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
    EXPECT_EQ(2u * kChecks, handles[L"internet"].opened) << "a session and a page for every check";
    EXPECT_EQ(1u, handles[L"file"].opened) << "the settings file, written at Start";
    EXPECT_EQ(static_cast<size_t>(alarms), handles[L"thread"].opened) << "a sound thread for every alarm";
    for (const wchar_t* kind : {L"internet", L"file", L"thread"}) EXPECT_EQ(0u, handles[kind].open) << kind;
    // The thread library gives a static mutex of its own an event the first time two threads meet at it,
    // and keeps it for the process's life: one at most, however many checks and alarms.
    EXPECT_LE(handles[L"sync"].open, 1u);
}

}  // namespace
}  // namespace e2e
