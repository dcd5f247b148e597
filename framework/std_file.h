// CFile and CStdioFile: a file read through its handle, as bytes or as lines of text.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

#include "gbk_string.h"
#include "line_splitter.h"
#include "object.h"

// A handle with what closes it: CloseHandle for a file, its session for a page.
using UniqueHandle = std::unique_ptr<void, std::function<void(HANDLE)>>;

class CFile : public CObject {
public:
    enum OpenFlags : UINT { modeRead = 0x0000, modeWrite = 0x0001, shareDenyNone = 0x0040, modeCreate = 0x1000 };

    // Opens the file, or throws its CFileException: for reading, or with modeCreate | modeWrite
    // created or emptied for writing. Without sharing, unless shareDenyNone lets others read and
    // write it meanwhile.
    CFile(const CString& fileName, UINT openFlags);
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    UINT Read(void* buffer, UINT count);
    // Writes all of it or throws: a short write counts as a full disk.
    void Write(const void* buffer, UINT count);
    ULONGLONG GetLength() const;
    // Writes what the system still holds for the file through to the disk.
    void Flush();
    void Close();

protected:
    // A file opened by other means, its handle closed by the function it comes with.
    explicit CFile(UniqueHandle file) : m_file(std::move(file)) {}
    HANDLE Handle() const { return m_file.get(); }

    CString m_strFileName;

private:
    UniqueHandle m_file{nullptr, [](HANDLE file) { ::CloseHandle(file); }};
};

// A file read as text, line by line; the lines come from the splitter of the portable core.
class CStdioFile : public CFile {
public:
    CStdioFile(const CString& fileName, UINT openFlags) : CFile(fileName, openFlags) {}

    // The page's lines, read through one receive buffer as they are asked for.
    core::LineSplitter& Lines();

protected:
    explicit CStdioFile(UniqueHandle file) : CFile(std::move(file)) {}

    virtual core::LineKind Kind() const { return core::LineKind::File; }
    virtual size_t Receive(char* buffer, size_t capacity) { return Read(buffer, static_cast<UINT>(capacity)); }

private:
    std::optional<core::LineSplitter> m_lines;
};
