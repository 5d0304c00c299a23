// The command language of CAB32.DLL: -a packs (a new cabinet), -x
// extracts, -f makes a self-extracting program, -l lists.
#pragma once

#include <string>
#include <vector>

#include "common/EntryInfo.h"
#include "common/Report.h"

namespace cab32 {

void RunCabCommand(const std::string& line, arc::Report& report);
std::vector<arc::EntryInfo> ListCab(const std::string& posixPath);
bool CheckCab(const std::string& posixPath, int mode);

}  // namespace cab32
