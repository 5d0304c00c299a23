// The command language of UNLHA32.DLL: a command letter (a, u, f, d, x, e,
// l, v, t, s), LHA switches, the archive, a base or output directory ending
// in a backslash, then names.
#pragma once

#include <string>
#include <vector>

#include "common/EntryInfo.h"
#include "common/Report.h"
#include "common/Switches.h"

namespace unlha32 {

void RunLhaCommand(const std::string& line, arc::Report& report);

// Packing commands a, u, f and the deletion d.
void Pack(const arc::ParsedLine& line, char command, arc::Report& report);
void Delete(const arc::ParsedLine& line, arc::Report& report);
// x and e extract, t tests, l and v list, s makes a self-extracting program.
void Extract(const arc::ParsedLine& line, bool withPaths, arc::Report& report);
void Test(const arc::ParsedLine& line, arc::Report& report);
void List(const arc::ParsedLine& line, arc::Report& report);
void MakeSfx(const arc::ParsedLine& line, arc::Report& report);

std::vector<arc::EntryInfo> ListLha(const std::string& posixPath);
bool CheckLha(const std::string& posixPath, int mode);

}  // namespace unlha32
