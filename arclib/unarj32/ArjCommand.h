// UNARJ32J.DLL reads the LHA command language: x and e extract (with and
// without paths), t tests, l and v list.
#pragma once

#include <string>
#include <vector>

#include "common/EntryInfo.h"
#include "common/Report.h"

namespace unarj32 {

void RunArjCommand(const std::string& line, arc::Report& report);
std::vector<arc::EntryInfo> ListArj(const std::string& posixPath);
bool CheckArj(const std::string& posixPath, int mode);

}  // namespace unarj32
