#include "gbk_search.h"

#include <gtest/gtest.h>

namespace {

struct FindCase {
    const char* text;
    size_t textLength;
    const char* needle;
    int expected;
};

TEST(GbkSearch, FindsAtCharacterBoundariesOnly) {
    const FindCase cases[] = {
        {"abc", 3, "b", 1},
        {"\xB0\x41", 2, "A", -1},                 // 0x41 is the trail byte of one character
        {"\xB0\x41\x41", 3, "A", 2},              // the next real "A" is found
        {"\x81\x41\x41", 3, "A", 2},              // 0x81 is the lowest lead byte
        {"\xFE\x41\x41", 3, "A", 2},              // 0xFE is the highest
        {"\x80\x41", 2, "A", 1},                  // 0x80 is no lead byte
        {"\xFF\x41", 2, "A", 1},                  // nor is 0xFF
        {"\xB0\xA1\xB0\xA1", 4, "\xA1\xB0", -1},  // straddles two characters
        {"x\xB0\xA1", 3, "\xB0\xA1", 1},
        {"\xB0", 1, "\xB0", 0},  // a lone lead byte at the end
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, core::GbkFind({c.text, c.textLength}, c.needle)) << c.text;
    }
}

TEST(GbkSearch, EmptyNeedleAndEmptyText) {
    EXPECT_EQ(0, core::GbkFind("a", ""));
    EXPECT_EQ(-1, core::GbkFind("", ""));
    EXPECT_EQ(-1, core::GbkFind("", "a"));
}

TEST(GbkSearch, CaseMattersAndLongNeedlesFail) {
    EXPECT_EQ(-1, core::GbkFind("ok", "OK"));
    EXPECT_EQ(2, core::GbkFind("ooOK", "OK"));
    EXPECT_EQ(-1, core::GbkFind("OK", "OKK"));
    EXPECT_EQ(0, core::GbkFind("OK", "OK"));
}

TEST(GbkSearch, FirstOccurrenceWins) { EXPECT_EQ(1, core::GbkFind("aXbXc", "X")); }

}  // namespace
