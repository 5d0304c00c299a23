// Attach: validation, the archive built in the temporary folder, the
// self-extracting conversion, the result window, and old files of the same
// name in the temporary folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "FormFixture.h"

using namespace vx;
using formtest::FormTest;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using vxtest::Sjis;

namespace {

using Strings = std::vector<std::string>;

class Attach : public FormTest {
 protected:
  // A dialog with C:\d\a.txt and C:\d\b.txt in its list, the format and
  // the archive name given.
  TZipListForm& Ready(const std::vector<std::string>& libraries, TRadioButton* TZipListForm::*format,
                      const std::string& name) {
    TZipListForm& f = Dialog(libraries);
    File("d/a.txt");
    File("d/b.txt");
    ui_.AnswerOpen({C("d/a.txt"), C("d/b.txt")});
    f.UserClick(f.AddButton);
    f.UserClick(f.*format);
    f.UserEnterText(f.FileNameEdit, name);
    return f;
  }
  // Attach pressed inside the dialog's modal loop; true when it ended it.
  bool Press(TZipListForm& f) {
    return EndsDialog([&] {
      if (resultWindow_) ui_.AnswerModal(std::move(resultWindow_));
      f.UserClick(f.AttachBitBtn);
    });
  }
  // The result window's text, read when it is shown, and closed with Ok.
  void ReadResultWindow(std::string& text) {
    resultWindow_ = [&text](HWND window) {
      auto* form = dynamic_cast<TResultForm*>(formtest::FormOf(window));
      ASSERT_NE(form, nullptr);
      text = form->ResultMemo->Text;
      EXPECT_TRUE(form->UserClick(form->OkButton));
      EXPECT_TRUE(vxui::ModalEnded(window, nullptr));
    };
  }
  bool InTemp(const std::string& name) const { return std::filesystem::exists(Root() + "/temp/" + name); }

 private:
  std::function<void(HWND)> resultWindow_;
};

TEST_F(Attach, EmptyListOrNameWarnsAndKeepsTheDialog) {
  TZipListForm& f = Dialog();
  f.UserEnterText(f.FileNameEdit, "report.lzh");
  EXPECT_FALSE(Press(f));
  File("d/a.txt");
  ui_.AnswerOpen({C("d/a.txt")});
  f.UserClick(f.AddButton);
  f.UserEnterText(f.FileNameEdit, "");
  EXPECT_FALSE(Press(f));
  ASSERT_EQ(ui_.Boxes().size(), 2u);
  EXPECT_EQ(ui_.Boxes()[0].kind, vxui::BoxKind::Warning);
  EXPECT_EQ(ui_.Boxes()[0].caption, Sjis("警告"));
  EXPECT_EQ(ui_.Boxes()[0].text, Sjis("添付するファイルが選択されていません。\r\n"
                                      "追加またはエクスプローラからのDrag&Dropでファイルを追加してください。"));
  EXPECT_EQ(ui_.Boxes()[0].buttons, Strings{"OK"});
  EXPECT_EQ(ui_.Boxes()[1].kind, vxui::BoxKind::Warning);
  EXPECT_EQ(ui_.Boxes()[1].text, Sjis("添付ファイル名を入力してください。"));
  EXPECT_EQ(Items(), Strings{C("d/a.txt")});
  EXPECT_EQ(f.FileNameEdit->Text, "");
  EXPECT_TRUE(f.ZipFileName().empty());
  EXPECT_TRUE(arctest::Calls().empty());
}

TEST_F(Attach, PacksIntoTheTemporaryFolderAndEndsTheDialog) {
  TZipListForm& f = Ready(formtest::kAllPacking, &TZipListForm::LhaRadioButton, "report.lzh");
  arctest::ScriptResult("UNLHA32.DLL", "Unlha", 0x8020);
  EXPECT_TRUE(Press(f));
  EXPECT_EQ(f.ZipFileName(), C("temp/report.lzh"));
  EXPECT_EQ(f.CompressResult(), 0x8020);
  EXPECT_FALSE(f.Visible());
  const auto calls = arctest::CallsOf("Unlha");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].window, f.Handle());
  EXPECT_EQ(calls[0].bufferSize, 8192u);
  EXPECT_THAT(calls[0].text, StartsWith("u -+"));
  EXPECT_THAT(calls[0].text, HasSubstr(" -x0 "));
  EXPECT_THAT(calls[0].text, HasSubstr(" -gw3 "));
  EXPECT_THAT(calls[0].text,
              HasSubstr("\"" + C("temp/report.lzh") + "\" \"" + C("d/a.txt") + "\" \"" + C("d/b.txt") + "\""));
  EXPECT_TRUE(ui_.Boxes().empty());
  EXPECT_TRUE(ui_.Modals().size() == 1u) << "only the dialog's own loop; no result window";
}

