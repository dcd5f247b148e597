// Byte-exact text search that steps over two-byte GBK characters whole.
#include "gbk_search.h"

#include <cstring>

namespace core {

int GbkFind(std::string_view text, std::string_view needle) {
    if (text.empty()) return -1;
    const size_t n = needle.size();
    for (size_t pos = 0; pos + n <= text.size();) {
        if (std::memcmp(text.data() + pos, needle.data(), n) == 0) return static_cast<int>(pos);
        pos += IsGbkLeadByte(static_cast<unsigned char>(text[pos])) ? 2 : 1;
    }
    return -1;
}

}  // namespace core
