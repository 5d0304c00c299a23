#include "platform/posix/console/ConsoleView.h"

#include <sys/stat.h>

#include <cstdlib>
#include <ostream>
#include <sstream>

#include "forms/Forms.h"

namespace vxconsole {

using vx::TControl;
using vx::TControlKind;
using vx::TForm;

namespace {

const char kZipCommands[] =
    "Commands: add PATH... | drop PATH... | folder [PATH] | select N... | remove | key delete |\n"
    "  dblclick N | name TEXT | format lha|zip|cab|tgz|bz2 | sfx on|off | result on|off | attach | cancel\n";

TForm* FormOf(HWND window) { return reinterpret_cast<TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

std::string Text(const std::string& cp932) { return vxui::ToTerminal(cp932); }

// Text with CR LF (or a lone CR or LF) as terminal line ends, indented.
std::string Indented(const std::string& text, const char* indent) {
  std::string out = indent;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
      out += std::string("\n") + indent;
    } else {
      out += text[i];
    }
  }
  return out + "\n";
}

template <typename T>
T* Control(TForm& form, const char* name, TControlKind kind) {
  TControl* c = form.FindControl(name);
  return c != nullptr && c->Kind == kind ? static_cast<T*>(c) : nullptr;
}

bool ParseIndex(const std::string& word, int& index) {
  char* end = nullptr;
  const long value = std::strtol(word.c_str(), &end, 10);
  if (word.empty() || *end != '\0' || value < 1 || value > 1000000) return false;
  index = static_cast<int>(value) - 1;
  return true;
}

// The Windows path of a typed POSIX path that must exist (as a folder when
// Folder, else as a file; either when Any). A name code page 932 cannot
// hold reaches the dialog as the ANSI functions would hand it over. Empty
// after saying why not.
std::string ExistingPath(std::ostream& out, const std::string& typed, bool folder, bool any) {
  struct stat st;
  if (stat(typed.c_str(), &st) != 0) {
    out << "No such file or folder: " << typed << "\n";
    return std::string();
  }
  if (!any && S_ISDIR(st.st_mode) != folder) {
    out << (folder ? "Not a folder: " : "Not a file: ") << typed << "\n";
    return std::string();
  }
  const std::string win = vxui::WinPathBestFit(typed);
  if (win.empty()) out << "No drive holds " << typed << "\n";
  return win;
}

void RenderControl(std::ostringstream& s, const TControl& c) {
  if (!c.Visible) return;
  const char* disabled = c.Enabled ? "" : "  (disabled)";
  const char* indent = c.Parent != nullptr ? "    " : "";
  switch (c.Kind) {
    case TControlKind::Label:
      s << indent << Text(c.Caption) << (static_cast<const vx::TLabel&>(c).FocusControl != nullptr ? ":" : "") << "\n";
      break;
    case TControlKind::ListBox: {
      const auto& list = static_cast<const vx::TListBox&>(c);
      if (list.Count() == 0) s << indent << "    (no items)\n";
      for (int i = 0; i < list.Count(); ++i)
        s << indent << (list.Selected(i) ? "  * " : "    ") << i + 1 << "  " << Text(list.Item(i)) << "\n";
      break;
    }
    case TControlKind::Edit:
      s << indent << "    [" << Text(static_cast<const vx::TEdit&>(c).Text) << "]" << disabled << "\n";
      break;
    case TControlKind::CheckBox:
      s << indent << (static_cast<const vx::TCheckBox&>(c).Checked() ? "[x] " : "[ ] ") << Text(c.Caption) << disabled
        << "\n";
      break;
    case TControlKind::RadioButton:
      s << indent << (static_cast<const vx::TRadioButton&>(c).Checked() ? "(*) " : "( ) ") << Text(c.Caption)
        << disabled << "\n";
      break;
    case TControlKind::GroupBox:
      s << indent << Text(c.Caption) << ":" << disabled << "\n";
      break;
    case TControlKind::Memo:
      s << Indented(Text(static_cast<const vx::TMemo&>(c).Text), "  | ");
      break;
    case TControlKind::Button:
      break;  // the commands stand for the buttons
  }
}

}  // namespace

ConsoleView::ConsoleView(std::istream& in, std::ostream& out)
    : ConsoleBackend(in, out), previous_(vxui::SetBackend(this)) {}

ConsoleView::~ConsoleView() { vxui::SetBackend(previous_); }

std::string ConsoleView::Render(const TForm& form) {
  std::ostringstream s;
  s << "=== " << Text(form.Caption) << " ===\n";
  // Controls of a group follow the group.
  for (const TControl* c : form.Controls()) {
    if (c->Parent != nullptr) continue;
    RenderControl(s, *c);
    for (const TControl* child : form.Controls())
      if (child->Parent == c) RenderControl(s, *child);
  }
  return s.str();
}

INT_PTR ConsoleView::RunModal(HWND window) {
  TForm* form = FormOf(window);
  if (form == nullptr) return ConsoleBackend::RunModal(window);
  const std::string kind = form->ClassName();
  if (kind == "TZipListForm") Out() << "\n" << kZipCommands;
  INT_PTR result = IDCANCEL;
  while (!vxui::ModalEnded(window, &result)) {
    Out() << "\n" << Render(*form);
    if (kind == "TResultForm") Out() << "[" << Text("Ok") << "]\n";
    Out() << (kind == "TResultForm" ? "ok> " : "> ");
    std::string line;
    if (!ReadLine(line)) {
      // The end of input closes the window as its close box would.
      form->UserClose();
      if (!vxui::ModalEnded(window, &result)) return IDCANCEL;
      break;
    }
    if (kind == "TZipListForm")
      ZipListCommand(*form, line);
    else if (kind == "TResultForm")
      ResultCommand(*form, line);
    else
      OtherCommand(*form, line);
  }
  Out() << "(" << Text(form->Caption) << " closed)\n";
  return result;
}

