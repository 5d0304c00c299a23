#include "ArcTestKit.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "support/Cp932.h"

namespace fs = std::filesystem;

namespace arctest {

std::string BinDir() {
  if (const char* bin = std::getenv("VX_BIN"); bin != nullptr && *bin != '\0') return bin;
  return (fs::canonical("/proc/self/exe").parent_path().parent_path() / "bin").string();
}

RealLibrary::RealLibrary(const std::string& fileName) {
  // Z: is the POSIX root, so the library's full path reads Z:\...\bin\FILE.
  std::string win = "Z:" + BinDir() + "/" + fileName;
  for (char& c : win)
    if (c == '/') c = '\\';
  module_ = LoadLibraryA(win.c_str());
  EXPECT_NE(module_, nullptr) << win;
}

CommandResult Call(TArcCommandProc entry, const std::string& utf8Line, DWORD outputSize, HWND window) {
  CommandResult r;
  std::vector<char> buffer(outputSize + 1, '\x7f');
  const std::string line = vxtest::Sjis(utf8Line);
  r.code = entry(window, line.c_str(), outputSize == 0 ? nullptr : buffer.data(), outputSize);
  if (outputSize > 0) {
    EXPECT_NE(std::find(buffer.begin(), buffer.begin() + outputSize, '\0'), buffer.begin() + outputSize)
        << "output not terminated";
    EXPECT_EQ(buffer[outputSize], '\x7f') << "written past the buffer";
    r.output = vxtest::Utf8(std::string(buffer.data()));
  }
  return r;
}

ToolResult Tool(const std::string& command) {
  ToolResult r;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (p == nullptr) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
  const int status = pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string Sh(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

Tree ReadTree(const std::string& dir) {
  Tree tree;
  if (!fs::exists(dir)) return tree;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (!e.is_regular_file()) continue;
    std::ifstream in(e.path(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    tree[fs::relative(e.path(), dir).generic_string()] = s.str();
  }
  return tree;
}

void WriteTree(const std::string& dir, const Tree& tree) {
  for (const auto& [name, content] : tree) {
    const fs::path p = fs::path(dir) / name;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
  }
}

std::string TreeDiff(const Tree& actual, const Tree& expected) {
  std::string diff;
  for (const auto& [name, content] : expected) {
    const auto it = actual.find(name);
    if (it == actual.end())
      diff += "missing " + name + "\n";
    else if (it->second != content)
      diff += "changed " + name + "\n";
  }
  for (const auto& [name, content] : actual)
    if (expected.count(name) == 0) diff += "extra " + name + "\n";
  return diff;
}

std::string ReadFileBytes(const std::string& posixPath) {
  std::ifstream in(posixPath, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string UpperAsciiOf(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

std::string NumberedText(size_t size, const std::string& line) {
  std::string s;
  s.reserve(size);
  for (unsigned i = 0; s.size() < size; ++i) s += line + std::to_string(i * 7919 % 100003) + "\n";
  s.resize(size);
  return s;
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
  if (old_)
    setenv(name_.c_str(), old_->c_str(), 1);
  else
    unsetenv(name_.c_str());
}

BinOnPath::BinOnPath() : ScopedEnv("PATH", BinDir() + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "")) {}

ToolResult ExtractWith(const ReferenceReader& reader, const std::string& archive, const std::string& dir) {
  std::string command = "mkdir -p " + Sh(dir) + " && " + reader.command;
  for (size_t at; (at = command.find("%a")) != std::string::npos;) command.replace(at, 2, Sh(archive));
  for (size_t at; (at = command.find("%d")) != std::string::npos;) command.replace(at, 2, Sh(dir));
  return Tool(command);
}

Tree SampleTree() {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + " of some ordinary text\n";
  return {
      {"top.txt", "hello\n"},
      {"docs/readme.txt", text},
      {"docs/日本語ファイル.txt", "日本語の内容\n"},
      {"data/random.bin", RandomBytes(70000, 7)},
      {"data/sub/empty.txt", ""},
  };
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(dir)) out.push_back(fs::relative(e.path(), dir).generic_string());
  std::sort(out.begin(), out.end());
  return out;
}

namespace {
ProgressWindow* current = nullptr;
const char kClass[] = "ArcTestProgress";
}  // namespace

ProgressWindow::ProgressWindow(int stopAt) : stopAt_(stopAt) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = Proc;
  cls.lpszClassName = kClass;
  RegisterClassA(&cls);
  current = this;
  window_ = CreateWindowExA(0, kClass, "", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  EXPECT_NE(window_, nullptr);
}

ProgressWindow::~ProgressWindow() {
  DestroyWindow(window_);
  UnregisterClassA(kClass, nullptr);
  current = nullptr;
}

LRESULT CALLBACK ProgressWindow::Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (current == nullptr || msg != RegisterWindowMessageA("wm_arcextract")) return DefWindowProcA(hWnd, msg, wParam, lParam);
  current->states_.push_back(wParam);
  const auto* info = reinterpret_cast<const EXTRACTINGINFOEX*>(lParam);
  current->sources_.push_back(info ? vxtest::Utf8(info->exinfo.szSourceFileName) : std::string());
  return current->stopAt_ > 0 && static_cast<int>(current->states_.size()) >= current->stopAt_ ? 1 : 0;
}

void ExpectVerificationStopsInside(const RealLibrary& lib, const std::string& prefix, const std::string& line,
                                   const std::string& archive) {
  auto setOwner = lib.Entry<TArcSetOwnerWindowExProc>((prefix + "SetOwnerWindowEx").c_str());
  auto killOwner = lib.Entry<TArcKillOwnerWindowExProc>((prefix + "KillOwnerWindowEx").c_str());
  auto check = lib.Entry<TArcCheckArchiveProc>((prefix + "CheckArchive").c_str());
  {
    ProgressWindow stopper(3);  // open, begin, the first MiB
    setOwner(stopper.Handle(), nullptr);
    EXPECT_EQ(Call(lib.Entry<TArcCommandProc>(prefix.c_str()), line).code, ARCERR_USER_CANCEL) << line;
    killOwner(stopper.Handle());
    ASSERT_EQ(stopper.States().size(), 3u);
    EXPECT_EQ(stopper.States()[2], static_cast<WPARAM>(ARCEXTRACT_INPROCESS));
  }
  ProgressWindow stopper(2);  // begin, the first MiB
  setOwner(stopper.Handle(), nullptr);
  EXPECT_FALSE(check(archive.c_str(), CHECKARCHIVE_FULLCRC)) << archive;
  killOwner(stopper.Handle());
  ASSERT_EQ(stopper.States().size(), 2u);
  EXPECT_EQ(stopper.States()[1], static_cast<WPARAM>(ARCEXTRACT_INPROCESS));
}

}  // namespace arctest
