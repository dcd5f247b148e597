// ToolProcess: one run of the real tool in a fresh working directory, driven from outside.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "waits.h"

namespace e2e {

inline constexpr wchar_t kMainCaption[] = L"望站 Ver1.10";

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// A directory of its own under the temporary one, removed with all it holds.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// A started process, killed on destruction if it still runs.
class ChildProcess {
public:
    ChildProcess(const std::wstring& exePath, const std::filesystem::path& workingDirectory);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    DWORD Id() const { return m_id; }
    bool IsRunning() const;
    // True once the process's UI thread has waited for input with none pending.
    bool WaitForInputIdle(std::chrono::milliseconds timeout) const;

private:
    UniqueHandle m_process;
    DWORD m_id = 0;
};

// What a message box of the tool shows.
struct MessageBoxView {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
};

// Where the tool runs: a fresh directory of its own, or the folder that holds its exe, as a user who
// unpacked the release starts it there.
enum class RunIn { FreshDirectory, ToolFolder };

class ToolProcess {
public:
    // Starts the tool named on the driver's command line, with "sitecheck.ini" holding these bytes
    // when given, and waits for its main window or for a box it shows first.
    explicit ToolProcess(const std::optional<std::string>& settingsFile = std::nullopt,
                         RunIn where = RunIn::FreshDirectory);

    // Waits for the main window, as after a box at start-up has been closed.
    HWND WaitForMainWindow();
    // The bytes of "sitecheck.ini" in the working directory; nothing when there is no such file.
    std::optional<std::string> SettingsFile() const;

    // Null when the tool showed no main window in time; the fixture checks that first.
    HWND MainWindow() const { return m_mainWindow; }
    DWORD ProcessId() const { return m_process.Id(); }
    DWORD UiThreadId() const;
    const std::filesystem::path& WorkingDirectory() const { return m_workingDirectory; }
    // Describes the process's top-level windows, for a failure message.
    std::wstring DescribeWindows() const;

    HWND Item(int id) const { return GetDlgItem(m_mainWindow, id); }
    std::wstring ItemText(int id) const;
    // Through WM_SETTEXT, which a single-line edit reports to the dialog with EN_CHANGE, as it does typing.
    void SetItemText(int id, const std::wstring& text) const;
    // The control that has the keyboard focus in the tool's UI thread, or null.
    HWND FocusWindow() const;
    // Moves the focus as the dialog's own keyboard handling does.
    void FocusItem(int id) const;
    // Posts the key to the control that has the focus, where the keyboard would send it.
    void PressKey(WORD virtualKey) const;
    void ClickItem(int id) const;

    bool IsRunning() const { return m_process.IsRunning(); }
    bool WaitForExit(std::chrono::milliseconds timeout) const;

    // The open message boxes, the one on top first.
    std::vector<MessageBoxView> MessageBoxes() const;
    std::optional<MessageBoxView> FindMessageBox() const;
    std::optional<MessageBoxView> WaitForMessageBox(std::chrono::milliseconds timeout = kDefaultTimeout) const;

private:
    HWND FindMainWindow() const;

    TempDirectory m_directory;
    std::filesystem::path m_workingDirectory;
    ChildProcess m_process;
    HWND m_mainWindow = nullptr;
};

// Presses the box's OK button as the user would.
void PressOk(const MessageBoxView& box);

}  // namespace e2e
