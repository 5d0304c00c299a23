// Extraction never writes outside its destination: member names are checked
// before use, and directories are made without following links.
#pragma once

#include <string>
#include <vector>

namespace arc {

// The reason given for a name that is empty or only "." parts.
inline constexpr char kEmptyName[] = "empty name";

// Splits a member name (UTF-8; '/' and '\\' both separate) into its parts,
// dropping empty and "." parts. False, with the reason, for an absolute
// name, a drive letter, a ".." part, or a name with nothing left.
bool SafeMemberPath(const std::string& name, std::vector<std::string>& parts, std::string& reason);

// Makes `root` (when missing) and the directories parts[0..n-2] below it
// (all parts when `allAreDirectories`); an existing part that is not a real
// directory (a symbolic link among them) is refused. `path` receives the
// full path of the last part.
bool MakeDirectories(const std::string& root, const std::vector<std::string>& parts,
                     bool allAreDirectories, std::string& path, std::string& reason);

}  // namespace arc
