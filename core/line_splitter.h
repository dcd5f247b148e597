// Cuts a received page into lines, handing each line over in pieces so a huge line costs no memory.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace core {

// Fills `buffer` with at most `capacity` bytes and returns how many; 0 means the data has ended.
using Receive = std::function<size_t(char* buffer, size_t capacity)>;

// Where the bytes come from decides how line ends and stray bytes are read.
enum class LineKind {
    Internet,  // 127-byte pieces, every CR dropped
    File,      // 128-byte pieces after text-mode translation: CR LF is LF, 0x1A ends the data
};

// A run of bytes of the current line; it never holds LF or NUL, nor CR for the internet kind.
struct LinePiece {
    std::string_view bytes;  // valid until the next call on the splitter
    bool endsLine = false;
};

class LineSplitter {
public:
    static constexpr size_t kReceiveSize = 4096;

    LineSplitter(LineKind kind, Receive receive);

    // Next piece of the current line, or of a new one; false once there are no more lines.
    bool NextPiece(LinePiece& piece);

private:
    static constexpr size_t kInternetPieceLimit = 127;
    static constexpr size_t kFilePieceLimit = 128;

    // How far the piece being taken has come.
    struct Progress {
        size_t taken = 0;
        size_t stored = 0;
        size_t firstNul = std::string_view::npos;  // among the stored bytes
        bool lf = false;
        bool dataEnded = false;
    };

    bool TakeAnyPiece(LinePiece& piece);
    std::string_view TakePiece(Progress& progress);
    size_t StorePieceBytes(const char* in, size_t count, char* out, Progress& progress) const;
    bool Refill();
    bool RefillRaw();
    bool RefillTranslated();

    const LineKind kind_;
    const size_t pieceLimit_;
    Receive receive_;
    std::vector<char> buffer_;  // one receive, plus a CR held back from the previous one
    size_t pos_ = 0;
    size_t end_ = 0;
    bool dataEnded_ = false;
    bool carriedCr_ = false;       // a CR ended the last receive; whether it pairs with LF is not yet known
    bool lineOpen_ = false;        // the last piece was full, so the line goes on
    char piece_[kFilePieceLimit];  // a piece that straddles two receives
};

}  // namespace core
