// VxArc.dll in a substitute host: this program exports the host API (the
// 54 VXA_* names) as the mail client's program does, loads the module with
// LoadLibraryA, builds a compose window whose menu the module extends,
// chooses the module's command there and drives its real dialogs through
// window messages.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <atomic>
#include <cstdlib>
#include <memory>

#include "ComposeWindow.h"
#include "Host.h"
#include "PluginModule.h"
#include "TestEnv.h"
#include "UiDriver.h"
#include "WinTest.h"

using namespace wintest;

namespace {

const char kZipCaption[] = "圧縮して添付";
const char kResultCaption[] = "圧縮結果";
const char kNoLibrary[] = "圧縮に必要なDLLが見つかりません。";

void UseAllArchivers(const TScratch& Scratch) {
  UseArchivers(Scratch, {"UNLHA32.DLL", "ZIP32J.DLL", "UNZIP32.DLL", "CAB32.DLL", "TAR32.DLL"});
}

// A copy of the module in a folder of its own: its settings file lands
// beside it.
std::string CopyPlugin(TScratch& Scratch) {
  const std::string folder = Scratch.MakeFolder("plugin");
  const std::string module = folder + "\\VxArc.dll";
  WT_ASSERT(CopyFileA((BinFolder() + "\\VxArc.dll").c_str(), module.c_str(), FALSE));
  return module;
}

std::string IniOf(const std::string& Module) { return Module.substr(0, Module.size() - 4) + ".ini"; }

std::string TempFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return temp;
}

std::string IniValue(const std::string& Ini, const char* Key) {
  char value[64] = {};
  GetPrivateProfileStringA("Options", Key, "(none)", value, sizeof value, Ini.c_str());
  return value;
}

