// The command-line grammar our back-ends produce: items separated by
// blanks, double quotes around (parts of) an item, nothing escaped, and a
// quoted "@name" item naming a response file of quoted names.
#pragma once

#include <string>
#include <vector>

namespace arc {

struct Token {
  std::string text;
  bool quoted = false;  // some part of the item stood in double quotes
};

// Throws Failure (ARCERR_COMMAND_NAME) for an unterminated quote.
std::vector<Token> Tokenize(const std::string& line);

// The names of a response file: one per line, a pair of double quotes
// around a name dropped, empty lines skipped. Throws Failure
// (ARCERR_RESPONSE_READ) naming the file when it cannot be read.
std::vector<std::string> ReadResponseFile(const std::string& winPath);

}  // namespace arc
