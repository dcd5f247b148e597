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

    // From another thread: closes the session and its page at once, which ends a call that blocks on either;
    // after it, every call on them throws CInternetException and nothing of theirs is closed again.
    void Cut() { m_handles.Cut(); }

private:
    UniqueHandle OpenFollowingRedirects(std::wstring url, std::wstring& finalUrl);
    std::unique_ptr<CStdioFile> PageOfKind(INTERNET_SCHEME scheme, UniqueHandle file) const;

    InternetHandles m_handles;  // declared first: it closes the session's handle, so it outlives it
    UniqueHandle m_session;
};
