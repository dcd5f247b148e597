// CInternetFile and its kinds: a page opened through WinINet, read as lines.
#include "internet_file.h"

#include <cwchar>
#include <string>

#include "internet_exception.h"

size_t CInternetFile::Receive(char* buffer, size_t capacity) {
    DWORD read = 0;
    m_handles.ThrowIfCut();
    if (!::InternetReadFile(Handle(), buffer, static_cast<DWORD>(capacity), &read)) {
        throw CInternetException(::GetLastError());
    }
    return read;
}

namespace {

// The Content-Length of the answer, or nothing when the server announced none.
bool AnnouncedLength(HINTERNET request, unsigned long long& length) {
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    if (!::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return false;
    length = std::wcstoull(text, nullptr, 10);
    return true;
}

}  // namespace

size_t CHttpFile::Receive(char* buffer, size_t capacity) {
    const size_t read = CInternetFile::Receive(buffer, capacity);
    m_received += read;
    if (read != 0) return read;
    m_handles.ThrowIfCut();
    unsigned long long announced = 0;
    if (AnnouncedLength(Handle(), announced) && m_received < announced) {
        throw CInternetException(ERROR_INTERNET_CONNECTION_RESET);
    }
    return 0;
}
