// The compose command: the dialog opens with the remembered choices at the
// compose window's corner, the archive it made is attached and deleted, and
// the choices are remembered; cancelling or failing leaves the settings
// alone, and settings that cannot be written cost only the settings.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "PluginTestKit.h"
#include "support/Scratch.h"

namespace fs = std::filesystem;

namespace plugintest {
namespace {

class Command : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root_.Path() + "/temp");
    fs::create_directories(root_.Path() + "/files");
  }
  void TearDown() override {
    plugin_.reset();
    temp_.reset();
    libraries_.reset();
  }

  // Loads a copy of the module from a folder below the scratch root, with
  // these of our libraries on the search path.
  void Load(const std::vector<std::string>& libraries = RealLibraries::AllPacking(),
            const std::string& folder = "plugins") {
    libraries_ = std::make_unique<RealLibraries>(libraries);
    plugin_ = std::make_unique<LoadedPlugin>(CopyModule(root_.Path() + "/" + folder));
    ASSERT_TRUE(plugin_->Loaded());
    temp_ = std::make_unique<TempFolder>(root_.Path() + "/temp");
  }
  CommandRun Run(const std::function<void(vx::TZipListForm&)>& dialog, int left = 120, int top = 80) {
    return RunCommand(*plugin_, ui_, dialog, left, top);
  }

  std::string IniPath() const { return root_.Path() + "/plugins/VxArc.ini"; }
  void WriteIni(const std::string& text) const { std::ofstream(IniPath(), std::ios::binary) << text; }
  std::string ReadIni() const {
    std::ifstream in(IniPath(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // A file to send; its Windows path.
  std::string File(const std::string& name, const std::string& content) const {
    root_.WriteFile("files/" + name, content);
    return WinPath(root_.Path() + "/files/" + name);
  }
  bool TempIsEmpty() const { return fs::is_empty(root_.Path() + "/temp"); }

  // Adds a file and presses Attach.
  std::function<void(vx::TZipListForm&)> AttachOneFile() {
    const std::string file = File("report.txt", "quarterly numbers\n");
    return [this, file](vx::TZipListForm& form) {
      AddFiles(ui_, form, {file});
      Click(form, form.AttachBitBtn);
    };
  }
  static void Cancel(vx::TZipListForm& form) { Click(form, form.CancelButton); }

  vxui::ScriptedBackend ui_;
  vxtest::ScratchDir root_;
  std::unique_ptr<RealLibraries> libraries_;
  std::unique_ptr<LoadedPlugin> plugin_;
  std::unique_ptr<TempFolder> temp_;
};

TEST_F(Command, WithoutSettingsTheDialogOpensBareAndTheFirstAttachRemembersLha) {
  Load();
  const CommandRun run = Run(AttachOneFile());
  ASSERT_TRUE(run.DialogShown);
  const DialogState& s = run.Opened;
  EXPECT_FALSE(s.Lha || s.Zip || s.Cab || s.Tgz || s.Bz2);
  EXPECT_EQ(s.ArchiveType, 0);
  EXPECT_FALSE(s.Sfx);
  EXPECT_FALSE(s.ShowResult);

  ASSERT_EQ(run.Attachments.size(), 1u);
  const vxhost::Attachment& a = run.Attachments[0];
  EXPECT_EQ(a.FileName, "report.lzh");
  EXPECT_EQ(a.MimeType, "application/x-lha");
  EXPECT_EQ(a.Path, WinPath(root_.Path() + "/temp/report.lzh"));
  ASSERT_GT(a.Data.size(), 7u);
  EXPECT_EQ(a.Data.substr(2, 3), "-lh");  // the host read a whole LHA archive
  // Deleted as soon as the host had it.
  EXPECT_EQ(GetFileAttributesA(a.Path.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(TempIsEmpty());
  EXPECT_TRUE(ui_.Boxes().empty());
  EXPECT_EQ(ReadIni(), "[Options]\r\nArchiveType=0\r\nIsSfx=0\r\nShowResult=0\r\nWarnSizeMB=10\r\n");
}

TEST_F(Command, RemembersTheFormatAndOptionsOfTheLastAttach) {
  Load();
  WriteIni("[Options]\r\nArchiveType=0\r\n");
  const std::string file = File("a.txt", "a");
  const CommandRun run = Run([&](vx::TZipListForm& form) {
    Click(form, form.CabRadioButton);
    Click(form, form.ShowResultCheckBox);
    AddFiles(ui_, form, {file});
    // The result window that follows: its OK button.
    ui_.AnswerModal([](HWND window) {
      vx::TForm& result = AnyFormOf(window);
      Click(result, result.FindControl("OkButton"));
    });
    Click(form, form.AttachBitBtn);
  });
  ASSERT_EQ(run.Attachments.size(), 1u);
  EXPECT_EQ(run.Attachments[0].MimeType, "application/x-compressed");
  EXPECT_EQ(run.Attachments[0].FileName, "a.cab");
  EXPECT_EQ(ReadIni(), "[Options]\r\nArchiveType=2\r\nIsSfx=0\r\nShowResult=1\r\nWarnSizeMB=10\r\n");
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(Command, SettingsAreReadInEveryNumberForm) {
  struct Case {
    const char* ini;
    bool zip, sfx, showResult;
  };
  const Case cases[] = {
      {"ArchiveType=1\r\nIsSfx=1\r\nShowResult=1", true, true, true},
      {"ArchiveType=0x1\r\nIsSfx=0X1\r\nShowResult=$1", true, true, true},
      {"ArchiveType=$1\r\nIsSfx=-1\r\nShowResult=7", true, true, true},
      {"ArchiveType=1\r\nIsSfx=0\r\nShowResult=0x0", true, false, false},
      // Out of range or no number: nothing remembered.
      {"ArchiveType=7\r\nIsSfx=yes\r\nShowResult=1x", false, false, false},
      {"ArchiveType=-1", false, false, false},
      {"ArchiveType=one", false, false, false},
  };
  Load();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ini);
    WriteIni(std::string("[Options]\r\n") + c.ini + "\r\n");
    const CommandRun run = Run(Cancel);
    EXPECT_EQ(run.Opened.Zip, c.zip);
    EXPECT_FALSE(run.Opened.Lha || run.Opened.Cab || run.Opened.Tgz || run.Opened.Bz2);
    EXPECT_EQ(run.Opened.ArchiveType, c.zip ? 1 : 0);
    EXPECT_EQ(run.Opened.Sfx, c.sfx);
    EXPECT_EQ(run.Opened.ShowResult, c.showResult);
  }
  EXPECT_TRUE(ui_.Boxes().empty());
}

TEST_F(Command, TheSizeLimitIsAWholeNumberOfMegabytesOrTheDefault) {
  const struct {
    const char* ini;
    int limit;
  } cases[] = {
      {"", 10},          {"WarnSizeMB=0", 0},    {"WarnSizeMB=25", 25},  {"WarnSizeMB=0x14", 20},
      {"WarnSizeMB=abc", 10}, {"WarnSizeMB=-3", 10}, {"WarnSizeMB=1.5", 10}, {"WarnSizeMB=", 10},
  };
  Load();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ini);
    WriteIni(std::string("[Options]\r\n") + c.ini + "\r\n");
    EXPECT_EQ(Run(Cancel).Opened.WarnSizeMB, c.limit);
  }
}

// Bytes that do not compress: the archive is as large as the file.
std::string Incompressible(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t x = 2463534242u;
  for (char& b : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<char>(x >> 24);
  }
  return bytes;
}

// A 12 MB archive grows to about 16 MB in the message: asked under the
// default limit, sent at once with the warning off.
TEST_F(Command, ALargeAttachmentIsSentOnlyWhenTheUserSaysSo) {
  const struct {
    const char* settings;
    int answer;  // 0: not asked
    bool attached;
    const char* written;  // the limit written back
  } cases[] = {
      {"", IDYES, true, "10"},
      {"WarnSizeMB=0\r\n", 0, true, "0"},
      {"WarnSizeMB=20\r\n", 0, true, "20"},
      {"", IDNO, false, nullptr},
  };
  Load();
  const std::string file = File("video.bin", Incompressible(12 * 1024 * 1024));
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.settings << " answered " << c.answer);
    fs::remove(IniPath());
    WriteIni(std::string("[Options]\r\nArchiveType=1\r\n") + c.settings);
    const std::string before = ReadIni();
    const std::size_t boxes = ui_.Boxes().size();
    bool keptOpen = false;
    const CommandRun run = Run([&](vx::TZipListForm& form) {
      AddFiles(ui_, form, {file});
      if (c.answer != 0) ui_.AnswerBox(c.answer);
      Click(form, form.AttachBitBtn);
      if (form.Visible()) {
        // Declined: the dialog is back with the file still listed.
        keptOpen = true;
        EXPECT_EQ(form.FilesListBox->Items(), std::vector<std::string>{file});
        EXPECT_TRUE(TempIsEmpty());
        Cancel(form);
      }
    });
    EXPECT_EQ(keptOpen, !c.attached);
    EXPECT_EQ(ui_.Boxes().size(), boxes + (c.answer != 0 ? 1 : 0));
    if (c.answer != 0) {
      EXPECT_EQ(ui_.Boxes().back().kind, vxui::BoxKind::Confirmation);
      EXPECT_EQ(ui_.Boxes().back().text.rfind("圧縮ファイルの大きさ: 12.0 MB\r\nメールでの大きさ: 約 16.4 MB\r\n", 0), 0u)
          << ui_.Boxes().back().text;
    }
    ASSERT_EQ(run.Attachments.size(), c.attached ? 1u : 0u);
    if (c.attached) {
      EXPECT_EQ(run.Attachments[0].FileName, "video.zip");
      EXPECT_NE(ReadIni().find(std::string("WarnSizeMB=") + c.written + "\r\n"), std::string::npos) << ReadIni();
    } else {
      EXPECT_EQ(ReadIni(), before);
    }
    EXPECT_TRUE(TempIsEmpty());
  }
  EXPECT_EQ(ui_.Unused(), 0u);
}

