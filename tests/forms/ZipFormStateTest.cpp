// The attachment dialog's controls and the rules that keep format,
// self-extracting option and archive name consistent.
#include <gtest/gtest.h>

#include <functional>

#include "FormFixture.h"
#include "archives/Exceptions.h"

using namespace vx;
using formtest::FormTest;
using vxtest::Sjis;

namespace {

struct Layout {
  const char* name;
  const char* caption;  // UTF-8
  int left, top, width, height, tab;
};

TEST_F(FormTest, NewDialogHasItsControlsInPlace) {
  TZipListForm& f = Dialog();
  EXPECT_EQ(f.Caption, Sjis("圧縮して添付"));
  EXPECT_EQ(f.BorderStyle, bsDialog);
  EXPECT_EQ(f.ClientWidth, 472);
  EXPECT_EQ(f.ClientHeight, 353);
  EXPECT_EQ(f.Font.Name, Sjis("ＭＳ Ｐゴシック"));
  EXPECT_EQ(f.Font.Height, 12);
  const Layout layout[] = {
      {"ListLabel", "添付するファイル一覧 (&L)", 16, 8, 0, 0, -1},
      {"FilesListBox", "", 8, 32, 345, 217, 0},
      {"AddButton", "追加 (&A)", 360, 32, 99, 25, 1},
      {"RemoveButton", "削除 (&R)", 360, 64, 99, 25, 2},
      {"FileNameLabel", "添付ファイル名 (&F)", 16, 256, 0, 0, -1},
      {"FileNameEdit", "", 16, 272, 329, 20, 3},
      {"AttachBitBtn", "添付(&T)", 360, 104, 99, 65, 4},
      {"CancelButton", "キャンセル (&C)", 360, 216, 99, 25, 5},
      {"ShowResultCheckBox", "結果を表示(&H)", 360, 256, 97, 17, 6},
      {"SfxCheckBox", "自己解凍(&S)", 360, 280, 97, 17, 7},
      {"ArcGroupBox", "圧縮形式(&O)", 16, 304, 409, 41, 8},
      {"LhaRadioButton", "Lha", 16, 16, 49, 17, 0},
      {"ZipRadioButton", "Zip", 88, 16, 49, 17, 1},
      {"CabRadioButton", "Cab", 168, 16, 49, 17, 2},
      {"TgzRadioButton", "tar+gzip", 248, 16, 65, 17, 3},
      {"Bz2RadioButton", "tar+bzip2", 328, 16, 65, 17, 4},
      {"FolderAttachButton", "フォルダごと(&D)...", 360, 176, 99, 25, 9},
  };
  ASSERT_EQ(f.Controls().size(), std::size(layout));
  for (const Layout& l : layout) {
    SCOPED_TRACE(l.name);
    TControl* c = f.FindControl(l.name);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Caption, Sjis(l.caption));
    EXPECT_EQ(c->Left, l.left);
    EXPECT_EQ(c->Top, l.top);
    EXPECT_EQ(c->Width, l.width);
    EXPECT_EQ(c->Height, l.height);
    EXPECT_EQ(c->TabOrder, l.tab);
    EXPECT_EQ(c->Parent, std::string(l.name).find("RadioButton") != std::string::npos ? f.ArcGroupBox : nullptr);
  }
  EXPECT_EQ(f.FilesListBox->Hint, Sjis("Drag&Dropでファイルを追加できます"));
  EXPECT_EQ(f.FileNameEdit->Hint, Sjis("拡張子は自動的に設定されます。"));
  EXPECT_EQ(f.SfxCheckBox->Hint, Sjis("LHa, Zip, Cab のみ作成可能です"));
  EXPECT_TRUE(f.FilesListBox->MultiSelect);
  EXPECT_EQ(f.FilesListBox->ItemHeight, 12);
  EXPECT_EQ(f.ListLabel->FocusControl, f.FilesListBox);
  EXPECT_EQ(f.FileNameLabel->FocusControl, f.FileNameEdit);
  EXPECT_EQ(f.CancelButton->ModalResult, mrCancel);
}

