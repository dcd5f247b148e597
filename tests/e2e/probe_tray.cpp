// A shell that refuses the tool's icon: its adds fail, inside the tool, through its import.
#include "probe_tray.h"

// after windows.h, which it needs
#include <shellapi.h>

#include "import_patch.h"

namespace probe {

namespace {

WORD g_refusalsLeft = 0;
ImportPatch* g_patch = nullptr;

BOOL WINAPI RefusingNotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
    if (message == NIM_ADD && g_refusalsLeft > 0) {
        if (g_refusalsLeft != kEveryTrayAdd) --g_refusalsLeft;
        return FALSE;
    }
    return g_patch->Original<decltype(&Shell_NotifyIconW)>()(message, data);
}

}  // namespace

// Patched for the rest of the process: the probe stays loaded too.
std::wstring RefuseTrayAdds(WORD count) {
    static ImportPatch patch(GetModuleHandleW(nullptr), "shell32.dll", "Shell_NotifyIconW",
                             reinterpret_cast<const void*>(&RefusingNotifyIcon));
    g_patch = &patch;
    g_refusalsLeft = count;
    return patch.Applied() ? L"refusing" : L"the tool imports no Shell_NotifyIconW";
}

}  // namespace probe
