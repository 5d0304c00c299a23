// The face of the archiver framework: one archive file. It picks the back-end
// from the archive type (set from the name's extension or detected from the
// content), holds the options and the library's output buffer, packs and
// makes self-extracting programs, and relays the library's progress.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "archives/Archiver.h"
#include "archives/ArchiverOptions.h"
#include "archives/Component.h"
#include "archives/Types.h"
#include "platform/win32api.h"

namespace vx {

// Progress handler: the component, the library's state code, the library's
// own progress record (passed on unread), and Abort to ask the library to stop.
using TArchiverProgressEvent =
    std::function<void(TObject* Sender, int32_t State, LPEXTRACTINGINFOEX lpEis, bool& Abort)>;

class TArchiveFile : public TComponent {
 public:
  explicit TArchiveFile(TComponent* Owner);
  ~TArchiveFile() override;

  std::string ClassName() const override { return "TArchiveFile"; }

  const std::string& GetFileName() const { return FFileName; }
  // Chooses the type by extension first; the name is kept only when that works.
  void SetFileName(const std::string& Value);
  int GetOutputSize() const { return static_cast<int>(FOutput.size()); }
  void SetOutputSize(int N);
  TArchiverOptions& Options() { return *FOptions; }
  TArchiverType GetArchiverType() const { return FArchiverType; }
  void SetArchiverType(TArchiverType Value);
  TArchiverProgressEvent OnProgress;

  // The current back-end, or none.
  TArchiver* Archiver() const { return FArchiver.get(); }
  // Raises "no format" when there is no back-end.
  void CheckArchiver() const;
  const std::string& CommandLine() const { return FCommandLine; }
  // The library's text output up to its first NUL.
  std::string GetOutput() const;
  HWND WindowHandle() const { return FWindowHandle; }

  // Options null means the component's own. Returns the library's result
  // code, or 0 when the filter left nothing to pack.
  int Pack(HWND hWnd, TArchiverOptions* Options, const std::string& BaseDir, const TStringList* Files);
  int MakeSfx(HWND hWnd, TArchiverOptions* Options, const std::string& Dir);

 private:
  void AutoDetect();
  int PackWith(HWND hWnd, const TArchiverOptions& Options, const std::string& BaseDir,
               const TStringList* Files);
  void HookProgress();
  void UnhookProgress();
  void DoProgress(int32_t State, LPEXTRACTINGINFOEX lpEis, bool& Abort);
  static LRESULT CALLBACK WndProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

  TArchiverType FArchiverType = atAutoDetect;
  std::unique_ptr<TArchiver> FArchiver;
  std::unique_ptr<TArchiverOptions> FOptions;
  std::string FFileName = NoValue;
  std::string FCommandLine;
  std::string FOutput;
  HWND FWindowHandle = nullptr;
};

// The archive type of a file: by extension (".exe" probes the content), or
// by content, asking every family's check in a fixed order.
TArchiverType GetArchiverType(const std::string& FileName, bool ByExtension);

// The back-end object of an archive type from atLha to atRar.
std::unique_ptr<TArchiver> CreateArchiver(TArchiverType Type);

// The number registered for "wm_arcextract", 0 until the first registration.
UINT ArcExtractMessage();

}  // namespace vx
