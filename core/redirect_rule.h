// Which redirects may be followed: WinINet's own rule, kept now that the tool follows them itself.
#pragma once

#include <string_view>

namespace core {

// True for a redirect from an https address to an http one: what was asked for over TLS is not
// fetched in the clear. Schemes compare without regard to case; every other pair may be followed.
bool RefusesRedirect(std::string_view from, std::string_view to);

}  // namespace core
