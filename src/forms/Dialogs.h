// The standard dialogs of the user-interface framework: message boxes of
// four kinds, the input box and the file-open dialog.
#pragma once

#include <initializer_list>
#include <string>

#include "archives/Component.h"
#include "archives/Types.h"
#include "platform/win32api.h"

namespace vx {

// Each kind has its caption and icon.
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel };

// Shows Msg in a modal box owned by Owner; the answer as a modal result
// (mrOk, mrYes, mrNo, mrCancel).
int MessageDlg(HWND Owner, const std::string& Msg, TMsgDlgType DlgType,
               std::initializer_list<TMsgDlgBtn> Buttons);

// One line of text; Value holds the initial text and, when the user
// confirmed, the answer. False when cancelled.
bool InputQuery(HWND Owner, const std::string& Caption, const std::string& Prompt, std::string& Value);

// The system's file-open dialog.
class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(TComponent* Owner) : TComponent(Owner) {}
  std::string ClassName() const override { return "TOpenDialog"; }

  DWORD Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING;
  std::string Title;   // empty: the system's own
  std::string Filter;  // empty: every file
  TStringList Files;   // after Execute: the chosen files, full paths, in the dialog's order
  std::string FileName;

  // True when the user confirmed.
  bool Execute(HWND Owner);
};

}  // namespace vx
