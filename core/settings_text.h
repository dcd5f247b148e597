// The text of the settings file: four entries, each ended by ";", no line end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace core {

struct Settings {
    std::string url = "http://";
    bool forward = false;
    std::string flag;
    int interval = 5;
};

// A file shorter than this cannot hold the four keys and is damaged.
constexpr size_t kMinSettingsSize = 29;
// The original limit; longer files are read only when they have the writer's own shape.
constexpr size_t kClassicMaxSettingsSize = 256;
// Far above what the two edit boxes can hold; a longer file is damaged.
constexpr size_t kMaxSettingsSize = 1 << 20;

std::string SettingsText(const Settings& settings);

struct SettingsReading {
    Settings settings;          // the defaults where the file gives nothing
    bool intervalGiven = true;  // false: a damaged interval leaves the control as it was
    bool damaged = false;       // the file is to be reported as damaged
};

// Reads the file's bytes: first as the writer lays them out, else by each key's first occurrence.
SettingsReading ReadSettings(std::string_view fileBytes);

}  // namespace core
