// The user-interface services of the platform layer, answered by the
// scripted backend: message boxes, the file-open dialog, the folder
// browser, drops, the input box and modal loops.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/vxui.h"
#include "platform/win32api.h"
#include "support/Cp932.h"
#include "support/Scratch.h"

using vxtest::Sjis;

namespace {

struct BoxCase {
  const char* name;
  UINT type;
  vxui::BoxKind kind;
  std::vector<std::string> labels;  // UTF-8
  int scripted;                     // 0: nothing scripted
  int expected;
};
void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.name; }

class MessageBoxes : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxes, ShowKindCaptionTextAndSystemLabels) {
  const BoxCase& c = GetParam();
  vxui::ScriptedBackend ui;
  if (c.scripted != 0) ui.AnswerBox(c.scripted);
  const std::string caption = Sjis("確認"), text = Sjis("本文\r\n二行目");
  EXPECT_EQ(MessageBoxA(nullptr, text.c_str(), caption.c_str(), c.type), c.expected);
  ASSERT_EQ(ui.Boxes().size(), 1u);
  const auto& box = ui.Boxes()[0];
  EXPECT_EQ(box.kind, c.kind);
  EXPECT_EQ(box.caption, caption);
  EXPECT_EQ(box.text, text);
  std::vector<std::string> labels;
  for (const auto& l : c.labels) labels.push_back(Sjis(l));
  EXPECT_EQ(box.buttons, labels);
  EXPECT_EQ(ui.Unused(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MessageBoxes,
    ::testing::Values(
        BoxCase{"OkAnswersItself", MB_OK | MB_ICONWARNING, vxui::BoxKind::Warning, {"OK"}, 0, IDOK},
        BoxCase{"Error", MB_OK | MB_ICONERROR, vxui::BoxKind::Error, {"OK"}, 0, IDOK},
        BoxCase{"Information", MB_OK | MB_ICONINFORMATION, vxui::BoxKind::Information, {"OK"}, 0, IDOK},
        BoxCase{"YesNo", MB_YESNO | MB_ICONWARNING, vxui::BoxKind::Warning, {"はい(&Y)", "いいえ(&N)"}, IDNO, IDNO},
        BoxCase{"YesNoCancel", MB_YESNOCANCEL | MB_ICONQUESTION, vxui::BoxKind::Confirmation,
                {"はい(&Y)", "いいえ(&N)", "キャンセル"}, IDYES, IDYES},
        BoxCase{"OkCancel", MB_OKCANCEL, vxui::BoxKind::Plain, {"OK", "キャンセル"}, IDCANCEL, IDCANCEL}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageBoxes, ChoiceWithoutScriptedAnswerIsCancelledAndCounted) {
  vxui::ScriptedBackend ui;
  EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_YESNOCANCEL | MB_ICONQUESTION), IDCANCEL);
  EXPECT_EQ(ui.Unanswered(), 1);
}

TEST(MessageBoxes, ScriptedBackendPutsThePreviousOneBack) {
  vxui::Backend* before = &vxui::CurrentBackend();
  {
    vxui::ScriptedBackend outer;
    {
      vxui::ScriptedBackend inner;
      EXPECT_EQ(&vxui::CurrentBackend(), &inner);
    }
    EXPECT_EQ(&vxui::CurrentBackend(), &outer);
  }
  EXPECT_EQ(&vxui::CurrentBackend(), before);
}

// The buffer GetOpenFileNameA fills, as a list of its NUL-separated parts.
std::vector<std::string> Parts(const char* buffer) {
  std::vector<std::string> parts;
  for (const char* p = buffer; *p != '\0'; p += std::strlen(p) + 1) parts.push_back(p);
  return parts;
}

struct OpenCase {
  const char* name;
  DWORD flags;
  std::vector<std::string> chosen;
  std::vector<std::string> parts;
  WORD nameOffset;
};
void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.name; }

class OpenDialog : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenDialog, LaysOutTheChosenFilesTheWindowsWay) {
  const OpenCase& c = GetParam();
  vxui::ScriptedBackend ui;
  ui.AnswerOpen(c.chosen);
  char buffer[1024];
  std::memset(buffer, 'x', sizeof buffer);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFile = buffer;
  ofn.nMaxFile = sizeof buffer;
  ofn.Flags = c.flags;
  buffer[0] = '\0';
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(Parts(buffer), c.parts);
  EXPECT_EQ(ofn.nFileOffset, c.nameOffset);
}

