// The Win32 views of the attachment dialog and the result window, shown
// over the real presenters and driven through window messages: layout,
// tab order, access keys, font, hints, the image button, and every way the
// user's actions reach the presenter.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <memory>

#include "Png.h"
#include "TestEnv.h"
#include "UiDriver.h"
#include "WinTest.h"
#include "forms/Dialogs.h"
#include "forms/resultfm.h"
#include "forms/zipform.h"

using namespace wintest;

namespace {

const char kZipCaption[] = "圧縮して添付";
const char kResultCaption[] = "圧縮結果";
const char kAllArchivers[][12] = {"UNLHA32.DLL", "ZIP32J.DLL", "CAB32.DLL", "TAR32.DLL"};

void UseAllArchivers(const TScratch& Scratch) {
  UseArchivers(Scratch, {kAllArchivers[0], kAllArchivers[1], kAllArchivers[2], kAllArchivers[3]});
}

// The child dialog that holds the controls of a form window.
HWND Controls(HWND Frame) { return FindChildOfClass(Frame, "#32770"); }

// A control's place and size within the form's client area.
RECT ClientRect(HWND Frame, HWND Control) {
  RECT rc{};
  GetWindowRect(Control, &rc);
  MapWindowPoints(nullptr, Frame, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

bool Checked(HWND Button) { return SendMessageA(Button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::vector<std::string> ListItems(HWND List) {
  std::vector<std::string> items;
  const int n = static_cast<int>(SendMessageA(List, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    char text[1024] = {};
    SendMessageA(List, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

// Runs the dialog modally on this thread while Script drives it.
int RunDialog(vx::TForm& Form, std::function<void()> Script) {
  int result = 0;
  {
    TDriver driver(std::move(Script));
    result = Form.ShowModal();
  }
  return result;
}

struct TPlace {
  const char* Text;
  const char* Class;
  LONG Left, Top, Width, Height;  // 0 width and height: as large as the text
  bool MayGrow;                   // a caption wider in the fonts at hand widens it
};

// Every control of the attachment dialog, by its text.
const TPlace kZipPlaces[] = {
    {"添付するファイル一覧 (&L)", "Static", 16, 8, 0, 0, false},
    {"追加 (&A)", "Button", 360, 32, 99, 25, false},
    {"削除 (&R)", "Button", 360, 64, 99, 25, false},
    {"添付ファイル名 (&F)", "Static", 16, 256, 0, 0, false},
    {"添付(&T)", "Button", 360, 104, 99, 65, false},
    {"キャンセル (&C)", "Button", 360, 216, 99, 25, false},
    {"結果を表示(&H)", "Button", 360, 256, 97, 17, true},
    {"自己解凍(&S)", "Button", 360, 280, 97, 17, true},
    {"圧縮形式(&O)", "Button", 16, 304, 409, 41, false},
    {"Lha", "Button", 32, 320, 49, 17, true},
    {"Zip", "Button", 104, 320, 49, 17, true},
    {"Cab", "Button", 184, 320, 49, 17, true},
    {"tar+gzip", "Button", 264, 320, 65, 17, true},
    {"tar+bzip2", "Button", 344, 320, 65, 17, true},
    {"フォルダごと(&D)...", "Button", 360, 176, 99, 25, false},
};

}  // namespace

WT_TEST(ZipDialogLayout) {
  TScratch scratch;
  UseAllArchivers(scratch);
  vx::TZipListForm form(nullptr);
  form.Left = 50;
  form.Top = 60;
  RunDialog(form, [] {
    const HWND frame = WaitWindow(kZipCaption);
    RECT client{}, window{};
    GetClientRect(frame, &client);
    GetWindowRect(frame, &window);
    WT_EQ(client.right, 472L);
    WT_EQ(client.bottom, 353L);
    WT_EQ(window.left, 50L);
    WT_EQ(window.top, 60L);
    WT_EQ(GetWindowLongA(frame, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CAPTION | WS_SYSMENU),
          static_cast<LONG>(WS_CAPTION | WS_SYSMENU));  // a dialog border, not resizable

    for (const TPlace& place : kZipPlaces) {
      const HWND control = FindChild(frame, place.Text, place.Class);
      WT_CHECK(control != nullptr);
      if (control == nullptr) {
        std::printf("    missing: %s\n", Printable(place.Text).c_str());
        continue;
      }
      const RECT rc = ClientRect(frame, control);
      WT_EQ(rc.left, place.Left);
      WT_EQ(rc.top, place.Top);
      if (place.Width == 0) continue;
      WT_EQ(rc.bottom - rc.top, place.Height);
      if (place.MayGrow)
        WT_CHECK(rc.right - rc.left >= place.Width);
      else
        WT_EQ(rc.right - rc.left, place.Width);
    }
    const RECT list = ClientRect(frame, FindChildOfClass(frame, "ListBox"));
    WT_EQ(list.left, 8L);
    WT_EQ(list.top, 32L);
    WT_EQ(list.right - list.left, 345L);
    WT_EQ(list.bottom - list.top, 217L);
    WT_CHECK((GetWindowLongA(FindChildOfClass(frame, "ListBox"), GWL_STYLE) & LBS_EXTENDEDSEL) != 0);
    const RECT edit = ClientRect(frame, FindChildOfClass(frame, "Edit"));
    WT_EQ(edit.left, 16L);
    WT_EQ(edit.top, 272L);
    WT_EQ(edit.right - edit.left, 329L);
    WT_EQ(edit.bottom - edit.top, 20L);

    // The dialogs' font, at 12-pixel character height, on every control.
    for (HWND control : {FindChildOfClass(frame, "ListBox"), FindChild(frame, "Zip", "Button"),
                         FindChildOfClass(frame, "Edit"), FindChild(frame, "添付(&T)", "Button")}) {
      LOGFONTA font{};
      GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
      WT_EQ(std::string(font.lfFaceName), std::string("ＭＳ Ｐゴシック"));
      WT_EQ(font.lfHeight, -12L);
    }
    Click(FindChild(frame, "キャンセル (&C)", "Button"));
  });
}

WT_TEST(ZipDialogTabOrderAndAccessKeys) {
  TScratch scratch;
  UseAllArchivers(scratch);
  vx::TZipListForm form(nullptr);
  form.SetArchiveType(2);  // Cab: the group is entered at its checked button
  RunDialog(form, [] {
    const HWND frame = WaitWindow(kZipCaption);
    const HWND dialog = Controls(frame);
    const HWND list = FindChildOfClass(frame, "ListBox");
    const std::vector<HWND> expected = {list,
                                        FindChild(frame, "追加 (&A)", "Button"),
                                        FindChild(frame, "削除 (&R)", "Button"),
                                        FindChildOfClass(frame, "Edit"),
                                        FindChild(frame, "添付(&T)", "Button"),
                                        FindChild(frame, "キャンセル (&C)", "Button"),
                                        FindChild(frame, "結果を表示(&H)", "Button"),
                                        FindChild(frame, "自己解凍(&S)", "Button"),
                                        FindChild(frame, "Cab", "Button"),
                                        FindChild(frame, "フォルダごと(&D)...", "Button")};
    HWND at = list;
    for (std::size_t i = 1; i < expected.size(); ++i) {
      at = GetNextDlgTabItem(dialog, at, FALSE);
      WT_EQ(Text(at), Text(expected[i]));
    }
    WT_EQ(Text(GetNextDlgTabItem(dialog, at, FALSE)), Text(list));

    // Access keys: a label's key focuses its control; a check box's key clicks it.
    auto focused = [&] {
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      GetGUIThreadInfo(GetWindowThreadProcessId(frame, nullptr), &info);
      return info.hwndFocus;
    };
    WT_CHECK(focused() == list);
    PressKey(focused(), 'F', true);
    WT_CHECK(focused() == FindChildOfClass(frame, "Edit"));
    PressKey(focused(), 'L', true);
    WT_CHECK(focused() == list);
    const HWND sfx = FindChild(frame, "自己解凍(&S)", "Button");
    PressKey(focused(), 'S', true);
    WT_CHECK(Checked(sfx));
    PressKey(focused(), 'O', true);  // the group's key: its checked button
    WT_CHECK(focused() == FindChild(frame, "Cab", "Button"));
    Click(FindChild(frame, "キャンセル (&C)", "Button"));
  });
  WT_CHECK(form.IsSfx());
}

// Pixels of a strong red, the colour of the strap in the Attach image.
int RedPixels(const TPicture& Picture) {
  int red = 0;
  for (std::size_t i = 0; i + 2 < Picture.Rgb.size(); i += 3)
    red += Picture.Rgb[i] > 150 && Picture.Rgb[i + 1] < 100 && Picture.Rgb[i + 2] < 100;
  return red;
}

// The Attach button shows its image, and its separate grey image while
// disabled.
WT_TEST(AttachButtonImages) {
  TScratch scratch;
  UseAllArchivers(scratch);
  for (bool enabled : {true, false}) {
    vx::TZipListForm form(nullptr);
    form.AttachBitBtn->Enabled = enabled;
    RunDialog(form, [enabled] {
      const HWND frame = WaitWindow(kZipCaption);
      const HWND attach = FindChild(frame, "添付(&T)", "Button");
      WT_EQ(IsWindowEnabled(attach) != FALSE, enabled);
      const TPicture picture = Capture(attach);
      WT_CHECK(WritePng(ScreenshotFolder() + (enabled ? "\\attach-button.png" : "\\attach-button-disabled.png"),
                        picture.Width, picture.Height, picture.Rgb));
      if (enabled)
        WT_CHECK(RedPixels(picture) > 10);
      else
        WT_EQ(RedPixels(picture), 0);
      Click(FindChild(frame, "キャンセル (&C)", "Button"));
    });
  }
}

WT_TEST(ZipDialogHintsAndImage) {
  TScratch scratch;
  UseAllArchivers(scratch);
  vx::TZipListForm form(nullptr);
  RunDialog(form, [] {
    const HWND frame = WaitWindow(kZipCaption);
    // The hints are tooltips of their controls; "&" shows as itself.
    HWND tooltip = nullptr;
    WT_CHECK(WaitFor([&] {
      for (HWND w = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); w != nullptr;
           w = FindWindowExA(nullptr, w, TOOLTIPS_CLASSA, nullptr))
        if (GetWindow(w, GW_OWNER) == frame) tooltip = w;
      return tooltip != nullptr;
    }));
    WT_ASSERT(tooltip != nullptr);
    WT_CHECK((GetWindowLongA(tooltip, GWL_STYLE) & TTS_NOPREFIX) != 0);
    std::vector<std::pair<std::string, std::string>> hints;
    const int count = static_cast<int>(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char text[256] = {};
      TOOLINFOA tool{};
      tool.cbSize = TTTOOLINFOA_V2_SIZE;
      tool.lpszText = text;
      SendMessageA(tooltip, TTM_ENUMTOOLSA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tool));
      const HWND control = reinterpret_cast<HWND>(tool.uId);
      hints.emplace_back(ClassOf(control) == "ListBox" ? std::string("list") : Text(control), text);
    }
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"list", "Drag&Dropでファイルを追加できます"},
        {"", "拡張子は自動的に設定されます。"},
        {"自己解凍(&S)", "LHa, Zip, Cab のみ作成可能です"}};
    WT_EQ(hints.size(), expected.size());
    for (std::size_t i = 0; i < hints.size() && i < expected.size(); ++i) {
      WT_EQ(hints[i].first, expected[i].first);
      WT_EQ(hints[i].second, expected[i].second);
    }
    // The image button is drawn by the view: image above the caption.
    const HWND attach = FindChild(frame, "添付(&T)", "Button");
    WT_EQ(GetWindowLongA(attach, GWL_STYLE) & BS_TYPEMASK, static_cast<LONG>(BS_OWNERDRAW));
    Click(FindChild(frame, "キャンセル (&C)", "Button"));
  });
  // Both images are resources of the module that shows the dialogs.
  WT_CHECK(FindResourceA(GetModuleHandleA(nullptr), "ATTACH", MAKEINTRESOURCEA(14)) != nullptr);
  WT_CHECK(FindResourceA(GetModuleHandleA(nullptr), "ATTACH_DISABLED", MAKEINTRESOURCEA(14)) != nullptr);
}

// Files dropped from the shell, the format and option buttons, typed text,
// list selection with the Delete key, and the double-click, each reaching
// the presenter and shown back.
WT_TEST(ZipDialogUserActions) {
  TScratch scratch;
  UseAllArchivers(scratch);
  const std::string report = scratch.MakeFile("report.txt");
  const std::string notes = scratch.MakeFile("メモ.txt");
  const std::string plan = scratch.MakeFile("plan.doc");
  vx::TZipListForm form(nullptr);
  RunDialog(form, [&] {
    const HWND frame = WaitWindow(kZipCaption);
    const HWND list = FindChildOfClass(frame, "ListBox");
    const HWND edit = FindChildOfClass(frame, "Edit");
    const HWND zip = FindChild(frame, "Zip", "Button");
    const HWND cab = FindChild(frame, "Cab", "Button");
    const HWND tgz = FindChild(frame, "tar+gzip", "Button");
    const HWND sfx = FindChild(frame, "自己解凍(&S)", "Button");
    const HWND result = FindChild(frame, "結果を表示(&H)", "Button");
    for (HWND radio : {zip, cab, tgz}) WT_CHECK(!Checked(radio));

    DropFiles(frame, {report, notes});
    TDriver::Settle();
    WT_EQ(ListItems(list), (std::vector<std::string>{report, notes}));
    WT_EQ(Text(edit), std::string("report.lzh"));

    Click(zip);
    WT_CHECK(Checked(zip));
    WT_EQ(Text(edit), std::string("report.zip"));
    Click(cab);
    WT_CHECK(Checked(cab) && !Checked(zip));
    WT_EQ(Text(edit), std::string("report.cab"));
    Click(sfx);
    WT_CHECK(Checked(sfx));
    WT_CHECK(!IsWindowEnabled(tgz));
    WT_EQ(Text(edit), std::string("report.exe"));
    Click(sfx);
    WT_CHECK(IsWindowEnabled(tgz));
    WT_EQ(Text(edit), std::string("report.cab"));
    Click(result);
    WT_CHECK(Checked(result));
    Click(tgz);  // no output and no self-extracting program for tar
    WT_CHECK(!Checked(result) && !IsWindowEnabled(result) && !IsWindowEnabled(sfx));
    WT_EQ(Text(edit), std::string("report.tgz"));

    TypeText(edit, "summary");
    DropFiles(frame, {plan});
    TDriver::Settle();
    WT_EQ(Text(edit), std::string("summary.tgz"));  // a typed name is kept, its extension set

    ClickListItem(list, 0);
    ClickListItem(list, 2, MK_CONTROL);
    PressKey(list, VK_DELETE);
    WT_EQ(ListItems(list), std::vector<std::string>{notes});
    DoubleClickListItem(list, 0);
    WT_EQ(Text(edit), std::string("メモ.tgz"));
    Click(FindChild(frame, "キャンセル (&C)", "Button"));
  });
  WT_EQ(form.FilesListBox->Items(), std::vector<std::string>{notes});
  WT_EQ(form.FileNameEdit->Text, std::string("メモ.tgz"));
  WT_EQ(form.ArchiveType(), 3);
  WT_CHECK(form.ZipFileName().empty());
}

WT_TEST(ZipDialogCloseBoxCancels) {
  TScratch scratch;
  UseAllArchivers(scratch);
  vx::TZipListForm form(nullptr);
  const int result = RunDialog(form, [] {
    const HWND frame = WaitWindow(kZipCaption);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    WT_CHECK(WaitGone(frame));
  });
  WT_EQ(result, vx::mrCancel);
  WT_CHECK(IsWindow(form.Handle()));  // the form's window stays until the form goes
}

// Add: the system's file-open dialog with several files chosen.
WT_TEST(ZipDialogAddOpensFileDialog) {
  TScratch scratch;
  UseAllArchivers(scratch);
  const std::string a = scratch.MakeFile("alpha.txt");
  const std::string b = scratch.MakeFile("beta.txt");
  SetCurrentDirectoryA(scratch.Path().c_str());
  vx::TZipListForm form(nullptr);
  RunDialog(form, [&] {
    const HWND frame = WaitWindow(kZipCaption);
    PostClick(FindChild(frame, "追加 (&A)", "Button"));
    HWND open = nullptr;
    WT_ASSERT(WaitFor([&] {
      for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w != nullptr;
           w = FindWindowExA(nullptr, w, "#32770", nullptr))
        if (IsWindowVisible(w) && GetDlgItem(w, 0x47C) != nullptr) open = w;  // the file-name box
      return open != nullptr;
    }));
    TDriver::Settle();
    // The dialog offers no read-only box, and the files must exist.
    const HWND readOnly = GetDlgItem(open, 0x410);
    WT_CHECK(readOnly == nullptr || !IsWindowVisible(readOnly));
    HWND name = GetDlgItem(open, 0x47C);
    if (ClassOf(name) != "Edit") name = FindChildOfClass(name, "Edit");
    TypeText(name, "\"alpha.txt\" \"beta.txt\"");
    PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(open, IDOK)));
    WT_CHECK(WaitGone(open));
    TDriver::Settle();
    const HWND list = FindChildOfClass(frame, "ListBox");
    WT_EQ(ListItems(list).size(), 2u);
    WT_EQ(Text(FindChildOfClass(frame, "Edit")), std::string("alpha.lzh"));
    Click(FindChild(frame, "キャンセル (&C)", "Button"));
  });
  WT_EQ(form.FilesListBox->Count(), 2);
  if (form.FilesListBox->Count() == 2) {
    WT_EQ(lstrcmpiA(form.FilesListBox->Item(0).c_str(), a.c_str()), 0);
    WT_EQ(lstrcmpiA(form.FilesListBox->Item(1).c_str(), b.c_str()), 0);
  }
}

// The folder button: the shell's folder browser with its title, cancelled.
WT_TEST(ZipDialogFolderBrowserCancelled) {
  TScratch scratch;
  UseAllArchivers(scratch);
  vx::TZipListForm form(nullptr);
  RunDialog(form, [&] {
    const HWND frame = WaitWindow(kZipCaption);
    PostClick(FindChild(frame, "フォルダごと(&D)...", "Button"));
    HWND browser = nullptr;
    WT_ASSERT(WaitFor([&] {
      for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w != nullptr;
           w = FindWindowExA(nullptr, w, "#32770", nullptr))
        if (IsWindowVisible(w) && FindChild(w, "圧縮して添付するフォルダを選択してください") != nullptr) browser = w;
      return browser != nullptr;
    }));
    TDriver::Settle();
    WT_CHECK(GetWindow(browser, GW_OWNER) == frame);
    WT_CHECK(FindChildOfClass(browser, WC_TREEVIEWA) != nullptr);
    PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    WT_CHECK(WaitGone(browser));
    TDriver::Settle();
    WT_CHECK(IsWindowVisible(frame));
    Click(FindChild(frame, "キャンセル (&C)", "Button"));
  });
  WT_EQ(form.FilesListBox->Count(), 0);
}

