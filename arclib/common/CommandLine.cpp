#include "common/CommandLine.h"

#include <fstream>
#include <sstream>

#include "archives/ArchiverDll.h"
#include "common/Failure.h"
#include "common/WinNames.h"

namespace arc {

std::vector<Token> Tokenize(const std::string& line) {
  // Blanks and double quotes are never trail bytes of code page 932, so the
  // bytes can be scanned one by one.
  std::vector<Token> tokens;
  Token current;
  bool inItem = false, inQuotes = false;
  for (char c : line) {
    if (c == '"') {
      inQuotes = !inQuotes;
      inItem = true;
      current.quoted = true;
    } else if (!inQuotes && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
      if (inItem) tokens.push_back(current);
      current = Token();
      inItem = false;
    } else {
      current.text += c;
      inItem = true;
    }
  }
  if (inQuotes) throw Failure(ARCERR_COMMAND_NAME, "unterminated double quote in the command line");
  if (inItem) tokens.push_back(current);
  return tokens;
}

std::vector<std::string> ReadResponseFile(const std::string& winPath) {
  std::string posix;
  std::ifstream in;
  if (PosixPathOf(winPath, posix)) in.open(posix, std::ios::binary);
  if (!in) throw Failure(ARCERR_RESPONSE_READ, "cannot read the response file " + winPath);
  std::vector<std::string> names;
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    line = line.substr(start);
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"') line = line.substr(1, line.size() - 2);
    if (!line.empty()) names.push_back(line);
  }
  return names;
}

}  // namespace arc
