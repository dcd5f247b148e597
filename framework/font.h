// CFont: a font that its object owns and deletes.
#pragma once

#include <windows.h>

class CFont {
public:
    CFont() = default;
    ~CFont() {
        if (m_hObject != nullptr) ::DeleteObject(m_hObject);
    }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    HFONT GetSafeHandle() const { return m_hObject; }
    // Once per object: a font already made is kept.
    BOOL CreateFontIndirect(const LOGFONTW& logFont) {
        if (m_hObject == nullptr) m_hObject = ::CreateFontIndirectW(&logFont);
        return m_hObject != nullptr;
    }

private:
    HFONT m_hObject = nullptr;
};
