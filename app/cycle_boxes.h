// CCycleBoxes: the boxes that check cycles have open, each nested in the loop of the one before.
#pragma once

#include <windows.h>

#include <vector>

#include "gbk_string.h"

// A tick that falls due while a box is open runs its check inside that box's loop, so a site left
// failing overnight would stack a box at every tick, each holding its check and some 2.5 KiB of the
// UI thread's stack, until the stack runs out and checks silently stop. So a box whose text is open
// already is not opened again, and no more than kMaxOpen are open at once: the check that would
// open one goes on as if it had been closed at once.
class CCycleBoxes {
public:
    static constexpr size_t kMaxOpen = 10;

    // Shows the text in front of every window, also while the main window is in the tray, and
    // returns when the user has closed it; returns at once when it may not be opened.
    void Show(const CString& text, UINT icon = 0);

private:
    std::vector<CString> m_open;  // the texts of the open boxes, the innermost last
};