TEST_F(FormTest, NewDialogIsLhaWithNothingCheckedAndAcceptsDrops) {
  TZipListForm& f = Dialog();
  EXPECT_EQ(f.ArchiveType(), 0);
  EXPECT_EQ(f.ArchiveExt(), ".lzh");
  for (TRadioButton* b : {f.LhaRadioButton, f.ZipRadioButton, f.CabRadioButton, f.TgzRadioButton, f.Bz2RadioButton}) {
    EXPECT_FALSE(b->Checked()) << b->Name;
    EXPECT_TRUE(b->Enabled) << b->Name;
  }
  for (TCheckBox* b : {f.SfxCheckBox, f.ShowResultCheckBox}) {
    EXPECT_FALSE(b->Checked()) << b->Name;
    EXPECT_TRUE(b->Enabled) << b->Name;
  }
  EXPECT_TRUE(f.ZipFileName().empty());
  EXPECT_TRUE(vxui::AcceptsDrops(f.Handle()));
  EXPECT_TRUE(ui_.Boxes().empty());
}

TEST_F(FormTest, AddNamesTheArchiveAfterTheFirstFileAsLha) {
  File("d/report.doc");
  File("d/data.csv");
  TZipListForm& f = Dialog();
  ui_.AnswerOpen({C("d/report.doc"), C("d/data.csv")});
  ASSERT_TRUE(f.UserClick(f.AddButton));
  EXPECT_EQ(Items(), (std::vector<std::string>{C("d/report.doc"), C("d/data.csv")}));
  EXPECT_EQ(f.FileNameEdit->Text, "report.lzh");
  EXPECT_FALSE(f.LhaRadioButton->Checked());
}

struct Availability {
  const char* name;
  std::vector<std::string> libraries;
  int mask;
  bool lha, zip, cab, tar;
};
void PrintTo(const Availability& c, std::ostream* os) { *os << c.name; }

class AvailableTypes : public FormTest, public ::testing::WithParamInterface<Availability> {};

