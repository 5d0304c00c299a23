// Path text operations on code page 932 names (no file system access).
#pragma once

#include <string>

namespace vx {

// Name when Dir is empty; Dir + Name when Dir ends in a backslash (a whole
// character); otherwise Dir + "\" + Name.
std::string JoinPath(const std::string& Dir, const std::string& Name);

// The name after the last backslash or colon.
std::string ExtractFileName(const std::string& Path);
// The directory part: up to the last backslash or colon, without that
// backslash unless it closes a root such as C:\ or \.
std::string ExtractFileDir(const std::string& Path);
// Everything up to and including the last backslash or colon.
std::string ExtractFilePath(const std::string& Path);
// The text from the last period, when no backslash or colon follows it.
std::string ExtractFileExt(const std::string& Path);
// Path with its extension (as above) replaced by Ext, or Ext appended.
std::string ChangeFileExt(const std::string& Path, const std::string& Ext);

}  // namespace vx
