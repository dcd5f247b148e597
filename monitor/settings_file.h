// The settings file "sitecheck.ini" in the working directory: read once at start-up, written whole at every Start.
#pragma once

#include <optional>

#include "settings_text.h"

namespace monitor {

// What the file holds; nothing when there is no file that can be opened. A file that cannot be read
// once open reads as damaged.
std::optional<core::SettingsReading> ReadSettingsFile();

// Replaces the file in one step, so a failed write leaves the old settings whole; a failure leaves as a
// CFileException that names the file.
void WriteSettingsFile(const core::Settings& settings);

}  // namespace monitor
