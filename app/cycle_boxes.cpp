// CCycleBoxes: the boxes that check cycles have open, each nested in the loop of the one before.
#include "cycle_boxes.h"

#include <algorithm>

#include "win_app.h"

void CCycleBoxes::Show(const CString& text, UINT icon) {
    if (m_open.size() >= kMaxOpen || std::find(m_open.begin(), m_open.end(), text) != m_open.end()) return;
    m_open.push_back(text);
    struct Closed {
        std::vector<CString>& open;
        ~Closed() { open.pop_back(); }
    } closed{m_open};
    AfxMessageBox(text, MB_OK | icon | MB_SETFOREGROUND | MB_TOPMOST);
}
