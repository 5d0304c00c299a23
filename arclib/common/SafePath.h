// Extraction never writes outside its destination: member names are checked
// before use, and directories are made without following links.
#pragma once

#include <string>
#include <vector>

namespace arc {

// The reason given for a name that is empty or only "." parts.
inline constexpr char kEmptyName[] = "empty name";

// Splits a member name (UTF-8; '/' and '\\' both separate) into its parts,
// dropping empty and "." parts. A root ("/", "\\", a drive letter with or
// without one) is taken off, so that the member lands under the
// destination as other readers put it; `root` receives what was taken off
// (empty when nothing). False, with the reason, for a ".." part or a name
// with nothing left.
bool SafeMemberPath(const std::string& name, std::vector<std::string>& parts, std::string& reason,
                    std::string* root = nullptr);

// The report's line for a root taken off member names.
std::string RootRemovedLine(const std::string& root);

// Makes `root` (when missing) and the directories parts[0..n-2] below it
// (all parts when `allAreDirectories`); an existing part that is not a real
// directory (a symbolic link among them) is refused. `path` receives the
// full path of the last part.
bool MakeDirectories(const std::string& root, const std::vector<std::string>& parts,
                     bool allAreDirectories, std::string& path, std::string& reason);

}  // namespace arc
