// Loading libraries by bare Windows name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/posix/vxposix.h"
#include "platform/win32api.h"
#include "support/Scratch.h"

namespace fs = std::filesystem;

namespace {

std::string ModuleFile(HMODULE module) {
  char buf[MAX_PATH];
  const DWORD n = GetModuleFileNameA(module, buf, sizeof buf);
  return std::string(buf, n);
}

std::string WinPath(const std::string& posix) {
  std::string win;
  EXPECT_TRUE(vxposix::ToWinPath(posix, win));
  return win;
}

}  // namespace

TEST(Modules, LoadsByBareNameWithoutCaseAndSharesTheHandle) {
  vxtest::TestLibraries libs({"full/UNLHA32.DLL"});
  HMODULE a = LoadLibraryA("unlha32.dll");
  ASSERT_NE(a, nullptr);
  HMODULE b = LoadLibraryA("UNLHA32");  // ".DLL" is implied
  EXPECT_EQ(a, b);
  EXPECT_EQ(ModuleFile(a), WinPath(libs.Folder() + "/UNLHA32.DLL"));
  EXPECT_EQ(GetModuleHandleA("UnLha32.Dll"), a);
  EXPECT_NE(GetProcAddress(a, "Unlha"), nullptr);
  EXPECT_EQ(GetProcAddress(a, "UNLHA"), nullptr);  // entry names are exact
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_TRUE(FreeLibrary(b));
  EXPECT_NE(GetModuleHandleA("UNLHA32.DLL"), nullptr);  // one reference left
  EXPECT_TRUE(FreeLibrary(a));
  EXPECT_EQ(GetModuleHandleA("UNLHA32.DLL"), nullptr);
  EXPECT_EQ(LoadLibraryA("NOSUCH32.DLL"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(Modules, TheCurrentFolderComesBeforePath) {
  vxtest::TestLibraries onPath({"full/tar32.dll"});
  vxtest::ScratchDir cwd;
  fs::copy_file(vxtest::TestLibsRoot() + "/full/tar32.dll", cwd.Path() + "/TAR32.DLL");
  char old[PATH_MAX];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(cwd.Path().c_str()), 0);
  char found[MAX_PATH];
  const DWORD n = SearchPathA(nullptr, "Tar32.dll", nullptr, sizeof found, found, nullptr);
  HMODULE module = LoadLibraryA("tar32.dll");
  const std::string file = module ? ModuleFile(module) : "";
  if (module) FreeLibrary(module);
  ASSERT_EQ(chdir(old), 0);
  EXPECT_EQ(std::string(found, n), WinPath(cwd.Path() + "/TAR32.DLL"));
  EXPECT_EQ(file, WinPath(cwd.Path() + "/TAR32.DLL"));
}

TEST(Modules, SearchPathTakesAnExtensionAndAnExplicitFolderList) {
  vxtest::DriveC c;
  c.WriteFile("one/SFX32GUI.DAT", "stub");
  char found[MAX_PATH];
  char* part = nullptr;
  const DWORD n = SearchPathA("C:\\none;C:\\one", "sfx32gui", ".dat", sizeof found, found, &part);
  EXPECT_EQ(std::string(found, n), "C:\\one\\SFX32GUI.DAT");
  ASSERT_NE(part, nullptr);
  EXPECT_STREQ(part, "SFX32GUI.DAT");
  EXPECT_EQ(SearchPathA("C:\\none", "sfx32gui.dat", nullptr, sizeof found, found, nullptr), 0u);
}

TEST(Modules, DllMainHearsAttachAndDetachAndCanRefuse) {
  vxtest::ScratchDir logDir;
  const std::string log = logDir.Path() + "/log";
  setenv("VX_DLLMAIN_LOG", log.c_str(), 1);
  vxtest::TestLibraries libs({"probe/PROBE.DLL"});
  HMODULE m = LoadLibraryA("probe.dll");
  ASSERT_NE(m, nullptr);
  auto answer = reinterpret_cast<int (*)()>(reinterpret_cast<void (*)()>(GetProcAddress(m, "ProbeAnswer")));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  FreeLibrary(m);
  setenv("VX_DLLMAIN_RESULT", "0", 1);
  EXPECT_EQ(LoadLibraryA("probe.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
  EXPECT_EQ(GetModuleHandleA("PROBE.DLL"), nullptr);
  unsetenv("VX_DLLMAIN_RESULT");
  unsetenv("VX_DLLMAIN_LOG");
  std::ifstream in(log);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "attach\ndetach\nattach\n");
}

TEST(Modules, TheMainProgramIsAModuleToo) {
  HMODULE main = GetModuleHandleA(nullptr);
  ASSERT_NE(main, nullptr);
  char buf[MAX_PATH];
  const DWORD n = GetModuleFileNameA(main, buf, sizeof buf);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(std::string(buf, 2), "Z:");
  EXPECT_EQ(GetModuleFileNameA(main, buf, 4), 4u);  // cut and terminated
  EXPECT_EQ(std::string(buf), "Z:\\");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}
