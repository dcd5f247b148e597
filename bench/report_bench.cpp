// The cost of one report update as the tool makes it, at 10, 10,000 and 500,000 lines, as ratios.
//
// Each round puts one line in at the top of a visible report box of each size, the box
// repainted; sizes alternate within a round, and the figure is the median over the rounds of
// the ratio to the 10-line box. The memory that each report box holds is printed too.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "code_page.h"
#include "controls.h"
#include "private_bytes.h"

namespace {

constexpr int kRounds = 9;
constexpr DWORD kReportStyle =
    WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_BORDER;
const char kLine[] = "2026-12-08 17:05:07 ERROR\r\n";

struct Report {
    HWND frame;
    CEdit box;
};

void Fill(Report& report, size_t lines) {
    std::string text;
    for (size_t i = 0; i < lines; ++i) text += kLine;
    report.box.SetLimitText(0);
    report.box.SetWindowText(CString(std::move(text)));
}

double UpdateMilliseconds(Report& report) {
    const auto start = std::chrono::steady_clock::now();
    report.box.SetSel(0, 0);
    report.box.ReplaceSel(kLine);
    ::UpdateWindow(report.box.m_hWnd);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    const size_t sizes[] = {10, 10000, 500000};
    std::vector<Report> reports(std::size(sizes));
    std::vector<size_t> held;
    for (size_t i = 0; i < reports.size(); ++i) {
        const size_t before = memory::CommittedPrivateBytes();
        reports[i].frame = ::CreateWindowExW(0, L"#32770", L"report", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 600,
                                             400, nullptr, nullptr, nullptr, nullptr);
        reports[i].box.m_hWnd = ::CreateWindowExW(0, L"EDIT", L"", kReportStyle, 10, 10, 570, 340, reports[i].frame,
                                                  nullptr, nullptr, nullptr);
        Fill(reports[i], sizes[i]);
        held.push_back(memory::CommittedPrivateBytes() - before);
    }
    std::vector<std::vector<double>> ratios(reports.size());
    std::vector<std::vector<double>> times(reports.size());
    for (int round = 0; round < kRounds; ++round) {
        std::vector<double> t;
        for (Report& report : reports) t.push_back(UpdateMilliseconds(report));
        for (size_t i = 0; i < t.size(); ++i) {
            times[i].push_back(t[i]);
            ratios[i].push_back(t[i] / t[0]);
        }
    }
    std::printf("report update (a line put in at the top, box repainted), median of %d rounds:\n", kRounds);
    for (size_t i = 0; i < reports.size(); ++i) {
        std::printf("  %7zu lines: %8.2f ms, %6.1fx the 10-line box; the report holds %.1f MiB\n", sizes[i],
                    Median(times[i]), Median(ratios[i]), static_cast<double>(held[i]) / (1 << 20));
    }
    const double largest = Median(ratios.back());
    std::printf("goal: at most 5x at 500,000 lines %s\n", largest <= 5 ? "met" : "MISSED");
    return 0;
}
