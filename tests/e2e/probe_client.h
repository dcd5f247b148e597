// Probe: the driver's side of probe.dll, which answers from inside the tool what no other process can read.
#pragma once

#include <windows.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "probe_protocol.h"
#include "tool_process.h"

namespace e2e {

// Handles of one kind that the tool's own code opened since counting started.
struct HandleCount {
    size_t opened = 0;
    size_t open = 0;  // of those, not closed yet
};

struct PeakMemory {
    size_t bytes = 0;
    size_t samples = 0;  // how often it was sampled meanwhile
};

// The tool's process as Linux sees it, what it holds however Wine counts: its threads, its open file descriptors
// (sockets among them) and its address space.
struct LinuxResources {
    size_t threads = 0;
    size_t descriptors = 0;
    size_t addressSpace = 0;  // VmSize, in bytes
    // The process is qemu-user's, running the 32-bit loader: its address space holds qemu's own reservations,
    // some 50-60 MiB for each live thread, which need not go when the thread does.
    bool emulated = false;
};

struct MenuItem {
    bool separator = false;
    UINT id = 0;
    std::wstring text;
};

// A call of the tool to ShellExecuteW, as the probe recorded it.
struct ShellCall {
    int show = 0;
    bool withParameters = false;
    bool withDirectory = false;
    std::wstring verb;
    std::wstring file;
};

class Probe {
public:
    // Hooks the tool's UI thread; Wine then loads probe.dll into the tool.
    explicit Probe(const ToolProcess& tool);
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    // Posted behind whatever the driver posted before, so the answer sees its effect; empty on time-out.
    std::optional<std::wstring> Ask(probe::Question question, WORD argument = 0);

    // True once the tool has handled every message posted to it before.
    bool Sync();
    // True when nothing but the question waited in the tool's queue as it took the question: no message,
    // no painting, no timer.
    bool QueueEmpty();
    std::vector<MenuItem> SystemMenu();
    // "stop", "exclamation", "information", "question", "other", or "none" when no box is open.
    std::wstring MessageBoxIcon();
    UINT AnsiCodePage();
    // Opens a box of the probe's own in the tool, with the given MB_ICON* flag.
    void OpenMessageBox(UINT icon);
    // Whether the shell holds the main window's icon with the id.
    bool TrayIconShown(UINT id);
    // Puts an icon of the probe's own under the main window and the id; false when the shell refuses it.
    bool AddTrayIcon(UINT id);
    // Takes the main window's icon with the id away, as a restarted taskbar loses it; false when there was none.
    bool DeleteTrayIcon(UINT id);
    // The tool's next `count` icon adds fail without reaching the shell (probe::kEveryTrayAdd: all of them).
    bool RefuseTrayAdds(WORD count);
    // From now on the tool's calls to the shell are recorded instead of carried out.
    bool WatchShell();
    std::vector<ShellCall> ShellCalls();
    std::wstring CurrentDirectory();
    // The main window's big and small icon as "<width>x<height>\t<width>x<height>", "none" for one it lacks.
    std::wstring WindowIcons();
    // Starts counting the handles that the tool's own code opens and closes, from zero.
    void CountHandles();
    // By kind: "file", "thread", "sync", "internet".
    std::map<std::wstring, HandleCount> Handles();
    // The counts once no thread counted is running; a test failure when some still run after the timeout.
    std::map<std::wstring, HandleCount> HandlesOnceThreadsEnd(std::chrono::milliseconds timeout = kDefaultTimeout);
    size_t PrivateBytes();
    // The highest PrivateBytes since the last call, sampled also while the tool is busy; the first call
    // starts the sampling.
    PeakMemory PeakPrivateBytes();
    // Read from /proc through Wine's Z: drive; all zero, with a test failure, when it cannot be read.
    LinuxResources Linux();

private:
    struct WindowDestroyer {
        void operator()(HWND window) const { DestroyWindow(window); }
    };
    struct Unhooker {
        void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
    };

    static LRESULT CALLBACK ReplyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateReplyWindow();

    HWND m_mainWindow;
    UINT m_message;
    std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer> m_replyWindow;
    std::unique_ptr<std::remove_pointer_t<HHOOK>, Unhooker> m_hook;
    std::optional<std::pair<probe::Question, std::wstring>> m_answer;
};

}  // namespace e2e
