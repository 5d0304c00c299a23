// vxhost.exe: a substitute for the Vordex mail client on Windows, enough to
// run a plug-in the way the client does. It exports the host API, loads
// VxArc.dll from its plug-in folder (a refused load fails LoadLibraryA, as
// the client sees it), opens a compose window, lets the plug-in extend its
// menu and chooses the plug-in's command there; the plug-in's own dialogs
// appear. Afterwards it lists what was attached: path, MIME type and the
// size of the bytes it read before the plug-in deleted the file.
//
//   vxhost [--plugins DIR] [--info] [--interactive]
//
// --info prints the plug-in's information record and the compose menu and
// runs no command. --interactive leaves the choice of the menu item to the
// user and ends when the compose window is closed. Texts are printed in the
// system's ANSI code page.
#include <cstdio>
#include <string>

#include "ComposeWindow.h"
#include "Host.h"
#include "PluginModule.h"

namespace {

struct Options {
  std::string PluginDir;
  bool Info = false, Interactive = false;
};

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](std::string& target) {
      if (i + 1 >= argc) return false;
      target = argv[++i];
      return true;
    };
    bool ok = true;
    if (a == "--plugins") ok = value(o.PluginDir);
    else if (a == "--info") o.Info = true;
    else if (a == "--interactive") o.Interactive = true;
    else ok = false;
    if (!ok) return false;
  }
  return true;
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string p = path;
  return p.substr(0, p.find_last_of('\\'));
}

// The compose window as the client's is: it paints itself, runs the command
// of a chosen menu item, and ends the program when closed.
WNDPROC composeDefault = nullptr;
vxhost::ComposeWindow* composeWindow = nullptr;

LRESULT CALLBACK ComposeProc(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam) {
  switch (Msg) {
    case WM_COMMAND:
      if (HIWORD(wParam) == 0 && vxhost::Host::Instance().Choose(*composeWindow, LOWORD(wParam))) return 0;
      break;
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(Window, &rc);
      FillRect(reinterpret_cast<HDC>(wParam), &rc, GetSysColorBrush(COLOR_WINDOW));
      return 1;
    }
    case WM_CLOSE:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return CallWindowProcA(composeDefault, Window, Msg, wParam, lParam);
}

void PrintInfo(vxhost::PluginModule& Plugin, const vxhost::ComposeWindow& Compose) {
  const vxhost::PluginInfo info = Plugin.Info();
  std::printf("Plug-in information:\n  name:        %s\n  vendor:      %s\n  version:     %s\n  description:\n%s\n",
              info.Name.c_str(), info.Vendor.c_str(), info.Version.c_str(), info.Description.c_str());
  std::printf("Compose menu:\n%s", Compose.MenuText().c_str());
}

int Run(const Options& o) {
  // As the client does: COM for the shell's dialogs on this thread.
  OleInitialize(nullptr);
  const std::string modulePath = (o.PluginDir.empty() ? ProgramFolder() : o.PluginDir) + "\\VxArc.dll";
  vxhost::ComposeWindow compose(120, 80, 640, 480);
  composeWindow = &compose;
  composeDefault = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(compose.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ComposeProc)));
  SetWindowLongPtrA(compose.Handle(), GWL_STYLE, WS_OVERLAPPEDWINDOW);
  SetWindowPos(compose.Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  ShowWindow(compose.Handle(), SW_SHOW);

  vxhost::PluginModule plugin(modulePath);
  if (!plugin.Loaded()) {
    std::printf("vxhost: the plug-in %s did not load (error %lu)\n", modulePath.c_str(), plugin.LoadError());
    return 1;
  }
  plugin.OnStart();
  plugin.OnMenuInit(compose.Handle(), compose.Menu(), VX_MENU_COMPOSE);
  DrawMenuBar(compose.Handle());
  if (o.Info) {
    PrintInfo(plugin, compose);
    plugin.OnExit();
    return 0;
  }

  if (o.Interactive) {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  } else {
    const auto items = compose.CommandItems();
    if (items.empty()) {
      std::printf("vxhost: the plug-in put no command into the compose menu\n");
      plugin.OnExit();
      return 1;
    }
    std::printf("vxhost: choosing %s > %s\n", items.front().Popup.c_str(), items.front().Text.c_str());
    SendMessageA(compose.Handle(), WM_COMMAND, MAKEWPARAM(items.front().Id, 0), 0);
  }

  for (const vxhost::Attachment& a : compose.Attachments())
    std::printf("vxhost: attached %s (%s, %u bytes)\n", a.Path.c_str(), a.MimeType.c_str(),
                static_cast<unsigned>(a.Data.size()));
  if (compose.Attachments().empty()) std::printf("vxhost: nothing attached\n");
  plugin.OnExit();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::printf("usage: vxhost [--plugins DIR] [--info] [--interactive]\n");
    return 2;
  }
  try {
    return Run(options);
  } catch (const std::exception& e) {
    std::printf("vxhost: %s\n", e.what());
    return 1;
  }
}
