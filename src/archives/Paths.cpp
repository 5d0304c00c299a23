#include "archives/Paths.h"

#include "archives/MbcsText.h"

namespace vx {

std::string JoinPath(const std::string& Dir, const std::string& Name) {
  if (Dir.empty()) return Name;
  if (EndsWithPathDelimiter(Dir)) return Dir + Name;
  return Dir + '\\' + Name;
}

std::string ExtractFileName(const std::string& Path) {
  const auto at = LastDelimiter("\\:", Path);
  return at == std::string::npos ? Path : Path.substr(at + 1);
}

std::string ExtractFileDir(const std::string& Path) {
  auto at = LastDelimiter("\\:", Path);
  if (at == std::string::npos) return std::string();
  if (at > 0 && Path[at] == '\\' && LastDelimiter("\\:", Path.substr(0, at)) != at - 1) --at;
  return Path.substr(0, at + 1);
}

std::string ExtractFilePath(const std::string& Path) {
  const auto at = LastDelimiter("\\:", Path);
  return at == std::string::npos ? std::string() : Path.substr(0, at + 1);
}

std::string ExtractFileExt(const std::string& Path) {
  const auto at = LastDelimiter(".\\:", Path);
  if (at == std::string::npos || Path[at] != '.') return std::string();
  return Path.substr(at);
}

std::string ChangeFileExt(const std::string& Path, const std::string& Ext) {
  const auto at = LastDelimiter(".\\:", Path);
  if (at == std::string::npos || Path[at] != '.') return Path + Ext;
  return Path.substr(0, at) + Ext;
}

}  // namespace vx
