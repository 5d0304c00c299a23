// The command-line grammar of our libraries on any text: items and quotes,
// response files, the switch tables of every library, and the safe-path
// rules every member name passes before extraction.
#include <cstring>
#include <string>
#include <vector>

#include "FuzzFile.h"
#include "common/CommandLine.h"
#include "common/Failure.h"
#include "common/SafePath.h"
#include "common/Switches.h"
#include "LibraryGrammars.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  // A line ends at its first NUL, as it does in the entries.
  const std::string line = text.substr(0, text.find('\0'));
  for (const arc::Grammar* grammar : vxfuzz::LibraryGrammars()) {
    try {
      const arc::ParsedLine parsed = arc::ParseLine(line, *grammar);
      for (const std::string& name : parsed.files) {
        std::vector<std::string> parts;
        std::string reason;
        arc::SafeMemberPath(name, parts, reason);
      }
    } catch (const arc::Failure&) {
    }
  }
  // The same bytes as a response file.
  static const vxfuzz::FuzzFile file(".txt");
  file.Write(data, size);
  try {
    for (const std::string& name : arc::ReadResponseFile(file.Win())) {
      std::vector<std::string> parts;
      std::string reason;
      arc::SafeMemberPath(name, parts, reason);
    }
  } catch (const arc::Failure&) {
  }
  return 0;
}
