#include "HostRun.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace hosttest {

std::string BinDir() {
  const char* bin = std::getenv("VX_BIN");
  if (bin == nullptr) throw std::runtime_error("VX_BIN is not set");
  return bin;
}

std::string SourceDir() { return VX_SOURCE_DIR; }

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

Result Shell(const std::string& folder, const std::string& command, const std::string& input,
           const std::string& environment) {
  WriteFile(folder + "/.stdin", input);
  const std::string line = "cd '" + folder + "' && " + environment + " " + command +
                           " < .stdin > .stdout 2> .stderr";
  Result r;
  const int raw = std::system(line.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadFile(folder + "/.stdout");
  r.err = ReadFile(folder + "/.stderr");
  std::remove((folder + "/.stdin").c_str());
  std::remove((folder + "/.stdout").c_str());
  std::remove((folder + "/.stderr").c_str());
  return r;
}

namespace {

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

std::string Unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      const char c = s[++i];
      out += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    } else {
      out += s[i];
    }
  }
  return out;
}

}  // namespace

Reading ReadMessage(const std::string& messageFile, const std::string& extractDir) {
  const std::string folder = messageFile.substr(0, messageFile.find_last_of('/'));
  std::string command = "python3 '" + SourceDir() + "/scripts/mailparts.py' --tsv '" + messageFile + "'";
  if (!extractDir.empty()) command += " --extract '" + extractDir + "'";
  const Result r = Shell(folder, command);
  Reading reading;
  reading.status = r.status;
  reading.errors = r.err;
  std::istringstream lines(r.out);
  std::string line;
  while (std::getline(lines, line)) {
    const std::vector<std::string> f = Split(line);
    if (f[0] == "attachment" && f.size() >= 5)
      reading.parts.push_back(Part{f[1], f[2], f[4], static_cast<std::size_t>(std::stoul(f[3]))});
    else if (f[0] == "defect" && f.size() >= 2)
      reading.defects.push_back(f[1]);
    else if (f.size() >= 2)
      reading.fields[f[0]] = Unescape(f[1]);
  }
  return reading;
}

}  // namespace hosttest
