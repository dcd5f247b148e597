// Cuts a received page into lines, handing each line over in pieces so a huge line costs no memory.
#include "line_splitter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace core {

namespace {

constexpr char kEndOfFile = '\x1A';

const char* FindByte(const char* bytes, char wanted, size_t count) {
    return static_cast<const char*>(std::memchr(bytes, wanted, count));
}

constexpr uint64_t kOnes = 0x0101010101010101u;

// Eight bytes with the first in the lowest bits, whatever the machine's byte order.
uint64_t LoadWord(const char* bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return uint64_t{b[0]} | uint64_t{b[1]} << 8 | uint64_t{b[2]} << 16 | uint64_t{b[3]} << 24 | uint64_t{b[4]} << 32 |
           uint64_t{b[5]} << 40 | uint64_t{b[6]} << 48 | uint64_t{b[7]} << 56;
}

// Flags (with its high bit) the first byte of `word` below 0x0E, where LF, CR and NUL lie; later
// bytes may be flagged falsely, but only after a true one.
uint64_t ControlBits(uint64_t word) { return (word - 0x0E * kOnes) & ~word & (0x80 * kOnes); }

// Which byte of the word the lowest flag stands for.
size_t FirstFlaggedByte(uint64_t bits) {
    const uint64_t lowest = bits & (~bits + 1);
    return static_cast<size_t>(((lowest >> 7) * 0x0001020304050607u) >> 56);
}

// Index of the first byte below 0x0E, or `count`. Looks at sixteen or eight bytes at once, as page
// text rarely holds such a byte but at its line ends.
inline size_t FindControlByte(const char* bytes, size_t count) {
    size_t at = 0;
#ifdef __SSE2__
    const __m128i highestControl = _mm_set1_epi8(0x0D);
    for (; at + 16 <= count; at += 16) {
        const __m128i word = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
        const int controls = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(word, highestControl), word));
        if (controls != 0) return at + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(controls)));
    }
#endif
    for (; at + 8 <= count; at += 8) {
        if (const uint64_t bits = ControlBits(LoadWord(bytes + at))) return at + FirstFlaggedByte(bits);
    }
    while (at < count && static_cast<unsigned char>(bytes[at]) >= 0x0E) ++at;
    return at;
}

// Text-mode translation in place: each CR LF pair becomes LF; returns the new length.
size_t CollapseCrLf(char* bytes, size_t count) {
    size_t out = 0;
    size_t in = 0;
    while (in < count) {
        const char* cr = FindByte(bytes + in, '\r', count - in);
        const size_t run = cr ? static_cast<size_t>(cr - (bytes + in)) + 1 : count - in;
        std::memmove(bytes + out, bytes + in, run);
        out += run;
        in += run;
        if (cr && in < count && bytes[in] == '\n') {
            bytes[out - 1] = '\n';
            ++in;
        }
    }
    return out;
}

}  // namespace

LineSplitter::LineSplitter(LineKind kind, Receive receive)
    : kind_(kind),
      pieceLimit_(kind == LineKind::Internet ? kInternetPieceLimit : kFilePieceLimit),
      receive_(std::move(receive)),
      buffer_(kReceiveSize + 1) {}

// Most pieces lie whole in the current receive and hold no control byte but the line end, LF or
// (internet kind) CR LF; such a piece is handed out in place without a byte moved. Any other piece
// takes the full rules.
bool LineSplitter::NextPiece(LinePiece& piece) {
    if (pos_ == end_) Refill();
    const char* chunk = buffer_.data() + pos_;
    const size_t want = std::min(end_ - pos_, pieceLimit_);
    const size_t plain = FindControlByte(chunk, want);
    size_t taken = 0;
    if (plain == pieceLimit_) {
        taken = plain;
    } else if (plain < want && chunk[plain] == '\n') {
        taken = plain + 1;
    } else if (kind_ == LineKind::Internet && plain + 1 < want && chunk[plain] == '\r' && chunk[plain + 1] == '\n') {
        taken = plain + 2;
    } else {
        return TakeAnyPiece(piece);
    }
    pos_ += taken;
    lineOpen_ = plain == pieceLimit_;
    piece = {{chunk, plain}, !lineOpen_};
    return true;
}

