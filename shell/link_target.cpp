// CLinkTarget: what a link opens, handed to the shell unchanged.
#include "link_target.h"

#include <shellapi.h>

#include "code_page.h"

HINSTANCE CLinkTarget::Open() const {
    if (IsEmpty()) return nullptr;
    return ::ShellExecuteW(nullptr, L"open", Widen(m_text.View()).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
