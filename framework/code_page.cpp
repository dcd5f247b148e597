// Conversions between the tool's GBK text and the wide text of the system's W functions.
#include "code_page.h"

#include <windows.h>

namespace {

constexpr UINT kGbk = 936;

}  // namespace

std::wstring Widen(std::string_view gbk) {
    if (gbk.empty()) return {};
    const int length = static_cast<int>(gbk.size());
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(kGbk, 0, gbk.data(), length, nullptr, 0)), L'\0');
    MultiByteToWideChar(kGbk, 0, gbk.data(), length, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

CString Narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int length = static_cast<int>(wide.size());
    std::string gbk(
        static_cast<size_t>(WideCharToMultiByte(kGbk, 0, wide.data(), length, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(kGbk, 0, wide.data(), length, gbk.data(), static_cast<int>(gbk.size()), nullptr, nullptr);
    return CString(std::move(gbk));
}

CString LoadResourceString(unsigned int id) {
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? Narrow({text, static_cast<size_t>(length)}) : CString();
}
