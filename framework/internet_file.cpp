// CInternetFile and its kinds: a page opened through WinINet, read as lines.
#include "internet_file.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "internet_exception.h"

// A read of more than has come waits until all of it has, so only what is there is read.
size_t CInternetFile::Receive(char* buffer, size_t capacity) {
    const DWORD available = Available();
    if (available == 0) return 0;
    DWORD read = 0;
    if (!::InternetReadFile(Handle(), buffer, std::min(available, static_cast<DWORD>(capacity)), &read)) {
        throw CInternetException(::GetLastError());
    }
    return read;
}

// The bytes that can be read at once, after a wait of at most a receive time-out for the first; 0 at the end.
DWORD CInternetFile::Available() {
    DWORD available = 0;
    m_abandoned.ThrowIfSet();
    while (!::InternetQueryDataAvailable(Handle(), &available, 0, 0)) {
        // Wine's ftp says so when bytes came during its wait, even on a synchronous handle: they are there now.
        if (::GetLastError() != ERROR_IO_PENDING) throw CInternetException(::GetLastError());
        m_abandoned.ThrowIfSet();
    }
    return available;
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
    m_abandoned.ThrowIfSet();
    unsigned long long announced = 0;
    if (AnnouncedLength(Handle(), announced) && m_received < announced) {
        throw CInternetException(ERROR_INTERNET_CONNECTION_RESET);
    }
    return 0;
}
