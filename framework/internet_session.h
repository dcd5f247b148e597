// CInternetSession: one WinINet session, and the opening of an address as a page to read.
#pragma once

#include <memory>
#include <string>

#include "abandon_flag.h"
#include "internet_file.h"

class CInternetSession : public CObject {
public:
    // Named after the application, through the system's proxy settings; a session that cannot be set up throws.
    CInternetSession();

    // The page at the address: an http(s), ftp or gopher page, or a local file for a file
    // address; null for a scheme of no page kind. An address that cannot be opened throws
    // CInternetException; a local file that cannot be opened throws CFileException.
    std::unique_ptr<CStdioFile> OpenURL(const CString& url);

    // From another thread, once nobody waits for what the session fetches: its next call on the session's
    // handles throws ERROR_INTERNET_OPERATION_CANCELLED, on the thread that uses them.
    void Abandon() { m_abandoned.Set(); }

private:
    UniqueHandle OpenFollowingRedirects(std::wstring url, std::wstring& finalUrl);
    UniqueHandle OpenOnce(const std::wstring& url) const;
    UniqueHandle OpenHttp(const URL_COMPONENTSW& parts) const;
    std::unique_ptr<CStdioFile> PageOfKind(INTERNET_SCHEME scheme, UniqueHandle file) const;

    AbandonFlag m_abandoned;
    UniqueHandle m_session;
};