TEST_P(AvailableTypes, EnableTheButtonsOfTheLibrariesPresent) {
  const Availability& a = GetParam();
  Libraries(a.libraries);
  EXPECT_EQ(CheckArchiverDlls(), a.mask);
  TZipListForm& f = Dialog(a.libraries);
  EXPECT_EQ(f.LhaRadioButton->Enabled, a.lha);
  EXPECT_EQ(f.ZipRadioButton->Enabled, a.zip);
  EXPECT_EQ(f.CabRadioButton->Enabled, a.cab);
  EXPECT_EQ(f.TgzRadioButton->Enabled, a.tar);
  EXPECT_EQ(f.Bz2RadioButton->Enabled, a.tar);
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, AvailableTypes,
    ::testing::Values(Availability{"All", formtest::kAllPacking, 15, true, true, true, true},
                      Availability{"OnlyTar", {"full/tar32.dll"}, 8, false, false, false, true},
                      Availability{"LhaAndCab", {"full/UNLHA32.DLL", "full/CAB32.DLL"}, 5, true, false, true, false},
                      Availability{"UnzipIsNoPackingLibrary", {"full/UNZIP32.DLL"}, 0, false, false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormTest, AvailableTypesAreOnlyEverAdded) {
  TZipListForm& f = Dialog({"full/tar32.dll"});
  f.SetAvailableTypes(2);
  EXPECT_TRUE(f.ZipRadioButton->Enabled);
  EXPECT_TRUE(f.TgzRadioButton->Enabled) << "TAR stays available";
  EXPECT_FALSE(f.LhaRadioButton->Enabled);
}

TEST_F(FormTest, OnlyTarSelfExtractingDisablesTheTarButtons) {
  TZipListForm& f = Dialog({"full/tar32.dll"});
  ASSERT_TRUE(f.UserClick(f.SfxCheckBox));
  EXPECT_TRUE(f.SfxCheckBox->Checked());
  EXPECT_FALSE(f.TgzRadioButton->Enabled);
  EXPECT_FALSE(f.Bz2RadioButton->Enabled);
  EXPECT_FALSE(f.UserClick(f.TgzRadioButton)) << "a disabled button takes no click";
  ASSERT_TRUE(f.UserClick(f.SfxCheckBox));
  EXPECT_TRUE(f.TgzRadioButton->Enabled);
  EXPECT_TRUE(f.Bz2RadioButton->Enabled);
  EXPECT_TRUE(ui_.Boxes().empty());
}

TEST_F(FormTest, TarFormatClearsAndDisablesBothBoxes) {
  TZipListForm& f = Dialog({"full/tar32.dll"});
  ASSERT_TRUE(f.UserClick(f.ShowResultCheckBox));
  ASSERT_TRUE(f.UserClick(f.TgzRadioButton));
  EXPECT_EQ(f.ArchiveType(), 3);
  EXPECT_FALSE(f.ShowResultCheckBox->Checked());
  EXPECT_FALSE(f.ShowResultCheckBox->Enabled);
  EXPECT_FALSE(f.SfxCheckBox->Checked());
  EXPECT_FALSE(f.SfxCheckBox->Enabled);
  EXPECT_TRUE(ui_.Boxes().empty()) << "no message while self-extracting was off";
}

TEST_F(FormTest, TarFormatWithSelfExtractingOnSaysSoAndSwitchesItOff) {
  TZipListForm& f = Dialog();
  f.FileNameEdit->Text = "report.zip";
  f.SetArchiveType(1);
  f.SfxCheckBox->SetChecked(true);
  ASSERT_EQ(f.FileNameEdit->Text, "report.exe");
  // The dialog's own code may check a button its rules disabled.
  f.TgzRadioButton->SetChecked(true);
  ASSERT_EQ(ui_.Boxes().size(), 1u);
  EXPECT_EQ(ui_.Boxes()[0].kind, vxui::BoxKind::Error);
  EXPECT_EQ(ui_.Boxes()[0].caption, Sjis("エラー"));
  EXPECT_EQ(ui_.Boxes()[0].text, Sjis("この形式では自己解凍ファイルが作成できません。"));
  EXPECT_FALSE(f.SfxCheckBox->Checked());
  EXPECT_FALSE(f.SfxCheckBox->Enabled);
  EXPECT_FALSE(f.ShowResultCheckBox->Enabled);
  EXPECT_EQ(f.FileNameEdit->Text, "report.tgz");
  // Back to a format that can: both boxes come back.
  ASSERT_TRUE(f.UserClick(f.CabRadioButton));
  EXPECT_TRUE(f.SfxCheckBox->Enabled);
  EXPECT_TRUE(f.ShowResultCheckBox->Enabled);
  EXPECT_EQ(f.FileNameEdit->Text, "report.cab");
}

TEST_F(FormTest, IsSfxOnATarFormatIsRefusedOnce) {
  TZipListForm& f = Dialog();
  f.SetArchiveType(4);
  f.SetIsSfx(true);
  ASSERT_EQ(ui_.Boxes().size(), 1u);
  EXPECT_EQ(ui_.Boxes()[0].text, Sjis("この形式では自己解凍ファイルが作成できません。"));
  EXPECT_FALSE(f.IsSfx());
  EXPECT_TRUE(f.Bz2RadioButton->Enabled);
}

// A dialog action, and the name expected afterwards.
struct Step {
  std::string action;
  std::string name;
};

void Do(TZipListForm& f, const std::string& action) {
  if (action == "lha") f.UserClick(f.LhaRadioButton);
  else if (action == "zip") f.UserClick(f.ZipRadioButton);
  else if (action == "cab") f.UserClick(f.CabRadioButton);
  else if (action == "tgz") f.UserClick(f.TgzRadioButton);
  else if (action == "bz2") f.UserClick(f.Bz2RadioButton);
  else if (action == "sfx" || action == "unsfx") f.UserClick(f.SfxCheckBox);
  else if (action.rfind("type ", 0) == 0) f.UserEnterText(f.FileNameEdit, action.substr(5));
  else FAIL() << action;
}

struct Renaming {
  const char* name;
  std::vector<Step> steps;
};
void PrintTo(const Renaming& c, std::ostream* os) { *os << c.name; }

class NameRule : public FormTest, public ::testing::WithParamInterface<Renaming> {};

TEST_P(NameRule, FollowsFormatAndSelfExtracting) {
  TZipListForm& f = Dialog();
  for (const Step& step : GetParam().steps) {
    Do(f, step.action);
    EXPECT_EQ(f.FileNameEdit->Text, step.name) << "after " << step.action;
  }
  EXPECT_TRUE(ui_.Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, NameRule,
    ::testing::Values(
        Renaming{"ZipCabSfxAndBack",
                 {{"zip", ""}, {"type report.zip", "report.zip"}, {"cab", "report.cab"}, {"sfx", "report.exe"},
                  {"unsfx", "report.cab"}}},
        Renaming{"NoExtensionGetsOne", {{"type report", "report"}, {"lha", "report.lzh"}}},
        Renaming{"LastExtensionReplaced", {{"type my.notes", "my.notes"}, {"lha", "my.lzh"}}},
        Renaming{"TypedNameKeptUntilARuleRuns",
                 {{"zip", ""}, {"type report", "report"}, {"zip", "report"}, {"cab", "report.cab"}}},
        Renaming{"DotInAFolderIsNoExtension", {{"type C:\\my.dir\\name", "C:\\my.dir\\name"}, {"lha", "C:\\my.dir\\name.lzh"}}},
        Renaming{"TrailByteIsNoSeparator", {{"type " + Sjis("a.b表"), Sjis("a.b表")}, {"zip", Sjis("a.zip")}}},
        Renaming{"TarKeepsTheName", {{"type x.lzh", "x.lzh"}, {"tgz", "x.tgz"}, {"sfx", "x.tgz"}, {"bz2", "x.bz2"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormTest, ArchiveTypeSetterSelectsChecksAndRenames) {
  TZipListForm& f = Dialog();
  f.FileNameEdit->Text = "a";
  const struct {
    int type;
    const char* ext;
    const char* mime;
    TRadioButton* TZipListForm::*button;
  } types[] = {{0, ".lzh", "application/x-lha", &TZipListForm::LhaRadioButton},
               {1, ".zip", "application/zip", &TZipListForm::ZipRadioButton},
               {2, ".cab", "application/x-compressed", &TZipListForm::CabRadioButton},
               {3, ".tgz", "application/x-compressed", &TZipListForm::TgzRadioButton},
               {4, ".bz2", "application/x-compressed", &TZipListForm::Bz2RadioButton}};
  for (const auto& t : types) {
    f.SetArchiveType(t.type);
    EXPECT_EQ(f.ArchiveType(), t.type);
    EXPECT_TRUE((f.*t.button)->Checked());
    EXPECT_EQ(f.ArchiveExt(), t.ext);
    EXPECT_EQ(f.MimeType(), t.mime);
    EXPECT_EQ(f.FileNameEdit->Text, std::string("a") + t.ext);
  }
  f.SetArchiveType(-1);
  f.SetArchiveType(5);
  EXPECT_EQ(f.ArchiveType(), 4) << "values outside 0 to 4 change nothing";
  EXPECT_TRUE(ui_.Boxes().empty());
}

TEST_F(FormTest, ArchiveTypeOfAMissingLibraryIsRefused) {
  TZipListForm& f = Dialog({"full/UNLHA32.DLL"});
  f.SetArchiveType(1);
  ASSERT_EQ(ui_.Boxes().size(), 1u);
  EXPECT_EQ(ui_.Boxes()[0].kind, vxui::BoxKind::Error);
  EXPECT_EQ(ui_.Boxes()[0].text, Sjis("圧縮に必要なDLLが見つかりません。"));
  EXPECT_EQ(ui_.Boxes()[0].buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(f.ArchiveType(), 0);
  EXPECT_FALSE(f.ZipRadioButton->Checked());
  EXPECT_FALSE(f.LhaRadioButton->Checked());
}

TEST_F(FormTest, CheckedButtonClickedAgainRunsNoRule) {
  TZipListForm& f = Dialog();
  f.UserClick(f.ZipRadioButton);
  f.UserEnterText(f.FileNameEdit, "typed");
  f.UserClick(f.ZipRadioButton);
  EXPECT_EQ(f.FileNameEdit->Text, "typed");
  EXPECT_TRUE(f.ZipRadioButton->Checked());
  f.UserClick(f.LhaRadioButton);
  EXPECT_FALSE(f.ZipRadioButton->Checked()) << "the group keeps one button checked";
}

}  // namespace

namespace {

// Whatever a handler throws, the dialog shows an error box and goes on.
TEST_F(FormTest, AnyErrorOfAHandlerEndsInAnErrorBoxAndTheDialogGoesOn) {
  struct Thrown {
    const char* name;
    std::function<void()> raise;
    std::string shown;
  };
  const Thrown cases[] = {
      {"error object", [] { throw EArchiver(Sjis("書庫の形式を判別できません。")); },
       Sjis("書庫の形式を判別できません。")},
      {"no error object", [] { throw 42; }, Sjis("予期しないエラーが発生しました。")},
  };
  for (const Thrown& c : cases) {
    SCOPED_TRACE(c.name);
    TZipListForm& f = Dialog();
    f.RemoveButton->OnClick = [&c](TObject*) { c.raise(); };
    EXPECT_TRUE(f.UserClick(f.RemoveButton));
    ASSERT_FALSE(ui_.Boxes().empty());
    EXPECT_EQ(ui_.Boxes().back().kind, vxui::BoxKind::Error);
    EXPECT_EQ(ui_.Boxes().back().text, c.shown);
    EXPECT_TRUE(f.UserClick(f.AddButton)) << "the dialog still answers";
  }
}

}  // namespace
