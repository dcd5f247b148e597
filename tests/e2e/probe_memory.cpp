// The tool's committed private memory, now and at its highest, read inside the tool.
#include "probe_memory.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

#include "private_bytes.h"

namespace probe {

namespace {

constexpr DWORD kSampleIntervalMs = 5;

std::atomic<size_t> g_peak{0};
std::atomic<size_t> g_samples{0};

DWORD WINAPI Sample(void*) {
    for (;;) {
        const size_t now = PrivateBytes();
        size_t peak = g_peak.load();
        while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
        }
        ++g_samples;
        Sleep(kSampleIntervalMs);
    }
}

}  // namespace

size_t PrivateBytes() { return memory::CommittedPrivateBytes(); }

// The sampler lives as long as the tool; it runs on a thread of the probe's own, outside the handle count.
PeakMemory PeakPrivateBytes() {
    static const HANDLE sampler = CreateThread(nullptr, 0, &Sample, nullptr, 0, nullptr);
    if (sampler == nullptr) return {};
    return {std::max(g_peak.exchange(0), PrivateBytes()), g_samples.exchange(0)};
}

}  // namespace probe
