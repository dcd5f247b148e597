// Finds the address a forwarding frame page points to, in lines arriving in pieces.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "line_splitter.h"
#include "marker_scan.h"

namespace core {

// The longest address the platform takes; a longer target counts as unterminated.
constexpr size_t kMaxAddressLength = 2083;

// The first frame line settles the target: an empty one if the address after the tag has no closing
// quote within kMaxAddressLength bytes. Holds at most one address, however long the lines.
class FrameTagScan {
public:
    FrameTagScan();

    // Scans the next piece; true once the target is settled and reading may stop.
    bool Feed(const LinePiece& piece);

    // The target, once Feed has returned true.
    const std::string& Target() const { return target_; }

private:
    void CollectTarget(std::string_view bytes);

    MarkerScan tagScan_;
    bool inFrameLine_ = false;
    bool settled_ = false;
    std::string target_;
};

// Reads lines up to the first frame line and returns its target; nothing if no line holds a frame tag.
std::optional<std::string> ReadFrameTarget(LineSplitter& lines);

}  // namespace core
