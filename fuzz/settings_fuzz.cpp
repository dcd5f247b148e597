// Fuzzes the settings reader on any file, and the writer and reader together on any values the boxes can hold.
//
// The whole input is read as a file. It is also taken as values: two bytes for the interval, one for
// the forwarding box, then the address and the marker separated by a NUL.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "gbk_search.h"
#include "settings_text.h"

namespace {

// Text that an edit box can give in the GBK code page: no NUL, every lead byte with its trail byte.
bool WellFormedGbk(std::string_view text) {
    for (size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte == 0) return false;
        if (!core::IsGbkLeadByte(byte)) continue;
        if (++at == text.size()) return false;
        const auto trail = static_cast<unsigned char>(text[at]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
    }
    return true;
}

void CheckAnyFile(std::string_view file) {
    const core::SettingsReading reading = core::ReadSettings(file);
    const int interval = reading.settings.interval;
    fuzz::Require(interval >= 1 && interval <= 600, "an interval read is within 1 to 600");
    fuzz::Require(reading.intervalGiven || reading.damaged, "an interval left unset comes with the damaged message");
}

// What the writer writes reads back unchanged, but for an address holding ";NoDire=", which no
// unescaped layout can tell from the next key.
void CheckRoundTrip(fuzz::InputReader input) {
    core::Settings settings;
    settings.interval = 1 + (input.Byte() | input.Byte() << 8) % 600;
    settings.forward = (input.Byte() & 1) != 0;
    const std::string_view values = input.Rest();
    const size_t separator = values.find('\0');
    settings.url = std::string(values.substr(0, separator));
    settings.flag = separator == std::string_view::npos ? "" : std::string(values.substr(separator + 1));
    if (!WellFormedGbk(settings.url) || !WellFormedGbk(settings.flag)) return;
    if (settings.url.find(";NoDire=") != std::string::npos) return;

    const core::SettingsReading reading = core::ReadSettings(core::SettingsText(settings));
    fuzz::Require(!reading.damaged && reading.intervalGiven, "a file the writer wrote is not damaged");
    const core::Settings& back = reading.settings;
    fuzz::Require(back.url == settings.url, "the address reads back");
    fuzz::Require(back.forward == settings.forward, "the forwarding box reads back");
    fuzz::Require(back.flag == settings.flag, "the marker reads back");
    fuzz::Require(back.interval == settings.interval, "the interval reads back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckAnyFile({reinterpret_cast<const char*>(data), size});
    CheckRoundTrip(fuzz::InputReader(data, size));
    return 0;
}
