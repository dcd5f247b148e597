// CString: an 8-bit string of GBK text with the character-aware search.
#pragma once

#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}  // NOLINT: converts like the framework's string
    explicit CString(std::string text) : m_text(std::move(text)) {}

    bool IsEmpty() const { return m_text.empty(); }
    const char* GetString() const { return m_text.c_str(); }
    operator const char*() const { return m_text.c_str(); }  // NOLINT: as the framework's string
    std::string_view View() const { return m_text; }

    // First occurrence of `sub`, stepping over two-byte characters; -1 if none.
    int Find(const CString& sub) const;
    CString Left(int count) const;
    CString Mid(int first) const;

    CString& operator+=(const CString& text);
    friend CString operator+(CString left, const CString& right) { return left += right; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }

private:
    std::string m_text;
};
