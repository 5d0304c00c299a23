// A stand-in main program for the loading tests. Built in variants that
// export all of the host API, none of it, or all but one name; it reports
// what binding the host API or loading the module gave.
//
//   probe_host_<variant> bind            -> "bind B host H again A same S"
//   probe_host_<variant> load MODULE     -> "loaded L", then "box CAPTION|TEXT" per box
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/posix/vxposix.h"
#include "platform/posix/vxui.h"
#include "plugin/VordexAPI.h"

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "bind") == 0) {
    vx::TVordexAPI api;
    const bool bound = api.Bind();
    const HMODULE host = api.HostModule;
    const bool again = api.Bind();
    std::printf("bind %d host %d again %d same %d\n", bound ? 1 : 0, host != nullptr ? 1 : 0, again ? 1 : 0,
                api.HostModule == host ? 1 : 0);
    return 0;
  }
  if (argc >= 3 && std::strcmp(argv[1], "load") == 0) {
    std::string win;
    if (!vxposix::ToWinPath(argv[2], win)) return 2;
    vxui::ScriptedBackend ui;
    HMODULE module = LoadLibraryA(win.c_str());
    std::printf("loaded %d\n", module != nullptr ? 1 : 0);
    for (const auto& box : ui.Boxes()) std::printf("box %s|%s\n", box.caption.c_str(), box.text.c_str());
    if (module != nullptr) FreeLibrary(module);
    return 0;
  }
  std::fprintf(stderr, "usage: probe_host bind | load MODULE\n");
  return 2;
}
