// A plain HTTP GET through WinINet, as the tool fetches, for checking the page server from the driver.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace e2e {

struct HttpResponse {
    DWORD status = 0;
    std::string body;  // the bytes as served
};

// Empty, with a test failure, when the request does not go through.
std::optional<HttpResponse> HttpGet(const std::wstring& url);

// The text in the GBK code page, whatever the system's ANSI code page is.
std::string ToGbk(const std::wstring& text);

}  // namespace e2e
