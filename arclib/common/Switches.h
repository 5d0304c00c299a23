// Switch tables and the parsed form of one command line.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/CommandLine.h"

namespace arc {

enum class SwitchKind {
  Flag,    // the name alone: -r
  Number,  // the name and optional signed digits: -x, -x0, -jm9
  Text,    // the name and any text, maybe empty: "-wC:\tmp\"
  Value,   // the name and attached text, or the next item: -f "a.tar"
};

struct SwitchRule {
  std::string name;  // without the leading dash
  SwitchKind kind;
};

class SwitchSet {
 public:
  void Add(const std::string& name, const std::string& value) { items_.emplace_back(name, value); }
  bool Has(const std::string& name) const;
  // The last value given; `absent` when not given, `bare` when given
  // without digits.
  int Number(const std::string& name, int absent, int bare = 1) const;
  std::string Text(const std::string& name, const std::string& absent = std::string()) const;
  std::vector<std::string> All(const std::string& name) const;
  const std::vector<std::pair<std::string, std::string>>& Items() const { return items_; }

 private:
  std::vector<std::pair<std::string, std::string>> items_;
};

struct Grammar {
  std::vector<std::string> commands;  // accepted command words (compared case-insensitively)
  bool commandRequired = true;        // else a line may start with a switch or a name
  std::vector<SwitchRule> switches;
  bool ignoreCase = false;            // switch names compared case-insensitively
  bool commandIgnoreCase = true;      // command words compared case-insensitively
  bool archiveBySwitch = false;       // the archive comes with a switch (tar's -f)
};

struct ParsedLine {
  std::string command;                // as given, empty when none
  SwitchSet switches;
  std::string archive;                // code page 932 Windows path
  std::string directory;              // ends in a backslash, or empty
  std::vector<std::string> files;     // names, response files expanded
};

// Parses a line; throws Failure naming the item for an unknown command or
// switch, a switch without its value, or a malformed line.
ParsedLine ParseLine(const std::string& line, const Grammar& grammar);

}  // namespace arc