constexpr DWORD kMulti = OFN_ALLOWMULTISELECT | OFN_EXPLORER;

INSTANTIATE_TEST_SUITE_P(
    Layouts, OpenDialog,
    ::testing::Values(
        OpenCase{"OneFile", kMulti, {"C:\\d\\a.txt"}, {"C:\\d\\a.txt"}, 5},
        OpenCase{"FilesOfOneFolder", kMulti, {"C:\\d\\b.txt", "C:\\d\\a.txt"}, {"C:\\d", "b.txt", "a.txt"}, 5},
        OpenCase{"RootKeepsItsBackslash", kMulti, {"C:\\a", "C:\\b"}, {"C:\\", "a", "b"}, 4},
        OpenCase{"OtherFolderAsFullPath", kMulti, {"C:\\d\\a", "C:\\e\\b", "C:\\D\\c"},
                 {"C:\\d", "a", "C:\\e\\b", "c"}, 5},
        OpenCase{"SingleSelectionTakesTheFirst", 0, {"C:\\d\\a.txt", "C:\\d\\b.txt"}, {"C:\\d\\a.txt"}, 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OpenDialog, TooSmallABufferFailsWithTheSizeNeeded) {
  vxui::ScriptedBackend ui;
  ui.AnswerOpen({"C:\\folder\\first-file.txt", "C:\\folder\\second-file.txt"});
  char buffer[16] = {};
  OPENFILENAMEA ofn{};
  ofn.lpstrFile = buffer;
  ofn.nMaxFile = sizeof buffer;
  ofn.Flags = kMulti;
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
  const std::string needed = std::string("C:\\folder") + '\0' + "first-file.txt" + '\0' + "second-file.txt" +
                             '\0' + '\0';
  EXPECT_EQ(static_cast<unsigned char>(buffer[0]) + 256 * static_cast<unsigned char>(buffer[1]),
            static_cast<int>(needed.size()));
}

TEST(OpenDialog, CancelIsNoError) {
  vxui::ScriptedBackend ui;
  ui.CancelOpen();
  char buffer[64] = {};
  OPENFILENAMEA ofn{};
  ofn.lpstrFile = buffer;
  ofn.nMaxFile = sizeof buffer;
  ofn.lpstrTitle = "title";
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(ui.OpenTitles(), std::vector<std::string>{"title"});
}

TEST(FolderBrowser, GivesThePathAndDisplayNameOfTheChoice) {
  vxui::ScriptedBackend ui;
  ui.AnswerFolder("C:\\Work\\Docs");
  ui.CancelFolder();
  char display[MAX_PATH] = {};
  BROWSEINFOA info{};
  info.pszDisplayName = display;
  info.lpszTitle = "pick";
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  ASSERT_NE(chosen, nullptr);
  EXPECT_STREQ(display, "Docs");
  char path[MAX_PATH] = {};
  EXPECT_TRUE(SHGetPathFromIDListA(chosen, path));
  EXPECT_STREQ(path, "C:\\Work\\Docs");
  CoTaskMemFree(chosen);
  EXPECT_FALSE(SHGetPathFromIDListA(chosen, path)) << "a freed list is no longer known";
  EXPECT_EQ(SHBrowseForFolderA(&info), nullptr);
  EXPECT_EQ(ui.FolderTitles(), (std::vector<std::string>{"pick", "pick"}));
}

TEST(Drops, GiveCountLengthsAndPathsUntilFinished) {
  HDROP drop = vxui::CreateDrop({"C:\\a.txt", "C:\\folder"});
  EXPECT_EQ(vxui::OpenDrops(), 1);
  EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0), 2u);
  EXPECT_EQ(DragQueryFileA(drop, 1, nullptr, 0), 9u);
  char buffer[MAX_PATH];
  EXPECT_EQ(DragQueryFileA(drop, 0, buffer, MAX_PATH), 8u);
  EXPECT_STREQ(buffer, "C:\\a.txt");
  EXPECT_EQ(DragQueryFileA(drop, 1, buffer, 5), 4u) << "cut to the buffer";
  EXPECT_STREQ(buffer, "C:\\f");
  EXPECT_EQ(DragQueryFileA(drop, 2, buffer, MAX_PATH), 0u);
  DragFinish(drop);
  EXPECT_EQ(vxui::OpenDrops(), 0);
}

