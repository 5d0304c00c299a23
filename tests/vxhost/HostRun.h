// Running programs for the vxhost tests: vxhost itself with the dialog's
// commands on its input, Python's reading of a message, the unpacking tools.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace hosttest {

std::string BinDir();     // $VX_BIN
std::string SourceDir();  // the source tree (samples/, scripts/)

struct Result {
  int status = -1;
  std::string out, err;
};

// Runs a shell command in a folder with extra environment; input goes to
// its standard input.
Result Shell(const std::string& folder, const std::string& command, const std::string& input = "",
           const std::string& environment = "");

// What Python's email package found in a message (mailparts.py --tsv).
struct Part {
  std::string fileName, mimeType, nameParameter;
  std::size_t size = 0;
};
struct Reading {
  int status = -1;
  std::map<std::string, std::string> fields;  // from, to, subject, body
  std::vector<Part> parts;
  std::vector<std::string> defects;
  std::string errors;
};
// Extracts each attachment into extractDir when it is not empty.
Reading ReadMessage(const std::string& messageFile, const std::string& extractDir = "");

// The bytes of a file; empty when it cannot be read.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace hosttest
