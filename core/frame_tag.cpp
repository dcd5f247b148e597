// Finds the address a forwarding frame page points to, in lines arriving in pieces.
#include "frame_tag.h"

namespace core {

namespace {

constexpr std::string_view kFrameTag = "<frame src=\"http://";
constexpr std::string_view kAddressStart = "http://";  // the tag's last bytes begin the target

}  // namespace

FrameTagScan::FrameTagScan() : tagScan_(std::string(kFrameTag)) {}

bool FrameTagScan::Feed(const LinePiece& piece) {
    if (settled_) return true;
    if (inFrameLine_) {
        CollectTarget(piece.bytes);
    } else if (tagScan_.Feed(piece)) {
        inFrameLine_ = true;
        target_ = kAddressStart;
        CollectTarget(piece.bytes.substr(tagScan_.MatchEnd()));
    }
    if (inFrameLine_ && piece.endsLine && !settled_) {
        target_.clear();  // the line ended before the closing quote
        settled_ = true;
    }
    return settled_;
}

// Takes the address up to its closing quote, giving up on it once it is too long to be one.
void FrameTagScan::CollectTarget(std::string_view bytes) {
    const size_t quote = bytes.find('"');
    const size_t taken = quote == std::string_view::npos ? bytes.size() : quote;
    if (target_.size() + taken > kMaxAddressLength) {
        target_.clear();
        settled_ = true;
        return;
    }
    target_.append(bytes.substr(0, taken));
    settled_ = quote != std::string_view::npos;
}

std::optional<std::string> ReadFrameTarget(LineSplitter& lines) {
    FrameTagScan scan;
    LinePiece piece;
    while (lines.NextPiece(piece)) {
        if (scan.Feed(piece)) return scan.Target();
    }
    return std::nullopt;
}

}  // namespace core
