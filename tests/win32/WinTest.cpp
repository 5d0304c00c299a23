#include "WinTest.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <exception>
#include <mutex>
#include <vector>

namespace wintest {

namespace {

struct TCase {
  const char* Name;
  void (*Body)();
};

std::vector<TCase>& Cases() {
  static std::vector<TCase> cases;
  return cases;
}

std::atomic<int> failures{0};
std::mutex printing;

// A case may take this long, message loops and Wine's start-up included.
constexpr DWORD kCaseTimeoutMs = 120000;

int RunHere(const std::string& Name) {
  for (const TCase& c : Cases()) {
    if (Name != c.Name) continue;
    try {
      c.Body();
    } catch (const TAbort&) {
    } catch (const std::exception& e) {
      Fail(__FILE__, __LINE__, std::string("unexpected exception: ") + e.what());
    }
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
  }
  std::printf("no case named %s\n", Name.c_str());
  return 2;
}

// Runs one case in a child process; its exit code (or 3 on a time-out).
DWORD RunChild(const std::string& Name) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const TProcessResult result =
      RunProcess("\"" + std::string(self) + "\" --case " + Name, kCaseTimeoutMs, "the end of case " + Name);
  return result.Started ? (result.Finished ? result.ExitCode : 3) : 4;
}

}  // namespace

int Register(const char* Name, void (*Body)()) {
  Cases().push_back({Name, Body});
  return static_cast<int>(Cases().size());
}

void Fail(const char* File, int Line, const std::string& What) {
  ++failures;
  std::lock_guard<std::mutex> lock(printing);
  const char* base = std::strrchr(File, '/');
  std::printf("%s:%d: check failed: %s\n", base != nullptr ? base + 1 : File, Line, What.c_str());
  std::fflush(stdout);
}

std::string Printable(const std::string& Text) {
  std::string out;
  for (unsigned char c : Text) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

TProcessResult RunProcess(const std::string& Command, DWORD TimeoutMs, const std::string& What) {
  TProcessResult result;
  std::string command = Command;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi)) {
    std::printf("cannot start %s (error %lu)\n", Command.c_str(), GetLastError());
    return result;
  }
  result.Started = true;
  // In a job of its own, where the system allows one, so that whatever the
  // child starts ends with it; a child of a case already belongs to the
  // case's job, which the runner ends.
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  if (job != nullptr) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
        !AssignProcessToJobObject(job, pi.hProcess)) {
      CloseHandle(job);
      job = nullptr;
    }
  }
  ResumeThread(pi.hThread);
  if (WaitForSingleObject(pi.hProcess, TimeoutMs) == WAIT_OBJECT_0) {
    result.Finished = true;
    GetExitCodeProcess(pi.hProcess, &result.ExitCode);
  } else {
    std::printf("time-out after %lu ms waiting for %s: ended\n", TimeoutMs, What.c_str());
    if (job == nullptr || !TerminateJobObject(job, 3)) TerminateProcess(pi.hProcess, 3);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
      std::printf("the child of %s does not end\n", What.c_str());
  }
  if (job != nullptr) CloseHandle(job);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return result;
}

std::string ProgramFolder() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string folder = self;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

}  // namespace wintest

// Without arguments: every case, each in a child process. "--case NAME":
// that case here. "--filter TEXT": the cases whose name holds TEXT.
int main(int argc, char** argv) {
  using namespace wintest;
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::string filter;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--case") == 0) return RunHere(argv[i + 1]);
    if (std::strcmp(argv[i], "--filter") == 0) filter = argv[i + 1];
  }
  int run = 0;
  std::vector<std::string> failed;
  for (const TCase& c : Cases()) {
    if (!filter.empty() && std::strstr(c.Name, filter.c_str()) == nullptr) continue;
    ++run;
    std::printf("[ RUN      ] %s\n", c.Name);
    const DWORD started = GetTickCount();
    const DWORD code = RunChild(c.Name);
    std::printf("[ %s ] %s (%lu ms)\n", code == 0 ? "      OK" : " FAILED ", c.Name, GetTickCount() - started);
    if (code != 0) failed.push_back(c.Name);
  }
  std::printf("[==========] %d cases, %d passed, %d failed\n", run, run - static_cast<int>(failed.size()),
              static_cast<int>(failed.size()));
  for (const std::string& name : failed) std::printf("[  FAILED  ] %s\n", name.c_str());
  return failed.empty() && run > 0 ? 0 : 1;
}
