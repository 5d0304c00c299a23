// The command language of UNRAR32.DLL: -x extracts with paths, -e without;
// -y overwrites existing files, -u overwrites them with newer members only,
// -s is accepted (no effect here).
#pragma once

#include <string>
#include <vector>

#include "common/EntryInfo.h"
#include "common/Report.h"

namespace unrar32 {

void RunRarCommand(const std::string& line, arc::Report& report);
std::vector<arc::EntryInfo> ListRar(const std::string& posixPath);
bool CheckRar(const std::string& posixPath, int mode);

}  // namespace unrar32
