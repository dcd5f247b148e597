// The tool's page check under Wine against bare WinINet, and its early stop, as ratios of side-by-side runs.
//
// The pages come from bench_pages.py, whose port is in WZ_BENCH_PORT. Wine here runs 64-bit code
// only, so this is the 64-bit build of the same sources as the shipped 32-bit tool.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bare_check.h"
#include "page_check.h"
#include "pairs.h"
#include "read_count.h"
#include "tool_app.h"

namespace {

bench::ToolApp g_app;
using bench::kMarker;

std::string PageUrl(const char* page) {
    const char* port = std::getenv("WZ_BENCH_PORT");
    return std::string("http://127.0.0.1:") + (port ? port : "0") + "/page/" + page;
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// "<= 1.25x met", or nothing when the row has no goal.
std::string Goal(double ratio, double goal) {
    if (goal == 0) return "";
    char text[32];
    std::snprintf(text, sizeof(text), "<= %.2fx %s", goal, ratio <= goal ? "met" : "MISSED");
    return text;
}

struct CompareRow {
    const char* page;
    int pairs;
    double goal;  // at most this times the bare loop; 0 for none
};

void CompareWithBareWinInet() {
    const CompareRow rows[] = {
        {"100K/first/full", 9, 1.5}, {"100K/last/full", 9, 1.5},  {"100K/absent/full", 9, 1.5},
        {"10M/first/full", 7, 0},    {"10M/last/full", 7, 1.25},  {"10M/absent/full", 7, 1.25},
        {"100K/last/paced", 7, 1.5}, {"10M/last/paced", 7, 1.25},
    };
    std::printf("page (size/marker/pace)   check ms   bare ms   check/bare   goal\n");
    for (const CompareRow& row : rows) {
        const std::string url = PageUrl(row.page);
        int checkResult = -1;
        int bareResult = -1;
        const bench::PairTimes times = bench::Alternate(
            row.pairs, [&] { bareResult = bench::BareCheck(Wide(url), kMarker); },
            [&] { checkResult = monitor::CheckPage(url.c_str(), kMarker); });
        std::printf("%-24s %9.1f %9.1f %10.2fx   %s\n", row.page, times.b * 1e3, times.a * 1e3, times.ratio,
                    Goal(times.ratio, row.goal).c_str());
        if (checkResult != bareResult) std::printf("  the check said %d, the bare loop %d\n", checkResult, bareResult);
    }
}

// The marker on the first line of a paced page: one read, then the page is closed, whatever its size.
void EarlyStop() {
    const std::string small = PageUrl("100K/first/paced");
    const std::string large = PageUrl("100M/first/paced");
    size_t mostReads[2] = {0, 0};
    const auto check = [&](const std::string& url, size_t& most) {
        const size_t before = bench::ReadsSoFar();
        monitor::CheckPage(url.c_str(), kMarker);
        most = std::max(most, bench::ReadsSoFar() - before);
    };
    const bench::PairTimes times = bench::Alternate(
        9, [&] { check(small, mostReads[0]); }, [&] { check(large, mostReads[1]); });
    std::printf("marker on the first line, paced at 8 MiB/s: 100 KB %.1f ms, 100 MB %.1f ms\n", times.a * 1e3,
                times.b * 1e3);
    std::printf("100 MB over 100 KB: %.2fx   %s\n", times.ratio, Goal(times.ratio, 1.5).c_str());
    const bool one = mostReads[0] == 1 && mostReads[1] == 1;
    std::printf("reads of 4,096 bytes per check, at most: 100 KB %zu, 100 MB %zu   goal 1 %s\n", mostReads[0],
                mostReads[1], one ? "met" : "MISSED");
}

}  // namespace

int main() {
    if (!bench::CountReads()) std::printf("cannot count the reads: InternetReadFile is not imported\n");
    std::printf("-- the tool's CheckPage against bare WinINet (median of the pair ratios) --\n");
    CompareWithBareWinInet();
    std::printf("\n-- early stop --\n");
    EarlyStop();
    return 0;
}
