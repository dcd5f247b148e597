// probe.dll: answers the driver's questions from inside the tool, where the tool's own handles mean something.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <iterator>
#include <string>

#include "import_patch.h"
#include "probe_handles.h"
#include "probe_memory.h"
#include "probe_protocol.h"
#include "probe_tray.h"

namespace {

using probe::Question;

UINT ProbeMessage() {
    static const UINT message = RegisterWindowMessageW(probe::kMessageName);
    return message;
}

std::wstring Field(const std::wstring& text) { return text + probe::kFieldSeparator; }

std::wstring DescribeSystemMenu(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    std::wstring answer;
    const int count = menu != nullptr ? GetMenuItemCount(menu) : 0;
    for (int position = 0; position < count; ++position) {
        wchar_t text[256] = {};
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = static_cast<UINT>(std::size(text));
        GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item);
        answer += Field((item.fType & MFT_SEPARATOR) != 0 ? L"separator" : L"string");
        answer += Field(std::to_wstring(item.wID));
        answer += text;
        answer += probe::kRecordSeparator;
    }
    return answer;
}

bool HasClass(HWND window, const wchar_t* className) {
    wchar_t actual[32] = {};
    GetClassNameW(window, actual, static_cast<int>(std::size(actual)));
    return lstrcmpiW(actual, className) == 0;
}

struct BoxSearch {
    HWND mainWindow;
    HWND box;
};

BOOL CALLBACK TakeMessageBox(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<BoxSearch*>(lParam);
    if (window == search->mainWindow || !IsWindowVisible(window) || !HasClass(window, L"#32770")) return TRUE;
    search->box = window;
    return FALSE;
}

BOOL CALLBACK TakeIcon(HWND child, LPARAM lParam) {
    if (!HasClass(child, L"Static") || (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
    *reinterpret_cast<HICON*>(lParam) = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    return FALSE;
}

// The shared system icons are this process's own handles, so only here can the box's icon be named.
std::wstring DescribeMessageBoxIcon(HWND mainWindow) {
    BoxSearch search = {mainWindow, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &TakeMessageBox, reinterpret_cast<LPARAM>(&search));
    if (search.box == nullptr) return L"none";
    HICON icon = nullptr;
    EnumChildWindows(search.box, &TakeIcon, reinterpret_cast<LPARAM>(&icon));
    const struct {
        LPCWSTR id;
        const wchar_t* name;
    } systemIcons[] = {
        {IDI_HAND, L"stop"},
        {IDI_EXCLAMATION, L"exclamation"},
        {IDI_ASTERISK, L"information"},
        {IDI_QUESTION, L"question"},
    };
    for (const auto& systemIcon : systemIcons) {
        if (icon == LoadIconW(nullptr, systemIcon.id)) return systemIcon.name;
    }
    return L"other";
}

HWND g_boxOwner = nullptr;
UINT g_boxIcon = 0;

void CALLBACK ShowBox(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    MessageBoxW(g_boxOwner, probe::kBoxText, probe::kBoxTitle, MB_OK | g_boxIcon);
}

// The box runs its own loop, so it opens from a timer once the hook has answered.
std::wstring OpenMessageBox(HWND mainWindow, UINT icon) {
    g_boxOwner = mainWindow;
    g_boxIcon = icon;
    SetTimer(nullptr, 0, 0, &ShowBox);
    return L"opened";
}

// Asked from inside the tool, so the answer follows everything posted to it before, an exit command too.
// A modify with no flags changes nothing.
std::wstring AskShell(DWORD message, HWND mainWindow, WORD id, const wchar_t* yes, const wchar_t* no) {
    NOTIFYICONDATAW record = {};
    record.cbSize = NOTIFYICONDATAW_V1_SIZE;
    record.hWnd = mainWindow;
    record.uID = id;
    if (message == NIM_ADD) {
        record.uFlags = NIF_ICON;
        record.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    }
    return Shell_NotifyIconW(message, &record) ? yes : no;
}

// What the tool asked of the shell since WatchShell; the shell itself is not asked, so no viewer or browser starts.
std::wstring g_shellCalls;

HINSTANCE WINAPI RecordShellExecute(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, INT show) {
    g_shellCalls += Field(std::to_wstring(show));
    g_shellCalls += Field(parameters != nullptr ? L"1" : L"0");
    g_shellCalls += Field(directory != nullptr ? L"1" : L"0");
    g_shellCalls += Field(verb != nullptr ? verb : L"");
    g_shellCalls += (file != nullptr ? file : L"");
    g_shellCalls += probe::kRecordSeparator;
    constexpr INT_PTR kOpened = 42;
    return reinterpret_cast<HINSTANCE>(kOpened);
}

// Patched in the tool's own import table for the rest of the process: the probe stays loaded too.
std::wstring WatchShell() {
    static ImportPatch patch(GetModuleHandleW(nullptr), "shell32.dll", "ShellExecuteW",
                             reinterpret_cast<const void*>(&RecordShellExecute));
    return patch.Applied() ? L"watching" : L"the tool imports no ShellExecuteW";
}

std::wstring CurrentDirectory() {
    wchar_t directory[MAX_PATH + 1] = {};
    return std::wstring(directory, GetCurrentDirectoryW(MAX_PATH + 1, directory));
}

// An icon's bitmaps can be read only in the process that made it.
std::wstring IconSize(HICON icon) {
    ICONINFO info = {};
    if (icon == nullptr || !GetIconInfo(icon, &info)) return L"none";
    BITMAP mask = {};
    GetObjectW(info.hbmMask, sizeof(mask), &mask);
    DeleteObject(info.hbmMask);
    // Without a colour bitmap, the mask holds the image's two masks one over the other.
    const LONG height = info.hbmColor != nullptr ? mask.bmHeight : mask.bmHeight / 2;
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    return std::to_wstring(mask.bmWidth) + L"x" + std::to_wstring(height);
}

std::wstring DescribeWindowIcons(HWND window) {
    const auto icon = [&](WPARAM which) { return reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0)); };
    return Field(IconSize(icon(ICON_BIG))) + IconSize(icon(ICON_SMALL));
}

