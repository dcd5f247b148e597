// CInternetException: a WinINet failure, with the platform's text for its code.
#include "internet_exception.h"

#include <wininet.h>

#include <string>

#include "code_page.h"

namespace {

constexpr DWORD kSystemDefaultLanguage = 0x800;

CString LastResponseText() {
    DWORD error = 0;
    DWORD length = 0;
    ::InternetGetLastResponseInfoW(&error, nullptr, &length);
    std::wstring text(length + 1, L'\0');
    if (!::InternetGetLastResponseInfoW(&error, text.data(), &length)) return {};
    text.resize(length);
    return Narrow(text);
}

// WinINet's own message table first, then the system's.
CString MessageText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_HMODULE |
                        FORMAT_MESSAGE_FROM_SYSTEM;
    const DWORD length = ::FormatMessageW(flags, ::GetModuleHandleW(L"wininet.dll"), error, kSystemDefaultLanguage,
                                          reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const CString message = length > 0 ? Narrow({text, length}) : CString();
    ::LocalFree(text);
    return message;
}

}  // namespace

CInternetException::CInternetException(DWORD error)
    : m_dwError(error),
      m_strMessage(error == ERROR_INTERNET_EXTENDED_ERROR ? LastResponseText() : MessageText(error)) {}
