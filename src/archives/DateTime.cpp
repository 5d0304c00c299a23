#include "archives/DateTime.h"

#include "archives/Exceptions.h"

namespace vx {

namespace {

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

}  // namespace

TDateTime EncodeDate(int Year, int Month, int Day) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInMonth(Year, Month))
    throw EConvertError("Invalid argument to date encode");
  // Days before 1 January of Year since 0001-01-01, then shift to 1899-12-30.
  const int y = Year - 1;
  long days = y * 365L + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < Month; ++m) days += DaysInMonth(Year, m);
  days += Day - 1;
  return static_cast<TDateTime>(days - 693593L);
}

TDateTime EncodeTime(int Hour, int Minute, int Second, int MilliSecond) {
  if (Hour < 0 || Hour > 23 || Minute < 0 || Minute > 59 || Second < 0 || Second > 59 ||
      MilliSecond < 0 || MilliSecond > 999)
    throw EConvertError("Invalid argument to time encode");
  return (((Hour * 60 + Minute) * 60 + Second) * 1000 + MilliSecond) / 86400000.0;
}

TDateTime FileTimeToDateTime(const FILETIME& FileTime) {
  if (FileTime.dwLowDateTime == 0 && FileTime.dwHighDateTime == 0) return 0;
  FILETIME local;
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&FileTime, &local) || !FileTimeToSystemTime(&local, &st)) return 0;
  return EncodeDate(st.wYear, st.wMonth, st.wDay) +
         EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

}  // namespace vx
