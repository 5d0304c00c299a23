// Date-time values as the framework keeps them: days since 1899-12-30, with
// the time of day as fraction. 0 stands for "no date".
#pragma once

#include "platform/win32api.h"

namespace vx {

using TDateTime = double;

// Raise EConvertError for values that name no calendar day or time.
TDateTime EncodeDate(int Year, int Month, int Day);
TDateTime EncodeTime(int Hour, int Minute, int Second, int MilliSecond);

// 0 for a file time of 0; otherwise the file time in local time.
TDateTime FileTimeToDateTime(const FILETIME& FileTime);

}  // namespace vx
