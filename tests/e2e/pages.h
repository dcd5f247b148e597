// The page server's pages as the driver knows them; page_server.py holds the same table.
#pragma once

#include <string>

#include "e2e_config.h"

namespace e2e {

// The text that marks a healthy page, served in GBK as the tool reads it.
inline constexpr wchar_t kMarker[] = L"网站运行正常";

inline constexpr wchar_t kMarkerPage[] = L"/marker";
inline constexpr wchar_t kPlainPage[] = L"/plain";
inline constexpr wchar_t kBrokenPage[] = L"/break";
// Serves the marker or not, as the driver last set it through kSwitchOk or kSwitchFail.
inline constexpr wchar_t kSwitchPage[] = L"/switch";
inline constexpr wchar_t kSwitchOk[] = L"/switch/ok";
inline constexpr wchar_t kSwitchFail[] = L"/switch/fail";

inline std::wstring PageUrl(const std::wstring& path) {
    return L"http://127.0.0.1:" + std::to_wstring(Config().pagePort) + path;
}

}  // namespace e2e
