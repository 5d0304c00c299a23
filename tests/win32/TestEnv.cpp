#include "TestEnv.h"

#include <windows.h>

#include "WinTest.h"

namespace wintest {

namespace {

std::string BuildFolder() {
  // Test programs live in <build>/tests.
  std::string folder = ProgramFolder();
  folder.pop_back();
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

void RemoveTree(const std::string& Folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((Folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = Folder + "\\" + name;
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        RemoveTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(Folder.c_str());
}

std::string LogPath() {
  char value[MAX_PATH] = {};
  GetEnvironmentVariableA("VXTEST_ARCLOG", value, MAX_PATH);
  return value;
}

}  // namespace

TScratch::TScratch() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  FRoot = std::string(temp) + "vxwintest-" + std::to_string(GetCurrentProcessId());
  RemoveTree(FRoot);
  CreateDirectoryA(FRoot.c_str(), nullptr);
}

TScratch::~TScratch() {
  SetCurrentDirectoryA(BinFolder().c_str());
  RemoveTree(FRoot);
}

std::string TScratch::Path(const std::string& Name) const { return Name.empty() ? FRoot : FRoot + "\\" + Name; }

std::string TScratch::MakeFile(const std::string& Name, const std::string& Content) {
  const std::string path = Path(Name);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  WT_ASSERT(file != INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, Content.data(), static_cast<DWORD>(Content.size()), &written, nullptr);
  CloseHandle(file);
  return path;
}

std::string TScratch::MakeFolder(const std::string& Name) {
  const std::string path = Path(Name);
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

void UseArchivers(const TScratch& Scratch, const std::vector<std::string>& Files) {
  const std::string folder = Scratch.Path("archivers");
  CreateDirectoryA(folder.c_str(), nullptr);
  for (const std::string& file : Files)
    WT_ASSERT(CopyFileA((BuildFolder() + "testlibs\\" + file).c_str(), (folder + "\\" + file).c_str(), FALSE));
  WT_ASSERT(SetDllDirectoryA(folder.c_str()));
  SetEnvironmentVariableA("VXTEST_ARCLOG", Scratch.Path("archivers.log").c_str());
}

std::vector<TArchiverCall> ArchiverCalls() {
  std::vector<TArchiverCall> calls;
  const std::string log = ReadFileBytes(LogPath());
  std::size_t pos = 0;
  while (pos < log.size()) {
    std::size_t end = log.find("\r\n", pos);
    if (end == std::string::npos) end = log.size();
    const std::string line = log.substr(pos, end - pos);
    pos = end + 2;
    const std::size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos) continue;
    const std::size_t tab3 = line.find('\t', tab2 + 1);
    const std::string text = line.substr(tab2 + 1, tab3 == std::string::npos ? std::string::npos : tab3 - tab2 - 1);
    const std::string window = tab3 == std::string::npos ? std::string() : line.substr(tab3 + 1);
    calls.push_back({line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1), text, window});
  }
  return calls;
}

std::vector<TArchiverCall> ArchiverCallsOf(const std::string& Entry) {
  std::vector<TArchiverCall> calls;
  for (const TArchiverCall& call : ArchiverCalls())
    if (call.Entry == Entry) calls.push_back(call);
  return calls;
}

std::string ReadFileBytes(const std::string& Path) {
  HANDLE file = CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string content(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
  CloseHandle(file);
  content.resize(read);
  return content;
}

bool FileExists(const std::string& Path) { return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string BinFolder() { return BuildFolder() + "bin"; }

std::string ScreenshotFolder() {
  const std::string folder = BuildFolder() + "screenshots";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

}  // namespace wintest
