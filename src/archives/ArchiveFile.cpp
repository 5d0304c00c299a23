#include "archives/ArchiveFile.h"

#include "archives/Exceptions.h"
#include "archives/Filters.h"

namespace vx {

namespace {

UINT WM_ARCEXTRACT = 0;
const char kWindowClass[] = "TArchiveFileProgressWindow";

void RegisterWindowClassOnce() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kWindowClass;
  registered = RegisterClassA(&wc) != 0;
}

// Runs its action when leaving the scope, also when an error passes.
template <typename F>
class TFinally {
 public:
  explicit TFinally(F f) : Action(std::move(f)) {}
  ~TFinally() { Action(); }
  TFinally(const TFinally&) = delete;
  TFinally& operator=(const TFinally&) = delete;

 private:
  F Action;
};

}  // namespace

UINT ArcExtractMessage() { return WM_ARCEXTRACT; }

TArchiveFile::TArchiveFile(TComponent* Owner)
    : TComponent(Owner), FOptions(std::make_unique<TArchiverOptions>()) {}

TArchiveFile::~TArchiveFile() {
  if (FWindowHandle != nullptr) DestroyWindow(FWindowHandle);
  FArchiver.reset();  // the back-end goes before the options it was given
  FOptions.reset();
}

void TArchiveFile::SetFileName(const std::string& Value) {
  SetArchiverType(vx::GetArchiverType(Value, true));
  FFileName = Value;
}

void TArchiveFile::SetOutputSize(int N) {
  FOutput.assign(N > 0 ? static_cast<std::size_t>(N) : 0, '\0');
}

std::string TArchiveFile::GetOutput() const {
  return std::string(FOutput.c_str());  // up to the first NUL
}

void TArchiveFile::SetArchiverType(TArchiverType Value) {
  if (Value >= atLha && Value <= atRar) {
    // The old back-end goes only once the new one exists.
    std::unique_ptr<TArchiver> next = CreateArchiver(Value);
    FArchiver = std::move(next);
    FArchiverType = Value;
  } else if (Value == atNone) {
    return;
  } else if (Value == atAutoDetect) {
    FArchiverType = atAutoDetect;
  } else if (Reading) {
    FArchiverType = Value;
  } else {
    throw EArchiver("現在のバージョンではこの形式の書庫をサポートしていません。");
  }
}

void TArchiveFile::AutoDetect() {
  if (FArchiverType == atAutoDetect) SetArchiverType(vx::GetArchiverType(FFileName, false));
}

void TArchiveFile::CheckArchiver() const {
  if (!FArchiver) throw EArchiver("書庫の形式を判別できません。");
}

int TArchiveFile::Pack(HWND hWnd, TArchiverOptions* Options, const std::string& BaseDir,
                       const TStringList* Files) {
  AutoDetect();
  CheckArchiver();
  if (Options == nullptr) Options = FOptions.get();
  int result;
  if (Options->PackFilter == pfComponent) {
    TArchiverOptions copy;
    copy.Assign(Options);
    const TStringList filtered = FilterFiles(copy, Files);
    if (!filtered.empty()) {
      result = PackWith(hWnd, copy, BaseDir, &filtered);
    } else {
      if (!FOutput.empty()) FOutput[0] = '\0';
      result = 0;
    }
  } else {
    result = PackWith(hWnd, *Options, BaseDir, Files);
  }
  FCommandLine = FArchiver->CmdLine;
  return result;
}

int TArchiveFile::PackWith(HWND hWnd, const TArchiverOptions& Options, const std::string& BaseDir,
                           const TStringList* Files) {
  // A handler that clears OnProgress while the library runs must not leave
  // the window registered: unhook whatever was hooked.
  const bool hooked = static_cast<bool>(OnProgress);
  if (hooked) HookProgress();
  TFinally unhook([this, hooked] {
    if (hooked) UnhookProgress();
  });
  return FArchiver->Pack(hWnd, FFileName, Options, BaseDir, Files,
                         Options.ResFileUsage.Contains(ruOnPack), FOutput);
}

int TArchiveFile::MakeSfx(HWND hWnd, TArchiverOptions* Options, const std::string& Dir) {
  CheckArchiver();
  if (Options == nullptr) Options = FOptions.get();
  TFinally copyCommandLine([this] { FCommandLine = FArchiver->CmdLine; });
  return FArchiver->MakeSfx(hWnd, FFileName, *Options, Dir, FOutput);
}

void TArchiveFile::HookProgress() {
  if (WM_ARCEXTRACT == 0) WM_ARCEXTRACT = RegisterWindowMessageA("wm_arcextract");
  if (FWindowHandle == nullptr) {
    RegisterWindowClassOnce();
    FWindowHandle = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
    if (FWindowHandle != nullptr) {
      SetWindowLongPtrA(FWindowHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
      SetWindowLongPtrA(FWindowHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WndProc));
    }
  }
  try {
    FArchiver->SetOwnerWindowEx(FWindowHandle, nullptr);
  } catch (...) {
    // A library without progress support packs all the same.
  }
}

void TArchiveFile::UnhookProgress() {
  try {
    FArchiver->KillOwnerWindowEx(FWindowHandle);
  } catch (...) {
  }
}

void TArchiveFile::DoProgress(int32_t State, LPEXTRACTINGINFOEX lpEis, bool& Abort) {
  // A copy, so that a handler may replace OnProgress while it runs.
  if (const TArchiverProgressEvent handler = OnProgress) handler(this, State, lpEis, Abort);
}

LRESULT CALLBACK TArchiveFile::WndProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TArchiveFile*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
  if (self != nullptr && WM_ARCEXTRACT != 0 && Msg == WM_ARCEXTRACT) {
    bool abort = false;
    self->DoProgress(static_cast<int32_t>(wParam), reinterpret_cast<LPEXTRACTINGINFOEX>(lParam), abort);
    return abort ? 1 : 0;
  }
  return DefWindowProcA(hWnd, Msg, wParam, lParam);
}

}  // namespace vx
