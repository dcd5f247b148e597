// Frame target extraction on hand-made pages, and against the whole-line reference on random ones.
#include "frame_tag.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "frame_model.h"
#include "line_model.h"

namespace {

using core::LineKind;
using Target = std::optional<std::string>;

const std::string kTag = "<frame src=\"http://";

Target ReadTarget(const std::string& body, size_t largestReceive = 4096, LineKind kind = LineKind::Internet) {
    core::LineSplitter lines = line_model::MakeSplitter(body, kind, largestReceive);
    return core::ReadFrameTarget(lines);
}

TEST(FrameTag, OnlyTheExactTagCounts) {
    const char* const notFrames[] = {
        "<FRAME SRC=\"http://a.cn/\">",  "<Frame src=\"http://a.cn/\">",
        "<frame  src=\"http://a.cn/\">", "<frame name=\"m\" src=\"http://a.cn/\">",
        "<frame src='http://a.cn/'>",    "<frame src=\"https://a.cn/\">",
        "<frame src=\"/main.html\">",    "<frame src=http://a.cn/>",
        "<iframe src=\"http://a.cn/\">",
    };
    for (const char* line : notFrames) EXPECT_EQ(std::nullopt, ReadTarget(std::string(line) + "\r\n")) << line;
    EXPECT_EQ("http://a.cn/", ReadTarget("<frame src=\"http://a.cn/\" name=\"m\">"));
    EXPECT_EQ("http://a.cn/", ReadTarget("<html><frameset><frame src=\"http://a.cn/\">"));
}

TEST(FrameTag, TagIsFoundOnCharacterBoundariesOnly) {
    EXPECT_EQ(std::nullopt, ReadTarget("\xB0<frame src=\"http://a.cn/\">"));
    EXPECT_EQ("http://a.cn/", ReadTarget("\xB0\xA1<frame src=\"http://a.cn/\">"));
}

TEST(FrameTag, MissingClosingQuoteGivesEmptyTargetAndStops) {
    EXPECT_EQ("", ReadTarget("<frame src=\"http://a.cn/>"));
    EXPECT_EQ("", ReadTarget("<frame src=\"http://a.cn/>\n<frame src=\"http://b.cn/\">\n"));
    EXPECT_EQ("http://", ReadTarget("<frame src=\"http://\""));
}

TEST(FrameTag, FirstTagOfFirstFrameLineCounts) {
    const std::string twoTags = kTag + "a.cn/\">" + kTag + "b.cn/\">";
    EXPECT_EQ("http://a.cn/", ReadTarget(twoTags));
    EXPECT_EQ("http://a.cn/", ReadTarget("<html>\n" + twoTags + "\n" + kTag + "c.cn/\">\n"));
    EXPECT_EQ(std::nullopt, ReadTarget("<html>\n<body>frames</body>\n"));
}

TEST(FrameTag, TargetsLongerThanAnAddressAreDropped) {
    const std::string longest = "http://a.cn/" + std::string(core::kMaxAddressLength - 12, 'p');
    const std::string page = "<frame src=\"" + longest + "\">\r\n";
    EXPECT_EQ(longest, ReadTarget(page));
    const std::string tooLong = "<frame src=\"" + longest + "q\">\r\n";
    EXPECT_EQ("", ReadTarget(tooLong));
}

TEST(FrameTag, TagAndTargetAcrossPieces) {
    for (size_t at = 100; at < 130; ++at) {
        const std::string page = std::string(at, ' ') + kTag + "a.cn/" + std::string(200, 'p') + "\">\n";
        EXPECT_EQ("http://a.cn/" + std::string(200, 'p'), ReadTarget(page, 7)) << at;
    }
}

TEST(FrameTag, MatchesTheWholeLineReferenceOnRandomPages) {
    std::mt19937 random(3);
    for (int round = 0; round < 3000; ++round) {
        const std::string body = line_model::RandomBody(random, round % 2 ? kTag : kTag + "x.cn/\"");
        const size_t largest = std::uniform_int_distribution<size_t>(1, 4096)(random);
        for (LineKind kind : {LineKind::Internet, LineKind::File}) {
            ASSERT_EQ(frame_model::FirstFrameTarget(body, kind), ReadTarget(body, largest, kind)) << "round " << round;
        }
    }
}

}  // namespace
