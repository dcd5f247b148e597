// What the driver and the probe inside the tool say to each other.
//
// The driver posts the registered message to the tool's main window with the question and
// its argument in wParam and the driver's answer window in lParam. The probe's hook sees it
// in the tool's message loop, in order with everything posted before, and sends the answer
// back as WM_COPYDATA: dwData is the question, the data UTF-16 text, records one a line and
// fields separated by tabs, the last field of a record free to hold tabs itself.
#pragma once

#include <windows.h>

namespace probe {

inline constexpr wchar_t kMessageName[] = L"Wangzhan.E2e.Probe";
inline constexpr wchar_t kFieldSeparator = L'\t';
inline constexpr wchar_t kRecordSeparator = L'\n';

enum class Question : WORD {
    Ping = 1,          // answers "pong" once everything posted before is handled
    SystemMenu,        // one record per item: "separator" or "string", the id, the text
    MessageBoxIcon,    // "stop", "exclamation", "information", "question", "other" or "none"
    AnsiCodePage,      // GetACP() of the tool
    OpenMessageBox,    // argument: the MB_ICON* flag; opens a box of the probe's own, answers "opened"
    TrayIcon,          // argument: an icon id of the main window; "shown" when the shell holds it, else "none"
    AddTrayIcon,       // argument: the id; an icon of the probe's own there, "added" or "refused" by the shell
    DeleteTrayIcon,    // argument: the id; the icon taken away as a restarted shell loses it, "deleted" or "none"
    WatchShell,        // from now on the tool's ShellExecuteW is recorded, not carried out; "watching" or why not
    ShellCalls,        // one record per recorded call: the show command, "1" or "0" for parameters and for a
                       // directory given, the verb, the file
    CurrentDirectory,  // the tool's current directory
    CountHandles,      // starts counting the handles the tool opens; "counting", or what cannot be counted
    Handles,           // one record per kind of handle: the kind, how many opened, how many still open
    PrivateBytes,      // the tool's committed private memory in bytes
    PeakPrivateBytes,  // its highest value since last asked, and how often it was sampled; the first
                       // question starts the sampling
    RefuseTrayAdds,    // argument: how many of the tool's next icon adds fail (probe::kEveryTrayAdd: all);
                       // "refusing" or why not
    QueueEmpty,        // "empty" when nothing but the question was waiting in the tool's queue, else "pending"
    WindowIcons,       // the main window's big and small icon, each as "<width>x<height>" or "none"
    LinuxProcessId,    // the process id of the Linux process that runs the tool under Wine
};

inline WPARAM MakeQuestion(Question question, WORD argument = 0) {
    return MAKEWPARAM(static_cast<WORD>(question), argument);
}

inline Question QuestionOf(WPARAM wParam) { return static_cast<Question>(LOWORD(wParam)); }

inline WORD ArgumentOf(WPARAM wParam) { return HIWORD(wParam); }

// RefuseTrayAdds' argument that refuses every add from then on.
inline constexpr WORD kEveryTrayAdd = 0xFFFF;

// The title and the text of the box that OpenMessageBox opens.
inline constexpr wchar_t kBoxTitle[] = L"探针标题";
inline constexpr wchar_t kBoxText[] = L"探针打开的消息框";

}  // namespace probe

// The hook the driver installs on the tool's UI thread with SetWindowsHookExW(WH_GETMESSAGE).
#ifdef PROBE_BUILDING_DLL
extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeGetMessageHook(int code, WPARAM wParam, LPARAM lParam);
#else
extern "C" __declspec(dllimport) LRESULT CALLBACK ProbeGetMessageHook(int code, WPARAM wParam, LPARAM lParam);
#endif
