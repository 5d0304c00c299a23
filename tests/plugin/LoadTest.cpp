// Loading the module: it binds the host API of the main program, derives
// its settings path, and refuses to load without a packing library; a
// main program that is not the host is refused silently.
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "PluginTestKit.h"
#include "support/Scratch.h"

namespace fs = std::filesystem;

namespace plugintest {
namespace {

struct LibraryCase {
  const char* what;
  std::vector<std::string> libraries;  // recording test libraries
  bool loads;
};

TEST(PluginLoad, NeedsOneOfTheFourPackingLibraries) {
  const LibraryCase cases[] = {
      {"none at all", {}, false},
      {"only the unpacking ZIP library", {"full/UNZIP32.DLL"}, false},
      {"only tar32", {"full/tar32.dll"}, true},
      {"only LHA", {"full/UNLHA32.DLL"}, true},
      {"only CAB", {"full/CAB32.DLL"}, true},
      {"all four", {"full/UNLHA32.DLL", "full/ZIP32J.DLL", "full/CAB32.DLL", "full/tar32.dll"}, true},
  };
  for (const LibraryCase& c : cases) {
    SCOPED_TRACE(c.what);
    vxtest::ScratchDir plugins;
    vxtest::TestLibraries libraries(c.libraries);
    vxui::ScriptedBackend ui;
    LoadedPlugin plugin(CopyModule(plugins.Path()));
    EXPECT_EQ(plugin.Loaded(), c.loads);
    if (c.loads) {
      EXPECT_TRUE(ui.Boxes().empty());
    } else {
      EXPECT_EQ(plugin.LoadError(), static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
      ASSERT_EQ(ui.Boxes().size(), 1u);
      EXPECT_EQ(ui.Boxes()[0].kind, vxui::BoxKind::Error);
      EXPECT_EQ(ui.Boxes()[0].caption, "エラー");
      EXPECT_EQ(ui.Boxes()[0].text, "圧縮に必要なDLLが見つかりません。");
    }
  }
}

TEST(PluginLoad, AModulePathTooLongForTheSettingsFailsTheStartUp) {
  // Each folder name is long; together they pass the 260-byte path limit.
  vxtest::ScratchDir root;
  std::string folder = root.Path();
  for (int i = 0; i < 3; ++i) folder += "/" + std::string(100, static_cast<char>('a' + i));
  vxtest::TestLibraries libraries({"full/UNLHA32.DLL"});
  vxui::ScriptedBackend ui;
  LoadedPlugin plugin(CopyModule(folder));
  EXPECT_FALSE(plugin.Loaded());
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].kind, vxui::BoxKind::Error);
  EXPECT_EQ(ui.Boxes()[0].text, "VxArc の初期化に失敗しました。");
}

TEST(PluginLoad, ExportsTheCallbacksThatAllAnswerZero) {
  vxtest::ScratchDir plugins;
  vxtest::TestLibraries libraries({"full/tar32.dll"});
  LoadedPlugin plugin(CopyModule(plugins.Path()));
  ASSERT_TRUE(plugin.Loaded());
  const char* const noArgument[] = {"VXC_OnStart", "VXC_OnExit", "VXC_OnEveryMinute"};
  const char* const oneArgument[] = {"VXC_OnOpenFolder", "VXC_OnOpenMail", "VXC_OnSend",
                                     "VXC_OnFinishRetrieve", "VXC_OnPlugInSetup"};
  const char* const twoArguments[] = {"VXC_OnOpenCompose", "VXC_OnOutgoing", "VXC_OnRetrieve"};
  auto entry = [&](const char* name) {
    FARPROC p = GetProcAddress(GetModuleHandleA("VxArc.dll"), name);
    EXPECT_NE(p, nullptr) << name;
    return reinterpret_cast<void (*)()>(p);
  };
  for (const char* name : noArgument) {
    if (auto p = entry(name)) {
      EXPECT_EQ(reinterpret_cast<TVxcNoArgument>(p)(), 0) << name;
    }
  }
  for (const char* name : oneArgument) {
    if (auto p = entry(name)) {
      EXPECT_EQ(reinterpret_cast<TVxcOneArgument>(p)(7), 0) << name;
    }
  }
  for (const char* name : twoArguments) {
    if (auto p = entry(name)) {
      EXPECT_EQ(reinterpret_cast<TVxcTwoArguments>(p)(7, 8), 0) << name;
    }
  }
  if (auto p = entry("VXC_OnKeyDispatch")) {
    EXPECT_EQ(reinterpret_cast<TVxcThreeArguments>(p)(7, 8, 9), 0);
  }
  EXPECT_TRUE(plugin.Exports("VXC_OnMenuInit"));
  EXPECT_TRUE(plugin.Exports("VXC_OnPlugInInfo"));
  EXPECT_TRUE(plugin.Exports("DllMain"));
  // Nothing of the module's inside is exported.
  EXPECT_FALSE(plugin.Exports("OnCompressAttach"));
  EXPECT_FALSE(plugin.Exports("InitPlugin"));
}

// --- main programs other than the host ---------------------------------------

std::string TestDir() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string p(path, n > 0 ? static_cast<std::size_t>(n) : 0);
  return p.substr(0, p.find_last_of('/'));
}

// The probe host's report, one line per element.
std::vector<std::string> Probe(const std::string& variant, const std::string& arguments) {
  const std::string command = TestDir() + "/probe_host_" + variant + " " + arguments;
  std::vector<std::string> lines;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return lines;
  std::array<char, 4096> buffer;
  while (fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr) {
    std::string line = buffer.data();
    if (!line.empty() && line.back() == '\n') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

TEST(PluginLoad, TheHostApiIsBoundOnlyFromAMainProgramExportingAllOfIt) {
  struct Case {
    const char* variant;
    const char* bind;
  };
  const Case cases[] = {
      {"all", "bind 1 host 1 again 1 same 1"},
      // Not the host at all, and hosts lacking the first, a middle or the
      // last entry, or exporting one under another case.
      {"none", "bind 0 host 0 again 0 same 1"},
      {"no_first", "bind 0 host 0 again 0 same 1"},
      {"no_middle", "bind 0 host 0 again 0 same 1"},
      {"no_last", "bind 0 host 0 again 0 same 1"},
      {"wrong_case", "bind 0 host 0 again 0 same 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.variant);
    EXPECT_EQ(Probe(c.variant, "bind"), std::vector<std::string>{c.bind});
  }
}

TEST(PluginLoad, AMainProgramThatIsNotTheHostIsRefusedSilently) {
  vxtest::ScratchDir plugins;
  const std::string module = CopyModule(plugins.Path());
  vxtest::TestLibraries libraries({"full/UNLHA32.DLL"});
  for (const char* variant : {"none", "no_first", "no_middle", "no_last", "wrong_case"}) {
    SCOPED_TRACE(variant);
    EXPECT_EQ(Probe(variant, "load " + module), std::vector<std::string>{"loaded 0"});
  }
  EXPECT_EQ(Probe("all", "load " + module), std::vector<std::string>{"loaded 1"});
}

}  // namespace
}  // namespace plugintest
