// What the Windows test cases share: a scratch folder, the recording
// archiver libraries a case lets the module find, their call log, and the
// folder the screen pictures go to.
#pragma once

#include <string>
#include <vector>

namespace wintest {

// A fresh folder for one case, removed with everything in it at the end.
class TScratch {
 public:
  TScratch();
  ~TScratch();
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;

  // Full path of a name inside the folder (no trailing backslash for "").
  std::string Path(const std::string& Name = std::string()) const;
  std::string MakeFile(const std::string& Name, const std::string& Content = "data");
  std::string MakeFolder(const std::string& Name);

 private:
  std::string FRoot;
};

// Copies the recording archiver libraries named (UNLHA32.DLL, ZIP32J.DLL,
// UNZIP32.DLL, CAB32.DLL, TAR32.DLL) into a folder of the scratch and makes
// it the one folder besides the system's where libraries are found by bare
// name. Every call the libraries get is logged (see ArchiverCalls).
void UseArchivers(const TScratch& Scratch, const std::vector<std::string>& Files);

struct TArchiverCall {
  std::string Library, Entry, Text;
  // Command entries: "visible", "hidden" or "none", the window they were handed.
  std::string Window;
};
std::vector<TArchiverCall> ArchiverCalls();
std::vector<TArchiverCall> ArchiverCallsOf(const std::string& Entry);

// Whole content of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& Path);
bool FileExists(const std::string& Path);

// The build's folders: bin (the module), and screenshots (created).
std::string BinFolder();
std::string ScreenshotFolder();

}  // namespace wintest