TEST_F(Command, ARememberedFormatWhoseLibraryIsGoneIsRefusedWithTheMessage) {
  Load(RealLibraries::AllBut("ZIP32J.DLL"));
  WriteIni("[Options]\r\nArchiveType=1\r\n");
  const CommandRun run = Run(Cancel);
  EXPECT_FALSE(run.Opened.Lha || run.Opened.Zip || run.Opened.Cab || run.Opened.Tgz || run.Opened.Bz2);
  EXPECT_EQ(run.Opened.ArchiveType, 0);
  ASSERT_EQ(ui_.Boxes().size(), 1u);
  EXPECT_EQ(ui_.Boxes()[0].kind, vxui::BoxKind::Error);
  EXPECT_EQ(ui_.Boxes()[0].text, "圧縮に必要なDLLが見つかりません。");
}

TEST_F(Command, ARememberedSelfExtractingChoiceIsRefusedForTheTarFormats) {
  Load();
  for (const char* type : {"3", "4"}) {
    SCOPED_TRACE(type);
    WriteIni(std::string("[Options]\r\nArchiveType=") + type + "\r\nIsSfx=1\r\nShowResult=1\r\n");
    const std::size_t boxes = ui_.Boxes().size();
    const CommandRun run = Run(Cancel);
    EXPECT_EQ(run.Opened.Tgz, std::string(type) == "3");
    EXPECT_EQ(run.Opened.Bz2, std::string(type) == "4");
    EXPECT_FALSE(run.Opened.Sfx);
    ASSERT_EQ(ui_.Boxes().size(), boxes + 1);
    EXPECT_EQ(ui_.Boxes().back().kind, vxui::BoxKind::Error);
    EXPECT_EQ(ui_.Boxes().back().text, "この形式では自己解凍ファイルが作成できません。");
  }
}

