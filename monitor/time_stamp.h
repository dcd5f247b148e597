// The time stamp of a check: the local date as yyyy-MM-dd, a blank, the user's time in 24 hours.
#pragma once

#include <windows.h>

#include "gbk_string.h"

namespace monitor {

CString CheckTimeStamp(const SYSTEMTIME& moment);

}  // namespace monitor
