// The framework's exceptions: values with a text that the dispatch guard reports.
#pragma once

#include "gbk_string.h"
#include "object.h"

class CException : public CObject {
public:
    // The failure's own text in GBK; empty when there is none.
    virtual CString GetErrorMessage() const noexcept { return {}; }
};

// A failure's own text, or the generic one when it has none (or is no failure of ours).
CString ErrorMessageOf(const CException* failure);

// Shows a failure in a box with the stop icon, with ErrorMessageOf's text.
void ReportException(const CException* failure);
