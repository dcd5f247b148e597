// Counts this program's own calls to InternetReadFile, to tell how much of a page a check read.
#include "read_count.h"

#include <windows.h>
#include <wininet.h>

#include <atomic>

#include "patch_import.h"

namespace bench {

namespace {

decltype(&InternetReadFile) g_read = nullptr;
std::atomic<size_t> g_reads{0};

BOOL WINAPI CountedRead(HINTERNET file, void* buffer, DWORD size, DWORD* read) {
    ++g_reads;
    return g_read(file, buffer, size, read);
}

}  // namespace

bool CountReads() {
    if (g_read == nullptr) {
        void* original = e2e::PatchImport(GetModuleHandleW(nullptr), "wininet.dll", "InternetReadFile",
                                          reinterpret_cast<void*>(&CountedRead));
        g_read = reinterpret_cast<decltype(&InternetReadFile)>(original);
    }
    return g_read != nullptr;
}

size_t ReadsSoFar() { return g_reads; }

}  // namespace bench
