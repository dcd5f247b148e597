// Counts this program's own calls to InternetReadFile, to tell how much of a page a check read.
#include "read_count.h"

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <optional>

#include "import_patch.h"

namespace bench {

namespace {

decltype(&InternetReadFile) g_read = nullptr;
std::atomic<size_t> g_reads{0};
std::optional<ImportPatch> g_readPatch;  // for the life of the benchmark

BOOL WINAPI CountedRead(HINTERNET file, void* buffer, DWORD size, DWORD* read) {
    ++g_reads;
    return g_read(file, buffer, size, read);
}

}  // namespace

bool CountReads() {
    if (!g_readPatch) {
        g_readPatch.emplace(GetModuleHandleW(nullptr), "wininet.dll", "InternetReadFile",
                            reinterpret_cast<const void*>(&CountedRead));
        g_read = g_readPatch->Original<decltype(&InternetReadFile)>();
    }
    return g_readPatch->Applied();
}

size_t ReadsSoFar() { return g_reads; }

}  // namespace bench