bool Checked(HWND Button) { return SendMessageA(Button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The module loaded into the host with a compose window whose menu it has
// extended; the compose window is shown where the client would put it.
struct TSession {
  explicit TSession(const std::string& Module) : Plugin(Module) {
    ShowWindow(Compose.Handle(), SW_SHOWNORMAL);
    WT_ASSERT(Plugin.Loaded());
    Plugin.OnMenuInit(Compose.Handle(), Compose.Menu(), VX_MENU_COMPOSE);
  }
  // The menu item the module appended to the fourth pop-up.
  int CommandId() const {
    const HMENU tools = GetSubMenu(Compose.Menu(), 3);
    return static_cast<int>(GetMenuItemID(tools, GetMenuItemCount(tools) - 1));
  }
  // Chooses the module's menu item while Script drives what it shows.
  void Choose(std::function<void()> Script) {
    TDriver driver(std::move(Script));
    WT_CHECK(vxhost::Host::Instance().Choose(Compose, CommandId()));
  }

  vxhost::ComposeWindow Compose{120, 80, 640, 480};
  vxhost::PluginModule Plugin;
};

}  // namespace

// --- loading ---------------------------------------------------------------

WT_TEST(LoadRefusedWithoutArchivers) {
  TScratch scratch;
  UseArchivers(scratch, {});
  const std::string module = CopyPlugin(scratch);
  TBox box;
  int boxes = 0;
  bool loaded = true;
  DWORD error = 0;
  std::atomic<bool> loadEnded{false};
  {
    TDriver driver([&] {
      box = AnswerBox("エラー", "OK");
      ++boxes;
      // Told once: any further box comes before the load ends.
      HWND again = nullptr;
      WT_CHECK(WaitFor([&] { return loadEnded || (again = FindTopWindow("エラー")) != nullptr; }));
      if (again != nullptr) {
        AnswerBox("エラー", "OK");
        ++boxes;
      }
    });
    vxhost::PluginModule plugin(module);
    loaded = plugin.Loaded();
    error = plugin.LoadError();
    loadEnded = true;
  }
  WT_EQ(boxes, 1);
  WT_CHECK(!loaded);
  WT_EQ(error, static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
  WT_EQ(box.Text, std::string(kNoLibrary));
  WT_CHECK(box.Icon == SystemIcon(IDI_HAND));
  WT_EQ(box.Buttons, std::vector<std::string>{"OK"});
}

WT_TEST(LoadAcceptedWithTarOnly) {
  TScratch scratch;
  UseArchivers(scratch, {"TAR32.DLL"});
  vxhost::PluginModule plugin(CopyPlugin(scratch));
  WT_CHECK(plugin.Loaded());
}

// A program that does not export the host API: the module refuses to load
// and says nothing (vxnohost.exe reports what it saw).
WT_TEST(LoadRefusedSilentlyOutsideHost) {
  TScratch scratch;
  UseAllArchivers(scratch);
  const std::string module = CopyPlugin(scratch);
  const std::string command =
      "\"" + ProgramFolder() + "vxnohost.exe\" \"" + module + "\" \"" + scratch.Path("archivers") + "\"";
  const TProcessResult run = RunProcess(command, 60000, "vxnohost.exe to load the module and exit");
  WT_ASSERT(run.Started && run.Finished);
  const unsigned long code = run.ExitCode;
  WT_EQ(code, 0ul);  // refused with ERROR_DLL_INIT_FAILED, no window shown
}

// --- exports -----------------------------------------------------------------

WT_TEST(PluginInfoRecord) {
  TScratch scratch;
  UseAllArchivers(scratch);
  vxhost::PluginModule plugin(CopyPlugin(scratch));
  WT_ASSERT(plugin.Loaded());
  const HMODULE module = GetModuleHandleA("VxArc.dll");
  auto info = reinterpret_cast<TVxcOnPlugInInfo>(reinterpret_cast<void (*)()>(GetProcAddress(module, "VXC_OnPlugInInfo")));
  WT_ASSERT(info != nullptr);
  std::string record(1024, '\xCC');
  WT_EQ(info(record.data()), 0);
  const std::string description =
      "ファイルを簡単な操作で圧縮と同時に添付します。\r\n"
      "このプラグインの動作には統合アーカイバプロジェクト (";
  struct TField {
    std::size_t Offset;
    std::string Text;
  };
  const TField fields[] = {{0, "Vordex! 圧縮添付 plug-in"}, {160, "0.30"}};
  for (const TField& f : fields) {
    WT_EQ(std::string(record.c_str() + f.Offset), f.Text);
    // Nothing beyond the terminator up to the next field is touched.
    WT_EQ(record.substr(f.Offset + f.Text.size() + 1, 80 - f.Text.size() - 1),
          std::string(80 - f.Text.size() - 1, '\xCC'));
  }
  const std::string vendor = record.c_str() + 80;
  WT_CHECK(!vendor.empty() && vendor.size() < 80);
  const std::string text = record.c_str() + 240;
  WT_EQ(text.substr(0, description.size()), description);
  const std::string tail = ") のDLLが必要です。詳しくはreadme.txtをご覧ください。";
  WT_CHECK(text.size() > tail.size() && text.substr(text.size() - tail.size()) == tail);
  WT_EQ(record[240 + text.size() + 1], '\xCC');

  // Every other callback answers 0 and does nothing.
  for (const char* name : {"VXC_OnStart", "VXC_OnExit", "VXC_OnEveryMinute"}) {
    auto call = reinterpret_cast<TVxcNoArgument>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    WT_CHECK(call != nullptr && call() == 0);
  }
  auto setup = reinterpret_cast<TVxcOneArgument>(reinterpret_cast<void (*)()>(GetProcAddress(module, "VXC_OnPlugInSetup")));
  WT_CHECK(setup != nullptr && setup(0) == 0);
  auto keys = reinterpret_cast<TVxcThreeArguments>(reinterpret_cast<void (*)()>(GetProcAddress(module, "VXC_OnKeyDispatch")));
  WT_CHECK(keys != nullptr && keys(1, 2, 3) == 0);
}

WT_TEST(VersionResource) {
  const std::string module = BinFolder() + "\\VxArc.dll";
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(module.c_str(), &handle);
  WT_ASSERT(size > 0);
  std::string data(size, '\0');
  WT_ASSERT(GetFileVersionInfoA(module.c_str(), 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  WT_ASSERT(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  WT_EQ(fixed->dwFileVersionMS, 0x00000003ul);
  WT_EQ(fixed->dwFileVersionLS, 0x00000000ul);
  WT_EQ(fixed->dwProductVersionMS, 0x00000003ul);
  WT_EQ(fixed->dwProductVersionLS, 0x00000000ul);
  const std::pair<const char*, const char*> strings[] = {
      {"FileDescription", "Vordex! 圧縮添付 plug-in"}, {"FileVersion", "0.3.0.0"},
      {"InternalName", "VxArc.dll"}, {"OriginalFilename", "VxArc.dll"}, {"ProductVersion", "0.21"},
      {"CompanyName", ""}, {"LegalTrademarks", ""}, {"ProductName", ""}, {"Comments", ""}};
  for (const auto& [name, expected] : strings) {
    char* value = nullptr;
    const std::string path = std::string("\\StringFileInfo\\041103A4\\") + name;
    WT_CHECK(VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length));
    WT_EQ(std::string(value != nullptr ? value : "(none)"), std::string(expected));
  }
}

WT_TEST(ComposeMenu) {
  TScratch scratch;
  UseAllArchivers(scratch);
  vxhost::PluginModule plugin(CopyPlugin(scratch));
  WT_ASSERT(plugin.Loaded());
  vxhost::ComposeWindow compose(120, 80, 640, 480);
  const HMENU tools = GetSubMenu(compose.Menu(), 3);
  const int before = GetMenuItemCount(tools);
  for (LONG other : {0L, 9L, 11L}) plugin.OnMenuInit(compose.Handle(), compose.Menu(), other);
  WT_EQ(GetMenuItemCount(tools), before);
  WT_CHECK(vxhost::Host::Instance().Commands().empty());

  // Each compose menu gets its own separator, registration and item.
  for (int round = 1; round <= 2; ++round) {
    WT_EQ(plugin.OnMenuInit(compose.Handle(), compose.Menu(), VX_MENU_COMPOSE), 0);
    WT_EQ(GetMenuItemCount(tools), before + 2 * round);
    WT_CHECK((GetMenuState(tools, static_cast<UINT>(before + 2 * round - 2), MF_BYPOSITION) & MF_SEPARATOR) != 0);
    char text[64] = {};
    GetMenuStringA(tools, static_cast<UINT>(before + 2 * round - 1), text, sizeof text, MF_BYPOSITION);
    WT_EQ(std::string(text), std::string("圧縮して添付..."));
    const auto& commands = vxhost::Host::Instance().Commands();
    WT_EQ(static_cast<int>(commands.size()), round);
    WT_EQ(commands.back().Text, std::string("ファイルを圧縮して添付する"));
    WT_EQ(commands.back().MenuType, VX_MENU_COMPOSE);
    WT_EQ(static_cast<int>(GetMenuItemID(tools, before + 2 * round - 1)), commands.back().Id);
  }
}

// --- the command ------------------------------------------------------------

// Files dropped, ZIP and result display chosen, Attach: the archive is made
// in the temporary folder, shown, attached with its MIME type, deleted, and
// the choices remembered.
WT_TEST(AttachZipThroughTheDialog) {
  TScratch scratch;
  UseAllArchivers(scratch);
  const std::string report = scratch.MakeFile("report.txt", "quarterly report");
  const std::string figures = scratch.MakeFile("数値.csv", "1,2,3");
  const std::string module = CopyPlugin(scratch);
  const std::string archive = TempFolder() + "report.zip";
  DeleteFileA(archive.c_str());
  TSession session(module);
  std::string shown;
  session.Choose([&] {
    const HWND dialog = WaitWindow(kZipCaption);
    RECT compose{}, placed{};
    GetWindowRect(session.Compose.Handle(), &compose);
    GetWindowRect(dialog, &placed);
    WT_EQ(placed.left, compose.left + 32);
    WT_EQ(placed.top, compose.top + 32);
    const HWND zip = FindChild(dialog, "Zip", "Button");
    const HWND result = FindChild(dialog, "結果を表示(&H)", "Button");
    const HWND sfx = FindChild(dialog, "自己解凍(&S)", "Button");
    // Nothing remembered yet: no format, no options.
    for (const char* format : {"Lha", "Zip", "Cab", "tar+gzip", "tar+bzip2"})
      WT_CHECK(!Checked(FindChild(dialog, format, "Button")));
    WT_CHECK(!Checked(result) && !Checked(sfx) && IsWindowEnabled(result) && IsWindowEnabled(sfx));

    DropFiles(dialog, {report, figures});
    TDriver::Settle();
    Click(zip);
    Click(result);
    WT_EQ(Text(FindChildOfClass(dialog, "Edit")), std::string("report.zip"));
    WT_CHECK(Screenshot(dialog, ScreenshotFolder() + "\\zipform.png"));

    PostClick(FindChild(dialog, "添付(&T)", "Button"));
    const HWND window = WaitWindow(kResultCaption);
    WT_CHECK(!IsWindowVisible(dialog));  // hidden while the archive is made
    shown = Text(FindChildOfClass(window, "Edit"));
    WT_CHECK(Screenshot(window, ScreenshotFolder() + "\\result.png"));
    PostClick(FindChild(window, "Ok", "Button"));
    WT_CHECK(WaitGone(window));
  });

  const auto packs = ArchiverCallsOf("Zip");
  WT_ASSERT(packs.size() == 1);
  const std::string& command = packs[0].Text;
  // The library is handed the dialog's window, already off the screen.
  WT_EQ(packs[0].Window, std::string("hidden"));
  // The ZIP library takes the names to store with forward slashes.
  auto slashed = [](std::string path) {
    for (char& c : path) c = c == '\\' ? '/' : c;  // no trail byte 0x5C in these names
    return path;
  };
  for (const std::string& quoted : {"\"" + archive + "\"", "\"" + slashed(report) + "\"", "\"" + slashed(figures) + "\""})
    WT_CHECK(command.find(quoted) != std::string::npos);
  WT_CHECK(shown.find("ZIP32J.DLL Zip\r\n" + command + "\r\n") == 0);

  const auto& attached = session.Compose.Attachments();
  WT_ASSERT(attached.size() == 1);
  WT_EQ(attached[0].Path, archive);
  WT_EQ(attached[0].MimeType, std::string("application/zip"));
  WT_EQ(attached[0].Data, "VXTEST " + command);  // read before the module deleted it
  WT_CHECK(!FileExists(archive));

  const std::string ini = IniOf(module);
  WT_EQ(IniValue(ini, "ArchiveType"), std::string("1"));
  WT_EQ(IniValue(ini, "IsSfx"), std::string("0"));
  WT_EQ(IniValue(ini, "ShowResult"), std::string("1"));
  WT_EQ(IniValue(ini, "WarnSizeMB"), std::string("10"));
  const std::string content = ReadFileBytes(ini);
  WT_CHECK(content.find("[Options]") != std::string::npos);
}

// Remembered choices come back; Cancel attaches nothing and keeps them.
WT_TEST(RememberedChoicesAndCancel) {
  TScratch scratch;
  UseAllArchivers(scratch);
  const std::string module = CopyPlugin(scratch);
  const std::string ini = IniOf(module);
  WritePrivateProfileStringA("Options", "ArchiveType", "2", ini.c_str());
  WritePrivateProfileStringA("Options", "IsSfx", "1", ini.c_str());
  WritePrivateProfileStringA("Options", "ShowResult", "1", ini.c_str());
  const std::string before = ReadFileBytes(ini);
  TSession session(module);
  session.Choose([&] {
    const HWND dialog = WaitWindow(kZipCaption);
    // Modal: the compose window waits, and the dialog stays above it.
    WT_CHECK(!IsWindowEnabled(session.Compose.Handle()));
    WT_CHECK(GetWindow(dialog, GW_OWNER) == session.Compose.Handle());
    WT_CHECK(Checked(FindChild(dialog, "Cab", "Button")));
    WT_CHECK(Checked(FindChild(dialog, "自己解凍(&S)", "Button")));
    WT_CHECK(Checked(FindChild(dialog, "結果を表示(&H)", "Button")));
    WT_CHECK(!IsWindowEnabled(FindChild(dialog, "tar+gzip", "Button")));
    Click(FindChild(dialog, "キャンセル (&C)", "Button"));
    WT_CHECK(WaitGone(dialog));
  });
  WT_CHECK(session.Compose.Attachments().empty());
  WT_CHECK(IsWindowEnabled(session.Compose.Handle()));
  WT_EQ(ReadFileBytes(ini), before);
  WT_CHECK(ArchiverCallsOf("Cab").empty());
}

// A folder dropped and the question answered Yes: the whole folder is
// packed (LHA, nothing chosen) under its own name, relative to itself.
WT_TEST(DroppedFolderAttachedWhole) {
  TScratch scratch;
  UseAllArchivers(scratch);
  const std::string folder = scratch.MakeFolder("Docs");
  scratch.MakeFolder("Docs\\sub");
  scratch.MakeFile("Docs\\a.txt");
  scratch.MakeFile("Docs\\sub\\b.txt");
  const std::string module = CopyPlugin(scratch);
  const std::string archive = TempFolder() + "Docs.lzh";
  DeleteFileA(archive.c_str());
  TSession session(module);
  TBox question;
  session.Choose([&] {
    const HWND dialog = WaitWindow(kZipCaption);
    DropFiles(dialog, {folder});
    question = AnswerBox("確認", "はい(&Y)", ScreenshotFolder() + "\\messagebox.png");
    WT_CHECK(WaitGone(dialog));
  });
  WT_EQ(question.Text, std::string("フォルダごと圧縮しますか？\r\n"
                                   "(「はい」を選択するとリストボックスのファイルを無視してドロップしたファイルを圧縮します)\r\n"
                                   "(「いいえ」を選択するとフォルダ内のファイル全てをリストボックスに追加します)"));
  WT_EQ(question.Buttons, (std::vector<std::string>{"はい(&Y)", "いいえ(&N)", "キャンセル"}));
  WT_CHECK(question.Icon == SystemIcon(IDI_QUESTION));
  const auto packs = ArchiverCallsOf("Unlha");
  WT_ASSERT(packs.size() == 1);
  WT_CHECK(packs[0].Text.find("\"" + archive + "\"") != std::string::npos);
  WT_CHECK(packs[0].Text.find("-x1") != std::string::npos);
  WT_CHECK(packs[0].Text.find("\"a.txt\"") != std::string::npos);
  WT_CHECK(packs[0].Text.find("\"sub\\b.txt\"") != std::string::npos);
  const auto& attached = session.Compose.Attachments();
  WT_ASSERT(attached.size() == 1);
  WT_EQ(attached[0].Path, archive);
  WT_EQ(attached[0].MimeType, std::string("application/x-lha"));
  WT_CHECK(!FileExists(archive));
  WT_EQ(IniValue(IniOf(module), "ArchiveType"), std::string("0"));
}

// The text of the item selected in the folder browser's tree.
static std::string SelectedTreeText(HWND Browser) {
  const HWND tree = FindChildOfClass(Browser, "SysTreeView32");
  if (tree == nullptr) return std::string();
  const auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (item == nullptr) return std::string();
  char text[MAX_PATH] = {};
  TVITEMA tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = MAX_PATH;
  SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  return text;
}

// The folder button: the shell's folder browser, a folder chosen in it,
// and the whole folder packed under its name.
WT_TEST(FolderButtonAttachesFolder) {
  TScratch scratch;
  UseAllArchivers(scratch);
  const std::string folder = scratch.MakeFolder("Photos");
  scratch.MakeFile("Photos\\1.jpg");
  const std::string module = CopyPlugin(scratch);
  const std::string archive = TempFolder() + "Photos.zip";
  DeleteFileA(archive.c_str());
  WritePrivateProfileStringA("Options", "ArchiveType", "1", IniOf(module).c_str());
  TSession session(module);
  session.Choose([&] {
    const HWND dialog = WaitWindow(kZipCaption);
    PostClick(FindChild(dialog, "フォルダごと(&D)...", "Button"));
    HWND browser = nullptr;
    WT_ASSERT(WaitFor([&] {
      for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w != nullptr;
           w = FindWindowExA(nullptr, w, "#32770", nullptr))
        if (IsWindowVisible(w) && FindChild(w, "圧縮して添付するフォルダを選択してください") != nullptr) browser = w;
      return browser != nullptr;
    }));
    TDriver::Settle();
    // As the user picks the folder in the tree. A browser still filling its
    // tree may drop the request: ask until the folder is the one selected.
    WT_ASSERT(WaitFor([&] {
      SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
      TDriver::Settle();
      return SelectedTreeText(browser) == "Photos";
    }));
    PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(browser, IDOK)));
    WT_CHECK(WaitGone(dialog));
  });
  const auto packs = ArchiverCallsOf("Zip");
  WT_ASSERT(packs.size() == 1);
  WT_CHECK(packs[0].Text.find("\"" + archive + "\"") != std::string::npos);
  WT_CHECK(packs[0].Text.find("\"1.jpg\"") != std::string::npos);
  const auto& attached = session.Compose.Attachments();
  WT_ASSERT(attached.size() == 1);
  WT_EQ(attached[0].Path, archive);
}

// A drive root dropped whole has no name of its own: our input box asks
// for one. Drive Y: is the test runner's small folder. Confirmed, the
// archive gets the name typed; cancelled, or confirmed with no name, nothing
// is made.
void DropDriveRoot(const char* Button, const char* Typed, bool Attached) {
  WT_ASSERT(GetFileAttributesA("Y:\\") != INVALID_FILE_ATTRIBUTES);  // run by scripts/wine-test.sh
  TScratch scratch;
  UseAllArchivers(scratch);
  CreateDirectoryA("Y:\\sub", nullptr);
  const std::string a = "Y:\\a.txt", b = "Y:\\sub\\b.txt";
  for (const std::string& f : {a, b}) CloseHandle(CreateFileA(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  const std::string module = CopyPlugin(scratch);
  const std::string archive = TempFolder() + "backup.lzh";
  DeleteFileA(archive.c_str());
  TSession session(module);
  session.Choose([&] {
    const HWND dialog = WaitWindow(kZipCaption);
    DropFiles(dialog, {"Y:\\"});
    AnswerBox("確認", "はい(&Y)");
    const HWND box = WaitWindow("フォルダ付きで圧縮");
    WT_CHECK(GetWindow(box, GW_OWNER) == dialog);
    TypeText(FindChildOfClass(box, "Edit"), Typed);
    PostClick(FindChild(box, Button, "Button"));
    WT_CHECK(WaitGone(dialog));
  });
  const auto packs = ArchiverCallsOf("Unlha");
  WT_EQ(packs.size(), Attached ? 1u : 0u);
  if (Attached && packs.size() == 1) {
    WT_CHECK(packs[0].Text.find("\"" + archive + "\"") != std::string::npos);
    WT_CHECK(packs[0].Text.find("\"a.txt\"") != std::string::npos);
    WT_CHECK(packs[0].Text.find("\"sub\\b.txt\"") != std::string::npos);
  }
  WT_EQ(session.Compose.Attachments().size(), Attached ? 1u : 0u);
  DeleteFileA(a.c_str());
  DeleteFileA(b.c_str());
  RemoveDirectoryA("Y:\\sub");
}

WT_TEST(DriveRootAsksForName) { DropDriveRoot("OK", "backup", true); }
WT_TEST(DriveRootNameCancelled) { DropDriveRoot("キャンセル", "backup", false); }
WT_TEST(DriveRootNameLeftEmpty) { DropDriveRoot("OK", "", false); }

// LHA made self-extracting: built as .lzh, turned into .exe, the .lzh gone.
WT_TEST(SelfExtractingLha) {
  TScratch scratch;
  UseAllArchivers(scratch);
  const std::string file = scratch.MakeFile("report.doc");
  const std::string module = CopyPlugin(scratch);
  const std::string lzh = TempFolder() + "report.lzh", exe = TempFolder() + "report.exe";
  DeleteFileA(lzh.c_str());
  DeleteFileA(exe.c_str());
  TSession session(module);
  session.Choose([&] {
    const HWND dialog = WaitWindow(kZipCaption);
    DropFiles(dialog, {file});
    TDriver::Settle();
    Click(FindChild(dialog, "Lha", "Button"));
    Click(FindChild(dialog, "自己解凍(&S)", "Button"));
    WT_EQ(Text(FindChildOfClass(dialog, "Edit")), std::string("report.exe"));
    PostClick(FindChild(dialog, "添付(&T)", "Button"));
    WT_CHECK(WaitGone(dialog));
  });
  const auto calls = ArchiverCallsOf("Unlha");
  WT_ASSERT(calls.size() == 2);
  WT_CHECK(calls[0].Text.rfind("u ", 0) == 0 && calls[0].Text.find("\"" + lzh + "\"") != std::string::npos);
  WT_CHECK(calls[1].Text.rfind("s ", 0) == 0);
  const auto& attached = session.Compose.Attachments();
  WT_ASSERT(attached.size() == 1);
  WT_EQ(attached[0].Path, exe);
  WT_EQ(attached[0].MimeType, std::string("application/x-lha"));
  WT_CHECK(!FileExists(exe) && !FileExists(lzh));
  WT_EQ(IniValue(IniOf(module), "IsSfx"), std::string("1"));
}

// Attach with nothing to attach, or no name: a warning, and the dialog stays.
WT_TEST(WarningsKeepTheDialogOpen) {
  TScratch scratch;
  UseAllArchivers(scratch);
  const std::string file = scratch.MakeFile("report.doc");
  TSession session(CopyPlugin(scratch));
  TBox empty, unnamed;
  session.Choose([&] {
    const HWND dialog = WaitWindow(kZipCaption);
    const HWND attach = FindChild(dialog, "添付(&T)", "Button");
    PostClick(attach);
    empty = AnswerBox("警告", "OK");
    WT_CHECK(IsWindowVisible(dialog));
    DropFiles(dialog, {file});
    TDriver::Settle();
    TypeText(FindChildOfClass(dialog, "Edit"), "");
    PostClick(attach);
    unnamed = AnswerBox("警告", "OK");
    WT_CHECK(IsWindowVisible(dialog));
    Click(FindChild(dialog, "キャンセル (&C)", "Button"));
  });
  WT_EQ(empty.Text, std::string("添付するファイルが選択されていません。\r\n"
                                "追加またはエクスプローラからのDrag&Dropでファイルを追加してください。"));
  WT_CHECK(empty.Icon == SystemIcon(IDI_EXCLAMATION));
  WT_EQ(unnamed.Text, std::string("添付ファイル名を入力してください。"));
  WT_CHECK(session.Compose.Attachments().empty());
}

// A remembered self-extracting choice with tar+gzip: the dialog refuses it
// with an error box while it is prepared, and opens with it off.
WT_TEST(TarRefusesRememberedSelfExtracting) {
  TScratch scratch;
  UseAllArchivers(scratch);
  const std::string module = CopyPlugin(scratch);
  WritePrivateProfileStringA("Options", "ArchiveType", "3", IniOf(module).c_str());
  WritePrivateProfileStringA("Options", "IsSfx", "1", IniOf(module).c_str());
  TSession session(module);
  TBox refusal;
  session.Choose([&] {
    refusal = AnswerBox("エラー", "OK");
    const HWND dialog = WaitWindow(kZipCaption);
    const HWND sfx = FindChild(dialog, "自己解凍(&S)", "Button");
    WT_CHECK(Checked(FindChild(dialog, "tar+gzip", "Button")));
    WT_CHECK(!Checked(sfx) && !IsWindowEnabled(sfx));
    WT_CHECK(!IsWindowEnabled(FindChild(dialog, "結果を表示(&H)", "Button")));
    Click(FindChild(dialog, "キャンセル (&C)", "Button"));
  });
  WT_EQ(refusal.Text, std::string("この形式では自己解凍ファイルが作成できません。"));
  WT_CHECK(refusal.Icon == SystemIcon(IDI_HAND));
}

// An archive that grows beyond the limit in the message: the question,
// answered No, brings the dialog back with its list; nothing is sent and
// the archive is gone.
WT_TEST(LargeArchiveDeclinedKeepsTheDialog) {
  TScratch scratch;
  UseAllArchivers(scratch);
  const std::string file = scratch.MakeFile("video.avi");
  const std::string module = CopyPlugin(scratch);
  const std::string archive = TempFolder() + "video.zip";
  DeleteFileA(archive.c_str());
  WritePrivateProfileStringA("Options", "ArchiveType", "1", IniOf(module).c_str());
  SetEnvironmentVariableA("VXTEST_ARCPAD", "12582912");
  TSession session(module);
  TBox question;
  session.Choose([&] {
    const HWND dialog = WaitWindow(kZipCaption);
    DropFiles(dialog, {file});
    TDriver::Settle();
    PostClick(FindChild(dialog, "添付(&T)", "Button"));
    question = AnswerBox("確認", "いいえ(&N)", ScreenshotFolder() + "\\size-question.png");
    WT_CHECK(WaitFor([&] { return IsWindowVisible(dialog) != FALSE; }));
    TDriver::Settle();
    WT_EQ(SendMessageA(FindChildOfClass(dialog, "ListBox"), LB_GETCOUNT, 0, 0), static_cast<LRESULT>(1));
    WT_EQ(Text(FindChildOfClass(dialog, "Edit")), std::string("video.zip"));
    WT_CHECK(!FileExists(archive));
    Click(FindChild(dialog, "キャンセル (&C)", "Button"));
    WT_CHECK(WaitGone(dialog));
  });
  WT_CHECK(question.Text.rfind("圧縮ファイルの大きさ: 12.0 MB\r\n", 0) == 0);
  WT_EQ(question.Buttons, (std::vector<std::string>{"はい(&Y)", "いいえ(&N)"}));
  WT_CHECK(question.Icon == SystemIcon(IDI_QUESTION));
  WT_CHECK(session.Compose.Attachments().empty());
  WT_EQ(IniValue(IniOf(module), "WarnSizeMB"), std::string("(none)"));
}

// The archiver fails and leaves nothing: the command says so.
WT_TEST(FailedArchiveReported) {
  TScratch scratch;
  UseAllArchivers(scratch);
  const std::string file = scratch.MakeFile("report.doc");
  SetEnvironmentVariableA("VXTEST_ARCRESULT", "32777");
  TSession session(CopyPlugin(scratch));
  TBox failure;
  session.Choose([&] {
    const HWND dialog = WaitWindow(kZipCaption);
    DropFiles(dialog, {file});
    TDriver::Settle();
    PostClick(FindChild(dialog, "添付(&T)", "Button"));
    failure = AnswerBox("エラー", "OK");
  });
  WT_EQ(failure.Text, std::string("圧縮ファイルの作成に失敗しました。"));
  WT_CHECK(failure.Icon == SystemIcon(IDI_HAND));
  WT_CHECK(session.Compose.Attachments().empty());
}
