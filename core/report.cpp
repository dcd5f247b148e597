// The report line of one check and the alarm that a change of result raises.
#include "report.h"

namespace core {

std::string ReportLine(std::string_view timeStamp, int result) {
    std::string line(timeStamp);
    line += result != 0 ? " OK" : " ERROR";
    line += "\r\n";
    return line;
}

Alarm AlarmFor(int lastResult, int result) {
    if (result == lastResult) return Alarm::None;
    return result != 0 ? Alarm::Recovered : Alarm::Failed;
}

}  // namespace core
