// Thin wrappers over the standard controls: one-line members over their messages.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "wnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
};

class CEdit : public CWnd {
public:
    void SetSel(int start, int end) const { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void ReplaceSel(const char* gbkText) const;
    // 0 lifts the limit as far as the control goes.
    void SetLimitText(UINT limit) const { SendMessage(EM_SETLIMITTEXT, limit); }
};

class CStatic : public CWnd {};

class CSpinButtonCtrl : public CWnd {
public:
    void SetRange(short lower, short upper) const { SendMessage(UDM_SETRANGE, 0, MAKELPARAM(upper, lower)); }
    // The position in the low word; the high word is non-zero when the buddy's text is no valid position.
    DWORD GetPos() const { return static_cast<DWORD>(SendMessage(UDM_GETPOS)); }
    int SetPos(int position) const { return static_cast<int>(SendMessage(UDM_SETPOS, 0, MAKELPARAM(position, 0))); }
};
