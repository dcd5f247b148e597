// What the fuzz targets share: choices taken off the front of an input, receives of chosen sizes, a hard stop.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace fuzz {

// The input read from its front: single bytes and short runs for choices, the rest as data.
class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    uint8_t Byte() {
        if (rest_.empty()) return 0;
        const auto byte = static_cast<uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return byte;
    }

    std::string_view Bytes(size_t count) {
        const std::string_view taken = rest_.substr(0, count);
        rest_.remove_prefix(taken.size());
        return taken;
    }

    std::string_view Rest() const { return rest_; }

private:
    std::string_view rest_;
};

// Hands out a body in receives whose sizes cycle through the chosen bytes, then 0 for good. A byte b
// asks for 1 + b*b/16 bytes (1 to 4,065), 0xFF for a full buffer, so both tiny and whole receives occur.
class ChosenReceives {
public:
    ChosenReceives(std::string_view sizes, std::string_view body) : sizes_(sizes), body_(body) {}

    size_t operator()(char* buffer, size_t capacity) {
        const size_t count = std::min({NextSize(capacity), capacity, body_.size()});
        std::memcpy(buffer, body_.data(), count);
        body_.remove_prefix(count);
        return count;
    }

private:
    size_t NextSize(size_t capacity) {
        if (sizes_.empty()) return capacity;
        const auto byte = static_cast<uint8_t>(sizes_[next_++ % sizes_.size()]);
        return byte == 0xFF ? capacity : 1 + size_t{byte} * byte / 16;
    }

    std::string_view sizes_;
    std::string_view body_;
    size_t next_ = 0;
};

// A broken property is a finding: say which and stop, so libFuzzer keeps the input.
inline void Require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

}  // namespace fuzz
