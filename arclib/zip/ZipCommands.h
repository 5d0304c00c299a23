// The command languages of ZIP32J.DLL (packing: add, update, freshen,
// delete, and -A for self-extracting programs) and UNZIP32.DLL (-x, -e).
#pragma once

#include <string>
#include <vector>

#include "common/EntryInfo.h"
#include "common/Report.h"

namespace zip {

void RunZipCommand(const std::string& line, arc::Report& report);
void RunUnZipCommand(const std::string& line, arc::Report& report);
bool CheckZip(const std::string& posixPath, int mode);

}  // namespace zip
