// The exe is run from wherever it was unpacked, a Downloads folder or a USB stick, where anyone may have
// left a DLL named like a system one. Windows looks in the exe's folder first for any DLL that is not one
// of its own known few, so nothing the tool loads may be looked for there.
#include "dll_search.h"

#include <windows.h>
#include <delayimp.h>

#include <string>

namespace {

// WinINet and the sound's DLL are delay-loaded; each is loaded here, at its first call, by its full path
// in the system folder. The altered search then looks for what it needs in that folder too, also where
// the search cannot be restricted (Windows 7 without KB2533623).
FARPROC WINAPI LoadFromSystemFolder(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliNotePreLoadLibrary) return nullptr;
    std::wstring path(MAX_PATH, L'\0');
    const UINT length = ::GetSystemDirectoryW(path.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;  // the helper then loads it by name
    path.resize(length);
    path += L'\\';
    for (const char* name = info->szDll; *name != '\0'; ++name) path += static_cast<wchar_t>(*name);
    return reinterpret_cast<FARPROC>(::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace

extern "C" {
PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;
}

void RestrictDllSearchToSystemFolder() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    // Looked up, as Windows 7 has it only with KB2533623.
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(
            ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories == nullptr || !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        ::SetDllDirectoryW(L"");  // at least the current folder out of the search
    }
}
