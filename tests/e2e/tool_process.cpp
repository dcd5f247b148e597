// ToolProcess: one run of the real tool in a fresh working directory, driven from outside.
#include "tool_process.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "e2e_config.h"
#include "window_access.h"

namespace e2e {

namespace {

constexpr DWORD kKillWaitMs = 5000;

std::filesystem::path UniqueTempPath() {
    static int counter = 0;
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, base);
    const std::wstring name =
        L"wangzhan-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    return std::filesystem::path(base) / name;
}

bool IsDialogWindow(HWND window) { return ClassName(window) == L"#32770"; }

// Empty when the box closes while being read.
std::optional<MessageBoxView> ReadMessageBox(HWND box) {
    const std::optional<std::wstring> title = TryWindowText(box);
    if (!title || *title == kMainCaption) return std::nullopt;
    MessageBoxView view{box, *title, {}};
    for (HWND child : ChildWindows(box)) {
        if (lstrcmpiW(ClassName(child).c_str(), L"Static") != 0 || (Style(child) & SS_TYPEMASK) == SS_ICON) continue;
        const std::optional<std::wstring> text = TryWindowText(child);
        if (!text) return std::nullopt;
        view.text = *text;
        if (!view.text.empty()) break;
    }
    return view;
}

}  // namespace

TempDirectory::TempDirectory() : m_path(UniqueTempPath()) { std::filesystem::create_directories(m_path); }

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

ChildProcess::ChildProcess(const std::wstring& exePath, const std::filesystem::path& workingDirectory) {
    std::wstring commandLine = L"\"" + exePath + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory.c_str(), &startup, &started)) {
        ADD_FAILURE() << "cannot start " << exePath << ": error " << GetLastError();
        return;
    }
    CloseHandle(started.hThread);
    m_process.reset(started.hProcess);
    m_id = started.dwProcessId;
}

ChildProcess::~ChildProcess() {
    if (!IsRunning()) return;
    TerminateProcess(m_process.get(), 1);
    WaitForSingleObject(m_process.get(), kKillWaitMs);
}

bool ChildProcess::WaitForInputIdle(std::chrono::milliseconds timeout) const {
    return m_process != nullptr && ::WaitForInputIdle(m_process.get(), static_cast<DWORD>(timeout.count())) == 0;
}

bool ChildProcess::IsRunning() const {
    return m_process != nullptr && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT;
}

namespace {

const wchar_t kSettingsName[] = L"sitecheck.ini";

// The directory, with the settings file put in first when one is given.
const std::filesystem::path& Seeded(const std::filesystem::path& directory,
                                    const std::optional<std::string>& settingsFile) {
    if (settingsFile) std::ofstream(directory / kSettingsName, std::ios::binary) << *settingsFile;
    return directory;
}

}  // namespace

// The modal loop shows its dialog when its queue first runs empty: a window hidden before then would be
// shown again. Waiting for input here is not enough to rule that out under Wine (see ToolTest).
ToolProcess::ToolProcess(const std::optional<std::string>& settingsFile, RunIn where)
    : m_workingDirectory(where == RunIn::ToolFolder ? std::filesystem::path(Config().toolPath).parent_path()
                                                    : m_directory.Path()),
      m_process(Config().toolPath, Seeded(m_workingDirectory, settingsFile)) {
    WaitFor([this] {
        m_mainWindow = FindMainWindow();
        return m_mainWindow != nullptr || FindMessageBox().has_value() || !IsRunning();
    });
    if (m_mainWindow != nullptr && !m_process.WaitForInputIdle(kDefaultTimeout)) {
        ADD_FAILURE() << "the tool never waited for input";
    }
}

HWND ToolProcess::WaitForMainWindow() {
    WaitFor([this] { return (m_mainWindow = FindMainWindow()) != nullptr || !IsRunning(); });
    return m_mainWindow;
}

std::optional<std::string> ToolProcess::SettingsFile() const {
    std::ifstream file(WorkingDirectory() / kSettingsName, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Visible means the dialog has been through WM_INITDIALOG.
HWND ToolProcess::FindMainWindow() const {
    for (HWND window : TopLevelWindowsOf(ProcessId())) {
        if (IsDialogWindow(window) && IsWindowVisible(window) && TryWindowText(window) == kMainCaption) return window;
    }
    return nullptr;
}

DWORD ToolProcess::UiThreadId() const { return GetWindowThreadProcessId(m_mainWindow, nullptr); }

std::wstring ToolProcess::DescribeWindows() const {
    std::wstring description;
    for (HWND window : TopLevelWindowsOf(ProcessId())) {
        description += ClassName(window) + L" \"" + TryWindowText(window).value_or(L"?") + L"\"" +
                       (IsWindowVisible(window) ? L" visible\n" : L" hidden\n");
    }
    return description.empty() ? L"no top-level window\n" : description;
}

std::wstring ToolProcess::ItemText(int id) const { return WindowText(Item(id)); }

void ToolProcess::SetItemText(int id, const std::wstring& text) const {
    Send(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND ToolProcess::FocusWindow() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(UiThreadId(), &info) ? info.hwndFocus : nullptr;
}

void ToolProcess::FocusItem(int id) const {
    Send(m_mainWindow, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

void ToolProcess::PressKey(WORD virtualKey) const {
    HWND focus = FocusWindow();
    PostKeyPress(focus != nullptr ? focus : m_mainWindow, virtualKey);
}

void ToolProcess::ClickItem(int id) const { Click(Item(id)); }

bool ToolProcess::WaitForExit(std::chrono::milliseconds timeout) const {
    return WaitFor([this] { return !IsRunning(); }, timeout);
}

std::vector<MessageBoxView> ToolProcess::MessageBoxes() const {
    std::vector<MessageBoxView> boxes;
    for (HWND window : TopLevelWindowsOf(ProcessId())) {
        if (!IsDialogWindow(window) || !IsWindowVisible(window)) continue;
        if (std::optional<MessageBoxView> box = ReadMessageBox(window)) boxes.push_back(*box);
    }
    return boxes;
}

std::optional<MessageBoxView> ToolProcess::FindMessageBox() const {
    std::vector<MessageBoxView> boxes = MessageBoxes();
    if (boxes.empty()) return std::nullopt;
    return boxes.front();
}

std::optional<MessageBoxView> ToolProcess::WaitForMessageBox(std::chrono::milliseconds timeout) const {
    std::optional<MessageBoxView> box;
    WaitFor([&] { return (box = FindMessageBox()).has_value(); }, timeout);
    return box;
}

void PressOk(const MessageBoxView& box) {
    HWND ok = GetDlgItem(box.window, IDOK);
    if (ok == nullptr) {
        ADD_FAILURE() << "the box \"" << box.title << "\" has no OK button";
        return;
    }
    Click(ok);
}

}  // namespace e2e