void ConsoleView::ZipListCommand(TForm& form, const std::string& line) {
  const std::vector<std::string> words = vxui::SplitWords(line);
  if (words.empty()) return;
  const std::string& command = words[0];
  const std::vector<std::string> args(words.begin() + 1, words.end());
  auto* list = Control<vx::TListBox>(form, "FilesListBox", TControlKind::ListBox);
  auto click = [&](const char* name) {
    TControl* c = form.FindControl(name);
    if (c == nullptr || !form.UserClick(c)) Out() << Text(c != nullptr ? c->Caption : name) << " is disabled.\n";
  };

  if (command == "add" || command == "drop") {
    if (args.empty()) {
      Out() << command << " needs one or more paths.\n";
      return;
    }
    std::vector<std::string> paths;
    for (const std::string& typed : args) {
      const std::string win = ExistingPath(Out(), typed, false, command == "drop");
      if (win.empty()) return;
      paths.push_back(win);
    }
    if (command == "add") {
      PresetOpenFiles(paths);
      click("AddButton");
      ClearPresets();
    } else if (!vxui::AcceptsDrops(form.Handle())) {
      Out() << "This window does not accept dropped files.\n";
    } else {
      SendMessageA(form.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(vxui::CreateDrop(paths)), 0);
    }
  } else if (command == "folder") {
    if (args.size() > 1) {
      Out() << "folder takes one path (or none to cancel the folder browser).\n";
      return;
    }
    std::string win;
    if (!args.empty() && (win = ExistingPath(Out(), args[0], true, false)).empty()) return;
    PresetFolder(args.empty() ? std::nullopt : std::optional<std::string>(win));
    click("FolderAttachButton");
    ClearPresets();
  } else if (command == "select") {
    std::vector<int> indices;
    for (const std::string& a : args) {
      int index = 0;
      if (!ParseIndex(a, index) || list == nullptr || index >= list->Count()) {
        Out() << "No item " << a << " in the list.\n";
        return;
      }
      indices.push_back(index);
    }
    if (!form.UserSelect(list, indices)) Out() << "The list is disabled.\n";
  } else if (command == "remove" && args.empty()) {
    click("RemoveButton");
  } else if (command == "key" && args.size() == 1 && args[0] == "delete") {
    if (!form.UserKeyDown(list, VK_DELETE, 0)) Out() << "The list is disabled.\n";
  } else if (command == "dblclick" && args.size() == 1) {
    int index = 0;
    if (!ParseIndex(args[0], index) || list == nullptr || !form.UserDblClick(list, index))
      Out() << "No item " << args[0] << " in the list.\n";
  } else if (command == "name") {
    // The rest of the line as typed, blanks included.
    const std::size_t start = line.find("name") + 4;
    std::string text = start < line.size() ? line.substr(start + 1) : std::string();
    auto* edit = Control<vx::TEdit>(form, "FileNameEdit", TControlKind::Edit);
    if (!form.UserEnterText(edit, vxui::Cp932BestFit(text))) Out() << "The name field is disabled.\n";
  } else if (command == "format" && args.size() == 1) {
    static const struct {
      const char* word;
      const char* button;
    } kFormats[] = {{"lha", "LhaRadioButton"},
                    {"zip", "ZipRadioButton"},
                    {"cab", "CabRadioButton"},
                    {"tgz", "TgzRadioButton"},
                    {"bz2", "Bz2RadioButton"}};
    for (const auto& f : kFormats)
      if (args[0] == f.word) return click(f.button);
    Out() << "format takes lha, zip, cab, tgz or bz2.\n";
  } else if ((command == "sfx" || command == "result") && args.size() == 1 && (args[0] == "on" || args[0] == "off")) {
    auto* box = Control<vx::TCheckBox>(form, command == "sfx" ? "SfxCheckBox" : "ShowResultCheckBox",
                                       TControlKind::CheckBox);
    if (box == nullptr) return;
    if (box->Checked() == (args[0] == "on"))
      Out() << Text(box->Caption) << " is already " << args[0] << ".\n";
    else
      click(box->Name.c_str());
  } else if (command == "attach" && args.empty()) {
    click("AttachBitBtn");
  } else if (command == "cancel" && args.empty()) {
    click("CancelButton");
  } else {
    Out() << "\"" << line << "\" is not a command of the dialog " << Text(form.Caption) << ".\n" << kZipCommands;
  }
}

void ConsoleView::ResultCommand(TForm& form, const std::string& line) {
  const std::vector<std::string> words = vxui::SplitWords(line);
  if (words.size() == 1 && words[0] == "ok") {
    form.UserClick(form.FindControl("OkButton"));
    return;
  }
  Out() << "The result window " << Text(form.Caption) << " takes only: ok\n";
}

void ConsoleView::OtherCommand(TForm& form, const std::string& line) {
  const std::vector<std::string> words = vxui::SplitWords(line);
  if (words.size() == 1 && words[0] == "cancel") {
    form.UserClose();
    return;
  }
  Out() << "This window takes only: cancel\n";
}

}  // namespace vxconsole
