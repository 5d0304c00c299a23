// vxhost: a substitute for the Vordex mail client, enough to run a plug-in
// the way the client does. It exports the host API, opens a compose window,
// loads VxArc.dll from its plug-in folder, lets the plug-in extend the
// compose menu, chooses the plug-in's command there (its dialog runs on the
// console, one command a line from standard input), and writes the composed
// message with its attachments as an Internet message.
//
//   vxhost [--plugins DIR] [-o FILE] [--from ADDR] [--to ADDR]
//          [--subject TEXT] [--body TEXT] [--info] [--help]
//
// Without -o the message goes to standard output and the dialog to standard
// error. --info prints the plug-in's information record and the compose
// menu as the plug-in left it, and runs no command. Attached files are
// copied into a spool folder of the host's own and written into the
// message from there, so that no attachment is held in memory.
#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "ComposeWindow.h"
#include "Host.h"
#include "MailMessage.h"
#include "PluginModule.h"
#include "platform/posix/console/ConsoleView.h"
#include "platform/posix/vxposix.h"
#include "platform/posix/vxui.h"

namespace {

struct Options {
  std::string PluginDir;
  std::string Output;
  std::string From = "VxArc user <user@example.invalid>";
  std::string To = "recipient@example.invalid";
  std::string Subject = "Files";
  std::string Body = "The files are attached.";
  bool Info = false;
  bool Help = false;
};

const char kUsage[] =
    "usage: vxhost [--plugins DIR] [-o FILE] [--from ADDR] [--to ADDR] [--subject TEXT]\n"
    "              [--body TEXT] [--info] [--help]\n"
    "\n"
    "A stand-in for the Vordex mail client: loads the plug-in VxArc.dll, chooses its\n"
    "command in a compose window and writes the composed message with its\n"
    "attachments as an Internet message.\n"
    "\n"
    "  --plugins DIR   the folder of VxArc.dll (default: the folder of vxhost)\n"
    "  -o FILE         write the message to FILE (default: standard output; the\n"
    "                  dialog then talks on standard error)\n"
    "  --from ADDR, --to ADDR, --subject TEXT, --body TEXT\n"
    "                  the message's header fields and text\n"
    "  --info          print the plug-in's information record and the compose\n"
    "                  menu, and run no command\n"
    "  --help          print this help\n"
    "\n"
    "The plug-in's dialog is shown as text; its commands are read from standard\n"
    "input, one a line:\n"
    "  add PATH...         the Add button: append files to the list\n"
    "  drop PATH...        drop files or folders onto the dialog\n"
    "  folder [PATH]       the folder button (no PATH: cancel the folder browser)\n"
    "  select N...         select list items (counted from 0)\n"
    "  remove | key delete remove the selected items\n"
    "  dblclick N          double-click item N (names the archive after it)\n"
    "  name TEXT           type the archive's name\n"
    "  format lha|zip|cab|tgz|bz2\n"
    "                      choose the archive format\n"
    "  sfx on|off          the self-extracting option\n"
    "  result on|off       show the archiver's output afterwards\n"
    "  attach | cancel     press Attach or Cancel\n"
    "  ok                  close the result window\n"
    "Questions of message boxes are answered the same way (yes, no, ok, cancel).\n"
    "\n"
    "Example:\n"
    "  printf 'add a.txt b.png\\nformat zip\\nattach\\n' | vxhost -o my.eml\n";

int Usage(std::ostream& out, int status) {
  out << kUsage;
  return status;
}

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
    else if (a == "-o") ok = value(o.Output);
    else if (a == "--from") ok = value(o.From);
    else if (a == "--to") ok = value(o.To);
    else if (a == "--subject") ok = value(o.Subject);
    else if (a == "--body") ok = value(o.Body);
    else if (a == "--info") o.Info = true;
    else if (a == "--help" || a == "-h") o.Help = true;
    else ok = false;
    if (!ok) return false;
  }
  return true;
}

std::string ExecutableDir() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  std::string p(path, static_cast<std::size_t>(n));
  return p.substr(0, p.find_last_of('/'));
}

std::string Utf8(const std::string& cp932) {
  std::string out;
  return vxposix::Cp932ToUtf8(cp932, out) ? out : vxui::ToTerminal(cp932);
}

// Text with CR LF line ends, indented for the terminal.
std::string Indented(const std::string& text, const std::string& indent) {
  std::string out = indent;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    out += text[i];
    if (text[i] == '\n' && i + 1 < text.size()) out += indent;
  }
  return out;
}

