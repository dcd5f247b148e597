// Whole-line reference of the frame rule over the line model's lines, for checking the streaming extraction.
#pragma once

#include <optional>
#include <string>

#include "frame_tag.h"
#include "gbk_search.h"
#include "line_model.h"

namespace frame_model {

// The target of the page's first line that holds the frame tag, nothing if none does; empty when the
// address after the tag has no closing quote within kMaxAddressLength bytes.
inline std::optional<std::string> FirstFrameTarget(const std::string& body, core::LineKind kind) {
    const std::string opening = "<frame src=\"";  // the target begins after it, with http://
    for (const std::string& line : line_model::SplitLines(body, kind)) {
        const int at = core::GbkFind(line, opening + "http://");
        if (at < 0) continue;
        const size_t start = static_cast<size_t>(at) + opening.size();
        const size_t quote = line.find('"', start);
        if (quote == std::string::npos || quote - start > core::kMaxAddressLength) return std::string();
        return line.substr(start, quote - start);
    }
    return std::nullopt;
}

}  // namespace frame_model
