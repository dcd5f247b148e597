// Thin wrappers over the standard controls: the members that convert text.
#include "controls.h"

#include "code_page.h"

void CEdit::ReplaceSel(const char* gbkText) const {
    SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Widen(gbkText).c_str()));
}
