// CInternetFile and its kinds: a page opened through WinINet, read as lines.
#pragma once

#include "abandon_flag.h"
#include "std_file.h"

class CInternetFile : public CStdioFile {
public:
    // The page's handle, read until the fetch is abandoned.
    CInternetFile(UniqueHandle file, const AbandonFlag& abandoned)
        : CStdioFile(std::move(file)), m_abandoned(abandoned) {}

protected:
    core::LineKind Kind() const override { return core::LineKind::Internet; }
    // What has come of the body, at most `capacity` bytes, waiting for no more than that: a page that drips
    // is read as it drips, and its fetch can end between two bytes. A broken transfer throws its
    // CInternetException; 0 is the end of the data.
    size_t Receive(char* buffer, size_t capacity) override;

    const AbandonFlag& m_abandoned;

private:
    DWORD Available();
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
