// Recording stand-ins for the archiver libraries under Wine. Every entry
// call appends one line to the log file that the environment variable
// VXTEST_ARCLOG names: library, entry and the command line or file name;
// a command entry adds whether the window it was handed is on screen.
// A command entry makes the archive its command line names (the content is
// the command line, so a test can tell which call made it) and reports
// what it did in the output buffer; VXTEST_ARCRESULT, when set, is the
// result code it returns, and a failing command makes no archive;
// VXTEST_ARCPAD, when set, pads the archive by that many bytes. One
// source per library file defines LIBRARY_NAME and its entries with the
// macros below.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

typedef HGLOBAL HARC;

namespace recorder {

inline std::string Env(const char* Name) {
  char value[MAX_PATH * 2] = {};
  const DWORD n = GetEnvironmentVariableA(Name, value, sizeof value);
  return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

inline void Log(const char* Library, const char* Entry, const std::string& Text, const char* Window = nullptr) {
  const std::string path = Env("VXTEST_ARCLOG");
  if (path.empty()) return;
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  std::string line = std::string(Library) + "\t" + Entry + "\t" + Text;
  if (Window != nullptr) line += std::string("\t") + Window;
  line += "\r\n";
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

// Words of a command line: blanks separate, "..." quotes.
inline std::vector<std::string> Words(const std::string& Line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, any = false;
  for (char c : Line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word += c;
      any = true;
    }
  }
  if (any) words.push_back(word);
  return words;
}

inline bool HasArchiveExtension(const std::string& Word) {
  static const char* const kExtensions[] = {".lzh", ".zip", ".cab", ".tgz", ".bz2", ".exe", ".tar", ".gz"};
  const std::string::size_type dot = Word.find_last_of('.');
  if (dot == std::string::npos || Word[0] == '-') return false;
  for (const char* ext : kExtensions)
    if (lstrcmpiA(Word.c_str() + dot, ext) == 0) return true;
  return false;
}

inline void WriteFileText(const std::string& Path, const std::string& Text) {
  HANDLE file = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, Text.data(), static_cast<DWORD>(Text.size()), &written, nullptr);
  CloseHandle(file);
}

inline const char* WindowState(HWND Window) {
  if (Window == nullptr) return "none";
  return IsWindowVisible(Window) ? "visible" : "hidden";
}

inline int Command(const char* Library, const char* Entry, HWND Window, LPCSTR CmdLine, LPSTR Output, DWORD Size) {
  const std::string line = CmdLine != nullptr ? CmdLine : "";
  Log(Library, Entry, line, WindowState(Window));
  const std::vector<std::string> words = Words(line);
  std::string made;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (!HasArchiveExtension(words[i])) continue;
    made = words[i];
    // The LHA library's "s" makes the program in the folder given after the archive.
    if (!words.empty() && words[0] == "s") {
      const std::string name = made.substr(made.find_last_of('\\') + 1);
      std::string folder = i + 1 < words.size() ? words[i + 1] : made.substr(0, made.find_last_of('\\') + 1);
      if (!folder.empty() && folder.back() != '\\') folder += '\\';
      made = folder + name.substr(0, name.find_last_of('.')) + ".exe";
    }
    break;
  }
  const std::string result = Env("VXTEST_ARCRESULT");
  const int code = result.empty() ? 0 : std::atoi(result.c_str());
  if (code != 0) made.clear();
  const std::string pad = Env("VXTEST_ARCPAD");
  if (!made.empty()) WriteFileText(made, "VXTEST " + line + std::string(std::strtoul(pad.c_str(), nullptr, 10), 'P'));
  if (Output != nullptr && Size > 0) {
    const std::string report = std::string(Library) + " " + Entry + "\n" + line + "\n" +
                               (made.empty() ? std::string("作成したファイルはありません。")
                                             : "作成しました: " + made) +
                               "\n";
    lstrcpynA(Output, report.c_str(), static_cast<int>(Size));
  }
  return code;
}

}  // namespace recorder

#define REC_EXPORT extern "C" __declspec(dllexport)

#define COMMAND_ENTRY(name)                                                  \
  REC_EXPORT int WINAPI name(HWND wnd, LPCSTR cmd, LPSTR out, DWORD size) {  \
    return recorder::Command(LIBRARY_NAME, #name, wnd, cmd, out, size);      \
  }
#define OPEN_ENTRY(name)                                                     \
  REC_EXPORT HARC WINAPI name(HWND, LPCSTR file, DWORD) {                    \
    recorder::Log(LIBRARY_NAME, #name, file != nullptr ? file : "");         \
    return nullptr;                                                          \
  }
#define CLOSE_ENTRY(name)                                                    \
  REC_EXPORT int WINAPI name(HARC) {                                         \
    recorder::Log(LIBRARY_NAME, #name, "");                                  \
    return 0;                                                                \
  }
#define FINDFIRST_ENTRY(name)                                                \
  REC_EXPORT int WINAPI name(HARC, LPCSTR, void*) {                          \
    recorder::Log(LIBRARY_NAME, #name, "");                                  \
    return -1;                                                               \
  }
#define FINDNEXT_ENTRY(name)                                                 \
  REC_EXPORT int WINAPI name(HARC, void*) {                                  \
    recorder::Log(LIBRARY_NAME, #name, "");                                  \
    return -1;                                                               \
  }
#define CHECK_ENTRY(name)                                                    \
  REC_EXPORT BOOL WINAPI name(LPCSTR file, int) {                            \
    recorder::Log(LIBRARY_NAME, #name, file != nullptr ? file : "");         \
    return FALSE;                                                            \
  }
#define SETOWNER_ENTRY(name)                                                 \
  REC_EXPORT BOOL WINAPI name(HWND, void*) {                                 \
    recorder::Log(LIBRARY_NAME, #name, "");                                  \
    return TRUE;                                                             \
  }
#define KILLOWNER_ENTRY(name)                                                \
  REC_EXPORT BOOL WINAPI name(HWND) {                                        \
    recorder::Log(LIBRARY_NAME, #name, "");                                  \
    return TRUE;                                                             \
  }
#define GETTYPE_ENTRY(name)                                                  \
  REC_EXPORT int WINAPI name(LPCSTR file) {                                  \
    recorder::Log(LIBRARY_NAME, #name, file != nullptr ? file : "");         \
    return 0;                                                                \
  }
