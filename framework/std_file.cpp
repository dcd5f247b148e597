// CFile and CStdioFile: a file read through its handle, as bytes or as lines of text.
#include "std_file.h"

#include "code_page.h"
#include "file_exception.h"

CFile::CFile(const CString& fileName, UINT openFlags) : m_strFileName(fileName) {
    const bool write = (openFlags & modeWrite) != 0;
    const DWORD creation = (openFlags & modeCreate) != 0 ? CREATE_ALWAYS : OPEN_EXISTING;
    const DWORD sharing = (openFlags & shareDenyNone) != 0 ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    HANDLE file = ::CreateFileW(Widen(fileName.View()).c_str(), write ? GENERIC_WRITE : GENERIC_READ, sharing, nullptr,
                                creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) ThrowFileException(::GetLastError(), fileName);
    m_file.reset(file);
}

UINT CFile::Read(void* buffer, UINT count) {
    DWORD read = 0;
    if (!::ReadFile(m_file.get(), buffer, count, &read, nullptr)) ThrowFileException(::GetLastError(), m_strFileName);
    return read;
}

void CFile::Write(const void* buffer, UINT count) {
    DWORD written = 0;
    if (!::WriteFile(m_file.get(), buffer, count, &written, nullptr))
        ThrowFileException(::GetLastError(), m_strFileName);
    if (written < count) ThrowFileException(ERROR_DISK_FULL, m_strFileName);
}

ULONGLONG CFile::GetLength() const {
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(m_file.get(), &size)) ThrowFileException(::GetLastError(), m_strFileName);
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::Flush() {
    if (!::FlushFileBuffers(m_file.get())) ThrowFileException(::GetLastError(), m_strFileName);
}

void CFile::Close() { m_file.reset(); }

core::LineSplitter& CStdioFile::Lines() {
    if (!m_lines) m_lines.emplace(Kind(), [this](char* buffer, size_t capacity) { return Receive(buffer, capacity); });
    return *m_lines;
}
