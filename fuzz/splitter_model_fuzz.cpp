// Differential fuzzing of the line splitter against the byte-at-a-time reference model of the unit tests.
//
// Input: a choice byte (bit 0 the kind of page), four receive-size bytes, then the body.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "line_model.h"
#include "line_splitter.h"

namespace {

// The lines joined from the pieces, each piece checked against what a piece may hold.
std::vector<std::string> LinesFromPieces(core::LineSplitter& splitter, core::LineKind kind) {
    const bool internet = kind == core::LineKind::Internet;
    const std::string_view forbidden("\n\0\r", internet ? 3 : 2);
    std::vector<std::string> lines;
    std::string line;
    core::LinePiece piece;
    while (splitter.NextPiece(piece)) {
        fuzz::Require(piece.bytes.size() <= (internet ? 127u : 128u), "a piece is no longer than the limit");
        fuzz::Require(piece.bytes.find_first_of(forbidden) == std::string_view::npos, "a piece holds no line end");
        line.append(piece.bytes);
        if (!piece.endsLine) continue;
        lines.push_back(std::move(line));
        line.clear();
    }
    fuzz::Require(line.empty(), "the last piece ends its line");
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputReader input(data, size);
    const core::LineKind kind = (input.Byte() & 1) != 0 ? core::LineKind::File : core::LineKind::Internet;
    const std::string_view sizes = input.Bytes(4);
    const std::string body(input.Rest());

    core::LineSplitter splitter(kind, fuzz::ChosenReceives(sizes, body));
    fuzz::Require(LinesFromPieces(splitter, kind) == line_model::SplitLines(body, kind),
                  "the splitter gives the model's lines");
    return 0;
}
