// The floor a page check is measured against: the same WinINet calls with nothing of the tool's around them.
#include "bare_check.h"

#include <windows.h>
#include <wininet.h>

#include <cstring>
#include <memory>
#include <thread>
#include <type_traits>

namespace bench {

namespace {

// What the tool opens a page with: always from the server, past any proxy's cache, redirects followed by hand.
constexpr DWORD kToolFlags = INTERNET_FLAG_TRANSFER_ASCII | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                             INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_PASSIVE | INTERNET_FLAG_NO_AUTO_REDIRECT;

struct Closer {
    void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using Handle = std::unique_ptr<std::remove_pointer_t<HINTERNET>, Closer>;

bool Holds(const char* line, const char* end, std::string_view marker) {
    for (const char* at = line; static_cast<size_t>(end - at) >= marker.size(); ++at) {
        at = static_cast<const char*>(std::memchr(at, marker[0], static_cast<size_t>(end - at) - marker.size() + 1));
        if (at == nullptr) return false;
        if (std::memcmp(at, marker.data(), marker.size()) == 0) return true;
    }
    return false;
}

// The line that ends at `lf`, its start carried over from earlier reads if any.
bool LineHolds(std::string& partial, const char* at, const char* lf, std::string_view marker) {
    if (partial.empty()) return Holds(at, lf, marker);
    partial.append(at, lf);
    const bool holds = Holds(partial.data(), partial.data() + partial.size(), marker);
    partial.clear();
    return holds;
}

int CheckHere(const std::wstring& url, std::string_view marker) {
    const Handle session(InternetOpenW(L"望站", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    const Handle page(session ? InternetOpenUrlW(session.get(), url.c_str(), nullptr, 0, kToolFlags, 1) : nullptr);
    if (!page) return 0;
    char buffer[4096];
    std::string partial;  // the start of a line that goes on in the next read
    DWORD read = 0;
    while (InternetReadFile(page.get(), buffer, sizeof(buffer), &read) && read > 0) {
        const char* at = buffer;
        const char* end = buffer + read;
        for (const char* lf; (lf = static_cast<const char*>(std::memchr(at, '\n', end - at))) != nullptr; at = lf + 1) {
            if (LineHolds(partial, at, lf, marker)) return 1;
        }
        partial.append(at, end);
    }
    return Holds(partial.data(), partial.data() + partial.size(), marker) ? 1 : 0;
}

}  // namespace

int BareCheck(const std::wstring& url, std::string_view marker) {
    int result = 0;
    std::thread([&] { result = CheckHere(url, marker); }).join();
    return result;
}

}  // namespace bench
