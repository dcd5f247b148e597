// CInternetSession: one WinINet session, and the opening of an address as a page to read.
#pragma once

#include <memory>

#include "internet_file.h"

class CInternetSession : public CObject {
public:
    // Named after the application, through the system's proxy settings; a session that cannot be set up throws.
    CInternetSession();

    // The page at the address: an http(s), ftp or gopher page, or a local file for a file
    // address; null for a scheme of no page kind. An address that cannot be opened throws
    // CInternetException; a local file that cannot be opened throws CFileException.
    std::unique_ptr<CStdioFile> OpenURL(const CString& url);

private:
    UniqueHandle OpenFollowingRedirects(std::wstring url, std::wstring& finalUrl) const;

    UniqueHandle m_session{nullptr, ::InternetCloseHandle};
};
