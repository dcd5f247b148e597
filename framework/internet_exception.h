// CInternetException: a WinINet failure, with the platform's text for its code.
#pragma once

#include <windows.h>

#include "exception.h"

class CInternetException : public CException {
public:
    explicit CInternetException(DWORD error);

    CString GetErrorMessage() const noexcept override { return m_strMessage; }

    DWORD m_dwError;

private:
    CString m_strMessage;  // taken at once: the server's last response is per thread and fleeting
};
