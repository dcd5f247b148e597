// Probe: the driver's side of probe.dll, which answers from inside the tool what no other process can read.
#include "probe_client.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "waits.h"
#include "window_access.h"

namespace e2e {

namespace {

constexpr wchar_t kReplyClass[] = L"Wangzhan.E2e.ProbeReply";

// At most maxParts parts: the last keeps the separators it holds (a menu item's text may have a tab).
std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator, size_t maxParts = std::wstring::npos) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (size_t end = text.find(separator); end != std::wstring::npos && parts.size() + 1 < maxParts;
         end = text.find(separator, start)) {
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (start < text.size()) parts.push_back(text.substr(start));
    return parts;
}

HMODULE ProbeModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ProbeGetMessageHook), &module);
    return module;
}

}  // namespace

Probe::Probe(const ToolProcess& tool)
    : m_mainWindow(tool.MainWindow()),
      m_message(RegisterWindowMessageW(probe::kMessageName)),
      m_replyWindow(CreateReplyWindow()),
      m_hook(SetWindowsHookExW(WH_GETMESSAGE, &ProbeGetMessageHook, ProbeModule(), tool.UiThreadId())) {
    if (m_replyWindow == nullptr || m_hook == nullptr) {
        ADD_FAILURE() << "cannot hook the tool's UI thread: error " << GetLastError();
    }
}

HWND Probe::CreateReplyWindow() {
    static const ATOM replyClass = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &Probe::ReplyWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kReplyClass;
        return RegisterClassW(&windowClass);
    }();
    HWND window = CreateWindowExW(0, MAKEINTATOM(replyClass), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return window;
}

LRESULT CALLBACK Probe::ReplyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Probe*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != WM_COPYDATA || self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const auto* text = static_cast<const wchar_t*>(data->lpData);
    self->m_answer.emplace(static_cast<probe::Question>(data->dwData),
                           std::wstring(text, text + data->cbData / sizeof(wchar_t)));
    return TRUE;
}

std::optional<std::wstring> Probe::Ask(probe::Question question, WORD argument) {
    m_answer.reset();
    Post(m_mainWindow, m_message, probe::MakeQuestion(question, argument),
         reinterpret_cast<LPARAM>(m_replyWindow.get()));
    if (!WaitFor([this] { return m_answer.has_value(); })) {
        ADD_FAILURE() << "the probe gave no answer to question " << static_cast<int>(question);
        return std::nullopt;
    }
    if (m_answer->first != question) {
        ADD_FAILURE() << "the probe answered question " << static_cast<int>(m_answer->first) << " instead of "
                      << static_cast<int>(question);
        return std::nullopt;
    }
    return m_answer->second;
}

bool Probe::Sync() { return Ask(probe::Question::Ping) == L"pong"; }

bool Probe::QueueEmpty() { return Ask(probe::Question::QueueEmpty) == L"empty"; }

std::vector<MenuItem> Probe::SystemMenu() {
    std::vector<MenuItem> items;
    for (const std::wstring& record : Split(Ask(probe::Question::SystemMenu).value_or(L""), probe::kRecordSeparator)) {
        const std::vector<std::wstring> fields = Split(record, probe::kFieldSeparator, 3);
        if (fields.size() < 2) {
            ADD_FAILURE() << "a menu item the probe described badly: " << record;
            continue;
        }
        items.push_back(
            {fields[0] == L"separator", static_cast<UINT>(std::stoul(fields[1])), fields.size() > 2 ? fields[2] : L""});
    }
    return items;
}

std::wstring Probe::MessageBoxIcon() { return Ask(probe::Question::MessageBoxIcon).value_or(L""); }

UINT Probe::AnsiCodePage() { return static_cast<UINT>(std::stoul(Ask(probe::Question::AnsiCodePage).value_or(L"0"))); }

void Probe::OpenMessageBox(UINT icon) {
    EXPECT_EQ(L"opened", Ask(probe::Question::OpenMessageBox, static_cast<WORD>(icon)).value_or(L""));
}

bool Probe::TrayIconShown(UINT id) { return Ask(probe::Question::TrayIcon, static_cast<WORD>(id)) == L"shown"; }

bool Probe::AddTrayIcon(UINT id) { return Ask(probe::Question::AddTrayIcon, static_cast<WORD>(id)) == L"added"; }

bool Probe::DeleteTrayIcon(UINT id) {
    return Ask(probe::Question::DeleteTrayIcon, static_cast<WORD>(id)) == L"deleted";
}

