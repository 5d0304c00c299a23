// The Win32 views of the attachment dialog and the result window, shown
// over the real presenters and driven through window messages.
#include <windows.h>

#include <memory>

#include "TestEnv.h"
#include "UiDriver.h"
#include "WinTest.h"
#include "forms/resultfm.h"
#include "forms/zipform.h"

using namespace wintest;

namespace {

const char kZipCaption[] = "圧縮して添付";

}  // namespace

WT_TEST(ZipDialogScreenshot) {
  TScratch scratch;
  UseArchivers(scratch, {"UNLHA32.DLL", "ZIP32J.DLL", "CAB32.DLL", "TAR32.DLL"});
  auto form = std::make_unique<vx::TZipListForm>(nullptr);
  form->Left = 40;
  form->Top = 40;
  form->FilesListBox->Add("C:\\Users\\taro\\Documents\\報告書.doc");
  form->FilesListBox->Add("C:\\Users\\taro\\Documents\\見積もり.xls");
  form->FileNameEdit->Text = "報告書.doc";
  form->SetArchiveType(1);
  int result = 0;
  {
    TDriver driver([&] {
      HWND dialog = WaitWindow(kZipCaption);
      WT_CHECK(Screenshot(dialog, ScreenshotFolder() + "\\zipform-first.png"));
      Click(FindChild(dialog, "キャンセル (&C)", "Button"));
    });
    result = form->ShowModal();
  }
  WT_EQ(result, vx::mrCancel);
}
