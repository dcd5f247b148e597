// The time stamp of a check: the local date as yyyy-MM-dd, a blank, the user's time in 24 hours.
#include "time_stamp.h"

#include "code_page.h"

namespace monitor {
namespace {

// The buffers hold what a check's line has room for, the terminating zero included.
constexpr int kDateLength = 15;
constexpr int kTimeLength = 9;

CString FormatTime(const SYSTEMTIME& moment, const wchar_t* picture) {
    wchar_t text[kTimeLength] = {};
    const int length =
        ::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_FORCE24HOURFORMAT, &moment, picture, text, kTimeLength);
    return length > 0 ? Narrow({text, static_cast<size_t>(length - 1)}) : CString();
}

}  // namespace

CString CheckTimeStamp(const SYSTEMTIME& moment) {
    wchar_t date[kDateLength] = {};
    const int dateLength = ::GetDateFormatW(LOCALE_USER_DEFAULT, 0, &moment, L"yyyy-MM-dd", date, kDateLength);
    CString time = FormatTime(moment, nullptr);
    // A user's format too long for the buffer would leave it unfilled: the plain format stands in.
    if (time.IsEmpty()) time = FormatTime(moment, L"HH:mm:ss");
    return Narrow({date, static_cast<size_t>(dateLength > 0 ? dateLength - 1 : 0)}) + " " + time;
}

}  // namespace monitor