// Wine runs the tool as a Linux process and answers a Windows process id of its own; the kernel's getpid,
// asked directly, names the Linux one, whose /proc entry only the driver should read (a file Wine opens goes
// through its server, so the tool's own /proc/self would be the server's).
int LinuxProcessId() {
    int pid = 0;
    asm volatile("int $0x80" : "=a"(pid) : "a"(20) : "memory");  // i386 Linux: getpid is call 20
    return pid;
}

std::wstring AnswerFor(Question question, WORD argument, HWND mainWindow) {
    switch (question) {
        case Question::Ping:
            return L"pong";
        case Question::SystemMenu:
            return DescribeSystemMenu(mainWindow);
        case Question::MessageBoxIcon:
            return DescribeMessageBoxIcon(mainWindow);
        case Question::AnsiCodePage:
            return std::to_wstring(GetACP());
        case Question::OpenMessageBox:
            return OpenMessageBox(mainWindow, argument);
        case Question::TrayIcon:
            return AskShell(NIM_MODIFY, mainWindow, argument, L"shown", L"none");
        case Question::AddTrayIcon:
            return AskShell(NIM_ADD, mainWindow, argument, L"added", L"refused");
        case Question::DeleteTrayIcon:
            return AskShell(NIM_DELETE, mainWindow, argument, L"deleted", L"none");
        case Question::WatchShell:
            return WatchShell();
        case Question::ShellCalls:
            return g_shellCalls;
        case Question::CurrentDirectory:
            return CurrentDirectory();
        case Question::CountHandles:
            return probe::StartCountingHandles();
        case Question::Handles:
            return probe::DescribeHandles();
        case Question::PrivateBytes:
            return std::to_wstring(probe::PrivateBytes());
        case Question::PeakPrivateBytes: {
            const probe::PeakMemory peak = probe::PeakPrivateBytes();
            return std::to_wstring(peak.bytes) + probe::kFieldSeparator + std::to_wstring(peak.samples);
        }
        case Question::RefuseTrayAdds:
            return probe::RefuseTrayAdds(argument);
        case Question::QueueEmpty:
            return HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0 ? L"empty" : L"pending";
        case Question::WindowIcons:
            return DescribeWindowIcons(mainWindow);
        case Question::LinuxProcessId:
            return std::to_wstring(LinuxProcessId());
    }
    return L"unknown question";
}

void Answer(const MSG& question) {
    const std::wstring answer =
        AnswerFor(probe::QuestionOf(question.wParam), probe::ArgumentOf(question.wParam), question.hwnd);
    COPYDATASTRUCT data = {};
    data.dwData = static_cast<ULONG_PTR>(probe::QuestionOf(question.wParam));
    data.cbData = static_cast<DWORD>(answer.size() * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(answer.data());
    SendMessageTimeoutW(reinterpret_cast<HWND>(question.lParam), WM_COPYDATA, reinterpret_cast<WPARAM>(question.hwnd),
                        reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, nullptr);
}

}  // namespace

// A hook's DLL may be unloaded once the driver unhooks; pinned, a box or a timer of the probe outlives that.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&ProbeGetMessageHook), &self);
    }
    return TRUE;
}

LRESULT CALLBACK ProbeGetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == ProbeMessage()) {
        Answer(*message);
        message->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
