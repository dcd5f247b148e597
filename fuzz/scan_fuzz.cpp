// Fuzzes the line splitter with the streaming marker search against a search of the model's whole lines.
//
// Input: a choice byte (bit 0 the kind of page, bits 1-5 the marker's length), the marker, four
// receive-size bytes, then the body.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "gbk_search.h"
#include "line_model.h"
#include "marker_scan.h"

namespace {

// Whether any line holds the marker, read piece by piece; checks where each reported match ends.
bool StreamedHolds(core::LineSplitter& lines, const std::string& marker) {
    core::MarkerScan scan(marker);
    core::LinePiece piece;
    while (lines.NextPiece(piece)) {
        if (!scan.Feed(piece)) continue;
        const size_t end = scan.MatchEnd();
        fuzz::Require(end <= piece.bytes.size(), "a match ends inside its piece");
        const size_t inPiece = std::min(end, marker.size());
        const std::string_view markerEnd = std::string_view(marker).substr(marker.size() - inPiece);
        fuzz::Require(piece.bytes.substr(end - inPiece, inPiece) == markerEnd,
                      "the bytes before the match's end are the marker's last bytes");
        return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputReader input(data, size);
    const uint8_t choice = input.Byte();
    const core::LineKind kind = (choice & 1) != 0 ? core::LineKind::File : core::LineKind::Internet;
    const std::string marker(input.Bytes((choice >> 1) & 0x1F));
    const std::string_view sizes = input.Bytes(4);
    const std::string body(input.Rest());

    core::LineSplitter lines(kind, fuzz::ChosenReceives(sizes, body));
    const bool streamed = StreamedHolds(lines, marker);
    bool whole = false;
    for (const std::string& line : line_model::SplitLines(body, kind)) {
        whole = whole || core::GbkFind(line, marker) >= 0;
    }
    fuzz::Require(streamed == whole, "the streaming search finds what a search of the whole lines finds");
    return 0;
}
