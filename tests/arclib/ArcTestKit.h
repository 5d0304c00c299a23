// Helpers for the tests of our archiver libraries: the real libraries from
// bin/, command lines written in UTF-8 and handed over in code page 932,
// outside tools run through the shell, and trees of files to compare.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "archives/ArchiverDll.h"
#include "platform/win32api.h"
#include "support/Scratch.h"

namespace arctest {

// <build>/bin, where our libraries and stubs live ($VX_BIN, or beside tests/).
std::string BinDir();

// One of our libraries, loaded from bin/ by its full path.
class RealLibrary {
 public:
  explicit RealLibrary(const std::string& fileName);
  template <typename Proc>
  Proc Entry(const char* name) const {
    FARPROC p = GetProcAddress(module_, name);
    EXPECT_NE(p, nullptr) << name;
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(p));
  }
  HMODULE Module() const { return module_; }

 private:
  HMODULE module_ = nullptr;
};

struct CommandResult {
  int code = -1;
  std::string output;  // converted to UTF-8
};

// Calls a command entry with the UTF-8 line converted to code page 932.
CommandResult Call(TArcCommandProc entry, const std::string& utf8Line, DWORD outputSize = 16384,
                  HWND window = nullptr);

struct ToolResult {
  int status = -1;
  std::string output;
};
// Runs a shell command line, standard error folded into the output.
ToolResult Tool(const std::string& command);
// The text in single quotes for the shell.
std::string Sh(const std::string& text);

using Tree = std::map<std::string, std::string>;  // relative path -> content
// Every regular file below dir.
Tree ReadTree(const std::string& dir);
void WriteTree(const std::string& dir, const Tree& tree);
// Empty when equal, else the names that differ (missing, extra, changed).
std::string TreeDiff(const Tree& actual, const Tree& expected);
// A tree of text and binary files with a Japanese name and a subdirectory.
Tree SampleTree();
std::string ReadFileBytes(const std::string& posixPath);
std::string UpperAsciiOf(std::string text);
// Bytes that do not compress.
std::string RandomBytes(size_t size, unsigned seed);
// Text that compresses well but not to nothing: numbered lines.
std::string NumberedText(size_t size, const std::string& line = "line ");

// Sets an environment variable while it lives, then puts back what was
// there (or unsets it).
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// bin/ at the front of PATH, so that the back-ends find our libraries and
// stubs by their bare names.
class BinOnPath : public ScopedEnv {
 public:
  BinOnPath();
};

// A reference extractor: a shell command with %a for the archive and %d
// for the folder it unpacks into (made first).
struct ReferenceReader {
  const char* name;
  const char* command;
};
ToolResult ExtractWith(const ReferenceReader& reader, const std::string& archive, const std::string& dir);

// The name of every file and directory below dir (relative, '/' separated).
std::vector<std::string> ListDir(const std::string& dir);
// How often `what` stands in text (a report line that must come once).
size_t Count(const std::string& text, const std::string& what);

// A message-only window that records "wm_arcextract" and answers 1 (stop)
// from the stopAt-th message on (0 = never).
class ProgressWindow {
 public:
  explicit ProgressWindow(int stopAt = 0);
  ~ProgressWindow();
  HWND Handle() const { return window_; }
  const std::vector<WPARAM>& States() const { return states_; }
  const std::vector<std::string>& Sources() const { return sources_; }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND window_ = nullptr;
  int stopAt_;
  std::vector<WPARAM> states_;
  std::vector<std::string> sources_;
};

// The test command `line` and the full check of `archive` (a Windows path)
// of the library whose entries begin with `prefix`, each under an owner
// window that stops at the first progress inside the first member: both
// must stop there, the command with the cancel code. The member must be
// longer than a MiB.
void ExpectVerificationStopsInside(const RealLibrary& lib, const std::string& prefix, const std::string& line,
                                   const std::string& archive);

}  // namespace arctest
