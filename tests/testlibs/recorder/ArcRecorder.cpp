#include "ArcRecorder.h"

#include <cstring>
#include <map>
#include <utility>

namespace arctest {

namespace {

struct State {
  std::vector<Call> calls;
  std::map<std::pair<std::string, std::string>, intptr_t> results;
  std::map<std::pair<std::string, std::string>, std::string> reports;
  std::map<std::string, HWND> owners;  // per library
  int progressCount = 3;
  std::string probePath;
};

State& S() {
  static State state;
  return state;
}

intptr_t ResultOf(const char* library, const char* entry, intptr_t fallback) {
  auto it = S().results.find({library, entry});
  return it == S().results.end() ? fallback : it->second;
}

Call& Record(const char* library, const char* entry) {
  Call call;
  call.library = library;
  call.entry = entry;
  S().calls.push_back(call);
  return S().calls.back();
}

// Sends the scripted progress messages; false when the window asked to stop.
bool SendProgress(const char* library, Call& call) {
  auto owner = S().owners.find(library);
  if (owner == S().owners.end() || owner->second == nullptr) return true;
  const UINT message = RegisterWindowMessageA("wm_arcextract");
  EXTRACTINGINFOEX info{};
  std::strcpy(info.exinfo.szSourceFileName, "member.txt");
  for (int i = 0; i < S().progressCount; ++i) {
    const WPARAM state = i == 0 ? ARCEXTRACT_BEGIN
                         : i == S().progressCount - 1 ? ARCEXTRACT_END
                                                      : ARCEXTRACT_INPROCESS;
    const LRESULT answer =
        SendMessageA(owner->second, message, state, reinterpret_cast<LPARAM>(&info));
    call.progressAnswers.push_back(answer);
    if (answer != 0) return false;
  }
  return true;
}

}  // namespace

void Reset() { S() = State(); }

std::vector<Call> Calls() { return S().calls; }

std::vector<Call> CallsOf(const std::string& entry, const std::string& library) {
  std::vector<Call> out;
  for (const Call& c : S().calls)
    if (c.entry == entry && (library.empty() || c.library == library)) out.push_back(c);
  return out;
}

void ScriptResult(const std::string& library, const std::string& entry, intptr_t result) {
  S().results[{library, entry}] = result;
}

void ScriptReport(const std::string& library, const std::string& entry, const std::string& report) {
  S().reports[{library, entry}] = report;
}

void ScriptProgressCount(int count) { S().progressCount = count; }

void SetProbePath(const std::string& windowsPath) { S().probePath = windowsPath; }

int Command(const char* library, const char* entry, HWND hWnd, LPCSTR cmdLine, LPSTR output,
            DWORD size) {
  Call& call = Record(library, entry);
  call.window = hWnd;
  call.text = cmdLine ? cmdLine : "";
  call.bufferNull = output == nullptr;
  call.bufferSize = size;
  if (!S().probePath.empty())
    call.probeExisted = GetFileAttributesA(S().probePath.c_str()) != INVALID_FILE_ATTRIBUTES;
  const bool finished = SendProgress(library, call);
  if (output != nullptr && size > 0) {
    auto report = S().reports.find({library, entry});
    const std::string text = report == S().reports.end() ? std::string() : report->second;
    const std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(output, text.data(), n);
    output[n] = '\0';
  }
  if (!finished) return ARCERR_USER_CANCEL;
  return static_cast<int>(ResultOf(library, entry, 0));
}

HARC Open(const char* library, const char* entry, HWND hWnd, LPCSTR name, DWORD mode) {
  Call& call = Record(library, entry);
  call.window = hWnd;
  call.text = name ? name : "";
  call.mode = mode;
  call.handle = reinterpret_cast<HARC>(ResultOf(library, entry, 0));
  return call.handle;
}

int Close(const char* library, const char* entry, HARC hArc) {
  Record(library, entry).handle = hArc;
  return static_cast<int>(ResultOf(library, entry, 0));
}

int FindFirst(const char* library, const char* entry, HARC hArc, LPCSTR wild, LPINDIVIDUALINFO info) {
  Call& call = Record(library, entry);
  call.handle = hArc;
  call.text = wild ? wild : "";
  call.record = info;
  return static_cast<int>(ResultOf(library, entry, -1));
}

int FindNext(const char* library, const char* entry, HARC hArc, LPINDIVIDUALINFO info) {
  Call& call = Record(library, entry);
  call.handle = hArc;
  call.record = info;
  return static_cast<int>(ResultOf(library, entry, -1));
}

BOOL Check(const char* library, const char* entry, LPCSTR name, int mode) {
  Call& call = Record(library, entry);
  call.text = name ? name : "";
  call.mode = static_cast<DWORD>(mode);
  return static_cast<BOOL>(ResultOf(library, entry, 0));
}

BOOL SetOwner(const char* library, const char* entry, HWND hWnd, void* proc) {
  Call& call = Record(library, entry);
  call.window = hWnd;
  call.record = proc;
  S().owners[library] = hWnd;
  return static_cast<BOOL>(ResultOf(library, entry, 1));
}

BOOL KillOwner(const char* library, const char* entry, HWND hWnd) {
  Record(library, entry).window = hWnd;
  S().owners[library] = nullptr;
  return static_cast<BOOL>(ResultOf(library, entry, 1));
}

int GetType(const char* library, const char* entry, LPCSTR name) {
  Record(library, entry).text = name ? name : "";
  return static_cast<int>(ResultOf(library, entry, 0));
}

}  // namespace arctest
