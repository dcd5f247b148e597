// CString: an 8-bit string of GBK text with the character-aware search.
#include "gbk_string.h"

#include <algorithm>

#include "gbk_search.h"

namespace {

size_t Clamp(int value, size_t limit) { return std::min(static_cast<size_t>(std::max(value, 0)), limit); }

}  // namespace

int CString::Find(const CString& sub) const { return core::GbkFind(m_text, sub.m_text); }

CString CString::Left(int count) const { return CString(m_text.substr(0, Clamp(count, m_text.size()))); }

CString CString::Mid(int first) const { return CString(m_text.substr(Clamp(first, m_text.size()))); }

CString& CString::operator+=(const CString& text) {
    m_text.append(text.m_text);
    return *this;
}