bool Probe::RefuseTrayAdds(WORD count) {
    const std::wstring answer = Ask(probe::Question::RefuseTrayAdds, count).value_or(L"no answer");
    EXPECT_EQ(L"refusing", answer);
    return answer == L"refusing";
}

bool Probe::WatchShell() {
    const std::wstring answer = Ask(probe::Question::WatchShell).value_or(L"no answer");
    EXPECT_EQ(L"watching", answer);
    return answer == L"watching";
}

std::vector<ShellCall> Probe::ShellCalls() {
    std::vector<ShellCall> calls;
    for (const std::wstring& record : Split(Ask(probe::Question::ShellCalls).value_or(L""), probe::kRecordSeparator)) {
        const std::vector<std::wstring> fields = Split(record, probe::kFieldSeparator, 5);
        if (fields.size() < 4) {
            ADD_FAILURE() << "a shell call the probe described badly: " << record;
            continue;
        }
        calls.push_back({std::stoi(fields[0]), fields[1] == L"1", fields[2] == L"1", fields[3],
                         fields.size() > 4 ? fields[4] : L""});
    }
    return calls;
}

std::wstring Probe::CurrentDirectory() { return Ask(probe::Question::CurrentDirectory).value_or(L""); }

std::wstring Probe::WindowIcons() { return Ask(probe::Question::WindowIcons).value_or(L""); }

void Probe::CountHandles() { EXPECT_EQ(L"counting", Ask(probe::Question::CountHandles).value_or(L"")); }

std::map<std::wstring, HandleCount> Probe::Handles() {
    std::map<std::wstring, HandleCount> counts;
    for (const std::wstring& record : Split(Ask(probe::Question::Handles).value_or(L""), probe::kRecordSeparator)) {
        const std::vector<std::wstring> fields = Split(record, probe::kFieldSeparator);
        if (fields.size() != 3) {
            ADD_FAILURE() << "a handle count the probe described badly: " << record;
            continue;
        }
        counts[fields[0]] = {std::stoul(fields[1]), std::stoul(fields[2])};
    }
    return counts;
}

std::map<std::wstring, HandleCount> Probe::HandlesOnceThreadsEnd(std::chrono::milliseconds timeout) {
    std::map<std::wstring, HandleCount> handles;
    EXPECT_TRUE(WaitFor([&] { return (handles = Handles())[L"thread"].open == 0; }, timeout))
        << handles[L"thread"].open << " threads still running";
    return handles;
}

size_t Probe::PrivateBytes() {
    return static_cast<size_t>(std::stoull(Ask(probe::Question::PrivateBytes).value_or(L"0")));
}

PeakMemory Probe::PeakPrivateBytes() {
    const std::vector<std::wstring> fields =
        Split(Ask(probe::Question::PeakPrivateBytes).value_or(L""), probe::kFieldSeparator);
    if (fields.size() != 2) {
        ADD_FAILURE() << "the probe gave no peak of memory";
        return {};
    }
    return {static_cast<size_t>(std::stoull(fields[0])), static_cast<size_t>(std::stoull(fields[1]))};
}

LinuxResources Probe::Linux() {
    const std::wstring process = L"Z:\\proc\\" + Ask(probe::Question::LinuxProcessId).value_or(L"0");
    std::ifstream status(std::filesystem::path(process + L"\\status"));
    LinuxResources resources;
    std::string key;
    for (size_t value = 0; status >> key;) {
        if (key == "Threads:" && status >> value) resources.threads = value;
        if (key == "VmSize:" && status >> value) resources.addressSpace = value * 1024;  // in kB
    }
    std::ifstream maps(std::filesystem::path(process + L"\\maps"));
    for (std::string line; std::getline(maps, line) && !resources.emulated;) {
        resources.emulated = line.find("/qemu-") != std::string::npos;
    }
    WIN32_FIND_DATAW entry;
    const HANDLE found = FindFirstFileW((process + L"\\fd\\*").c_str(), &entry);
    if (found != INVALID_HANDLE_VALUE) {
        do {
            if (entry.cFileName[0] != L'.') ++resources.descriptors;
        } while (FindNextFileW(found, &entry));
        FindClose(found);
    }
    EXPECT_TRUE(resources.threads != 0 && resources.descriptors != 0 && resources.addressSpace != 0)
        << "the tool's process could not be read at " << process;
    return resources;
}

}  // namespace e2e
