// The page check's memory under Wine: a 100 MB page against a 100 KB one, and 300 checks against 10.
//
// Run as "memory_bench check|bare keepalive|close": the tool's CheckPage or the bare WinINet loop, against
// a server that keeps its connections open or closes each after its page; each in a process of its own,
// as a peak cannot be reset. The pages come from bench_pages.py, whose port is in WZ_BENCH_PORT. Wine's
// working set is the process's resident memory.
#include <windows.h>
#include <psapi.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "bare_check.h"
#include "page_check.h"
#include "private_bytes.h"
#include "tool_app.h"

namespace {

bench::ToolApp g_app;
using bench::kMarker;
constexpr double kMiB = 1 << 20;

std::string PageUrl(const char* page, bool close) {
    const char* port = std::getenv("WZ_BENCH_PORT");
    return std::string("http://127.0.0.1:") + (port ? port : "0") + "/page/" + page + (close ? "/close" : "");
}

struct Memory {
    double workingSet = 0;
    double peakWorkingSet = 0;
    double privateBytes = 0;
};

Memory Now() {
    Memory memory;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) {
        memory.workingSet = static_cast<double>(counters.WorkingSetSize) / kMiB;
        memory.peakWorkingSet = static_cast<double>(counters.PeakWorkingSetSize) / kMiB;
    }
    memory.privateBytes = static_cast<double>(memory::CommittedPrivateBytes()) / kMiB;
    return memory;
}

const char* Verdict(double mib, double goal) { return std::abs(mib) <= goal ? "met" : "MISSED"; }

}  // namespace

int main(int argc, char** argv) {
    const bool bare = argc > 1 && std::string(argv[1]) == "bare";
    const bool close = argc > 2 && std::string(argv[2]) == "close";
    const std::function<void(const std::string&)> check = [&](const std::string& url) {
        if (bare) {
            bench::BareCheck(std::wstring(url.begin(), url.end()), kMarker);
        } else {
            monitor::CheckPage(url.c_str(), kMarker);
        }
    };
    const auto repeat = [&](int times, const char* page) {
        for (int i = 0; i < times; ++i) check(PageUrl(page, close));
    };

    repeat(10, "100K/absent/full");
    const Memory after10 = Now();
    repeat(290, "100K/absent/full");
    const Memory after300 = Now();
    repeat(3, "100M/absent/full");
    const Memory afterLarge = Now();

    std::printf("%s, the server %s:\n", bare ? "the bare WinINet loop" : "the tool's CheckPage",
                close ? "closing each connection" : "keeping connections open");
    const double peakGrowth = afterLarge.peakWorkingSet - after300.peakWorkingSet;
    std::printf("  peak working set %.2f MiB on 100 KB pages, %.2f MiB after three 100 MB pages: %+.2f MiB%s%s\n",
                after300.peakWorkingSet, afterLarge.peakWorkingSet, peakGrowth, bare ? "" : "  goal <= 1 MiB ",
                bare ? "" : Verdict(peakGrowth, 1));
    const double drift = after300.workingSet - after10.workingSet;
    std::printf("  working set after 10 checks %.2f MiB, after 300 %.2f MiB: %+.2f MiB%s%s\n", after10.workingSet,
                after300.workingSet, drift, bare ? "" : "  goal within 0.5 MiB ", bare ? "" : Verdict(drift, 0.5));
    std::printf("  private bytes after 10 checks %.2f MiB, after 300 %.2f MiB, after the 100 MB pages %.2f MiB\n",
                after10.privateBytes, after300.privateBytes, afterLarge.privateBytes);
    return 0;
}
