// MS-DOS dates and times, as ZIP and cabinet headers keep them: local
// time, two-second steps, 1980 to 2107.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace arc {

// A time before 1980 becomes 1980-01-01 00:00, one after 2107 that year.
void ToDosTime(std::time_t t, uint16_t& time, uint16_t& date);

// True when every byte of the name is below 0x80 (no UTF-8 mark needed).
bool IsAscii(const std::string& name);

}  // namespace arc
