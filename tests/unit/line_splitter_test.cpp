// Line splitting checked against the byte-at-a-time model and on hand-made pages.
#include "line_splitter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "line_model.h"

namespace {

using core::LineKind;
using Lines = std::vector<std::string>;

// Joins the pieces into lines, checking every piece against what a piece may hold.
Lines SplitInPieces(core::LineSplitter& splitter, LineKind kind) {
    const size_t limit = kind == LineKind::Internet ? 127 : 128;
    const std::string_view forbidden("\n\0\r", kind == LineKind::Internet ? 3 : 2);
    Lines lines;
    std::string line;
    core::LinePiece piece;
    while (splitter.NextPiece(piece)) {
        EXPECT_LE(piece.bytes.size(), limit);
        EXPECT_EQ(std::string::npos, piece.bytes.find_first_of(forbidden));
        line.append(piece.bytes);
        if (piece.endsLine) {
            lines.push_back(line);
            line.clear();
        }
    }
    return lines;
}

Lines Split(const std::string& body, LineKind kind = LineKind::Internet, size_t largestReceive = 4096) {
    core::LineSplitter splitter = line_model::MakeSplitter(body, kind, largestReceive);
    return SplitInPieces(splitter, kind);
}

TEST(LineSplitter, MatchesModelOnRandomBodies) {
    std::mt19937 random(7);
    const size_t receiveSizes[] = {1, 2, 3, 126, 127, 128, 129, 4096};
    for (int round = 0; round < 3000; ++round) {
        const std::string body = line_model::RandomBody(random);
        const size_t largest =
            round % 2 ? receiveSizes[round / 2 % 8] : std::uniform_int_distribution<size_t>(1, 4096)(random);
        for (LineKind kind : {LineKind::Internet, LineKind::File}) {
            core::LineSplitter splitter = line_model::MakeSplitter(body, kind, largest, round);
            ASSERT_EQ(line_model::SplitLines(body, kind), SplitInPieces(splitter, kind))
                << "round " << round << ", kind " << static_cast<int>(kind) << ", receives up to " << largest;
        }
    }
}

TEST(LineSplitter, CrOnlyPageIsCutAfterEveryPieceThatHeldACr) {
    std::string body;
    for (int i = 0; i < 20; ++i) body += "abcdefghi\r";
    std::string first;
    for (int i = 0; i < 12; ++i) first += "abcdefghi";
    first += "abcdefg";  // 127 bytes taken, 12 CRs among them
    std::string second = "hi";
    for (int i = 0; i < 7; ++i) second += "abcdefghi";
    EXPECT_EQ((Lines{first, second}), Split(body));
    // A dropped CR leaves the piece short, so the line ends even without one at its end.
    EXPECT_EQ((Lines{std::string(126, 'x'), "xy"}), Split(std::string(126, 'x') + "\rx\ry\n"));
}

TEST(LineSplitter, LongLastLinesWithoutLf) {
    EXPECT_EQ(Lines{std::string(127, 'x')}, Split(std::string(127, 'x')));
    EXPECT_EQ(Lines{std::string(254, 'y')}, Split(std::string(254, 'y')));
    EXPECT_EQ(Lines{std::string(127, 'z')}, Split(std::string(127, 'z') + "\n"));
    EXPECT_EQ((Lines{"s", std::string(126, 'u'), "t"}), Split("s\n" + std::string(126, 'u') + "\nt"));
    EXPECT_EQ((Lines{std::string(300, 'w'), "v"}), Split(std::string(300, 'w') + "\nv"));
}

TEST(LineSplitter, NulCutsTheRestOfItsPiece) {
    EXPECT_EQ((Lines{"ab", "ef"}), Split(std::string("ab\0cd\nef\n", 9)));
    // The NUL falls in the first piece; what follows that piece comes as a new line.
    const std::string body = std::string(10, 'a') + '\0' + std::string(200, 'b') + "\n";
    EXPECT_EQ((Lines{std::string(10, 'a'), std::string(200 - 116, 'b')}), Split(body));
    EXPECT_EQ(Lines{""}, Split(std::string("\0", 1)));
    EXPECT_EQ((Lines{"a", "d"}), Split(std::string("a\0b\0c\nd", 8)));
}

TEST(LineSplitter, DropsCrInsideLine) {
    EXPECT_EQ((Lines{"abc", "d"}), Split("ab\rc\r\nd\r"));
    EXPECT_EQ(Lines{}, Split("\r"));
    EXPECT_EQ(Lines{""}, Split(std::string(127, '\r')));
    const std::string page = "<html>\n<p>one</p>\n\n<p>two</p>\n";
    std::string crLfPage;
    for (char byte : page) crLfPage += byte == '\n' ? "\r\n" : std::string(1, byte);
    EXPECT_EQ(Split(page), Split(crLfPage));
    EXPECT_EQ((Lines{"<html>", "<p>one</p>", "", "<p>two</p>"}), Split(crLfPage, LineKind::Internet, 1));
}

TEST(LineSplitter, EmptyPagesAndEmptyLines) {
    EXPECT_EQ(Lines{}, Split(""));
    EXPECT_EQ(Lines{""}, Split("\n"));
    EXPECT_EQ((Lines{"", "", "a"}), Split("\n\na", LineKind::File));
}

TEST(LineSplitter, StopsAskingOnceDataEnded) {
    int calls = 0;
    core::LineSplitter splitter(LineKind::Internet, [&calls](char* buffer, size_t) -> size_t {
        if (++calls != 2) return 0;
        buffer[0] = 'x';
        return 1;
    });
    core::LinePiece piece;
    EXPECT_FALSE(splitter.NextPiece(piece));
    EXPECT_FALSE(splitter.NextPiece(piece));
    EXPECT_EQ(1, calls);
}

TEST(LineSplitter, FileKindTranslatesCrLfAndKeepsLoneCr) {
    EXPECT_EQ((Lines{"a", "b\rc\r"}), Split("a\r\nb\rc\r", LineKind::File));
    EXPECT_EQ((Lines{"a", "b\r", "c"}), Split("a\r\nb\r\r\nc", LineKind::File, 1));
    for (size_t split = 1; split < 4; ++split) {
        EXPECT_EQ((Lines{"a", "b"}), Split("a\r\nb", LineKind::File, split)) << split;
    }
}

TEST(LineSplitter, FileKindEndsAtEndOfFileByte) {
    EXPECT_EQ((Lines{"a", "b\r"}), Split("a\r\nb\r\x1A\nc\n", LineKind::File));
    EXPECT_EQ(Lines{}, Split(std::string("\x1A") + "abc", LineKind::File));
}

TEST(LineSplitter, FileKindTakes128BytePieces) {
    const std::string body = std::string(127, 'x') + '\0' + "yz\nw\n";
    EXPECT_EQ((Lines{std::string(127, 'x'), "w"}), Split(body));
    EXPECT_EQ((Lines{std::string(127, 'x'), "yz", "w"}), Split(body, LineKind::File));
    const std::string crAtLimit = std::string(127, 'x') + "\r" + "y\n";
    EXPECT_EQ((Lines{std::string(127, 'x') + "\r" + "y"}), Split(crAtLimit, LineKind::File));
}

}  // namespace