void PrintInfo(std::ostream& out, vxhost::PluginModule& plugin, const vxhost::ComposeWindow& compose) {
  const vxhost::PluginInfo info = plugin.Info();
  out << "Plug-in information:\n"
      << "  name:        " << Utf8(info.Name) << "\n"
      << "  vendor:      " << Utf8(info.Vendor) << "\n"
      << "  version:     " << Utf8(info.Version) << "\n"
      << "  description:\n"
      << Indented(Utf8(info.Description), "    ") << "\n"
      << "Compose menu:\n"
      << Indented(Utf8(compose.MenuText()), "  ");
}

std::string UniqueTag() {
  static int counter = 0;
  char tag[64];
  std::snprintf(tag, sizeof tag, "%lx.%x.%d", static_cast<unsigned long>(std::time(nullptr)),
                static_cast<unsigned>(getpid()), ++counter);
  return tag;
}

// The host's copies of attached files, removed with everything in them.
class SpoolFolder {
 public:
  SpoolFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/vxhost-spool-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~SpoolFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  SpoolFolder(const SpoolFolder&) = delete;
  SpoolFolder& operator=(const SpoolFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

int Run(const Options& o) {
  // The dialog and the host's reports share the terminal; the message does
  // not, unless it goes to a file.
  std::ostream& console = o.Output.empty() ? std::cerr : std::cout;
  vxconsole::ConsoleView view(std::cin, console);
  view.SetEcho(isatty(STDIN_FILENO) == 0);

  const std::string dir = o.PluginDir.empty() ? ExecutableDir() : o.PluginDir;
  std::string modulePath;
  if (!vxposix::ToWinPath(dir + "/VxArc.dll", modulePath)) {
    std::cerr << "vxhost: no drive holds " << dir << "\n";
    return 1;
  }
  SpoolFolder spool;
  std::string spoolWin;
  if (spool.Path().empty() || !vxposix::ToWinPath(spool.Path(), spoolWin)) {
    std::cerr << "vxhost: cannot make a spool folder for attachments\n";
    return 1;
  }
  vxhost::Host::Instance().SetSpoolFolder(spoolWin);
  // The compose window the plug-in works in, placed as the client would.
  vxhost::ComposeWindow compose(120, 80, 640, 480);
  vxhost::PluginModule plugin(modulePath);
  if (!plugin.Loaded()) {
    std::cerr << "vxhost: the plug-in " << Utf8(modulePath) << " did not load (error " << plugin.LoadError() << ")\n";
    return 1;
  }
  plugin.OnStart();
  plugin.OnMenuInit(compose.Handle(), compose.Menu(), VX_MENU_COMPOSE);
  if (o.Info) {
    PrintInfo(std::cout, plugin, compose);
    plugin.OnExit();
    return 0;
  }

  const auto items = compose.CommandItems();
  if (items.empty()) {
    std::cerr << "vxhost: the plug-in put no command into the compose menu\n";
    plugin.OnExit();
    return 1;
  }
  console << "vxhost: choosing " << Utf8(items.front().Popup) << " > " << Utf8(items.front().Text) << "\n";
  vxhost::Host::Instance().Choose(compose, items.front().Id);

  vxhost::MailMessage message{o.From, o.To, o.Subject, o.Body, {}};
  for (const vxhost::Attachment& a : compose.Attachments()) {
    std::string source;
    if (!vxposix::ToPosixPath(a.SpoolFile, source)) {
      std::cerr << "vxhost: lost the copy of " << Utf8(a.FileName) << "\n";
      return 1;
    }
    message.Parts.push_back(vxhost::MailPart{Utf8(a.FileName), a.MimeType, "", source});
    console << "vxhost: attached " << Utf8(a.FileName) << " (" << a.MimeType << ", " << a.Size << " bytes)\n";
  }
  if (compose.Attachments().empty()) console << "vxhost: nothing attached\n";
  plugin.OnExit();

  const std::time_t now = std::time(nullptr);
  if (o.Output.empty()) {
    const bool written = vxhost::WriteMessage(std::cout, message, now, UniqueTag());
    std::cout << std::flush;
    return written && std::cout ? 0 : 1;
  }
  std::ofstream file(o.Output, std::ios::binary);
  const bool written = vxhost::WriteMessage(file, message, now, UniqueTag());
  file.close();
  if (!written || !file) {
    std::cerr << "vxhost: cannot write " << o.Output << "\n";
    return 1;
  }
  console << "vxhost: message written to " << o.Output << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) return Usage(std::cerr, 2);
  if (options.Help) return Usage(std::cout, 0);
  try {
    return Run(options);
  } catch (const std::exception& e) {
    std::cerr << "vxhost: " << e.what() << "\n";
    return 1;
  }
}
