// An archive too large for many mail servers: the size it has in the
// message, and the question asked before it is sent, whose No keeps the
// dialog as the user left it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "FormFixture.h"
#include "forms/AttachSize.h"

using namespace vx;
using formtest::FormTest;
using ::testing::StartsWith;
using vxtest::Sjis;

namespace {

using Strings = std::vector<std::string>;
constexpr std::uint64_t kMiB = 1024 * 1024;

TEST(AttachSize, MessagePartIsBase64InLinesOf76WithCrLf) {
  const struct {
    std::uint64_t size, part;
  } cases[] = {
      {0, 0}, {1, 6}, {3, 6}, {4, 10},
      {57, 78},           // one full line
      {58, 84},           // a second line begins
      {114, 156},         // two full lines
      {3 * kMiB, 4 * kMiB + 2 * ((4 * kMiB + 75) / 76)},
      {5000000000ull, 6666666668ull + 2 * 87719299ull},  // beyond 4 GiB
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    EXPECT_EQ(MessagePartSize(c.size), c.part);
  }
}

TEST(AttachSize, WarnsOnlyBeyondTheLimitAndNeverAtZero) {
  const struct {
    std::uint64_t part;
    int limit;
    bool warns;
  } cases[] = {
      {10 * kMiB, 10, false}, {10 * kMiB + 1, 10, true}, {1, 1, false}, {kMiB + 1, 1, true},
      {5000000000ull, 0, false}, {5000000000ull, -1, false}, {5000000000ull, 4096, true},
      {5000000000ull, 2147483647, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.part << " against " << c.limit);
    EXPECT_EQ(PartTooLarge(c.part, c.limit), c.warns);
  }
}

TEST(AttachSize, MegabytesWithOneRoundedDecimal) {
  const struct {
    std::uint64_t size;
    const char* text;
  } cases[] = {
      {0, "0.0 MB"},           {kMiB / 20 - 1, "0.0 MB"}, {kMiB / 20 + 1, "0.1 MB"},
      {kMiB, "1.0 MB"},        {kMiB * 5 / 4, "1.3 MB"},  {12 * kMiB, "12.0 MB"},
      {10 * kMiB - 1, "10.0 MB"}, {5000000000ull, "4768.4 MB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    EXPECT_EQ(MegabyteText(c.size), c.text);
  }
}

// The library pads the archive it packs by this many bytes while it lives.
class PackPadding {
 public:
  explicit PackPadding(std::uint64_t bytes) { setenv("VXTEST_PACK_PAD", std::to_string(bytes).c_str(), 1); }
  ~PackPadding() { unsetenv("VXTEST_PACK_PAD"); }
  PackPadding(const PackPadding&) = delete;
  PackPadding& operator=(const PackPadding&) = delete;
};

class SizeQuestion : public FormTest {
 protected:
  using ScriptedBox = vxui::ScriptedBackend::Box;

  // C:\d\a.txt and C:\d\b.txt to be sent as report.zip (or report.lzh).
  TZipListForm& Ready(const std::string& library = "forms-files/ZIP32J.DLL") {
    TZipListForm& f = Dialog({library});
    File("d/a.txt");
    File("d/b.txt");
    ui_.AnswerOpen({C("d/a.txt"), C("d/b.txt")});
    f.UserClick(f.AddButton);
    const bool lha = library.find("UNLHA32") != std::string::npos;
    f.UserClick(lha ? f.LhaRadioButton : f.ZipRadioButton);
    f.UserEnterText(f.FileNameEdit, lha ? "report.lzh" : "report.zip");
    return f;
  }
  // Attach pressed in the dialog's loop: true when it ended the loop;
  // Shown tells whether the dialog was on screen afterwards.
  bool Press(TZipListForm& f, bool* Shown = nullptr) {
    return EndsDialog([&] {
      f.UserClick(f.AttachBitBtn);
      if (Shown != nullptr) *Shown = f.Visible();
    });
  }
  bool InTemp(const std::string& name) const { return std::filesystem::exists(Root() + "/temp/" + name); }
  std::vector<ScriptedBox> SizeBoxes() const {
    std::vector<ScriptedBox> found;
    for (const auto& box : ui_.Boxes())
      if (box.text.find(Sjis("圧縮ファイルの大きさ: ")) == 0) found.push_back(box);
    return found;
  }
};

TEST_F(SizeQuestion, ALargeArchiveIsSentOnlyWhenTheUserSaysYes) {
  for (const int answer : {IDYES, IDNO}) {
    SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
    TZipListForm& f = Ready();
    const PackPadding pad(12 * kMiB);
    ui_.AnswerBox(answer);
    const std::size_t before = SizeBoxes().size();
    bool shown = false;
    const bool ended = Press(f, &shown);
    const auto boxes = SizeBoxes();
    ASSERT_EQ(boxes.size(), before + 1);
    const ScriptedBox& box = boxes.back();
    EXPECT_EQ(box.kind, vxui::BoxKind::Confirmation);
    EXPECT_EQ(box.caption, Sjis("確認"));
    // 12 MiB and the two names: 12.0 MB, about 16.4 MB as base64 lines.
    EXPECT_EQ(box.text, Sjis("圧縮ファイルの大きさ: 12.0 MB\r\n"
                                  "メールでの大きさ: 約 16.4 MB\r\n"
                                  "大きなメールは相手のメールサーバーで受け取りを拒否されることがあります。"
                                  "このまま添付しますか？"));
    EXPECT_EQ(box.buttons, (Strings{Sjis("はい(&Y)"), Sjis("いいえ(&N)")}));
    if (answer == IDYES) {
      EXPECT_TRUE(ended);
      EXPECT_EQ(f.ZipFileName(), C("temp/report.zip"));
      EXPECT_TRUE(InTemp("report.zip"));
      EXPECT_TRUE(f.Packed());
    } else {
      // Nothing to send, nothing left behind, and the dialog as it was.
      EXPECT_FALSE(ended);
      EXPECT_TRUE(shown);
      EXPECT_TRUE(f.ZipFileName().empty());
      EXPECT_FALSE(f.Packed());
      EXPECT_FALSE(InTemp("report.zip"));
      EXPECT_EQ(Items(), (Strings{C("d/a.txt"), C("d/b.txt")}));
      EXPECT_EQ(f.FileNameEdit->Text, "report.zip");
      EXPECT_TRUE(f.ZipRadioButton->Checked());
      EXPECT_EQ(f.ArchiveType(), 1);
      // And it can be tried again.
      ui_.AnswerBox(IDYES);
      EXPECT_TRUE(Press(f));
      EXPECT_EQ(f.ZipFileName(), C("temp/report.zip"));
      EXPECT_TRUE(InTemp("report.zip"));
    }
    EXPECT_EQ(ui_.Unused(), 0u);
    std::filesystem::remove(Root() + "/temp/report.zip");
  }
}

TEST_F(SizeQuestion, NotAskedWithinTheLimitOrWithTheWarningOff) {
  const struct {
    const char* name;
    std::uint64_t pad;
    int limit;
    bool asks;
  } cases[] = {
      {"small archive", 1000, kDefaultWarnSizeMB, false},
      {"just within 1 MB of message", 760000, 1, false},
      {"just beyond 1 MB of message", 800000, 1, true},
      {"warning off", 12 * kMiB, 0, false},
      {"negative limit is the default", 12 * kMiB, -5, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t before = SizeBoxes().size();
    TZipListForm& f = Ready();
    f.SetWarnSizeMB(c.limit);
    const PackPadding pad(c.pad);
    if (c.asks) ui_.AnswerBox(IDYES);
    EXPECT_TRUE(Press(f));
    EXPECT_EQ(SizeBoxes().size(), before + (c.asks ? 1 : 0));
    EXPECT_TRUE(InTemp("report.zip"));
    std::filesystem::remove(Root() + "/temp/report.zip");
  }
}

TEST_F(SizeQuestion, ASelfExtractingProgramDeclinedIsRemovedToo) {
  TZipListForm& f = Ready("forms-files/UNLHA32.DLL");
  f.UserClick(f.SfxCheckBox);
  const PackPadding pad(12 * kMiB);
  ui_.AnswerBox(IDNO);
  bool shown = false;
  EXPECT_FALSE(Press(f, &shown));
  EXPECT_TRUE(shown);
  ASSERT_EQ(SizeBoxes().size(), 1u);
  EXPECT_THAT(SizeBoxes()[0].text, StartsWith(Sjis("圧縮ファイルの大きさ: 12.0 MB\r\n")));
  EXPECT_EQ(CommandLines("Unlha").size(), 2u) << "packed and converted before the question";
  EXPECT_FALSE(InTemp("report.lzh"));
  EXPECT_FALSE(InTemp("report.exe"));
  EXPECT_TRUE(f.ZipFileName().empty());
  EXPECT_TRUE(f.SfxCheckBox->Checked());
  EXPECT_EQ(f.FileNameEdit->Text, "report.exe");
}

// Whole-folder mode rewrites the list and the name; declined, the dialog
// comes back with what the user had before the folder was dropped.
TEST_F(SizeQuestion, DeclinedWholeFolderPutsBackTheListAndTheName) {
  TZipListForm& f = Ready();
  File("Docs/x.txt");
  File("Docs/sub/y.txt");
  const PackPadding pad(12 * kMiB);
  ui_.AnswerBox(IDYES);  // pack the folder whole
  ui_.AnswerBox(IDNO);   // but do not send it
  bool shown = false;
  const bool ended = EndsDialog([&] {
    Drop({C("Docs")});
    shown = f.Visible();
  });
  EXPECT_FALSE(ended);
  EXPECT_TRUE(shown);
  EXPECT_EQ(SizeBoxes().size(), 1u);
  const Strings lines = CommandLines("Zip");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_THAT(lines[0], ::testing::HasSubstr("\"x.txt\""));
  EXPECT_TRUE(f.ZipFileName().empty());
  EXPECT_FALSE(InTemp("Docs.zip"));
  EXPECT_EQ(Items(), (Strings{C("d/a.txt"), C("d/b.txt")}));
  EXPECT_EQ(f.FileNameEdit->Text, "report.zip");
  EXPECT_EQ(ui_.Unused(), 0u);
}

}  // namespace
