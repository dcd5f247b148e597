// CFileException: a file that could not be opened, read or written, with a text naming it.
#pragma once

#include <windows.h>

#include "exception.h"

class CFileException : public CException {
public:
    enum Cause { genericException, fileNotFound, badPath, accessDenied, sharingViolation, diskFull };

    CFileException(Cause cause, CString fileName) : m_cause(cause), m_strFileName(std::move(fileName)) {}

    // The cause of a system error code.
    static Cause OsErrorToCause(DWORD error);

    CString GetErrorMessage() const noexcept override;

    Cause m_cause;
    CString m_strFileName;
};

// Throws the file exception for the system error code, naming the file.
[[noreturn]] void ThrowFileException(DWORD error, const CString& fileName);
