// The framework's exceptions: values with a text that the dispatch guard reports.
#include "exception.h"

#include <windows.h>

#include "win_app.h"

CString ErrorMessageOf(const CException* failure) {
    CString text = failure ? failure->GetErrorMessage() : CString();
    if (text.IsEmpty()) text = "内部应用程序出错。";
    return text;
}

void ReportException(const CException* failure) { AfxMessageBox(ErrorMessageOf(failure), MB_OK | MB_ICONSTOP); }
