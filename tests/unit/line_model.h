// Byte-at-a-time reference of the line rules, and a body source that feeds a splitter in chunks.
#pragma once

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "line_splitter.h"

namespace line_model {

// Text-mode reading of a whole file: CR LF arrives as LF, 0x1A ends the data.
inline std::string TranslateTextMode(const std::string& raw) {
    std::string out;
    for (size_t i = 0; i < raw.size() && raw[i] != '\x1A'; ++i) {
        const bool crLf = raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n';
        out += crLf ? '\n' : raw[i];
        if (crLf) ++i;
    }
    return out;
}

class Reader {
public:
    Reader(const std::string& body, core::LineKind kind)
        : file_(kind == core::LineKind::File),
          data_(file_ ? TranslateTextMode(body) : body),
          limit_(file_ ? 128 : 127) {}

    // One line by the rules; false when there are no more lines.
    bool ReadLine(std::string& line) {
        line.clear();
        for (bool first = true;; first = false) {
            std::string piece;
            const bool ended = TakePiece(piece);
            if (ended && piece.empty()) return !first;
            piece = piece.substr(0, piece.find('\0'));
            line += piece;
            if (piece.size() != limit_ || piece.back() == '\n') break;
        }
        if (!line.empty() && line.back() == '\n') line.pop_back();
        return true;
    }

private:
    // True when the piece stopped because the data ended.
    bool TakePiece(std::string& piece) {
        for (size_t taken = 0; taken < limit_;) {
            if (next_ == data_.size()) return true;
            const char byte = data_[next_++];
            ++taken;
            if (file_ || byte != '\r') piece += byte;
            if (byte == '\n') break;
        }
        return false;
    }

    const bool file_;
    const std::string data_;
    const size_t limit_;
    size_t next_ = 0;
};

inline std::vector<std::string> SplitLines(const std::string& body, core::LineKind kind) {
    Reader reader(body, kind);
    std::vector<std::string> lines;
    for (std::string line; reader.ReadLine(line);) lines.push_back(line);
    return lines;
}

// Hands out a body in receives of 1 to `largest` bytes, chosen at random, then 0 for good.
class ChunkedBody {
public:
    ChunkedBody(std::string body, size_t largest, unsigned seed = 1)
        : body_(std::move(body)), largest_(largest), random_(seed) {}

    size_t operator()(char* buffer, size_t capacity) {
        const size_t size = std::uniform_int_distribution<size_t>(1, largest_)(random_);
        const size_t count = std::min({size, capacity, body_.size() - next_});
        std::memcpy(buffer, body_.data() + next_, count);
        next_ += count;
        return count;
    }

private:
    std::string body_;
    size_t largest_;
    std::mt19937 random_;
    size_t next_ = 0;
};

// A page of random lines, rich in the bytes the rules treat specially, with some lines longer than
// several pieces. `extra` is spliced in now and then, whole.
inline std::string RandomBody(std::mt19937& random, const std::string& extra = "") {
    static const std::string kCommon = "ab<> \"A\xB0\xA1\x81\xFE\x80\xFF";
    static const std::string kSpecial("\r\n\0\x1A", 4);
    auto pick = [&random](const std::string& from) {
        return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
    };
    std::uniform_int_distribution<int> percent(0, 99);
    const int specialPercent = 3 * std::uniform_int_distribution<int>(0, 2)(random);  // some bodies hold long runs
    std::string body;
    for (int line = std::uniform_int_distribution<int>(0, 8)(random); line > 0; --line) {
        const bool isLong = percent(random) < 30;
        const int length = std::uniform_int_distribution<int>(isLong ? 100 : 0, isLong ? 400 : 20)(random);
        for (int i = 0; i < length; ++i) {
            if (!extra.empty() && percent(random) == 0) body += extra;
            body += pick(percent(random) < specialPercent ? kSpecial : kCommon);
        }
        static const char* const kEnds[] = {"\n", "\r\n", "\r", ""};
        body += kEnds[percent(random) % 4];
    }
    return body;
}

inline core::LineSplitter MakeSplitter(const std::string& body, core::LineKind kind, size_t largestReceive = 4096,
                                       unsigned seed = 1) {
    return core::LineSplitter(kind, ChunkedBody(body, largestReceive, seed));
}

}  // namespace line_model
