#include "PluginModule.h"

#include <cstring>
#include <vector>

namespace vxhost {

namespace {

template <typename Proc>
Proc As(FARPROC address) {
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(address));
}

// Room for the four texts and a long description.
constexpr std::size_t kInfoRecordSize = 4096;

}  // namespace

PluginModule::PluginModule(const std::string& WinPath) {
  module_ = LoadLibraryA(WinPath.c_str());
  if (module_ == nullptr) loadError_ = GetLastError();
}

PluginModule::~PluginModule() {
  if (module_ != nullptr) FreeLibrary(module_);
}

FARPROC PluginModule::Entry(const char* Name) const {
  return module_ != nullptr ? GetProcAddress(module_, Name) : nullptr;
}

bool PluginModule::Exports(const char* Name) const { return Entry(Name) != nullptr; }

int PluginModule::OnStart() {
  FARPROC p = Entry("VXC_OnStart");
  return p != nullptr ? As<TVxcNoArgument>(p)() : -1;
}

int PluginModule::OnExit() {
  FARPROC p = Entry("VXC_OnExit");
  return p != nullptr ? As<TVxcNoArgument>(p)() : -1;
}

int PluginModule::OnMenuInit(HWND Window, HMENU Menu, LONG MenuType) {
  FARPROC p = Entry("VXC_OnMenuInit");
  return p != nullptr ? As<TVxcOnMenuInit>(p)(Window, Menu, MenuType) : -1;
}

PluginInfo PluginModule::Info() {
  PluginInfo info;
  FARPROC p = Entry("VXC_OnPlugInInfo");
  if (p == nullptr) return info;
  std::vector<char> record(kInfoRecordSize, '\0');
  As<TVxcOnPlugInInfo>(p)(record.data());
  record.back() = '\0';
  // The first three texts have 80 bytes each.
  auto field = [&](std::size_t offset) { return std::string(record.data() + offset, strnlen(record.data() + offset, 80)); };
  info.Name = field(VX_INFO_NAME);
  info.Vendor = field(VX_INFO_VENDOR);
  info.Version = field(VX_INFO_VERSION);
  info.Description = record.data() + VX_INFO_DESCRIPTION;
  return info;
}

}  // namespace vxhost
