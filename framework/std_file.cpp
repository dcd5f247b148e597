// CFile and CStdioFile: a file read through its handle, as bytes or as lines of text.
#include "std_file.h"

#include "code_page.h"
#include "file_exception.h"

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CStdioFile, CFile)

CFile::CFile(const CString& fileName) : m_strFileName(fileName) {
    HANDLE file = ::CreateFileW(Widen(fileName.View()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) ThrowFileException(::GetLastError(), fileName);
    m_file.reset(file);
}

UINT CFile::Read(void* buffer, UINT count) {
    DWORD read = 0;
    if (!::ReadFile(m_file.get(), buffer, count, &read, nullptr)) ThrowFileException(::GetLastError(), m_strFileName);
    return read;
}

void CFile::Close() { m_file.reset(); }

core::LineSplitter& CStdioFile::Lines() {
    if (!m_lines) m_lines.emplace(Kind(), [this](char* buffer, size_t capacity) { return Receive(buffer, capacity); });
    return *m_lines;
}