// Any piece, by the rules in full.
bool LineSplitter::TakeAnyPiece(LinePiece& piece) {
    Progress progress;
    std::string_view bytes = TakePiece(progress);
    if (progress.dataEnded && bytes.empty()) {
        if (!lineOpen_) return false;
        lineOpen_ = false;
        piece = {bytes, true};
        return true;
    }
    bytes = bytes.substr(0, progress.firstNul);
    lineOpen_ = bytes.size() == pieceLimit_ && bytes.back() != '\n';
    if (!bytes.empty() && bytes.back() == '\n') bytes.remove_suffix(1);
    piece = {bytes, !lineOpen_};
    return true;
}

// Takes bytes up to the first LF or the piece limit. A piece that comes whole from one receive is
// handed out in place, the bytes being taken already; one that straddles two receives is gathered
// in piece_.
std::string_view LineSplitter::TakePiece(Progress& progress) {
    while (!progress.lf && progress.taken < pieceLimit_) {
        if (pos_ == end_ && !Refill()) {
            progress.dataEnded = true;
            break;
        }
        char* chunk = buffer_.data() + pos_;
        const size_t want = std::min(end_ - pos_, pieceLimit_ - progress.taken);
        const bool inPlace = progress.taken == 0;
        const size_t taken = StorePieceBytes(chunk, want, inPlace ? chunk : piece_, progress);
        pos_ += taken;
        if (!inPlace) continue;
        if (progress.lf || progress.taken == pieceLimit_) return {chunk, progress.stored};
        std::memcpy(piece_, chunk, progress.stored);
    }
    return {piece_, progress.stored};
}

// Moves bytes from `in` to `out` until an LF has moved or `count` bytes are taken, dropping CRs for
// the internet kind; returns how many were taken. `out` may be `in`, as it never runs ahead of it.
size_t LineSplitter::StorePieceBytes(const char* in, size_t count, char* out, Progress& progress) const {
    const bool dropCr = kind_ == LineKind::Internet;
    size_t at = 0;
    while (at < count) {
        const size_t run = FindControlByte(in + at, count - at);
        if (run > 0 && out + progress.stored != in + at) std::memmove(out + progress.stored, in + at, run);
        progress.stored += run;
        at += run;
        if (at == count) break;
        const char byte = in[at++];
        if (byte == '\r' && dropCr) continue;
        if (byte == '\0') progress.firstNul = std::min(progress.firstNul, progress.stored);
        out[progress.stored++] = byte;
        if (byte == '\n') {
            progress.lf = true;
            break;
        }
    }
    progress.taken += at;
    return at;
}

bool LineSplitter::Refill() { return kind_ == LineKind::Internet ? RefillRaw() : RefillTranslated(); }

bool LineSplitter::RefillRaw() {
    if (dataEnded_) return false;
    pos_ = 0;
    end_ = receive_(buffer_.data(), kReceiveSize);
    dataEnded_ = end_ == 0;
    return !dataEnded_;
}

// A CR that ends a receive waits in front of the next one, so a CR LF pair split between two
// receives still becomes one LF.
bool LineSplitter::RefillTranslated() {
    while (!dataEnded_) {
        size_t start = 0;
        if (carriedCr_) {
            buffer_[0] = '\r';
            start = 1;
            carriedCr_ = false;
        }
        const size_t received = receive_(buffer_.data() + start, kReceiveSize);
        size_t length = start + received;
        if (received == 0) {
            dataEnded_ = true;
        } else if (const char* eof = FindByte(buffer_.data() + start, kEndOfFile, received)) {
            length = static_cast<size_t>(eof - buffer_.data());
            dataEnded_ = true;
        } else if (buffer_[length - 1] == '\r') {
            carriedCr_ = true;
            --length;
        }
        pos_ = 0;
        end_ = CollapseCrLf(buffer_.data(), length);
        if (end_ > 0) return true;
    }
    return false;
}

}  // namespace core
