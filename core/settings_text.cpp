// The text of the settings file: four entries, each ended by ";", no line end.
#include "settings_text.h"

#include <algorithm>
#include <optional>

#include "gbk_search.h"

namespace core {

namespace {

constexpr int kMinInterval = 1;
constexpr int kMaxInterval = 600;
constexpr size_t kMaxIntervalDigits = 3;

struct RawValues {
    std::optional<std::string_view> url, forward, flag, interval;
};

// The first occurrence of `needle` at or after `from`, on a character boundary; npos if none.
size_t FindFrom(std::string_view text, std::string_view needle, size_t from) {
    const int found = GbkFind(text.substr(from), needle);
    return found < 0 ? std::string_view::npos : from + static_cast<size_t>(found);
}

// The value after the first occurrence of "key=": up to the next ";", empty when none follows.
std::optional<std::string_view> ValueByFirstKey(std::string_view text, std::string_view key) {
    const size_t at = FindFrom(text, key, 0);
    if (at == std::string_view::npos) return std::nullopt;
    const size_t start = at + key.size();
    const size_t end = FindFrom(text, ";", start);
    return end == std::string_view::npos ? std::string_view() : text.substr(start, end - start);
}

RawValues ReadByFirstKeys(std::string_view text) {
    return {ValueByFirstKey(text, "URL="), ValueByFirstKey(text, "NoDire="), ValueByFirstKey(text, "Flag="),
            ValueByFirstKey(text, "CheckTime=")};
}

// The writer's own layout, so values holding ";" or a key's text read back whole.
std::optional<RawValues> ReadByWriterShape(std::string_view text) {
    if (text.substr(0, 4) != "URL=") return std::nullopt;
    const size_t noDire = FindFrom(text, ";NoDire=", 4);
    if (noDire == std::string_view::npos) return std::nullopt;
    const size_t forwardStart = noDire + 8;
    const size_t forwardEnd = FindFrom(text, ";", forwardStart);
    if (forwardEnd == std::string_view::npos || text.substr(forwardEnd + 1, 5) != "Flag=") return std::nullopt;
    const size_t flagStart = forwardEnd + 6;
    size_t checkTime = std::string_view::npos;
    for (size_t at = FindFrom(text, ";CheckTime=", flagStart); at != std::string_view::npos;
         at = FindFrom(text, ";CheckTime=", at + 11)) {
        checkTime = at;
    }
    if (checkTime == std::string_view::npos) return std::nullopt;
    const size_t intervalStart = checkTime + 11;
    const size_t intervalEnd = FindFrom(text, ";", intervalStart);
    if (intervalEnd == std::string_view::npos) return std::nullopt;
    return RawValues{text.substr(4, noDire - 4), text.substr(forwardStart, forwardEnd - forwardStart),
                     text.substr(flagStart, checkTime - flagStart),
                     text.substr(intervalStart, intervalEnd - intervalStart)};
}

// Each byte counts as its signed value less that of "0", so "1a" is 59; the control then
// keeps the position within its range.
int IntervalFromDigits(std::string_view digits) {
    int value = 0;
    for (char digit : digits) value = value * 10 + (static_cast<signed char>(digit) - '0');
    return std::clamp(static_cast<int>(static_cast<short>(value & 0xFFFF)), kMinInterval, kMaxInterval);
}

SettingsReading Apply(const RawValues& raw) {
    SettingsReading reading;
    Settings& s = reading.settings;
    reading.damaged = !raw.url || !raw.forward || !raw.flag || !raw.interval;
    if (raw.url) s.url = std::string(*raw.url);
    if (raw.forward) s.forward = *raw.forward != "0";
    if (raw.flag) s.flag = std::string(*raw.flag);
    if (raw.interval && raw.interval->size() > kMaxIntervalDigits) {
        reading.damaged = true;
        reading.intervalGiven = false;
    } else if (raw.interval) {
        s.interval = IntervalFromDigits(*raw.interval);
    }
    return reading;
}

}  // namespace

std::string SettingsText(const Settings& settings) {
    return "URL=" + settings.url + ";NoDire=" + (settings.forward ? "1" : "0") + ";Flag=" + settings.flag +
           ";CheckTime=" + std::to_string(settings.interval) + ";";
}

SettingsReading ReadSettings(std::string_view fileBytes) {
    SettingsReading damaged;
    damaged.damaged = true;
    if (fileBytes.size() < kMinSettingsSize || fileBytes.size() > kMaxSettingsSize) return damaged;
    const std::string_view text = fileBytes.substr(0, fileBytes.find('\0'));
    if (std::optional<RawValues> shaped = ReadByWriterShape(text)) return Apply(*shaped);
    if (fileBytes.size() > kClassicMaxSettingsSize) return damaged;
    return Apply(ReadByFirstKeys(text));
}

}  // namespace core
