// Fuzzes the streaming frame-tag extraction against the whole-line reference over the model's lines.
//
// Input: a choice byte (bit 0 the kind of page), four receive-size bytes, then the body.
#include <cstdint>
#include <optional>
#include <string>

#include "frame_model.h"
#include "frame_tag.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputReader input(data, size);
    const core::LineKind kind = (input.Byte() & 1) != 0 ? core::LineKind::File : core::LineKind::Internet;
    const std::string_view sizes = input.Bytes(4);
    const std::string body(input.Rest());

    core::LineSplitter lines(kind, fuzz::ChosenReceives(sizes, body));
    const std::optional<std::string> streamed = core::ReadFrameTarget(lines);
    const std::optional<std::string> whole = frame_model::FirstFrameTarget(body, kind);
    fuzz::Require(streamed == whole, "the streaming extraction gives the first frame line's target");
    fuzz::Require(!whole || whole->empty() || whole->rfind("http://", 0) == 0, "a target begins with http://");
    return 0;
}