// Our input box: caption, prompt, the text typed, OK and Cancel.
WT_TEST(InputBoxAnswersAndCancels) {
  struct TCase {
    const char* Button;
    bool Confirmed;
  };
  for (const TCase& c : {TCase{"OK", true}, TCase{"キャンセル", false}}) {
    std::string value;
    bool confirmed = false;
    {
      TDriver driver([&] {
        const HWND box = WaitWindow("フォルダ付きで圧縮");
        WT_CHECK(FindChild(box, "圧縮ファイル名を入力してください（拡張子は省略可）", "Static") != nullptr);
        TypeText(FindChildOfClass(box, "Edit"), "バックアップ");
        if (c.Confirmed) WT_CHECK(Screenshot(box, ScreenshotFolder() + "\\inputbox.png"));
        PostClick(FindChild(box, c.Button, "Button"));
        WT_CHECK(WaitGone(box));
      });
      confirmed = vx::InputQuery(nullptr, "フォルダ付きで圧縮", "圧縮ファイル名を入力してください（拡張子は省略可）", value);
    }
    WT_EQ(confirmed, c.Confirmed);
    WT_EQ(value, std::string(c.Confirmed ? "バックアップ" : ""));
  }
}

WT_TEST(ResultWindowLooks) {
  vx::TResultForm form(nullptr);
  form.ResultMemo->Text = vx::AdjustLineBreaks(
      "UNLHA32.DLL Unlha\nu -gw3 -x0 \"C:\\temp\\報告書.lzh\" \"C:\\data\\報告書.doc\"\n"
      "報告書.doc を凍結しています\n凍結しました。 1 ファイル\n");
  const int result = RunDialog(form, [] {
    const HWND frame = WaitWindow(kResultCaption);
    RECT client{}, window{};
    GetClientRect(frame, &client);
    GetWindowRect(frame, &window);
    WT_EQ(client.right, 337L);
    WT_EQ(client.bottom, 249L);
    // Centred on the screen.
    WT_CHECK(std::abs((window.left + window.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2) <= 1);
    WT_CHECK(std::abs((window.top + window.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2) <= 1);
    const HWND memo = FindChildOfClass(frame, "Edit");
    const HWND ok = FindChild(frame, "Ok", "Button");
    WT_ASSERT(memo != nullptr && ok != nullptr);
    const RECT m = ClientRect(frame, memo), b = ClientRect(frame, ok);
    WT_EQ((std::vector<LONG>{m.left, m.top, m.right - m.left, m.bottom - m.top}),
          (std::vector<LONG>{8, 8, 320, 200}));
    WT_EQ((std::vector<LONG>{b.left, b.top, b.right - b.left, b.bottom - b.top}),
          (std::vector<LONG>{128, 216, 75, 25}));
    const LONG style = GetWindowLongA(memo, GWL_STYLE);
    WT_CHECK((style & ES_READONLY) != 0 && (style & ES_MULTILINE) != 0);
    WT_CHECK((style & WS_HSCROLL) != 0 && (style & WS_VSCROLL) != 0);
    WT_EQ(GetWindowLongA(ok, GWL_STYLE) & BS_TYPEMASK, static_cast<LONG>(BS_DEFPUSHBUTTON));
    WT_CHECK(Text(memo).find("凍結しました。 1 ファイル\r\n") != std::string::npos);
    WT_CHECK(Screenshot(frame, ScreenshotFolder() + "\\result-alone.png"));
    // The memo's face is the button face: a pixel inside it, right of the text.
    HDC screen = GetDC(nullptr);
    RECT inner{};
    GetWindowRect(memo, &inner);
    const COLORREF face = GetPixel(screen, inner.right - 24, inner.bottom - 24);
    ReleaseDC(nullptr, screen);
    WT_EQ(face, GetSysColor(COLOR_BTNFACE));
    PostMessageA(ok, BM_CLICK, 0, 0);
    WT_CHECK(WaitGone(frame));
  });
  WT_EQ(result, vx::mrOk);
}

WT_TEST(MessageBoxKinds) {
  struct TKind {
    vx::TMsgDlgType Type;
    const char* Caption;
    LPCSTR Icon;
  };
  const TKind kinds[] = {{vx::mtWarning, "警告", IDI_EXCLAMATION},
                         {vx::mtError, "エラー", IDI_HAND},
                         {vx::mtInformation, "情報", IDI_ASTERISK},
                         {vx::mtConfirmation, "確認", IDI_QUESTION}};
  for (const TKind& kind : kinds) {
    int answer = 0;
    TBox box;
    {
      TDriver driver([&] { box = AnswerBox(kind.Caption, "いいえ(&N)"); });
      answer = vx::MessageDlg(nullptr, "よろしいですか？", kind.Type, {vx::mbYes, vx::mbNo, vx::mbCancel});
    }
    WT_EQ(answer, vx::mrNo);
    WT_EQ(box.Text, std::string("よろしいですか？"));
    WT_EQ(box.Buttons, (std::vector<std::string>{"はい(&Y)", "いいえ(&N)", "キャンセル"}));
    WT_CHECK(box.Icon == SystemIcon(kind.Icon));
  }
  TBox ok;
  {
    TDriver driver([&] { ok = AnswerBox("警告", "OK"); });
    vx::MessageDlg(nullptr, "添付ファイル名を入力してください。", vx::mtWarning, {vx::mbOK});
  }
  WT_EQ(ok.Buttons, std::vector<std::string>{"OK"});
}
