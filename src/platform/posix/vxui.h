// The backends behind the user-interface services of the POSIX personality
// (MessageBoxA, GetOpenFileNameA, SHBrowseForFolderA, VxInputQuery,
// VxShowModal). One backend answers at a time: the console backend unless a
// program or test installs another. Text crossing this interface is code
// page 932, as the module hands it over; paths are Windows paths.
#pragma once

#include <deque>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix/vxposix.h"
#include "platform/win32api.h"

namespace vxui {

// The kind of a message box, from its icon.
enum class BoxKind { Plain, Error, Confirmation, Warning, Information };

struct BoxRequest {
  HWND owner = nullptr;
  BoxKind kind = BoxKind::Plain;
  std::string caption;
  std::string text;
  std::vector<int> buttons;         // IDOK, IDYES, ... in display order
  std::vector<std::string> labels;  // the system's labels of those buttons
};

class VXPOSIX Backend {
 public:
  virtual ~Backend();
  // The ID of the chosen button; IDCANCEL (or the box's only or last
  // button when it has no Cancel) when it was closed some other way.
  virtual int MessageBox(const BoxRequest& box) = 0;
  // Full paths of the chosen files; false when cancelled.
  virtual bool OpenFiles(HWND owner, const std::string& title, std::vector<std::string>& files) = 0;
  // The chosen folder; false when cancelled.
  virtual bool BrowseForFolder(HWND owner, const std::string& title, std::string& folder) = 0;
  // False when cancelled; value holds the initial text on entry.
  virtual bool InputQuery(HWND owner, const std::string& caption, const std::string& prompt,
                          std::string& value) = 0;
  // Runs the modal loop of a form window until ModalEnded says it ended,
  // or gives up (the user closed it). The result when it gave up.
  virtual INT_PTR RunModal(HWND form) = 0;
};

// Installs a backend (not owned) and returns the previous one; null puts
// the console backend on standard input and output back.
VXPOSIX Backend* SetBackend(Backend* backend);
VXPOSIX Backend& CurrentBackend();

// Whether VxEndModal ended the modal loop of the window, and with what.
VXPOSIX bool ModalEnded(HWND form, INT_PTR* result);

// The button IDs and labels of a MessageBoxA type.
VXPOSIX void ButtonsOf(UINT type, std::vector<int>& ids, std::vector<std::string>& labels);

// Drops from the shell: whether the window accepts them, a drop of these
// Windows paths as WM_DROPFILES hands it over (DragFinish frees it), and
// the number of drops not yet finished.
VXPOSIX bool AcceptsDrops(HWND window);
VXPOSIX HDROP CreateDrop(const std::vector<std::string>& winPaths);
VXPOSIX int OpenDrops();

// POSIX path (UTF-8, absolute or relative to the current directory) to a
// Windows path the way the ANSI functions hand names over: a character
// that code page 932 lacks becomes "?". Empty when no drive holds it.
VXPOSIX std::string WinPathBestFit(const std::string& posixPath);
// UTF-8 text to code page 932 with the same "?" substitution.
VXPOSIX std::string Cp932BestFit(const std::string& utf8);
// Code page 932 text for the terminal (bytes that do not convert as "?").
VXPOSIX std::string ToTerminal(const std::string& cp932);

// Splits a typed line into words: blanks separate, "..." and '...' quote,
// a backslash outside single quotes takes the next character literally.
VXPOSIX std::vector<std::string> SplitWords(const std::string& line);

// The console: shows every box and dialog as UTF-8 text on an output
// stream and reads one answer a line from an input stream. The end of
// input cancels whatever is open.
class VXPOSIX ConsoleBackend : public Backend {
 public:
  ConsoleBackend(std::istream& in, std::ostream& out);

  int MessageBox(const BoxRequest& box) override;
  bool OpenFiles(HWND owner, const std::string& title, std::vector<std::string>& files) override;
  bool BrowseForFolder(HWND owner, const std::string& title, std::string& folder) override;
  bool InputQuery(HWND owner, const std::string& caption, const std::string& prompt,
                  std::string& value) override;
  // Without a view of forms it can only report the form and give up.
  INT_PTR RunModal(HWND form) override;

