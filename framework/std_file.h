// CFile and CStdioFile: a file read through its handle, as bytes or as lines of text.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "gbk_string.h"
#include "line_splitter.h"
#include "object.h"

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueFileHandle = std::unique_ptr<void, HandleCloser>;

class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    CFile() = default;
    // Opens the file for reading, without sharing, or throws its CFileException.
    explicit CFile(const CString& fileName);
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    UINT Read(void* buffer, UINT count);
    virtual void Close();

protected:
    CString m_strFileName;

private:
    UniqueFileHandle m_file;
};

// A file read as text, line by line; the lines come from the splitter of the portable core.
class CStdioFile : public CFile {
    DECLARE_DYNAMIC(CStdioFile)
public:
    CStdioFile() = default;
    explicit CStdioFile(const CString& fileName) : CFile(fileName) {}

    // The page's lines, read through one receive buffer as they are asked for.
    core::LineSplitter& Lines();

protected:
    virtual core::LineKind Kind() const { return core::LineKind::File; }
    virtual size_t Receive(char* buffer, size_t capacity) { return Read(buffer, static_cast<UINT>(capacity)); }

private:
    std::optional<core::LineSplitter> m_lines;
};
