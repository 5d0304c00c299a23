// The console view of the dialogs: a console backend that also shows form
// windows as text and runs their modal loops from commands typed one a
// line. Program-independent: any program that shows the attachment dialog
// or the result window on a terminal installs it as its backend.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/posix/vxui.h"

namespace vx {
class TForm;
}

namespace vxconsole {

class ConsoleView : public vxui::ConsoleBackend {
 public:
  ConsoleView(std::istream& in, std::ostream& out);
  ~ConsoleView() override;
  ConsoleView(const ConsoleView&) = delete;
  ConsoleView& operator=(const ConsoleView&) = delete;

  INT_PTR RunModal(HWND form) override;

  // The form as text.
  static std::string Render(const vx::TForm& form);

 private:
  // One typed command for the attachment dialog or the result window;
  // what to tell the user when it does not fit.
  void ZipListCommand(vx::TForm& form, const std::string& line);
  void ResultCommand(vx::TForm& form, const std::string& line);
  void OtherCommand(vx::TForm& form, const std::string& line);

  vxui::Backend* previous_;
};

}  // namespace vxconsole
