// FILETIME (100 ns since 1601, UTC) and SYSTEMTIME, with the process's time zone.
#include <time.h>

#include "platform/posix/Handles.h"
#include "platform/posix/Internal.h"

namespace {

constexpr long long kTicksPerSecond = 10000000LL;
constexpr long long kEpochDelta = 11644473600LL;  // seconds from 1601 to 1970

long long Ticks(const FILETIME& ft) {
  return static_cast<long long>((static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

FILETIME FromTicks(long long ticks) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(static_cast<unsigned long long>(ticks) & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(static_cast<unsigned long long>(ticks) >> 32);
  return ft;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

bool IsLeap(long long y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned DaysInMonth(long long y, unsigned m) {
  static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Offset of local time from UTC in seconds at the given UTC instant.
long OffsetAt(time_t utc) {
  struct tm local;
  if (localtime_r(&utc, &local) == nullptr) return 0;
  return local.tm_gmtoff;
}

}  // namespace

VXAPI void WINAPI GetSystemTimeAsFileTime(LPFILETIME lpSystemTimeAsFileTime) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  *lpSystemTimeAsFileTime = vxposix::detail::UnixToFileTime(now.tv_sec, now.tv_nsec);
}

VXAPI BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* lpFileTime, LPFILETIME lpLocalFileTime) {
  if (lpFileTime == nullptr || lpLocalFileTime == nullptr) return FALSE;
  const long long ticks = Ticks(*lpFileTime);
  const time_t utc = static_cast<time_t>(ticks / kTicksPerSecond - kEpochDelta);
  *lpLocalFileTime = FromTicks(ticks + OffsetAt(utc) * kTicksPerSecond);
  return TRUE;
}

VXAPI BOOL WINAPI LocalFileTimeToFileTime(const FILETIME* lpLocalFileTime, LPFILETIME lpFileTime) {
  if (lpLocalFileTime == nullptr || lpFileTime == nullptr) return FALSE;
  const long long ticks = Ticks(*lpLocalFileTime);
  const time_t local = static_cast<time_t>(ticks / kTicksPerSecond - kEpochDelta);
  // The offset that applies at the UTC instant this local time denotes.
  long offset = OffsetAt(local);
  offset = OffsetAt(local - offset);
  *lpFileTime = FromTicks(ticks - offset * kTicksPerSecond);
  return TRUE;
}

VXAPI BOOL WINAPI FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime) {
  if (lpFileTime == nullptr || lpSystemTime == nullptr) return FALSE;
  const long long ticks = Ticks(*lpFileTime);
  if (ticks < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const long long seconds = ticks / kTicksPerSecond - kEpochDelta;
  long long days = seconds / 86400;
  long long rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  long long y;
  unsigned m, d;
  CivilFromDays(days, y, m, d);
  lpSystemTime->wYear = static_cast<WORD>(y);
  lpSystemTime->wMonth = static_cast<WORD>(m);
  lpSystemTime->wDay = static_cast<WORD>(d);
  lpSystemTime->wDayOfWeek = static_cast<WORD>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  lpSystemTime->wHour = static_cast<WORD>(rest / 3600);
  lpSystemTime->wMinute = static_cast<WORD>(rest / 60 % 60);
  lpSystemTime->wSecond = static_cast<WORD>(rest % 60);
  lpSystemTime->wMilliseconds = static_cast<WORD>(ticks % kTicksPerSecond / 10000);
  return TRUE;
}

VXAPI BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, LPFILETIME lpFileTime) {
  if (lpSystemTime == nullptr || lpFileTime == nullptr) return FALSE;
  const SYSTEMTIME& s = *lpSystemTime;
  if (s.wYear < 1601 || s.wYear > 30827 || s.wMonth < 1 || s.wMonth > 12 || s.wDay < 1 ||
      s.wDay > DaysInMonth(s.wYear, s.wMonth) || s.wHour > 23 || s.wMinute > 59 || s.wSecond > 59 ||
      s.wMilliseconds > 999) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const long long seconds = DaysFromCivil(s.wYear, s.wMonth, s.wDay) * 86400LL + s.wHour * 3600LL +
                            s.wMinute * 60LL + s.wSecond;
  *lpFileTime = FromTicks((seconds + kEpochDelta) * kTicksPerSecond + s.wMilliseconds * 10000LL);
  return TRUE;
}
