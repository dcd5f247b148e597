// A plain HTTP GET through WinINet, as the tool fetches, for checking the page server from the driver.
#include "http_fetch.h"

#include <gtest/gtest.h>
#include <wininet.h>

#include <memory>
#include <type_traits>

namespace e2e {

namespace {

constexpr UINT kGbk = 936;

struct InternetCloser {
    void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<std::remove_pointer_t<HINTERNET>, InternetCloser>;

DWORD StatusOf(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
    return status;
}

std::string ReadAll(HINTERNET request) {
    std::string body;
    char buffer[4096];
    DWORD read = 0;
    while (InternetReadFile(request, buffer, sizeof(buffer), &read) && read > 0) body.append(buffer, read);
    return body;
}

}  // namespace

std::optional<HttpResponse> HttpGet(const std::wstring& url) {
    const InternetHandle session(InternetOpenW(L"wangzhan-e2e", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    const InternetHandle request(session ? InternetOpenUrlW(session.get(), url.c_str(), nullptr, 0,
                                                            INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)
                                         : nullptr);
    if (request == nullptr) {
        ADD_FAILURE() << "GET " << url << " failed: error " << GetLastError();
        return std::nullopt;
    }
    return HttpResponse{StatusOf(request.get()), ReadAll(request.get())};
}

std::string ToGbk(const std::wstring& text) {
    const int length = static_cast<int>(text.size());
    std::string gbk(
        static_cast<size_t>(WideCharToMultiByte(kGbk, 0, text.data(), length, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(kGbk, 0, text.data(), length, gbk.data(), static_cast<int>(gbk.size()), nullptr, nullptr);
    return gbk;
}

}  // namespace e2e
