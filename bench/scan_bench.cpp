// Times the line splitter with the streaming marker scan against a plain memchr scan of the same page.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "line_splitter.h"
#include "marker_scan.h"

namespace {

constexpr size_t kBodySize = size_t{200} << 20;
constexpr int kPairs = 9;
// Both bytes of every GBK character in the page lie in 0xB0-0xD3, so this marker cannot occur.
constexpr std::string_view kMarker = "\xD4\xDD\xCD\xA3\xB7\xFE\xCE\xF1";

std::string GbkText(std::mt19937& random, int characters) {
    std::uniform_int_distribution<int> byte(0xB0, 0xD3);
    std::string text;
    for (int i = 0; i < 2 * characters; ++i) text += static_cast<char>(byte(random));
    return text;
}

// Lines of about 80 bytes and uneven length: table rows, and every fourth a paragraph of GBK text.
std::string BuildBody() {
    std::mt19937 random(2024);
    std::uniform_int_distribution<unsigned> number(0, 9999999);
    std::uniform_int_distribution<int> characters(6, 18);
    std::string body;
    body.reserve(kBodySize + 256);
    char line[160];
    for (unsigned row = 0; body.size() < kBodySize; ++row) {
        if (row % 4 == 0) {
            std::snprintf(line, sizeof line, "<p class=\"note\">%s</p><span>%u</span>\r\n",
                          GbkText(random, characters(random)).c_str(), number(random));
        } else {
            std::snprintf(line, sizeof line,
                          "<tr><td class=\"c%u\">%u</td><td><a href=\"/item/%u.html\">go</a></tr>\r\n", row % 7,
                          number(random), number(random));
        }
        body += line;
    }
    return body;
}

// The page handed out in receives of 4,096 bytes, as WinINet hands it to the tool.
class Receives {
public:
    explicit Receives(const std::string& body) : body_(body) {}

    size_t operator()(char* buffer, size_t capacity) {
        const size_t count = std::min(capacity, body_.size() - next_);
        std::memcpy(buffer, body_.data() + next_, count);
        next_ += count;
        return count;
    }

private:
    const std::string& body_;
    size_t next_ = 0;
};

bool ScanOurs(const std::string& body) {
    core::LineSplitter lines(core::LineKind::Internet, Receives(body));
    return core::AnyLineHolds(lines, kMarker);
}

// The receives without the scan: the copying that the floor, which reads the page in place, does not do.
bool ReceiveOnly(const std::string& body) {
    Receives receive(body);
    std::vector<char> buffer(core::LineSplitter::kReceiveSize);
    size_t last = 0;
    while (const size_t count = receive(buffer.data(), buffer.size())) last = count;
    return last == 0;
}

bool LineHolds(const char* line, const char* end, std::string_view marker) {
    const size_t length = marker.size();
    for (const char* at = line; static_cast<size_t>(end - at) >= length; ++at) {
        at = static_cast<const char*>(std::memchr(at, marker[0], static_cast<size_t>(end - at) - length + 1));
        if (!at) return false;
        if (std::memcmp(at, marker.data(), length) == 0) return true;
    }
    return false;
}

// The floor: memchr to each LF, then memchr and memcmp for the marker within the line.
bool ScanFloor(const std::string& body) {
    const char* end = body.data() + body.size();
    for (const char* line = body.data(); line < end;) {
        const char* lf = static_cast<const char*>(std::memchr(line, '\n', static_cast<size_t>(end - line)));
        const char* lineEnd = lf ? lf : end;
        if (LineHolds(line, lineEnd, kMarker)) return true;
        line = lineEnd + 1;
    }
    return false;
}

template <typename Scan>
double Seconds(Scan scan, const std::string& body) {
    const auto start = std::chrono::steady_clock::now();
    if (scan(body)) std::printf("marker found, the page is wrong\n");
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
    const std::string body = BuildBody();
    std::printf("page: %zu MB in %zu lines, marker absent\n", body.size() >> 20,
                static_cast<size_t>(std::count(body.begin(), body.end(), '\n')));
    std::vector<double> ratios;
    for (int pair = 0; pair < kPairs; ++pair) {
        const double ours = Seconds(ScanOurs, body);
        const double plain = Seconds(ScanFloor, body);
        const double copying = Seconds(ReceiveOnly, body);
        ratios.push_back(plain / ours);
        std::printf(
            "pair %d: ours %.1f ms (%.0f MB/s, of which the receives' copying %.1f ms), floor %.1f ms, "
            "ratio %.2f\n",
            pair + 1, ours * 1e3, body.size() / ours / (1 << 20), copying * 1e3, plain * 1e3, ratios.back());
    }
    std::nth_element(ratios.begin(), ratios.begin() + kPairs / 2, ratios.end());
    const double median = ratios[kPairs / 2];
    std::printf("median ratio floor/ours: %.2f   goal >= 0.50 %s\n", median, median >= 0.5 ? "met" : "MISSED");
    return 0;
}
