// Byte-exact text search that steps over two-byte GBK characters whole.
#pragma once

#include <string_view>

namespace core {

// True for a byte that starts a two-byte GBK character.
inline bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Index of the first occurrence of `needle` in `text` that starts on a character
// boundary, or -1. An empty needle is found at 0 of any non-empty text and nowhere
// in an empty one.
int GbkFind(std::string_view text, std::string_view needle);

}  // namespace core
