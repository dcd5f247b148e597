// CInternetSession: one WinINet session, and the opening of an address as a page to read.
#pragma once

#include <memory>

#include "internet_file.h"

class CInternetSession : public CObject {
public:
    // The agent defaults to the application's name; a session that cannot be set up throws.
    explicit CInternetSession(const char* agent = nullptr, DWORD_PTR context = 1,
                              DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG, DWORD flags = 0);

    // The page at the address: an http(s), ftp or gopher page, or a local file for a file
    // address; null for a scheme of no page kind. An address that cannot be opened throws
    // CInternetException; a local file that cannot be opened throws CFileException.
    std::unique_ptr<CStdioFile> OpenURL(const CString& url, DWORD_PTR context = 1,
                                        DWORD flags = INTERNET_FLAG_TRANSFER_ASCII);

private:
    UniqueHandle OpenFollowingRedirects(std::wstring url, DWORD_PTR context, DWORD flags, std::wstring& finalUrl) const;

    UniqueHandle m_session{nullptr, ::InternetCloseHandle};
};
