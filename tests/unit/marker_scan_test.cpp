// The streaming marker search checked against GbkFind on whole lines, and on hand-made pages.
#include "marker_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "gbk_search.h"
#include "line_model.h"

namespace {

using core::LineKind;

std::string RandomMarker(std::mt19937& random, const std::string& from) {
    const size_t length = std::uniform_int_distribution<size_t>(0, 6)(random);
    if (from.size() < length) return std::string(length, 'a');
    const size_t start = std::uniform_int_distribution<size_t>(0, from.size() - length)(random);
    return from.substr(start, length);
}

// Feeds one line cut at random places; where the first match ends, or -1.
int ScanInRandomPieces(core::MarkerScan& scan, const std::string& line, std::mt19937& random) {
    int found = -1;
    size_t offset = 0;
    bool ended = false;
    while (!ended) {
        const size_t size = std::uniform_int_distribution<size_t>(0, random() % 4 ? 9 : 140)(random);
        const std::string_view bytes = std::string_view(line).substr(offset, size);
        ended = offset + bytes.size() == line.size() && random() % 2;
        if (scan.Feed({bytes, ended}) && found < 0) {
            found = static_cast<int>(offset + scan.MatchEnd());
        }
        offset += bytes.size();
    }
    return found;
}

// Whether each line of the page holds the marker, the page read through the splitter.
std::vector<bool> LinesHolding(core::LineSplitter& lines, const std::string& marker) {
    core::MarkerScan scan(marker);
    std::vector<bool> holds;
    bool found = false;
    core::LinePiece piece;
    while (lines.NextPiece(piece)) {
        found = scan.Feed(piece) || found;
        if (piece.endsLine) {
            holds.push_back(found);
            found = false;
        }
    }
    return holds;
}

std::vector<bool> LinesHolding(const std::string& body, const std::string& marker, size_t largestReceive = 4096) {
    core::LineSplitter lines = line_model::MakeSplitter(body, LineKind::Internet, largestReceive);
    return LinesHolding(lines, marker);
}

bool PageHolds(const std::string& body, const std::string& marker) {
    core::LineSplitter lines = line_model::MakeSplitter(body, LineKind::Internet);
    return core::AnyLineHolds(lines, marker);
}

TEST(MarkerScan, MatchesGbkFindOverRandomPieces) {
    std::mt19937 random(11);
    for (int round = 0; round < 20000; ++round) {
        const std::string body = line_model::RandomBody(random);
        const std::string line = body.substr(0, std::uniform_int_distribution<size_t>(0, 300)(random));
        const std::string marker = RandomMarker(random, line);
        core::MarkerScan scan(marker);
        for (int repeat = 0; repeat < 2; ++repeat) {  // a second line must not see the first
            const int expected = core::GbkFind(line, marker);
            const int end = ScanInRandomPieces(scan, line, random);
            ASSERT_EQ(expected, end < 0 ? -1 : end - static_cast<int>(marker.size()))
                << "round " << round << ", marker " << testing::PrintToString(marker);
        }
    }
}

TEST(MarkerScan, MatchesGbkFindOnSplitterLines) {
    std::mt19937 random(5);
    for (int round = 0; round < 3000; ++round) {
        const std::string body = line_model::RandomBody(random);
        const std::string marker = RandomMarker(random, body);
        const size_t largest = std::uniform_int_distribution<size_t>(1, round % 3 ? 300 : 4096)(random);
        for (LineKind kind : {LineKind::Internet, LineKind::File}) {
            std::vector<bool> expected;
            for (const std::string& line : line_model::SplitLines(body, kind)) {
                expected.push_back(core::GbkFind(line, marker) >= 0);
            }
            core::LineSplitter lines = line_model::MakeSplitter(body, kind, largest, round);
            ASSERT_EQ(expected, LinesHolding(lines, marker))
                << "round " << round << ", marker " << testing::PrintToString(marker);
        }
    }
}

TEST(MarkerScan, FindsMarkerAcrossPiecesOfALongLine) {
    for (size_t at : {0, 124, 125, 126, 127, 250, 252, 296}) {
        std::string line(300, 'x');
        line.replace(at, 4, "MARK");
        EXPECT_TRUE(PageHolds(line + "\r\n", "MARK")) << at;
        EXPECT_TRUE(PageHolds("\xB0\xA1" + line + "\n", "MARK")) << at;  // a whole character before it
    }
}

TEST(MarkerScan, LeadByteTakesItsTrailAlong) {
    // 0x41 is "A"; written as an escape where it follows one, so the literal stays whole.
    EXPECT_FALSE(PageHolds("\xB0\x41\n", "A"));
    EXPECT_TRUE(PageHolds("\xB0\x41\x41\n", "A"));
    const std::string before(126, 'a');
    EXPECT_FALSE(PageHolds(before + "\xB0\x41\n", "A"));  // the lead byte ends the first piece
    EXPECT_TRUE(PageHolds(before + "\xB0\xA1\x41\n", "A"));
    EXPECT_TRUE(PageHolds(before + "a\xB0\x41\n", "\xB0"));
}

TEST(MarkerScan, Utf8PageAgainstGbkAndAsciiMarkers) {
    const std::string gbkMarker = "\xD6\xD0\xCE\xC4";
    EXPECT_FALSE(PageHolds("<p>\xE4\xB8\xAD\xE6\x96\x87 OK</p>\n", gbkMarker));
    EXPECT_TRUE(PageHolds("<p>\xE4\xB8\xAD\xE6\x96\x87 OK</p>\n", "OK"));
    EXPECT_TRUE(PageHolds("<p>\xD6\xD0\xCE\xC4 OK</p>\n", gbkMarker));
    EXPECT_TRUE(PageHolds("<p>\xD6\xD0\xCE\xC4 OK</p>\n", "OK"));
    // Read as GBK, an odd run of UTF-8 high bytes swallows the next ASCII byte.
    EXPECT_FALSE(PageHolds("<p>\xE4\xB8\xADOK</p>\n", "OK"));
}

TEST(MarkerScan, BytesMustMatchExactly) {
    EXPECT_FALSE(PageHolds("status: ok\n", "OK"));
    EXPECT_TRUE(PageHolds("status: OK\n", "OK"));
    EXPECT_TRUE(PageHolds("ab\rc\n", "abc"));
    EXPECT_FALSE(PageHolds("OK\n", "OK!"));
}

TEST(MarkerScan, EmptyMarkerIsFoundInNonEmptyLinesOnly) {
    EXPECT_EQ((std::vector<bool>{false, true, false, true}), LinesHolding("\na\n\r\nb", ""));
    EXPECT_FALSE(PageHolds("\n\n\r\n", ""));
}

TEST(MarkerScan, MarkerAcrossALineEndIsNotFound) {
    EXPECT_EQ((std::vector<bool>{false, false}), LinesHolding("ab\ncd\n", "bc"));
    EXPECT_EQ((std::vector<bool>{false, false}), LinesHolding("ab\r\ncd\n", "bc", 1));
    EXPECT_EQ((std::vector<bool>{false, true}), LinesHolding("ab\nbcd\n", "bc", 1));
}

TEST(MarkerScan, ReadingStopsAtTheFirstLineHoldingTheMarker) {
    core::LineSplitter lines = line_model::MakeSplitter("one\ntwo MARK\nthree\n", LineKind::Internet);
    EXPECT_TRUE(core::AnyLineHolds(lines, "MARK"));
    core::LinePiece next;
    ASSERT_TRUE(lines.NextPiece(next));
    EXPECT_EQ("three", next.bytes);
    EXPECT_TRUE(next.endsLine);
}

TEST(MarkerScan, HugeLineIsSearchedAsItArrives) {
    constexpr size_t kLineLength = size_t{32} << 20;
    size_t sent = 0;
    core::LineSplitter lines(LineKind::Internet, [&sent](char* buffer, size_t capacity) {
        const size_t count = std::min(capacity, kLineLength - sent);
        std::memset(buffer, 'a', count);
        sent += count;
        if (sent == kLineLength && count > 4) std::memcpy(buffer + count - 4, "MARK", 4);
        return count;
    });
    EXPECT_TRUE(core::AnyLineHolds(lines, "MARK"));
}

}  // namespace
