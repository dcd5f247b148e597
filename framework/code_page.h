// Conversions between the tool's GBK text and the wide text of the system's W functions.
#pragma once

#include <string>
#include <string_view>

#include "gbk_string.h"

// Explicit code page 936, so the text reads right whatever the system's ANSI code page is.
std::wstring Widen(std::string_view gbk);
CString Narrow(std::wstring_view wide);

// A string resource of the module as GBK text; empty when there is none.
CString LoadResourceString(unsigned int id);
