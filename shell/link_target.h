// CLinkTarget: what a link opens, handed to the shell unchanged.
#pragma once

#include <windows.h>

#include "gbk_string.h"

// An address, or anything else the shell can open, as GBK text.
class CLinkTarget {
public:
    CLinkTarget() = default;
    CLinkTarget(const CString& text) : m_text(text) {}  // NOLINT: assigned from a string like the string itself
    virtual ~CLinkTarget() = default;
    CLinkTarget(const CLinkTarget&) = default;
    CLinkTarget& operator=(const CLinkTarget&) = default;

    bool IsEmpty() const { return m_text.IsEmpty(); }

    // The shell's result for the verb "open", above 32 on success; 0 without asking the shell when empty.
    virtual HINSTANCE Open() const;

private:
    CString m_text;
};
