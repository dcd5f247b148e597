// The handles the tool's own code opens and closes, counted inside the tool through its imports.
//
// Wine answers 0 to the system's handle counts, so the probe redirects the tool's own calls that
// open and close handles and keeps the set of those still open. Handles made inside system DLLs on
// the tool's behalf (a session's sockets, a sound's buffers) are theirs to close and not counted.
#include "probe_handles.h"

#include <windows.h>
#include <wininet.h>
// after windows.h, which it needs
#include <process.h>

#include <array>
#include <deque>
#include <unordered_map>

#include "import_patch.h"
#include "probe_protocol.h"

namespace probe {

namespace {

enum Kind { kFile, kThread, kSync, kInternet, kKinds };
constexpr std::array<const wchar_t*, kKinds> kKindNames = {L"file", L"thread", L"sync", L"internet"};

// The tool's alarm-sound thread opens and closes handles too, so every count is taken under the lock.
SRWLOCK g_lock = SRWLOCK_INIT;
std::array<size_t, kKinds> g_opened = {};
std::unordered_map<void*, Kind> g_open;

class Locked {
public:
    Locked() { AcquireSRWLockExclusive(&g_lock); }
    ~Locked() { ReleaseSRWLockExclusive(&g_lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

// The bookkeeping keeps the caller's last error, which the tool reads after a failed call.
void Opened(void* handle, Kind kind) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    const DWORD error = GetLastError();
    {
        Locked locked;
        ++g_opened[kind];
        g_open[handle] = kind;
    }
    SetLastError(error);
}

void Closed(void* handle, BOOL closed) {
    if (!closed) return;
    const DWORD error = GetLastError();
    {
        Locked locked;
        g_open.erase(handle);
    }
    SetLastError(error);
}

decltype(&CreateFileW) g_createFile;
decltype(&CreateEventA) g_createEvent;
decltype(&CreateSemaphoreA) g_createSemaphore;
decltype(&_beginthreadex) g_beginThread;
decltype(&CloseHandle) g_closeHandle;
decltype(&InternetOpenW) g_internetOpen;
decltype(&InternetOpenUrlW) g_internetOpenUrl;
decltype(&InternetConnectW) g_internetConnect;
decltype(&HttpOpenRequestW) g_httpOpenRequest;
decltype(&InternetCloseHandle) g_internetCloseHandle;

HANDLE WINAPI CountedCreateFile(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD creation,
                                DWORD flags, HANDLE templateFile) {
    HANDLE file = g_createFile(name, access, share, security, creation, flags, templateFile);
    Opened(file, kFile);
    return file;
}

HANDLE WINAPI CountedCreateEvent(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState, LPCSTR name) {
    HANDLE event = g_createEvent(security, manualReset, initialState, name);
    Opened(event, kSync);
    return event;
}

HANDLE WINAPI CountedCreateSemaphore(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum, LPCSTR name) {
    HANDLE semaphore = g_createSemaphore(security, initial, maximum, name);
    Opened(semaphore, kSync);
    return semaphore;
}

uintptr_t __cdecl CountedBeginThread(void* security, unsigned stackSize, unsigned(__stdcall* start)(void*),
                                     void* argument, unsigned flags, unsigned* threadId) {
    const uintptr_t thread = g_beginThread(security, stackSize, start, argument, flags, threadId);
    Opened(reinterpret_cast<void*>(thread), kThread);
    return thread;
}

BOOL WINAPI CountedCloseHandle(HANDLE handle) {
    const BOOL closed = g_closeHandle(handle);
    Closed(handle, closed);
    return closed;
}

HINTERNET WINAPI CountedInternetOpen(LPCWSTR agent, DWORD access, LPCWSTR proxy, LPCWSTR bypass, DWORD flags) {
    HINTERNET session = g_internetOpen(agent, access, proxy, bypass, flags);
    Opened(session, kInternet);
    return session;
}

HINTERNET WINAPI CountedInternetOpenUrl(HINTERNET session, LPCWSTR url, LPCWSTR headers, DWORD headersLength,
                                        DWORD flags, DWORD_PTR context) {
    HINTERNET file = g_internetOpenUrl(session, url, headers, headersLength, flags, context);
    Opened(file, kInternet);
    return file;
}

HINTERNET WINAPI CountedInternetConnect(HINTERNET session, LPCWSTR server, INTERNET_PORT port, LPCWSTR user,
                                        LPCWSTR password, DWORD service, DWORD flags, DWORD_PTR context) {
    HINTERNET connection = g_internetConnect(session, server, port, user, password, service, flags, context);
    Opened(connection, kInternet);
    return connection;
}

HINTERNET WINAPI CountedHttpOpenRequest(HINTERNET connection, LPCWSTR verb, LPCWSTR object, LPCWSTR version,
                                        LPCWSTR referrer, LPCWSTR* acceptTypes, DWORD flags, DWORD_PTR context) {
    HINTERNET request = g_httpOpenRequest(connection, verb, object, version, referrer, acceptTypes, flags, context);
    Opened(request, kInternet);
    return request;
}

BOOL WINAPI CountedInternetCloseHandle(HINTERNET handle) {
    const BOOL closed = g_internetCloseHandle(handle);
    Closed(handle, closed);
    return closed;
}

// Kept for the rest of the process: the probe stays loaded too.
std::deque<ImportPatch> g_patches;

template <typename Function>
bool Redirect(const char* dll, const char* name, Function& original, Function counted) {
    const ImportPatch& patch =
        g_patches.emplace_back(GetModuleHandleW(nullptr), dll, name, reinterpret_cast<const void*>(counted));
    original = patch.Original<Function>();
    return patch.Applied();
}

// The names of the calls that could not be redirected; empty when all were.
std::wstring RedirectAll() {
    std::wstring missing;
    const auto note = [&missing](bool redirected, const wchar_t* name) {
        if (!redirected) missing += std::wstring(missing.empty() ? L"" : L", ") + name;
    };
    note(Redirect("kernel32.dll", "CreateFileW", g_createFile, &CountedCreateFile), L"CreateFileW");
    note(Redirect("kernel32.dll", "CreateEventA", g_createEvent, &CountedCreateEvent), L"CreateEventA");
    note(Redirect("kernel32.dll", "CreateSemaphoreA", g_createSemaphore, &CountedCreateSemaphore), L"CreateSemaphoreA");
    note(Redirect("msvcrt.dll", "_beginthreadex", g_beginThread, &CountedBeginThread), L"_beginthreadex");
    note(Redirect("kernel32.dll", "CloseHandle", g_closeHandle, &CountedCloseHandle), L"CloseHandle");
    note(Redirect("wininet.dll", "InternetOpenW", g_internetOpen, &CountedInternetOpen), L"InternetOpenW");
    note(Redirect("wininet.dll", "InternetOpenUrlW", g_internetOpenUrl, &CountedInternetOpenUrl), L"InternetOpenUrlW");
    note(Redirect("wininet.dll", "InternetConnectW", g_internetConnect, &CountedInternetConnect), L"InternetConnectW");
    note(Redirect("wininet.dll", "HttpOpenRequestW", g_httpOpenRequest, &CountedHttpOpenRequest), L"HttpOpenRequestW");
    note(Redirect("wininet.dll", "InternetCloseHandle", g_internetCloseHandle, &CountedInternetCloseHandle),
         L"InternetCloseHandle");
    return missing;
}

}  // namespace

std::wstring StartCountingHandles() {
    static const std::wstring missing = RedirectAll();
    Locked locked;
    g_opened = {};
    g_open.clear();
    return missing.empty() ? L"counting" : L"not redirected: " + missing;
}

std::wstring DescribeHandles() {
    std::array<size_t, kKinds> open = {};
    std::array<size_t, kKinds> opened;
    {
        Locked locked;
        opened = g_opened;
        for (const auto& entry : g_open) ++open[entry.second];
    }
    std::wstring answer;
    for (int kind = 0; kind < kKinds; ++kind) {
        answer += kKindNames[kind] + std::wstring(1, kFieldSeparator) + std::to_wstring(opened[kind]) +
                  kFieldSeparator + std::to_wstring(open[kind]) + kRecordSeparator;
    }
    return answer;
}

}  // namespace probe