TEST_F(Attach, BaseFolderStoresTheStructureBelowIt) {
  TZipListForm& f = Dialog();
  f.FilesListBox->Add("x.txt");
  f.FileNameEdit->Text = "w.lzh";
  EXPECT_TRUE(EndsDialog([&] { f.CreateArchive(C("Work")); }));
  const Strings lines = CommandLines("Unlha");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_THAT(lines[0], HasSubstr(" -x1 "));
  EXPECT_THAT(lines[0], HasSubstr("\"" + C("temp/w.lzh") + "\" \"" + C("Work/") + "\" \"x.txt\""));
}

TEST_F(Attach, NameTheComponentHasNoFormatForEndsInTheErrorBox) {
  for (const std::string name : {"report", "report.txt"}) {
    SCOPED_TRACE(name);
    TZipListForm& f = Ready(formtest::kAllPacking, &TZipListForm::LhaRadioButton, name);
    EXPECT_TRUE(Press(f));
    EXPECT_EQ(f.ZipFileName(), C("temp/" + name));
    ASSERT_FALSE(ui_.Boxes().empty());
    EXPECT_EQ(ui_.Boxes().back().kind, vxui::BoxKind::Error);
    EXPECT_EQ(ui_.Boxes().back().caption, Sjis("エラー"));
    EXPECT_EQ(ui_.Boxes().back().text, Sjis("書庫の形式を判別できません。"));
    EXPECT_TRUE(CommandLines("Unlha").empty());
  }
}

TEST_F(Attach, MissingLibraryOfTheNamedFormatEndsInTheErrorBox) {
  TZipListForm& f = Ready({"full/UNLHA32.DLL"}, &TZipListForm::LhaRadioButton, "report.cab");
  EXPECT_TRUE(Press(f));
  ASSERT_EQ(ui_.Boxes().size(), 1u);
  EXPECT_EQ(ui_.Boxes()[0].text, Sjis("CAB 形式書庫を扱うには CAB32.DLL が 必要です。"));
  EXPECT_EQ(f.ZipFileName(), C("temp/report.cab"));
}

TEST_F(Attach, LhaSelfExtractingIsBuiltConvertedAndTheArchiveRemoved) {
  TZipListForm& f = Ready({"forms-files/UNLHA32.DLL"}, &TZipListForm::LhaRadioButton, "report");
  f.UserClick(f.SfxCheckBox);
  f.UserClick(f.ShowResultCheckBox);
  ASSERT_EQ(f.FileNameEdit->Text, "report.exe");
  // Files an earlier run left behind must not end up in the attachment.
  File("temp/report.lzh", "OLD\n");
  File("temp/report.exe", "OLD\n");
  std::string shown;
  ReadResultWindow(shown);
  EXPECT_TRUE(Press(f));
  const Strings lines = CommandLines("Unlha");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_THAT(lines[0], StartsWith("u "));
  EXPECT_THAT(lines[1], StartsWith("s "));
  EXPECT_THAT(lines[1], HasSubstr("\"" + C("temp/report.lzh") + "\" \"" + C("temp/") + "\""));
  EXPECT_EQ(f.ZipFileName(), C("temp/report.exe"));
  EXPECT_FALSE(InTemp("report.lzh"));
  EXPECT_EQ(drive_.ReadFile("temp/report.exe"), "SFX\n" + C("d/a.txt") + "\n" + C("d/b.txt") + "\n");
  EXPECT_EQ(shown, "packed " + C("temp/report.lzh") + "\r\nconverted " + C("temp/report.exe") + "\r\n");
  EXPECT_EQ(f.CompressResult(), 0);
}

