// The console view, checked by piping commands into vxdialog: the dialog
// and every box as text, one command a line, and the end of input.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/Scratch.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

namespace fs = std::filesystem;

std::string ThisProgramsFolder() {
  char path[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return fs::path(std::string(path, n > 0 ? static_cast<std::size_t>(n) : 0)).parent_path().string();
}

class Console : public ::testing::Test {
 protected:
  void SetUp() override {
    // A copy of the program away from bin/, so that only the test
    // libraries on the search path answer its library search.
    // Programs are in bin/ beside the test programs' folder.
    const char* given = std::getenv("VX_BIN");
    const std::string bin = given != nullptr ? given : ThisProgramsFolder() + "/../bin";
    fs::copy_file(fs::path(bin) / "vxdialog", fs::path(program_.Path()) / "vxdialog");
    libraryPath_ = bin + ":" + ThisProgramsFolder();
    root_.MakeDir("temp");
  }

  // Runs the dialog with C: on the scratch folder and the temporary folder
  // C:\temp, feeding it the lines; its whole output.
  std::string Run(const std::string& lines, const std::string& options = "") {
    const std::string in = program_.Path() + "/in", out = program_.Path() + "/out";
    std::ofstream(in) << lines;
    const std::string command = "cd '" + root_.Path() + "' && LD_LIBRARY_PATH='" + libraryPath_ + "' '" +
                                program_.Path() + "/vxdialog' '" + root_.Path() + "/temp' --drive 'C=" +
                                root_.Path() + "' " + options + " < '" + in + "' > '" + out + "' 2>&1";
    status_ = std::system(command.c_str());
    std::ifstream result(out);
    std::stringstream text;
    text << result.rdbuf();
    return text.str();
  }

  vxtest::ScratchDir program_;
  vxtest::ScratchDir root_;
  int status_ = -1;

 private:
  std::string libraryPath_;
};

TEST_F(Console, ShowsTheDialogAndAttaches) {
  vxtest::TestLibraries libs({"forms-files/ZIP32J.DLL", "full/UNLHA32.DLL"});
  root_.WriteFile("d/a.txt", "a");
  root_.WriteFile("d/b.txt", "b");
  const std::string out = Run("add d/a.txt d/b.txt\nformat zip\nselect 2\nname report.zip\nattach\n");
  EXPECT_EQ(status_, 0);
  EXPECT_THAT(out, HasSubstr("=== 圧縮して添付 ==="));
  EXPECT_THAT(out, HasSubstr("    1  C:\\d\\a.txt\n  * 2  C:\\d\\b.txt\n"));
  EXPECT_THAT(out, HasSubstr("    [a.zip]\n"));
  EXPECT_THAT(out, HasSubstr("    ( ) Lha\n    (*) Zip\n    ( ) Cab  (disabled)\n"));
  EXPECT_THAT(out, HasSubstr("[ ] 自己解凍(&S)\n"));
  EXPECT_THAT(out, HasSubstr("(圧縮して添付 closed)\n\nArchive: " + root_.Path() + "/temp/report.zip\nResult code: 0\n"));
}

TEST_F(Console, AnswersBoxesAndRefusesWhatDoesNotFit) {
  vxtest::TestLibraries libs({"forms-files/UNLHA32.DLL"});
  root_.WriteFile("docs/x.txt", "x");
  const std::string out = Run(
      "yes\n"
      "drop docs\n"
      "add docs/x.txt\n"
      "maybe\n"
      "no\n"
      "format zip\n"
      "result on\n"
      "attach\n"
      "cancel\n"
      "ok\n",
      "--type 0");
  EXPECT_THAT(out, HasSubstr("\"yes\" is not a command of the dialog 圧縮して添付."));
  EXPECT_THAT(out, HasSubstr("--- message box: 確認 (confirmation) ---\nフォルダごと圧縮しますか？\n"
                             "(「はい」を選択するとリストボックスのファイルを無視してドロップしたファイルを圧縮します)\n"));
  EXPECT_THAT(out, HasSubstr("[はい(&Y)]  [いいえ(&N)]  [キャンセル]\nanswer yes|no|cancel> add docs/x.txt\n"
                             "A message box is open: answer yes|no|cancel.\n"));
  EXPECT_THAT(out, HasSubstr("    1  C:\\docs\\x.txt\n"));
  EXPECT_THAT(out, HasSubstr("Zip  (disabled)"));
  EXPECT_THAT(out, HasSubstr("Zip is disabled."));
  EXPECT_THAT(out, HasSubstr("=== 圧縮結果 ===\n  | packed C:\\temp\\x.lzh\n"));
  EXPECT_THAT(out, HasSubstr("ok> cancel\nThe result window 圧縮結果 takes only: ok\n"));
  EXPECT_THAT(out, HasSubstr("Archive: " + root_.Path() + "/temp/x.lzh\nResult code: 0\n"));
  EXPECT_EQ(status_, 0);
}

TEST_F(Console, EndOfInputCancelsWhateverIsOpen) {
  vxtest::TestLibraries libs({"full/UNLHA32.DLL"});
  root_.WriteFile("docs/x.txt", "x");
  const std::string out = Run("drop docs\n");
  EXPECT_THAT(out, HasSubstr("answer yes|no|cancel> \n(end of input)\n"));
  EXPECT_THAT(out, HasSubstr("(圧縮して添付 closed)\n\nNo archive.\n"));
  EXPECT_THAT(out, Not(HasSubstr("x.txt\n"))) << "the cancelled drop is undone";
  EXPECT_EQ(status_, 0);
}

TEST_F(Console, DriveRootAsksForTheNameAndTypedPathsAreChecked) {
  vxtest::TestLibraries libs({"full/ZIP32J.DLL"});
  root_.WriteFile("a.txt", "a");
  const std::string out = Run(
      "add nothing.txt\n"
      "folder a.txt\n"
      "folder .\n"
      "backup\n",
      "--type 1");
  EXPECT_THAT(out, HasSubstr("No such file or folder: nothing.txt\n"));
  EXPECT_THAT(out, HasSubstr("Not a folder: a.txt\n"));
  EXPECT_THAT(out, HasSubstr("--- input box: フォルダ付きで圧縮 ---\n圧縮ファイル名を入力してください（拡張子は省略可）\n"
                             "text (an empty line cancels)> backup\n"));
  EXPECT_THAT(out, HasSubstr("Archive: " + root_.Path() + "/temp/backup.zip (no such file)\n"));
}

// An empty name is no name, in this view as in the Windows box: nothing is
// made and nothing is asked.
TEST_F(Console, DriveRootNameLeftEmptyMakesNothing) {
  vxtest::TestLibraries libs({"full/ZIP32J.DLL"});
  root_.WriteFile("a.txt", "a");
  const std::string out = Run("folder .\n\n", "--type 1");
  EXPECT_THAT(out, HasSubstr("text (an empty line cancels)> \n"));
  EXPECT_THAT(out, Not(HasSubstr("message box")));
  EXPECT_THAT(out, HasSubstr("No archive."));
}

TEST_F(Console, NamesCodePage932LacksAreRefused) {
  vxtest::TestLibraries libs({"full/UNLHA32.DLL"});
  root_.WriteFile("caf\xC3\xA9.txt", "x");
  root_.WriteFile("ok.txt", "x");
  const std::string out = Run("add ok.txt caf\xC3\xA9.txt\nok\n");
  EXPECT_THAT(out, HasSubstr("--- message box: エラー (error) ---\n"));
  EXPECT_THAT(out, HasSubstr("\nC:\\caf?.txt\n[OK]\n"));
  EXPECT_THAT(out, HasSubstr("    1  C:\\ok.txt\n"));
  EXPECT_THAT(out, Not(HasSubstr("    2  ")));
}

}  // namespace
