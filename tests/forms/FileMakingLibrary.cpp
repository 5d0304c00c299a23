// A recording archiver library (UNLHA32.DLL or ZIP32J.DLL, by LIBRARY_FILE)
// whose command entry also leaves behind what a real library would: the
// pack command writes the archive (one line per file name, added to what
// was there, and padded with VXTEST_PACK_PAD bytes when that is set), the
// LHA self-extractor command writes the program into the folder given.
// Each adds a line saying what it made to the output.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#define LIBRARY_NAME LIBRARY_FILE
#include "TestEntries.h"

namespace {

std::vector<std::string> QuotedWords(const std::string& line) {
  std::vector<std::string> words;
  for (std::size_t open = line.find('"'); open != std::string::npos; open = line.find('"', open + 1)) {
    const std::size_t close = line.find('"', open + 1);
    if (close == std::string::npos) break;
    words.push_back(line.substr(open + 1, close - open - 1));
    open = close;
  }
  return words;
}

std::string ReadAll(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::string();
  std::string content(GetFileSize(h, nullptr), '\0');
  DWORD read = 0;
  ReadFile(h, content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
  CloseHandle(h);
  content.resize(read);
  return content;
}

void WriteAll(const std::string& path, const std::string& content) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(h);
}

std::string WithoutExtension(const std::string& name) {
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string AfterLastBackslash(const std::string& path) {
  const std::size_t cut = path.find_last_of('\\');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

int MakeFiles(const char* entry, HWND window, LPCSTR commandLine, LPSTR output, DWORD size) {
  const int result = arctest::Command(LIBRARY_NAME, entry, window, commandLine, output, size);
  const std::string line = commandLine != nullptr ? commandLine : "";
  std::vector<std::string> quoted = QuotedWords(line);
  if (result != 0 || quoted.empty()) return result;
  for (std::string& word : quoted)
    for (char& c : word)
      if (c == '/') c = '\\';
  const std::string& archive = quoted[0];
  std::string note;
  if (line.rfind("s ", 0) == 0) {
    const std::string folder = quoted.size() > 1 ? quoted[1] : std::string();
    const std::string program = folder + WithoutExtension(AfterLastBackslash(archive)) + ".exe";
    WriteAll(program, "SFX\n" + ReadAll(archive));
    note = "converted " + program;
  } else {
    std::string content = ReadAll(archive);
    for (std::size_t i = 1; i < quoted.size(); ++i)
      if (quoted[i].empty() || quoted[i].back() != '\\') content += quoted[i] + "\n";
    // As large as a real archive of large files would be.
    if (const char* pad = std::getenv("VXTEST_PACK_PAD")) content.append(std::strtoull(pad, nullptr, 10), 'P');
    WriteAll(archive, content);
    note = "packed " + archive;
  }
  if (output != nullptr && size > 0) {
    const std::size_t used = std::strlen(output);
    const std::string text = note + "\n";
    const std::size_t room = size - 1 - used;
    std::memcpy(output + used, text.data(), std::min(room, text.size()));
    output[used + std::min(room, text.size())] = '\0';
  }
  return result;
}

}  // namespace

#define MAKING_ENTRY(name)                                                  \
  ARC_EXPORT int WINAPI name(HWND h, LPCSTR cmd, LPSTR out, DWORD size) {   \
    return MakeFiles(#name, h, cmd, out, size);                             \
  }

// Both families' entries; each library file is asked only for its own.
MAKING_ENTRY(Unlha)
MAKING_ENTRY(Zip)
OPEN_ENTRY(UnlhaOpenArchive)
CLOSE_ENTRY(UnlhaCloseArchive)
FINDFIRST_ENTRY(UnlhaFindFirst)
FINDNEXT_ENTRY(UnlhaFindNext)
CHECK_ENTRY(UnlhaCheckArchive)
SETOWNER_ENTRY(UnlhaSetOwnerWindowEx)
KILLOWNER_ENTRY(UnlhaKillOwnerWindowEx)
OPEN_ENTRY(UnZipOpenArchive)
CLOSE_ENTRY(UnZipCloseArchive)
FINDFIRST_ENTRY(UnZipFindFirst)
FINDNEXT_ENTRY(UnZipFindNext)
CHECK_ENTRY(UnZipCheckArchive)
