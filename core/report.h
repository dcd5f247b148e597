// The report line of one check and the alarm that a change of result raises.
#pragma once

#include <string>
#include <string_view>

namespace core {

// The check's time stamp, then " OK" or " ERROR", then CR LF.
std::string ReportLine(std::string_view timeStamp, int result);

enum class Alarm { None, Recovered, Failed };

// Only a change of result is brought to the user.
Alarm AlarmFor(int lastResult, int result);

}  // namespace core
