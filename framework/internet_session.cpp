// CInternetSession: one WinINet session, and the opening of an address as a page to read.
#include "internet_session.h"

#include <shlwapi.h>

#include <string>
#include <utility>

#include "code_page.h"
#include "internet_exception.h"
#include "win_app.h"

namespace {

// Wine's WinINet follows a redirect loop without end, so redirects are followed here, and
// a chain longer than this is an address that cannot be opened.
constexpr int kMaxRedirects = 20;

// A check always asks the server: no cached copy, the system's own or a caching proxy's, may stand in for a
// dead site (RELOAD skips only the former). An ftp page comes as text, passive, as behind NAT and firewalls
// only passive works.
constexpr DWORD kOpenFlags = INTERNET_FLAG_TRANSFER_ASCII | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                             INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_PASSIVE | INTERNET_FLAG_NO_AUTO_REDIRECT;
// Every open carries the same context; no status callback is installed to read it.
constexpr DWORD_PTR kOpenContext = 1;

// No single call of a fetch waits longer than these: Wine sets no send or receive time-out of its own, Windows
// 30 s for each. A connection is given as long as a check waits for its whole page.
constexpr DWORD kConnectTimeout = 60000;
constexpr DWORD kSendReceiveTimeout = 30000;

void SetTimeouts(HINTERNET connection) {
    for (auto [option, milliseconds] : {std::pair<DWORD, DWORD>{INTERNET_OPTION_CONNECT_TIMEOUT, kConnectTimeout},
                                        {INTERNET_OPTION_SEND_TIMEOUT, kSendReceiveTimeout},
                                        {INTERNET_OPTION_RECEIVE_TIMEOUT, kSendReceiveTimeout}}) {
        ::InternetSetOptionW(connection, option, &milliseconds, sizeof(milliseconds));
    }
}

UniqueHandle InternetHandle(HINTERNET handle) {
    return {handle, [](HANDLE owned) { ::InternetCloseHandle(owned); }};
}

// A part of a cracked address; a part the address lacks is empty.
std::wstring Part(const wchar_t* text, DWORD length) { return text != nullptr ? std::wstring(text, length) : L""; }

const wchar_t* NullIfEmpty(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

// The parsed scheme of an address, or nothing when the platform's parser rejects it.
INTERNET_SCHEME ParseScheme(const std::wstring& url, std::wstring& canonical) {
    DWORD length = INTERNET_MAX_URL_LENGTH;
    canonical.assign(length, L'\0');
    if (!::InternetCanonicalizeUrlW(url.c_str(), canonical.data(), &length, ICU_BROWSER_MODE)) {
        return INTERNET_SCHEME_UNKNOWN;
    }
    canonical.resize(length);
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.dwSchemeLength = 1;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    if (!::InternetCrackUrlW(canonical.c_str(), 0, 0, &parts)) return INTERNET_SCHEME_UNKNOWN;
    return parts.nScheme;
}

// What was asked for over TLS is not fetched in the clear: WinINet's own rule, kept now that redirects are
// followed here.
bool IsHttpsToHttp(const std::wstring& from, const std::wstring& to) {
    std::wstring canonical;
    return ParseScheme(from, canonical) == INTERNET_SCHEME_HTTPS && ParseScheme(to, canonical) == INTERNET_SCHEME_HTTP;
}

// Read as a reader that does not own the file: a page another program is writing (a log) is read all the same.
std::unique_ptr<CStdioFile> OpenLocalFile(const std::wstring& canonical) {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = MAX_PATH;
    if (FAILED(::PathCreateFromUrlW(canonical.c_str(), path, &length, 0))) length = 0;
    return std::make_unique<CStdioFile>(Narrow({path, length}), CFile::modeRead | CFile::shareDenyNone);
}

// The Location of a 3xx answer, or nothing when the answer is no redirect.
std::wstring RedirectTarget(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
        return {};
    }
    if (status < 300 || status > 399) return {};
    size = 0;
    ::HttpQueryInfoW(request, HTTP_QUERY_LOCATION, nullptr, &size, nullptr);
    if (size == 0) return {};
    std::wstring location(size / sizeof(wchar_t) + 1, L'\0');
    if (!::HttpQueryInfoW(request, HTTP_QUERY_LOCATION, location.data(), &size, nullptr)) return {};
    location.resize(size / sizeof(wchar_t));
    return location;
}

std::wstring Resolve(const std::wstring& base, const std::wstring& relative) {
    DWORD length = INTERNET_MAX_URL_LENGTH;
    std::wstring combined(length, L'\0');
    if (!::InternetCombineUrlW(base.c_str(), relative.c_str(), combined.data(), &length, 0)) {
        throw CInternetException(::GetLastError());
    }
    combined.resize(length);
    return combined;
}

DWORD HandleType(HINTERNET handle) {
    DWORD type = 0;
    DWORD size = sizeof(type);
    return ::InternetQueryOptionW(handle, INTERNET_OPTION_HANDLE_TYPE, &type, &size) ? type : 0;
}

// When the parser rejected the address, the kind of handle the platform returned tells.
INTERNET_SCHEME SchemeOfHandle(HINTERNET file) {
    switch (HandleType(file)) {
        case INTERNET_HANDLE_TYPE_HTTP_REQUEST:
            return INTERNET_SCHEME_HTTP;
        case INTERNET_HANDLE_TYPE_FTP_FILE:
            return INTERNET_SCHEME_FTP;
        case INTERNET_HANDLE_TYPE_GOPHER_FILE:
            return INTERNET_SCHEME_GOPHER;
        default:
            return INTERNET_SCHEME_UNKNOWN;
    }
}

}  // namespace