TEST(Drops, WindowsAcceptThemOnlyWhileRegistered) {
  HWND window = reinterpret_cast<HWND>(0x1234);  // not a window
  DragAcceptFiles(window, TRUE);
  EXPECT_FALSE(vxui::AcceptsDrops(window));
  DragAcceptFiles(window, FALSE);
}

TEST(InputBox, ReturnsTheAnswerOrCancel) {
  vxui::ScriptedBackend ui;
  ui.AnswerInput("backup");
  ui.CancelInput();
  ui.AnswerInput(std::string(20, 'x'));
  char value[16] = "start";
  EXPECT_TRUE(VxInputQuery(nullptr, "caption", "prompt", value, sizeof value));
  EXPECT_STREQ(value, "backup");
  EXPECT_FALSE(VxInputQuery(nullptr, "caption", "prompt", value, sizeof value));
  EXPECT_FALSE(VxInputQuery(nullptr, "caption", "prompt", value, sizeof value)) << "longer than the buffer";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  ASSERT_EQ(ui.Inputs().size(), 3u);
  EXPECT_EQ(ui.Inputs()[0].caption, "caption");
  EXPECT_EQ(ui.Inputs()[0].prompt, "prompt");
  EXPECT_EQ(ui.Inputs()[0].initial, "start");
}

LRESULT CALLBACK Plain(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

class ModalWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA cls{};
    cls.lpfnWndProc = Plain;
    cls.lpszClassName = "VxModalTest";
    RegisterClassA(&cls);
    window = CreateWindowExA(0, "VxModalTest", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    DestroyWindow(window);
    UnregisterClassA("VxModalTest", nullptr);
  }
  HWND window = nullptr;
};

TEST_F(ModalWindow, EndsWithTheResultGivenToEndModal) {
  vxui::ScriptedBackend ui;
  ui.AnswerModal([](HWND h) {
    VxEndModal(h, IDYES);
    INT_PTR result = 0;
    EXPECT_TRUE(vxui::ModalEnded(h, &result));
    EXPECT_EQ(result, IDYES);
  });
  ui.AnswerModal([](HWND) {});
  EXPECT_EQ(VxShowModal(window), IDYES);
  EXPECT_FALSE(vxui::ModalEnded(window, nullptr)) << "the loop is over";
  EXPECT_EQ(VxShowModal(window), IDCANCEL) << "a loop given up is a cancel";
  EXPECT_EQ(ui.Modals(), (std::vector<HWND>{window, window}));
}

TEST_F(ModalWindow, EndModalOutsideTheLoopDoesNothing) {
  vxui::ScriptedBackend ui;
  VxEndModal(window, IDOK);
  ui.AnswerModal([](HWND) {});
  EXPECT_EQ(VxShowModal(window), IDCANCEL);
  EXPECT_EQ(VxShowModal(nullptr), 0);
}

TEST(TerminalText, BestFitTurnsMissingCharactersIntoQuestionMarks) {
  vxtest::DriveC drive;
  EXPECT_EQ(vxui::WinPathBestFit(drive.Path() + "/日本/a.txt"), Sjis("C:\\日本\\a.txt"));
  EXPECT_EQ(vxui::WinPathBestFit(drive.Path() + "/caf\xC3\xA9.txt"), "C:\\caf?.txt");
  EXPECT_EQ(vxui::Cp932BestFit("x\xC3\xA9y\xFFz"), "x?y?z");
  EXPECT_EQ(vxui::ToTerminal(Sjis("表示")), "表示");
  EXPECT_EQ(vxui::ToTerminal(std::string("a\x81")), "a?") << "a lead byte without its trail";
}

TEST(TerminalText, TypedLinesSplitLikeAShell) {
  using Words = std::vector<std::string>;
  EXPECT_EQ(vxui::SplitWords("  add a  b "), (Words{"add", "a", "b"}));
  EXPECT_EQ(vxui::SplitWords("add \"my file\" 'it''s' x\\ y"), (Words{"add", "my file", "its", "x y"}));
  EXPECT_EQ(vxui::SplitWords("q \"a\\\"b\" ''"), (Words{"q", "a\"b", ""}));
  EXPECT_EQ(vxui::SplitWords(""), Words{});
}

}  // namespace
