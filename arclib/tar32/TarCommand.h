// The command language of tar32.dll: "c" packs, "x" extracts, "t" and "l"
// list; -f names the archive, -o the base or output directory.
#pragma once

#include <string>
#include <vector>

#include "common/EntryInfo.h"
#include "common/Report.h"
#include "platform/win32api.h"

namespace tar32 {

void RunTarCommand(const std::string& line, arc::Report& report);

// Members of a tar, tar+gzip or tar+bzip2 archive.
std::vector<arc::EntryInfo> ListTar(const std::string& posixPath);
bool CheckTar(const std::string& posixPath, int mode);

// 1 tar, 2 tar+gzip, 3 tar+compress, 4 gzip, 5 compress, 6 tar+bzip2,
// 7 bzip2, 0 anything else.
int TarArchiveType(const std::string& posixPath);

}  // namespace tar32