  // Answers chosen ahead by a view for the next file-open dialog and the
  // next folder browser (an empty optional: cancelled).
  void PresetOpenFiles(std::vector<std::string> winPaths);
  void PresetFolder(std::optional<std::string> winPath);
  // Forgets answers chosen ahead that no dialog took.
  void ClearPresets();
  // Repeats each line read after its prompt (for input that is not typed).
  void SetEcho(bool echo) { echo_ = echo; }

 protected:
  // One line of input without its line end; false at the end of input.
  bool ReadLine(std::string& line);
  bool AtEnd() const { return atEnd_; }
  std::ostream& Out() { return out_; }

 private:
  std::istream& in_;
  std::ostream& out_;
  bool atEnd_ = false;
  bool echo_ = false;
  std::optional<std::vector<std::string>> presetFiles_;
  bool folderPreset_ = false;
  std::optional<std::string> presetFolder_;
};

// The backend of tests: records every request and answers from a script.
// A box offering only OK is answered OK without a script entry; any other
// box takes the next scripted answer, or IDCANCEL (counted as unanswered).
class VXPOSIX ScriptedBackend : public Backend {
 public:
  struct Box {
    BoxKind kind;
    std::string caption, text;
    std::vector<std::string> buttons;  // labels
    int answer;
  };
  struct Input {
    std::string caption, prompt, initial;
  };

  ScriptedBackend();   // installs itself
  ~ScriptedBackend() override;  // puts the previous backend back
  ScriptedBackend(const ScriptedBackend&) = delete;
  ScriptedBackend& operator=(const ScriptedBackend&) = delete;

  void AnswerBox(int id) { boxAnswers_.push_back(id); }
  void AnswerOpen(std::vector<std::string> files) { openAnswers_.push_back(std::move(files)); }
  void CancelOpen() { openAnswers_.push_back(std::nullopt); }
  void AnswerFolder(std::string folder) { folderAnswers_.push_back(std::move(folder)); }
  void CancelFolder() { folderAnswers_.push_back(std::nullopt); }
  void AnswerInput(std::string value) { inputAnswers_.push_back(std::move(value)); }
  void CancelInput() { inputAnswers_.push_back(std::nullopt); }
  // Runs inside the next modal loop; the loop ends when the action ends it
  // (VxEndModal), otherwise it is given up with IDCANCEL.
  void AnswerModal(std::function<void(HWND)> action) { modalAnswers_.push_back(std::move(action)); }

  const std::vector<Box>& Boxes() const { return boxes_; }
  const std::vector<std::string>& OpenTitles() const { return openTitles_; }
  const std::vector<std::string>& FolderTitles() const { return folderTitles_; }
  const std::vector<Input>& Inputs() const { return inputs_; }
  const std::vector<HWND>& Modals() const { return modals_; }
  // Requests that found no scripted answer.
  int Unanswered() const { return unanswered_; }
  // Scripted answers nobody asked for.
  std::size_t Unused() const {
    return boxAnswers_.size() + openAnswers_.size() + folderAnswers_.size() + inputAnswers_.size() +
           modalAnswers_.size();
  }

  int MessageBox(const BoxRequest& box) override;
  bool OpenFiles(HWND owner, const std::string& title, std::vector<std::string>& files) override;
  bool BrowseForFolder(HWND owner, const std::string& title, std::string& folder) override;
  bool InputQuery(HWND owner, const std::string& caption, const std::string& prompt,
                  std::string& value) override;
  INT_PTR RunModal(HWND form) override;

 private:
  Backend* previous_;
  std::deque<int> boxAnswers_;
  std::deque<std::optional<std::vector<std::string>>> openAnswers_;
  std::deque<std::optional<std::string>> folderAnswers_;
  std::deque<std::optional<std::string>> inputAnswers_;
  std::deque<std::function<void(HWND)>> modalAnswers_;
  std::vector<Box> boxes_;
  std::vector<std::string> openTitles_, folderTitles_;
  std::vector<Input> inputs_;
  std::vector<HWND> modals_;
  int unanswered_ = 0;
};

}  // namespace vxui
