// CInternetFile and its kinds: a page opened through WinINet, read as lines.
#pragma once

#include "internet_handles.h"
#include "std_file.h"

class CInternetFile : public CStdioFile {
public:
    // The page's handle, owned by its session's handles, which a second thread may cut.
    CInternetFile(UniqueHandle file, const InternetHandles& handles)
        : CStdioFile(std::move(file)), m_handles(handles) {}

protected:
    core::LineKind Kind() const override { return core::LineKind::Internet; }
    // One receive of the body; a broken transfer throws its CInternetException.
    size_t Receive(char* buffer, size_t capacity) override;

    const InternetHandles& m_handles;
};

// The answer to a GET of an http or https address, whatever its status.
class CHttpFile : public CInternetFile {
public:
    using CInternetFile::CInternetFile;

protected:
    // Wine's WinINet ends the data quietly when the connection breaks; a body shorter than
    // its announced length is a broken transfer all the same.
    size_t Receive(char* buffer, size_t capacity) override;

private:
    unsigned long long m_received = 0;
};
