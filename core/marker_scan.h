// Looks for a marker in a line that arrives in pieces, keeping only a marker-long tail of it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "line_splitter.h"

namespace core {

// Finds exactly what GbkFind finds in the joined line: matches start on GBK character boundaries,
// also across pieces, and an empty marker is found in any non-empty line.
class MarkerScan {
public:
    explicit MarkerScan(std::string marker);

    // Scans the next piece; true if its line holds the marker. After a piece that ends a line the
    // scan starts on a new one.
    bool Feed(const LinePiece& piece);

    // Offset, in the piece for which Feed first returned true, just past the marker's last byte.
    size_t MatchEnd() const { return matchEnd_; }

private:
    class CharacterBoundaries;

    inline bool Scan(std::string_view bytes, bool lineGoesOn);
    bool ScanStraddle(std::string_view bytes);
    void KeepTail(std::string_view bytes, CharacterBoundaries& boundaries);
    void StartLine();

    const std::string marker_;
    std::vector<char> tail_;    // the line's last marker-length-minus-one bytes, and room to join
    std::vector<char> window_;  // the tail joined to the start of the next piece
    size_t tailSize_ = 0;
    bool tailStartsCharacter_ = true;
    bool nextStartsCharacter_ = true;  // the line's next byte starts a character
    bool found_ = false;
    size_t matchEnd_ = 0;
};

// Reads lines until one holds `marker`; true if one does.
bool AnyLineHolds(LineSplitter& lines, std::string_view marker);

}  // namespace core
