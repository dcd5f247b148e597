// CFileException: a file that could not be opened, read or written, with a text naming it.
#include "file_exception.h"

CFileException::Cause CFileException::OsErrorToCause(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return fileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
            return badPath;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return accessDenied;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return sharingViolation;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return diskFull;
        default:
            return genericException;
    }
}

CString CFileException::GetErrorMessage() const noexcept {
    const char* pattern = nullptr;
    switch (m_cause) {
        case fileNotFound:
            pattern = "没有找到 %1。";
            break;
        case badPath:
            pattern = "%1 包含无效路径。";
            break;
        case accessDenied:
            pattern = "对 %1 的存取被拒绝。";
            break;
        case sharingViolation:
            pattern = "在存取 %1 时发生共享违例。";
            break;
        case diskFull:
            pattern = "在存取 %1 时磁盘已满。";
            break;
        case genericException:
            pattern = "存取 %1 时发生一个未指定的错误。";
            break;
    }
    const CString text(pattern);
    const int at = text.Find("%1");
    return text.Left(at) + m_strFileName + text.Mid(at + 2);
}

void ThrowFileException(DWORD error, const CString& fileName) {
    throw CFileException(CFileException::OsErrorToCause(error), fileName);
}
