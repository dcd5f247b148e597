// Which redirects may be followed: WinINet's own rule, kept now that the tool follows them itself.
#include "redirect_rule.h"

namespace core {

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether the address begins with the scheme (lower case) and its colon.
bool HasScheme(std::string_view url, std::string_view scheme) {
    if (url.size() <= scheme.size() || url[scheme.size()] != ':') return false;
    for (size_t i = 0; i < scheme.size(); ++i) {
        if (LowerAscii(url[i]) != scheme[i]) return false;
    }
    return true;
}

}  // namespace

bool RefusesRedirect(std::string_view from, std::string_view to) {
    return HasScheme(from, "https") && HasScheme(to, "http");
}

}  // namespace core
