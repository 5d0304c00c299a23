// The attachment dialog's file list: Add, Remove, the Delete key, the
// double-click, drops from the shell and whole folders.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "FormFixture.h"

using namespace vx;
using formtest::FormTest;
using ::testing::HasSubstr;
using vxtest::Sjis;

namespace {

using Strings = std::vector<std::string>;

const char kFolderQuestion[] =
    "フォルダごと圧縮しますか？\r\n"
    "(「はい」を選択するとリストボックスのファイルを無視してドロップしたファイルを圧縮します)\r\n"
    "(「いいえ」を選択するとフォルダ内のファイル全てをリストボックスに追加します)";

class FileList : public FormTest {
 protected:
  // A dialog holding these files (created below C:) added with Add.
  TZipListForm& DialogWith(const Strings& files, const std::vector<std::string>& libraries = formtest::kAllPacking) {
    TZipListForm& f = Dialog(libraries);
    Strings paths;
    for (const std::string& file : files) {
      File(file);
      paths.push_back(C(file));
    }
    if (!paths.empty()) {
      ui_.AnswerOpen(paths);
      f.UserClick(f.AddButton);
    }
    return f;
  }
  // A folder C:\Work\Docs with two files, one in a subfolder.
  void Docs() {
    File("Work/Docs/x.txt");
    File("Work/Docs/sub/y.txt");
  }
};

TEST_F(FileList, AddAppendsAndRenamesAfterTheFirstItem) {
  TZipListForm& f = DialogWith({"d/one.txt"});
  File("d/two.txt");
  File("e/three.txt");
  f.UserEnterText(f.FileNameEdit, "typed");
  ui_.AnswerOpen({C("d/two.txt"), C("e/three.txt")});
  ASSERT_TRUE(f.UserClick(f.AddButton));
  EXPECT_EQ(Items(), (Strings{C("d/one.txt"), C("d/two.txt"), C("e/three.txt")}));
  EXPECT_EQ(f.FileNameEdit->Text, "one.lzh");
  EXPECT_EQ(ui_.OpenTitles(), (Strings{"", ""})) << "the open dialog has no title of its own";
}

TEST_F(FileList, AddCancelledChangesNothing) {
  TZipListForm& f = DialogWith({"d/one.txt"});
  f.UserEnterText(f.FileNameEdit, "typed");
  ui_.CancelOpen();
  f.UserClick(f.AddButton);
  EXPECT_EQ(Items(), Strings{C("d/one.txt")});
  EXPECT_EQ(f.FileNameEdit->Text, "typed");
}

TEST_F(FileList, RemoveAndTheDeleteKeyDropTheSelectedItems) {
  TZipListForm& f = DialogWith({"a", "b", "c", "d"});
  f.UserClick(f.RemoveButton);
  EXPECT_EQ(Items().size(), 4u) << "nothing selected, nothing removed";
  ASSERT_TRUE(f.UserSelect(f.FilesListBox, {0, 2}));
  f.UserClick(f.RemoveButton);
  EXPECT_EQ(Items(), (Strings{C("b"), C("d")}));
  ASSERT_TRUE(f.UserSelect(f.FilesListBox, {1}));
  f.UserKeyDown(f.FilesListBox, 'D', 0);
  EXPECT_EQ(Items().size(), 2u) << "other keys are the list's own";
  f.UserKeyDown(f.FilesListBox, VK_DELETE, ssCtrl | ssShift);
  EXPECT_EQ(Items(), Strings{C("b")});
}

TEST_F(FileList, DoubleClickNamesTheArchiveAfterTheItem) {
  TZipListForm& f = DialogWith({"d/first.txt", "d/second.doc"});
  f.UserClick(f.ZipRadioButton);
  ASSERT_TRUE(f.UserDblClick(f.FilesListBox, 1));
  EXPECT_EQ(f.FileNameEdit->Text, "second.zip");
  f.UserClick(f.SfxCheckBox);
  f.UserDblClick(f.FilesListBox, 0);
  EXPECT_EQ(f.FileNameEdit->Text, "first.exe");
  f.FilesListBox->Clear();
  f.FilesListBoxDblClick(f.FilesListBox);
  EXPECT_EQ(f.FileNameEdit->Text, "first.exe") << "no current item, nothing happens";
}

TEST_F(FileList, DroppedFilesAreAppendedAndNameTheArchiveOnlyWhenItHasNone) {
  TZipListForm& f = DialogWith({"a", "b", "c"});
  File("drop/x.txt");
  File("drop/y.txt");
  f.UserEnterText(f.FileNameEdit, "mine");
  Drop({C("drop/x.txt"), C("drop/y.txt")});
  EXPECT_EQ(Items(), (Strings{C("a"), C("b"), C("c"), C("drop/x.txt"), C("drop/y.txt")}));
  EXPECT_EQ(f.FileNameEdit->Text, "mine.lzh") << "the format rule runs after a drop";

  f.FilesListBox->Clear();
  f.UserEnterText(f.FileNameEdit, "");
  Drop({C("drop/y.txt")});
  EXPECT_EQ(f.FileNameEdit->Text, "y.lzh");
  EXPECT_TRUE(ui_.Boxes().empty());
}

TEST_F(FileList, FolderAnsweredNoAddsEverythingBelowAndAsksOnce) {
  TZipListForm& f = DialogWith({"z.txt"});
  File("a/a.txt");
  File("a/.hidden");
  File("a/sub/deep/b.txt");
  drive_.MakeDir("a/empty");
  File("b/c.txt");
  ui_.AnswerBox(IDNO);
  Drop({C("a"), C("b")});
  EXPECT_EQ(Items(), (Strings{C("z.txt"), C("a/.hidden"), C("a/a.txt"), C("a/sub/deep/b.txt"), C("b/c.txt")}));
  ASSERT_EQ(ui_.Boxes().size(), 1u);
  const auto& box = ui_.Boxes()[0];
  EXPECT_EQ(box.kind, vxui::BoxKind::Confirmation);
  EXPECT_EQ(box.caption, Sjis("確認"));
  EXPECT_EQ(box.text, Sjis(kFolderQuestion));
  EXPECT_EQ(box.buttons, (Strings{Sjis("はい(&Y)"), Sjis("いいえ(&N)"), Sjis("キャンセル")}));
  EXPECT_EQ(vxposix::ForegroundLog(), (std::vector<HWND>{f.Handle(), f.Handle()}));
  EXPECT_TRUE(CommandLines("Unlha").empty());
}

TEST_F(FileList, OneFolderAnsweredYesIsAttachedAsAWhole) {
  TZipListForm& f = DialogWith({"old.txt"});
  Docs();
  ui_.AnswerBox(IDYES);
  EXPECT_TRUE(EndsDialog([&] { Drop({C("Work/Docs")}); }));
  EXPECT_EQ(Items(), (Strings{"sub\\y.txt", "x.txt"}));
  EXPECT_EQ(f.FileNameEdit->Text, "Docs.lzh");
  EXPECT_EQ(f.ZipFileName(), C("temp/Docs.lzh"));
  const Strings lines = CommandLines("Unlha");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_THAT(lines[0], HasSubstr("-x1"));
  EXPECT_THAT(lines[0], HasSubstr("\"" + C("temp/Docs.lzh") + "\" \"" + C("Work/Docs/") + "\" \"sub\\y.txt\" \"x.txt\""));
}

TEST_F(FileList, FileAndFolderAnsweredYesUseTheirCommonParent) {
  TZipListForm& f = DialogWith({"old.txt"});
  Docs();
  File("Work/note.txt");
  ui_.AnswerBox(IDYES);
  Drop({C("Work/note.txt"), C("Work/Docs")});
  EXPECT_EQ(Items(), (Strings{"note.txt", "Docs\\sub\\y.txt", "Docs\\x.txt"}));
  EXPECT_EQ(f.FileNameEdit->Text, "Work.lzh");
  const Strings lines = CommandLines("Unlha");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_THAT(lines[0], HasSubstr("\"" + C("Work/") + "\" \"note.txt\""));
}

TEST_F(FileList, CancelUndoesTheWholeDrop) {
  TZipListForm& f = DialogWith({"kept.txt"});
  Docs();
  File("Work/note.txt");
  f.UserEnterText(f.FileNameEdit, "typed");
  ui_.AnswerBox(IDCANCEL);
  EXPECT_FALSE(EndsDialog([&] { Drop({C("Work/note.txt"), C("Work/Docs"), C("Work/note.txt")}); }));
  EXPECT_EQ(Items(), Strings{C("kept.txt")});
  EXPECT_EQ(f.FileNameEdit->Text, "typed") << "nothing else changes";
  EXPECT_EQ(ui_.Boxes().size(), 1u);
}

TEST_F(FileList, FolderButtonAttachesTheChosenFolder) {
  TZipListForm& f = DialogWith({"old.txt"});
  Docs();
  f.UserClick(f.CabRadioButton);
  ui_.AnswerFolder(C("Work/Docs"));
  EXPECT_TRUE(EndsDialog([&] { f.UserClick(f.FolderAttachButton); }));
  EXPECT_EQ(ui_.FolderTitles(), Strings{Sjis("圧縮して添付するフォルダを選択してください")});
  EXPECT_EQ(Items(), (Strings{"sub\\y.txt", "x.txt"}));
  EXPECT_EQ(f.FileNameEdit->Text, "Docs.cab");
  EXPECT_EQ(f.ZipFileName(), C("temp/Docs.cab"));
  EXPECT_EQ(CommandLines("Cab").size(), 1u);
}

TEST_F(FileList, FolderButtonCancelledChangesNothing) {
  TZipListForm& f = DialogWith({"old.txt"});
  ui_.CancelFolder();
  EXPECT_FALSE(EndsDialog([&] { f.UserClick(f.FolderAttachButton); }));
  EXPECT_EQ(Items(), Strings{C("old.txt")});
}

TEST_F(FileList, DriveRootAsksForTheArchiveName) {
  TZipListForm& f = Dialog();
  File("a.txt");
  File("sub/b.txt");
  f.UserClick(f.ZipRadioButton);
  ui_.AnswerFolder("C:\\");
  ui_.AnswerInput("other\\backup");
  f.UserClick(f.FolderAttachButton);
  ASSERT_EQ(ui_.Inputs().size(), 1u);
  EXPECT_EQ(ui_.Inputs()[0].caption, Sjis("フォルダ付きで圧縮"));
  EXPECT_EQ(ui_.Inputs()[0].prompt, Sjis("圧縮ファイル名を入力してください（拡張子は省略可）"));
  EXPECT_EQ(ui_.Inputs()[0].initial, "");
  EXPECT_EQ(f.FileNameEdit->Text, "backup.zip");
  EXPECT_EQ(Items(), (Strings{"a.txt", "sub\\b.txt"}));
  EXPECT_EQ(f.ZipFileName(), C("temp/backup.zip"));
  EXPECT_EQ(CommandLines("Zip").size(), 1u);
}

// Cancel, and an answer that holds no name (nothing, or a folder alone),
// make nothing: the name would be the extension alone.
TEST_F(FileList, DriveRootNameCancelledOrEmptyStopsWithRelativePaths) {
  for (const char* answer : {static_cast<const char*>(nullptr), "", "sub\\"}) {
    SCOPED_TRACE(answer == nullptr ? "cancel" : answer);
    TZipListForm& f = Dialog();
    File("a.txt");
    File("sub/b.txt");
    f.UserClick(f.ZipRadioButton);
    ui_.AnswerFolder("C:\\");
    if (answer == nullptr)
      ui_.CancelInput();
    else
      ui_.AnswerInput(answer);
    EXPECT_FALSE(EndsDialog([&] { f.UserClick(f.FolderAttachButton); })) << "the dialog stays open";
    EXPECT_EQ(Items(), (Strings{"a.txt", "sub\\b.txt"}));
    EXPECT_EQ(f.FileNameEdit->Text, "");
    EXPECT_TRUE(f.ZipFileName().empty());
    EXPECT_TRUE(arctest::Calls().empty());
    EXPECT_TRUE(ui_.Boxes().empty());
  }
}

TEST_F(FileList, LinksBackUpTheTreeAreWalkedOnce) {
  namespace fs = std::filesystem;
  TZipListForm& f = Dialog();
  File("top/loop/a.txt");
  File("top/loop/sub/b.txt");
  File("top/other.txt");
  const fs::path loop = fs::path(Root()) / "top/loop";
  fs::create_directory_symlink(".", loop / "self");
  fs::create_directory_symlink("..", loop / "up");
  fs::create_directory_symlink("..", loop / "sub/back");
  f.AddFolderFiles(C("top/loop"));
  EXPECT_EQ(Items(), (Strings{C("top/loop/a.txt"), C("top/loop/sub/b.txt"), C("top/loop/up/other.txt")}));
  f.AddFolderFiles(C("top/loop"));
  EXPECT_EQ(Items().size(), 6u) << "each call walks afresh";
}

TEST_F(FileList, TwoLinksToOneFolderListItsFilesUnderBoth) {
  namespace fs = std::filesystem;
  TZipListForm& f = Dialog();
  File("d/a.txt");
  File("e/f.txt");
  const fs::path d = fs::path(Root()) / "d";
  fs::create_directory_symlink("../e", d / "l1");
  fs::create_directory_symlink("../e", d / "l2");
  f.AddFolderFiles(C("d"));
  Strings items = Items();
  std::sort(items.begin(), items.end());
  EXPECT_EQ(items, (Strings{C("d/a.txt"), C("d/l1/f.txt"), C("d/l2/f.txt")}));
}

TEST_F(FileList, NamesTheCommandLineCannotCarryAreRefused) {
  TZipListForm& f = Dialog();
  File("d/good.txt");
  File("d/say\"hi\".txt");
  File("d/two\nlines.txt");
  ui_.AnswerBox(IDNO);
  Drop({C("d")});
  EXPECT_EQ(Items(), Strings{C("d/good.txt")});
  ASSERT_EQ(ui_.Boxes().size(), 2u);
  const auto& refusal = ui_.Boxes()[1];
  EXPECT_EQ(refusal.kind, vxui::BoxKind::Error);
  EXPECT_THAT(refusal.text, HasSubstr(C("d/say\"hi\".txt")));
  EXPECT_THAT(refusal.text, HasSubstr(C("d/two\nlines.txt")));

  // A character code page 932 lacks reaches the module as "?".
  ui_.AnswerOpen({C("d/good.txt"), "C:\\d\\caf?.txt"});
  f.UserClick(f.AddButton);
  Drop({"C:\\d\\menu*.txt"});
  EXPECT_EQ(Items(), (Strings{C("d/good.txt"), C("d/good.txt")}));
  ASSERT_EQ(ui_.Boxes().size(), 4u);
  EXPECT_THAT(ui_.Boxes()[2].text, HasSubstr("C:\\d\\caf?.txt"));
  EXPECT_THAT(ui_.Boxes()[3].text, HasSubstr("C:\\d\\menu*.txt"));
}

}  // namespace