TEST_F(Attach, FailedPackingIsNotConverted) {
  TZipListForm& f = Ready({"forms-files/UNLHA32.DLL"}, &TZipListForm::LhaRadioButton, "report");
  f.UserClick(f.SfxCheckBox);
  arctest::ScriptResult("UNLHA32.DLL", "Unlha", 0x8005);
  EXPECT_TRUE(Press(f));
  EXPECT_EQ(CommandLines("Unlha").size(), 1u);
  EXPECT_EQ(f.ZipFileName(), C("temp/report.lzh"));
  EXPECT_EQ(f.CompressResult(), 0x8005);
}

class ConversionError : public Attach, public ::testing::WithParamInterface<int> {};

TEST_P(ConversionError, AsksWhetherToSendThePlainArchive) {
  const bool yes = GetParam() == IDYES;
  TZipListForm& f = Ready({"forms-files/ZIP32J.DLL"}, &TZipListForm::ZipRadioButton, "report");
  f.UserClick(f.SfxCheckBox);
  f.UserClick(f.ShowResultCheckBox);
  ui_.AnswerBox(GetParam());
  std::string shown;
  if (yes) ReadResultWindow(shown);
  EXPECT_TRUE(Press(f));
  ASSERT_EQ(ui_.Boxes().size(), 2u);
  EXPECT_EQ(ui_.Boxes()[0].kind, vxui::BoxKind::Error);
  EXPECT_EQ(ui_.Boxes()[0].text, Sjis("zip 書庫からのWin32自己解凍書庫の作成には sfx32gui.dat が必要です。"));
  EXPECT_EQ(ui_.Boxes()[1].kind, vxui::BoxKind::Warning);
  EXPECT_EQ(ui_.Boxes()[1].text, Sjis("自己解凍ではない圧縮ファイルを添付しますか？"));
  EXPECT_EQ(ui_.Boxes()[1].buttons, (Strings{Sjis("はい(&Y)"), Sjis("いいえ(&N)")}));
  if (yes) {
    EXPECT_EQ(f.ZipFileName(), C("temp/report.zip"));
    EXPECT_TRUE(InTemp("report.zip"));
    // Only what the component holds after the failed conversion.
    EXPECT_EQ(shown, "packed " + C("temp/report.zip") + "\r\n");
  } else {
    EXPECT_TRUE(f.ZipFileName().empty());
    EXPECT_FALSE(InTemp("report.zip"));
    EXPECT_EQ(ui_.Modals().size(), 1u) << "no result window";
  }
  EXPECT_EQ(ui_.Unused(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Answers, ConversionError, ::testing::Values(IDYES, IDNO),
                         [](const auto& info) { return std::string(info.param == IDYES ? "Yes" : "No"); });

struct Report {
  const char* name;
  std::string output;  // what the library writes
  std::string shown;
};
void PrintTo(const Report& c, std::ostream* os) { *os << c.name; }

class ResultWindow : public Attach, public ::testing::WithParamInterface<Report> {};

TEST_P(ResultWindow, ShowsTheOutputWithWindowsLineBreaks) {
  TZipListForm& f = Ready(formtest::kAllPacking, &TZipListForm::LhaRadioButton, "report.lzh");
  f.UserClick(f.ShowResultCheckBox);
  arctest::ScriptReport("UNLHA32.DLL", "Unlha", GetParam().output);
  std::string shown;
  ReadResultWindow(shown);
  EXPECT_TRUE(Press(f));
  EXPECT_EQ(shown, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, ResultWindow,
    ::testing::Values(Report{"EveryBreakBecomesCrLf", "a\nb\rc\r\nd\n\re\n\nf", "a\r\nb\r\nc\r\nd\r\ne\r\n\r\nf"},
                      Report{"DoubleByteTextUntouched", Sjis("圧縮\n完了"), Sjis("圧縮\r\n完了")},
                      Report{"NothingBeyondTheBuffer", std::string(10000, 'x'), std::string(8191, 'x')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Attach, ResultWindowLayout) {
  TResultForm form(nullptr);
  EXPECT_EQ(form.Caption, Sjis("圧縮結果"));
  EXPECT_EQ(form.ClientWidth, 337);
  EXPECT_EQ(form.ClientHeight, 249);
  EXPECT_EQ(form.Position, poScreenCenter);
  EXPECT_EQ(form.Font.Charset, SHIFTJIS_CHARSET);
  EXPECT_TRUE(form.ResultMemo->ReadOnly);
  EXPECT_EQ(form.ResultMemo->ScrollBars, ssBoth);
  EXPECT_EQ(form.ResultMemo->Color, "clBtnFace");
  EXPECT_EQ(form.OkButton->Caption, "Ok");
  EXPECT_TRUE(form.OkButton->Default);
  EXPECT_EQ(form.OkButton->ModalResult, mrOk);
  EXPECT_EQ(form.OkButton->TabOrder, 1);
}

TEST_F(Attach, OldArchiveOfTheSameNameIsRemovedBeforePacking) {
  TZipListForm& f = Ready(formtest::kAllPacking, &TZipListForm::LhaRadioButton, "report.lzh");
  File("temp/report.lzh", "OLD");
  arctest::SetProbePath(C("temp/report.lzh"));
  EXPECT_TRUE(Press(f));
  const auto calls = arctest::CallsOf("Unlha");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_FALSE(calls[0].probeExisted);
}

// What lies at the archive path before packing, and what must become of it.
enum class Blocker {
  ReadOnlyFile,   // cannot be removed
  Folder,         // cannot be removed
  ListedFile,     // one of the files to send
  LinkToListed,   // a link to one of the files to send
  UnlistedFile,   // an old file, but the name chooses no format
};

struct Stale {
  const char* name;
  const char* typed;
  bool sfx;
  const char* blocker;  // below the temporary folder
  Blocker kind;
  const char* listedAs;  // the list item naming the blocker (C:\ path, or relative to the base)
  const char* baseDir;   // whole-folder mode: the base folder below C:, else empty
};
void PrintTo(const Stale& c, std::ostream* os) { *os << c.name; }

class StaleFile : public Attach, public ::testing::WithParamInterface<Stale> {};

// Whatever lies there, the file survives unchanged and no library runs.
TEST_P(StaleFile, IsKeptAndTheUserTold) {
  const Stale& s = GetParam();
  TZipListForm& f = Ready(formtest::kAllPacking, &TZipListForm::LhaRadioButton, s.typed);
  if (s.sfx) f.UserClick(f.SfxCheckBox);
  const std::string typed = f.FileNameEdit->Text;
  const std::string blocker = Root() + "/temp/" + s.blocker;
  switch (s.kind) {
    case Blocker::Folder:
      drive_.MakeDir(std::string("temp/") + s.blocker);
      break;
    case Blocker::LinkToListed:
      File("d/real.zip", "OLD");
      std::filesystem::create_symlink(Root() + "/d/real.zip", blocker);
      break;
    default:
      File(std::string("temp/") + s.blocker, "OLD");
      if (s.kind == Blocker::ReadOnlyFile) std::filesystem::permissions(blocker, std::filesystem::perms::owner_read);
  }
  if (*s.baseDir != '\0') f.FilesListBox->Clear();
  if (s.listedAs != nullptr) f.FilesListBox->Add(Sjis(s.listedAs));
  const Strings items = Items();
  const bool listed = s.kind == Blocker::ListedFile || s.kind == Blocker::LinkToListed;

  const bool ended = EndsDialog([&] {
    if (*s.baseDir != '\0')
      f.CreateArchive(C(s.baseDir));
    else
      f.UserClick(f.AttachBitBtn);
  });

  ASSERT_EQ(ui_.Boxes().size(), 1u);
  const auto& box = ui_.Boxes()[0];
  if (listed) {
    EXPECT_FALSE(ended) << "a clash the user can mend keeps the dialog";
    EXPECT_EQ(box.kind, vxui::BoxKind::Warning);
    const std::string listedPath = *s.baseDir != '\0' ? C(std::string(s.baseDir) + "/" + s.listedAs) : Sjis(s.listedAs);
    EXPECT_EQ(box.text, Sjis("次のファイルは添付するファイルの一つなので、圧縮ファイルで上書きできません。\r\n") +
                            listedPath + Sjis("\r\n添付ファイル名を変えてください。"));
    EXPECT_EQ(Items(), items);
    EXPECT_EQ(f.FileNameEdit->Text, typed);
    EXPECT_TRUE(f.ZipFileName().empty());
  } else if (s.kind == Blocker::UnlistedFile) {
    EXPECT_TRUE(ended);
    EXPECT_EQ(box.kind, vxui::BoxKind::Error);
    EXPECT_EQ(box.text, Sjis("書庫の形式を判別できません。"));
  } else {
    EXPECT_TRUE(ended);
    EXPECT_EQ(box.kind, vxui::BoxKind::Error);
    EXPECT_EQ(box.text, Sjis("一時フォルダにある同じ名前のファイルを削除できません。\r\n") +
                            C(std::string("temp/") + s.blocker));
    EXPECT_TRUE(f.ZipFileName().empty());
  }
  EXPECT_TRUE(arctest::Calls().empty());
  ASSERT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(blocker)));
  if (s.kind != Blocker::Folder) {
    EXPECT_EQ(drive_.ReadFile(s.kind == Blocker::LinkToListed ? "d/real.zip" : std::string("temp/") + s.blocker), "OLD");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Blockers, StaleFile,
    ::testing::Values(
        Stale{"ReadOnlyArchive", "report.lzh", false, "report.lzh", Blocker::ReadOnlyFile, nullptr, ""},
        Stale{"FolderOfTheName", "report.lzh", false, "report.lzh", Blocker::Folder, nullptr, ""},
        Stale{"SelfExtractorName", "report.exe", true, "report.exe", Blocker::ReadOnlyFile, nullptr, ""},
        Stale{"ListedArchive", "old.lzh", false, "old.lzh", Blocker::ListedFile, "C:\\temp\\old.lzh", ""},
        Stale{"ListedInOtherLetterCase", "old.lzh", false, "old.lzh", Blocker::ListedFile, "C:\\TEMP\\OLD.LZH", ""},
        Stale{"ListedThroughALink", "old.lzh", false, "old.lzh", Blocker::LinkToListed, "C:\\d\\real.zip", ""},
        Stale{"ListedSelfExtractor", "report.exe", true, "report.exe", Blocker::ListedFile, "C:\\temp\\report.exe", ""},
        Stale{"ListedIntermediateArchive", "report.exe", true, "report.lzh", Blocker::ListedFile,
              "C:\\temp\\report.lzh", ""},
        Stale{"ListedInWholeFolderMode", "temp.lzh", false, "temp.lzh", Blocker::ListedFile, "temp.lzh", "temp"},
        Stale{"NameWithoutFormat", "notes.txt", false, "notes.txt", Blocker::UnlistedFile, nullptr, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Names Windows cannot give a file keep the dialog open with a warning.
struct BadName {
  const char* name;
  const char* typed;
  const char* shown;   // the name the warning repeats
  const char* reason;
};
void PrintTo(const BadName& c, std::ostream* os) { *os << c.name; }

class ArchiveName : public Attach, public ::testing::WithParamInterface<BadName> {};

TEST_P(ArchiveName, ThatNoFileCanHaveIsRefusedAndTheDialogKept) {
  const BadName& b = GetParam();
  TZipListForm& f = Ready(formtest::kAllPacking, &TZipListForm::ZipRadioButton, Sjis(b.typed));
  const Strings items = Items();
  EXPECT_FALSE(Press(f));
  ASSERT_EQ(ui_.Boxes().size(), 1u);
  EXPECT_EQ(ui_.Boxes()[0].kind, vxui::BoxKind::Warning);
  EXPECT_EQ(ui_.Boxes()[0].buttons, Strings{"OK"});
  EXPECT_EQ(ui_.Boxes()[0].text, Sjis(std::string("この添付ファイル名は使えません: ") + b.shown + "\r\n" + b.reason));
  EXPECT_EQ(Items(), items);
  EXPECT_EQ(f.FileNameEdit->Text, Sjis(b.typed));
  EXPECT_TRUE(f.ZipFileName().empty());
  EXPECT_TRUE(arctest::Calls().empty());
}

const char kNoName[] = "ファイル名がありません。";
const char kBadEnd[] = "ファイル名の最後にピリオドや空白は使えません。";
const char kBadCharacter[] = "ファイル名に次の文字は使えません: \" * ? < > | と制御文字";
const char kDevice[] = "CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9 は Windows が装置に使う名前なので使えません。";

INSTANTIATE_TEST_SUITE_P(
    Names, ArchiveName,
    ::testing::Values(BadName{"Quote", "a\"b.zip", "a\"b.zip", kBadCharacter},
                      BadName{"Star", "a*.zip", "a*.zip", kBadCharacter},
                      BadName{"Question", "a?.zip", "a?.zip", kBadCharacter},
                      BadName{"Less", "a<b.zip", "a<b.zip", kBadCharacter},
                      BadName{"Greater", "a>b.zip", "a>b.zip", kBadCharacter},
                      BadName{"Bar", "a|b.zip", "a|b.zip", kBadCharacter},
                      BadName{"Tab", "a\tb.zip", "a\tb.zip", kBadCharacter},
                      BadName{"TwoDots", "..", "..", kNoName},
                      BadName{"OneDot", ".", ".", kNoName},
                      BadName{"Blanks", "   ", "   ", kNoName},
                      BadName{"FolderOnly", "sub\\", "", kNoName},
                      BadName{"FolderThenDots", "sub\\..", "..", kNoName},
                      BadName{"EndsInDot", "report.", "report.", kBadEnd},
                      BadName{"EndsInBlank", "report.zip ", "report.zip ", kBadEnd},
                      BadName{"Console", "CON", "CON", kDevice},
                      BadName{"NulWithExtension", "nul.zip", "nul.zip", kDevice},
                      BadName{"Port", "com1.zip", "com1.zip", kDevice},
                      BadName{"Printer", "Lpt9", "Lpt9", kDevice},
                      BadName{"AuxWithBlank", "AUX .zip", "AUX .zip", kDevice}),
    [](const auto& info) { return std::string(info.param.name); });

// Near misses are ordinary names; a double-byte character whose second byte
// is a backslash or a bar is a character like any other.
TEST_F(Attach, NamesCloseToTheRefusedOnesAreUsed) {
  for (const std::string typed : {"COM10.zip", "console.zip", "LPT0.zip", "a.b.zip", ".zip", "表ポ.zip"}) {
    SCOPED_TRACE(typed);
    TZipListForm& f = Ready(formtest::kAllPacking, &TZipListForm::ZipRadioButton, Sjis(typed));
    arctest::Reset();
    EXPECT_TRUE(Press(f));
    EXPECT_EQ(f.ZipFileName(), C("temp/") + Sjis(typed));
    EXPECT_EQ(CommandLines("Zip").size(), 1u);
  }
}

TEST_F(Attach, NameStaysInTheTemporaryFolder) {
  TZipListForm& f = Ready(formtest::kAllPacking, &TZipListForm::LhaRadioButton, "..\\..\\elsewhere.lzh");
  File("elsewhere.lzh", "keep");
  EXPECT_TRUE(Press(f));
  EXPECT_EQ(f.ZipFileName(), C("temp/elsewhere.lzh"));
  EXPECT_EQ(drive_.ReadFile("elsewhere.lzh"), "keep");
}

}  // namespace
