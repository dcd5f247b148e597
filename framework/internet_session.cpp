// CInternetSession: one WinINet session, and the opening of an address as a page to read.
#include "internet_session.h"

#include <shlwapi.h>

#include <string>

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
    m_session = m_handles.Own(::InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
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

// Every call on the session's handles is preceded by a look at whether they were cut meanwhile.
UniqueHandle CInternetSession::OpenFollowingRedirects(std::wstring url, std::wstring& finalUrl) {
    for (int redirects = 0;; ++redirects) {
        m_handles.ThrowIfCut();
        UniqueHandle file =
            m_handles.Own(::InternetOpenUrlW(m_session.get(), url.c_str(), nullptr, 0, kOpenFlags, kOpenContext));
        if (!file) throw CInternetException(::GetLastError());
        m_handles.ThrowIfCut();
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

std::unique_ptr<CStdioFile> CInternetSession::PageOfKind(INTERNET_SCHEME scheme, UniqueHandle file) const {
    if (scheme == INTERNET_SCHEME_UNKNOWN) scheme = SchemeOfHandle(file.get());
    switch (scheme) {
        case INTERNET_SCHEME_HTTP:
        case INTERNET_SCHEME_HTTPS:
            return std::make_unique<CHttpFile>(std::move(file), m_handles);
        case INTERNET_SCHEME_FTP:
        case INTERNET_SCHEME_GOPHER:
            return std::make_unique<CInternetFile>(std::move(file), m_handles);
        default:
            return nullptr;
    }
}