TEST_F(Command, TheDialogSitsAtTheComposeWindowsCornerPlus32) {
  Load();
  const struct {
    int left, top;
  } corners[] = {{120, 80}, {0, 0}, {-500, -300}, {3000, 2000}};
  for (const auto& c : corners) {
    SCOPED_TRACE(testing::Message() << c.left << "," << c.top);
    const CommandRun run = Run(Cancel, c.left, c.top);
    EXPECT_EQ(run.Opened.Left, c.left + 32);
    EXPECT_EQ(run.Opened.Top, c.top + 32);
  }
}

TEST_F(Command, CancelAttachesNothingAndKeepsTheSettings) {
  Load();
  // Without a settings file, and with one: neither is written.
  CommandRun run = Run([&](vx::TZipListForm& form) {
    AddFiles(ui_, form, {File("x.txt", "x")});
    Cancel(form);
  });
  EXPECT_TRUE(run.Attachments.empty());
  EXPECT_FALSE(fs::exists(IniPath()));

  const std::string settings = "; mine\r\n[Options]\r\nArchiveType=2\r\n";
  WriteIni(settings);
  run = Run([&](vx::TZipListForm& form) {
    Click(form, form.ZipRadioButton);
    form.UserClose();  // the window's close box
  });
  EXPECT_TRUE(run.Attachments.empty());
  EXPECT_EQ(ReadIni(), settings);
  EXPECT_TRUE(ui_.Boxes().empty());
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(Command, ANameWithNoArchiveBehindItIsReportedAndNothingIsSaved) {
  Load();
  const std::string file = File("notes.txt", "n");
  // A file of that name in the temporary folder is nobody's archive: it is
  // neither sent nor removed.
  root_.WriteFile("temp/notes.txt", "old");
  const CommandRun run = Run([&](vx::TZipListForm& form) {
    AddFiles(ui_, form, {file});
    Click(form, form.ZipRadioButton);
    // A name the archive component knows no format for.
    EXPECT_TRUE(form.UserEnterText(form.FileNameEdit, "notes.txt"));
    Click(form, form.AttachBitBtn);
  });
  EXPECT_TRUE(run.Attachments.empty());
  ASSERT_GE(ui_.Boxes().size(), 2u);  // the component's error, then the command's
  EXPECT_EQ(ui_.Boxes().back().kind, vxui::BoxKind::Error);
  EXPECT_EQ(ui_.Boxes().back().caption, "エラー");
  EXPECT_EQ(ui_.Boxes().back().text, "圧縮ファイルの作成に失敗しました。");
  EXPECT_FALSE(fs::exists(IniPath()));
  EXPECT_EQ(root_.ReadFile("temp/notes.txt"), "old");
}

TEST_F(Command, NothingThrownInsideTheCommandReachesTheHost) {
  Load();
  const CommandRun run = Run([](vx::TZipListForm&) { throw 42; });
  EXPECT_TRUE(run.DialogShown);
  EXPECT_TRUE(run.Attachments.empty());
  ASSERT_EQ(ui_.Boxes().size(), 1u);
  EXPECT_EQ(ui_.Boxes()[0].kind, vxui::BoxKind::Error);
  EXPECT_EQ(ui_.Boxes()[0].text, "予期しないエラーが発生しました。");
  EXPECT_FALSE(fs::exists(IniPath()));
}

TEST_F(Command, SettingsThatCannotBeWrittenAreReportedAndTheAttachmentStands) {
  struct Case {
    const char* what;
    std::function<bool(const std::string& folder)> prepare;  // false: not possible here
  };
  const Case cases[] = {
      {"read-only settings folder",
       [](const std::string& folder) {
         // The superuser writes into read-only folders anyway.
         return geteuid() != 0 && chmod(folder.c_str(), 0555) == 0;
       }},
      {"a folder in the settings file's place",
       [](const std::string& folder) { return fs::create_directory(folder + "/VxArc.ini"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    Load();
    const std::string folder = root_.Path() + "/plugins";
    if (!c.prepare(folder)) {
      std::cout << "(not tried here: " << c.what << ")\n";
      continue;
    }
    const std::size_t boxes = ui_.Boxes().size();
    const CommandRun run = Run(AttachOneFile());
    chmod(folder.c_str(), 0755);
    ASSERT_EQ(run.Attachments.size(), 1u);
    EXPECT_EQ(run.Attachments[0].FileName, "report.lzh");
    EXPECT_TRUE(TempIsEmpty());
    ASSERT_EQ(ui_.Boxes().size(), boxes + 1);
    const auto& box = ui_.Boxes().back();
    EXPECT_EQ(box.kind, vxui::BoxKind::Warning);
    EXPECT_EQ(box.caption, "警告");
    EXPECT_NE(box.text.find(WinPath(IniPath())), std::string::npos) << box.text;
    EXPECT_FALSE(fs::is_regular_file(IniPath()));
    fs::remove_all(IniPath());
  }
}

// --- where the settings live ---------------------------------------------------

TEST(CommandSettingsPath, TheModulesPathWithTheExtensionReplaced) {
  struct Case {
    const char* what;
    const char* folder;
    const char* file;      // the module file as loaded
    const char* settings;  // relative to drive C:
  };
  const Case cases[] = {
      {"module with an extension", "Mail/Plugins", "VxArc.dll", "Mail/Plugins/VxArc.ini"},
      // Everything after the last "." of the whole path goes.
      {"a folder with a dot, a file without extension", "Mail/my.plugins", "VxArc", "Mail/my.ini"},
      {"no dot anywhere", "Mail/Plugins", "VxArc", "Mail/Plugins/VxArc.ini"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    vxtest::DriveC drive;
    vxui::ScriptedBackend ui;
    RealLibraries libraries(RealLibraries::AllPacking());
    const std::string folder = drive.Path() + "/" + c.folder;
    const std::string module = CopyModule(folder, c.file);
    // The loader wants a ".dll" name: a link with one leads to the module
    // file, whose own path is what the module sees.
    const std::string loaded = folder + "/VxArc.dll";
    if (module != loaded) fs::create_symlink(module, loaded);
    drive.WriteFile(c.settings, "[Options]\r\nArchiveType=2\r\n");

    LoadedPlugin plugin(loaded);
    ASSERT_TRUE(plugin.Loaded());
    const CommandRun run = RunCommand(plugin, ui, [](vx::TZipListForm& form) { Click(form, form.CancelButton); });
    EXPECT_TRUE(run.Opened.Cab) << "the settings were not read from " << c.settings;
  }
}

}  // namespace
}  // namespace plugintest
