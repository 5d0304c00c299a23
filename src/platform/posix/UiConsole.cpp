// The console backend: boxes, the file-open dialog, the folder browser and
// the input box as UTF-8 text, answered one line at a time.
#include <sys/stat.h>

#include <algorithm>
#include <istream>
#include <ostream>

#include "platform/posix/vxui.h"

namespace vxui {
namespace {

const char* KindName(BoxKind kind) {
  switch (kind) {
    case BoxKind::Error: return "error";
    case BoxKind::Confirmation: return "confirmation";
    case BoxKind::Warning: return "warning";
    case BoxKind::Information: return "information";
    default: return "message";
  }
}

struct Answer {
  const char* word;
  int id;
};
constexpr Answer kAnswers[] = {{"ok", IDOK},         {"cancel", IDCANCEL}, {"abort", IDABORT},
                               {"retry", IDRETRY},   {"ignore", IDIGNORE}, {"yes", IDYES},
                               {"no", IDNO}};

const char* WordOf(int id) {
  for (const Answer& a : kAnswers)
    if (a.id == id) return a.word;
  return "?";
}

// Text with CR LF, LF CR, CR and LF as terminal line ends.
std::string Lines(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n') && text[i + 1] != c) ++i;
      out += '\n';
    } else {
      out += c;
    }
  }
  return out;
}

// What closing a box without a choice gives: Cancel when it has one,
// otherwise its negative or only button.
int ClosedAnswer(const std::vector<int>& buttons) {
  for (int id : {IDCANCEL, IDNO, IDOK})
    if (std::find(buttons.begin(), buttons.end(), id) != buttons.end()) return id;
  return buttons.empty() ? IDCANCEL : buttons.back();
}

}  // namespace

ConsoleBackend::ConsoleBackend(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

bool ConsoleBackend::ReadLine(std::string& line) {
  out_.flush();
  if (atEnd_ || !std::getline(in_, line)) {
    if (!atEnd_) out_ << "\n(end of input)\n";
    atEnd_ = true;
    line.clear();
    return false;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (echo_) out_ << line << "\n";
  return true;
}

int ConsoleBackend::MessageBox(const BoxRequest& box) {
  out_ << "\n--- message box: " << ToTerminal(box.caption) << " (" << KindName(box.kind) << ") ---\n"
       << Lines(ToTerminal(box.text)) << "\n";
  std::string words;
  for (std::size_t i = 0; i < box.buttons.size(); ++i) {
    out_ << (i == 0 ? "" : "  ") << "[" << ToTerminal(box.labels[i]) << "]";
    words += (i == 0 ? "" : "|") + std::string(WordOf(box.buttons[i]));
  }
  out_ << "\n";
  for (;;) {
    out_ << "answer " << words << "> ";
    std::string line;
    if (!ReadLine(line)) return ClosedAnswer(box.buttons);
    const std::vector<std::string> typed = SplitWords(line);
    if (typed.size() == 1)
      for (int id : box.buttons)
        if (typed[0] == WordOf(id)) return id;
    out_ << "A message box is open: answer " << words << ".\n";
  }
}

bool ConsoleBackend::OpenFiles(HWND, const std::string& title, std::vector<std::string>& files) {
  if (presetFiles_) {
    files = std::move(*presetFiles_);
    presetFiles_.reset();
    return true;
  }
  out_ << "\n--- file-open dialog" << (title.empty() ? "" : ": " + ToTerminal(title)) << " ---\n";
  for (;;) {
    out_ << "files (an empty line cancels)> ";
    std::string line;
    if (!ReadLine(line) || line.empty()) return false;
    files.clear();
    bool ok = true;
    for (const std::string& path : SplitWords(line)) {
      struct stat st;
      const std::string win = WinPathBestFit(path);
      if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode) || win.empty()) {
        out_ << "No such file: " << path << "\n";
        ok = false;
      }
      files.push_back(win);
    }
    if (ok && !files.empty()) return true;
  }
}

bool ConsoleBackend::BrowseForFolder(HWND, const std::string& title, std::string& folder) {
  if (folderPreset_) {
    folderPreset_ = false;
    if (!presetFolder_) return false;
    folder = *presetFolder_;
    return true;
  }
  out_ << "\n--- folder browser: " << ToTerminal(title) << " ---\n";
  for (;;) {
    out_ << "folder (an empty line cancels)> ";
    std::string line;
    if (!ReadLine(line) || line.empty()) return false;
    const std::vector<std::string> words = SplitWords(line);
    struct stat st;
    const std::string win = words.size() == 1 ? WinPathBestFit(words[0]) : std::string();
    if (!win.empty() && stat(words[0].c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      folder = win;
      return true;
    }
    out_ << "Not a folder: " << line << "\n";
  }
}

bool ConsoleBackend::InputQuery(HWND, const std::string& caption, const std::string& prompt,
                                std::string& value) {
  out_ << "\n--- input box: " << ToTerminal(caption) << " ---\n" << Lines(ToTerminal(prompt)) << "\n";
  if (!value.empty()) out_ << "(now: " << ToTerminal(value) << ")\n";
  out_ << "text (an empty line cancels)> ";
  std::string line;
  if (!ReadLine(line) || line.empty()) return false;
  value = Cp932BestFit(line);
  return true;
}

INT_PTR ConsoleBackend::RunModal(HWND) {
  out_ << "\n(this console has no view of forms: the window is closed)\n";
  return IDCANCEL;
}

void ConsoleBackend::PresetOpenFiles(std::vector<std::string> winPaths) { presetFiles_ = std::move(winPaths); }

void ConsoleBackend::PresetFolder(std::optional<std::string> winPath) {
  folderPreset_ = true;
  presetFolder_ = std::move(winPath);
}

void ConsoleBackend::ClearPresets() {
  presetFiles_.reset();
  folderPreset_ = false;
  presetFolder_.reset();
}

}  // namespace vxui
