// Looks for a marker in a line that arrives in pieces, keeping only a marker-long tail of it.
#include "marker_scan.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "gbk_search.h"

namespace core {

// Tells which positions of a byte run start a GBK character, given whether the first one does.
// The byte after a non-lead byte always starts one (that byte was a whole character or a trail
// byte), so only the run of lead bytes just before a position decides. Positions must be asked in
// rising order, which keeps every byte looked at about once.
class MarkerScan::CharacterBoundaries {
public:
    CharacterBoundaries(const char* bytes, bool firstStartsCharacter)
        : bytes_(bytes), anchorStartsCharacter_(firstStartsCharacter) {}

    bool StartsCharacter(size_t pos) {
        size_t runStart = pos;
        while (runStart > anchor_ && IsGbkLeadByte(static_cast<unsigned char>(bytes_[runStart - 1]))) --runStart;
        const bool evenRun = (pos - runStart) % 2 == 0;
        anchorStartsCharacter_ = runStart > anchor_ ? evenRun : anchorStartsCharacter_ == evenRun;
        anchor_ = pos;
        return anchorStartsCharacter_;
    }

    // First position up to `lastStart` where a non-empty marker starts on a character, or npos.
    // The bytes must reach lastStart + marker length.
    size_t Find(size_t lastStart, std::string_view marker) {
        for (size_t pos = 0; pos <= lastStart; ++pos) {
            const void* hit = std::memchr(bytes_ + pos, marker[0], lastStart + 1 - pos);
            if (!hit) break;
            pos = static_cast<size_t>(static_cast<const char*>(hit) - bytes_);
            if (std::memcmp(bytes_ + pos + 1, marker.data() + 1, marker.size() - 1) == 0 && StartsCharacter(pos)) {
                return pos;
            }
        }
        return std::string_view::npos;
    }

private:
    const char* bytes_;
    size_t anchor_ = 0;
    bool anchorStartsCharacter_;
};

MarkerScan::MarkerScan(std::string marker)
    : marker_(std::move(marker)), tail_(2 * marker_.size()), window_(2 * marker_.size()) {}

bool MarkerScan::Feed(const LinePiece& piece) {
    const bool found = found_ || Scan(piece.bytes, !piece.endsLine);
    found_ = found;
    if (piece.endsLine) StartLine();
    return found;
}

inline bool MarkerScan::Scan(std::string_view bytes, bool lineGoesOn) {
    if (bytes.empty()) return false;
    if (marker_.empty()) {
        matchEnd_ = 0;
        return true;
    }
    if (tailSize_ > 0 && ScanStraddle(bytes)) return true;
    CharacterBoundaries boundaries(bytes.data(), nextStartsCharacter_);
    if (bytes.size() >= marker_.size()) {
        const size_t at = boundaries.Find(bytes.size() - marker_.size(), marker_);
        if (at != std::string_view::npos) {
            matchEnd_ = at + marker_.size();
            return true;
        }
    }
    if (lineGoesOn) KeepTail(bytes, boundaries);
    return false;
}

// Matches that begin in the kept tail and end in this piece.
bool MarkerScan::ScanStraddle(std::string_view bytes) {
    if (!std::memchr(tail_.data(), marker_[0], tailSize_)) return false;
    const size_t length = marker_.size();
    const size_t joined = std::min(bytes.size(), length - 1);
    if (tailSize_ + joined < length) return false;
    std::memcpy(window_.data(), tail_.data(), tailSize_);
    std::memcpy(window_.data() + tailSize_, bytes.data(), joined);
    CharacterBoundaries boundaries(window_.data(), tailStartsCharacter_);
    const size_t at = boundaries.Find(std::min(tailSize_ - 1, tailSize_ + joined - length), marker_);
    if (at == std::string_view::npos) return false;
    matchEnd_ = at + length - tailSize_;
    return true;
}

// Keeps the line's last marker-length-minus-one bytes and whether the first of them starts a character.
void MarkerScan::KeepTail(std::string_view bytes, CharacterBoundaries& boundaries) {
    const size_t keep = marker_.size() - 1;
    if (bytes.size() >= keep) {
        tailStartsCharacter_ = boundaries.StartsCharacter(bytes.size() - keep);
        std::memcpy(tail_.data(), bytes.data() + bytes.size() - keep, keep);
        tailSize_ = keep;
    } else {
        std::memcpy(tail_.data() + tailSize_, bytes.data(), bytes.size());
        const size_t joined = tailSize_ + bytes.size();
        const size_t dropped = joined > keep ? joined - keep : 0;
        CharacterBoundaries tailBoundaries(tail_.data(), tailStartsCharacter_);
        tailStartsCharacter_ = tailBoundaries.StartsCharacter(dropped);
        std::memmove(tail_.data(), tail_.data() + dropped, joined - dropped);
        tailSize_ = joined - dropped;
    }
    nextStartsCharacter_ = boundaries.StartsCharacter(bytes.size());
}

void MarkerScan::StartLine() {
    tailSize_ = 0;
    tailStartsCharacter_ = true;
    nextStartsCharacter_ = true;
    found_ = false;
}

bool AnyLineHolds(LineSplitter& lines, std::string_view marker) {
    MarkerScan scan{std::string(marker)};
    LinePiece piece;
    while (lines.NextPiece(piece)) {
        if (scan.Feed(piece)) return true;
    }
    return false;
}

}  // namespace core
