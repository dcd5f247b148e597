// The floor a page check is measured against: the same WinINet calls with nothing of the tool's around them.
#pragma once

#include <string>
#include <string_view>

namespace bench {

// 1 when a line of the page holds the marker: a session, the page opened with the tool's flags, reads of
// 4,096 bytes, lines cut with memchr and searched with memchr and memcmp, both handles closed; all of it on a
// thread of its own, as the tool's check fetches. (Under Wine a fetch right after one made on another thread
// reads a page several times faster, which would flatter whichever of the two ran second.)
int BareCheck(const std::wstring& url, std::string_view marker);

}  // namespace bench