CInternetSession::CInternetSession() {
    const std::wstring agent = Widen(AfxGetApp()->m_strAppName.View());
    m_session = InternetHandle(::InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!m_session) throw CInternetException(::GetLastError());
}

std::unique_ptr<CStdioFile> CInternetSession::OpenURL(const CString& url) {
    const std::wstring address = Widen(url.View());
    std::wstring canonical;
    const INTERNET_SCHEME scheme = ParseScheme(address, canonical);
    if (scheme == INTERNET_SCHEME_FILE) return OpenLocalFile(canonical);
    std::wstring finalUrl;
    UniqueHandle file = OpenFollowingRedirects(address, finalUrl);
    std::wstring finalCanonical;
    return PageOfKind(finalUrl == address ? scheme : ParseScheme(finalUrl, finalCanonical), std::move(file));
}

// Every call on the session's handles is preceded by a look at whether the fetch was abandoned meanwhile.
UniqueHandle CInternetSession::OpenFollowingRedirects(std::wstring url, std::wstring& finalUrl) {
    for (int redirects = 0;; ++redirects) {
        UniqueHandle file = OpenOnce(url);
        m_abandoned.ThrowIfSet();
        const std::wstring location = RedirectTarget(file.get());
        if (location.empty()) {
            finalUrl = url;
            return file;
        }
        if (redirects == kMaxRedirects) throw CInternetException(ERROR_HTTP_REDIRECT_FAILED);
        std::wstring next = Resolve(url, location);
        if (IsHttpsToHttp(url, next)) throw CInternetException(ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR);
        url = std::move(next);
    }
}

// One request of the address, answered or not by a redirect: http and https in the calls that InternetOpenUrl
// makes of them, every other scheme through InternetOpenUrl itself.
UniqueHandle CInternetSession::OpenOnce(const std::wstring& url) const {
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUserNameLength = parts.dwPasswordLength = 1;
    parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
    if (::InternetCrackUrlW(url.c_str(), 0, 0, &parts) &&
        (parts.nScheme == INTERNET_SCHEME_HTTP || parts.nScheme == INTERNET_SCHEME_HTTPS)) {
        return OpenHttp(parts);
    }
    m_abandoned.ThrowIfSet();
    UniqueHandle file =
        InternetHandle(::InternetOpenUrlW(m_session.get(), url.c_str(), nullptr, 0, kOpenFlags, kOpenContext));
    if (!file) throw CInternetException(::GetLastError());
    return file;
}

// The time-outs go on the connection before the request is sent: Wine applies them there and nowhere else, and
// InternetOpenUrl leaves no moment between. The request handle owns its connection and closes it after itself.
UniqueHandle CInternetSession::OpenHttp(const URL_COMPONENTSW& parts) const {
    const DWORD flags = kOpenFlags | (parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0);
    const std::wstring host = Part(parts.lpszHostName, parts.dwHostNameLength);
    const std::wstring user = Part(parts.lpszUserName, parts.dwUserNameLength);
    const std::wstring password = Part(parts.lpszPassword, parts.dwPasswordLength);
    const std::wstring object =
        Part(parts.lpszUrlPath, parts.dwUrlPathLength) + Part(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    m_abandoned.ThrowIfSet();
    UniqueHandle connection =
        InternetHandle(::InternetConnectW(m_session.get(), host.c_str(), parts.nPort, NullIfEmpty(user),
                                          NullIfEmpty(password), INTERNET_SERVICE_HTTP, flags, kOpenContext));
    if (!connection) throw CInternetException(::GetLastError());
    SetTimeouts(connection.get());
    const wchar_t* acceptAll[] = {L"*/*", nullptr};
    HINTERNET request =
        ::HttpOpenRequestW(connection.get(), nullptr, object.c_str(), nullptr, nullptr, acceptAll, flags, kOpenContext);
    if (request == nullptr) throw CInternetException(::GetLastError());
    UniqueHandle answer(request, [owner = connection.release()](HANDLE handle) {
        ::InternetCloseHandle(handle);
        ::InternetCloseHandle(owner);
    });
    m_abandoned.ThrowIfSet();
    if (!::HttpSendRequestW(request, nullptr, 0, nullptr, 0)) throw CInternetException(::GetLastError());
    return answer;
}

std::unique_ptr<CStdioFile> CInternetSession::PageOfKind(INTERNET_SCHEME scheme, UniqueHandle file) const {
    if (scheme == INTERNET_SCHEME_UNKNOWN) scheme = SchemeOfHandle(file.get());
    switch (scheme) {
        case INTERNET_SCHEME_HTTP:
        case INTERNET_SCHEME_HTTPS:
            return std::make_unique<CHttpFile>(std::move(file), m_abandoned);
        case INTERNET_SCHEME_FTP:
        case INTERNET_SCHEME_GOPHER:
            return std::make_unique<CInternetFile>(std::move(file), m_abandoned);
        default:
            return nullptr;
    }
}
