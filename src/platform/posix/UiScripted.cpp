// The scripted backend of tests: every request is recorded, answers come
// from queues filled by the test.
#include "platform/posix/vxui.h"

namespace vxui {

ScriptedBackend::ScriptedBackend() : previous_(SetBackend(this)) {}

ScriptedBackend::~ScriptedBackend() { SetBackend(previous_); }

int ScriptedBackend::MessageBox(const BoxRequest& box) {
  int answer = IDOK;
  if (box.buttons != std::vector<int>{IDOK}) {
    if (boxAnswers_.empty()) {
      ++unanswered_;
      answer = IDCANCEL;
    } else {
      answer = boxAnswers_.front();
      boxAnswers_.pop_front();
    }
  }
  boxes_.push_back(Box{box.kind, box.caption, box.text, box.labels, answer});
  return answer;
}

bool ScriptedBackend::OpenFiles(HWND, const std::string& title, std::vector<std::string>& files) {
  openTitles_.push_back(title);
  if (openAnswers_.empty()) {
    ++unanswered_;
    return false;
  }
  auto answer = std::move(openAnswers_.front());
  openAnswers_.pop_front();
  if (!answer) return false;
  files = std::move(*answer);
  return true;
}

bool ScriptedBackend::BrowseForFolder(HWND, const std::string& title, std::string& folder) {
  folderTitles_.push_back(title);
  if (folderAnswers_.empty()) {
    ++unanswered_;
    return false;
  }
  auto answer = std::move(folderAnswers_.front());
  folderAnswers_.pop_front();
  if (!answer) return false;
  folder = std::move(*answer);
  return true;
}

bool ScriptedBackend::InputQuery(HWND, const std::string& caption, const std::string& prompt,
                                 std::string& value) {
  inputs_.push_back(Input{caption, prompt, value});
  if (inputAnswers_.empty()) {
    ++unanswered_;
    return false;
  }
  auto answer = std::move(inputAnswers_.front());
  inputAnswers_.pop_front();
  if (!answer) return false;
  value = std::move(*answer);
  return true;
}

INT_PTR ScriptedBackend::RunModal(HWND form) {
  modals_.push_back(form);
  if (modalAnswers_.empty()) {
    ++unanswered_;
    return IDCANCEL;
  }
  auto action = std::move(modalAnswers_.front());
  modalAnswers_.pop_front();
  action(form);
  return IDCANCEL;
}

}  // namespace vxui
