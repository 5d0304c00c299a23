// The Win32 view of a form (vx::TForm): the form's own window becomes a
// dialog frame with its caption and border, holding a child dialog built
// from an in-memory template with every control at its place and size, in
// its tab order, with its access keys, the form's font and the hints as
// tooltips. The view shows the presenter's state and hands what the user
// does to the presenter (TForm::User*); after every such event it shows
// the state again. It lives for one modal display.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "forms/Forms.h"
#include "platform/win32/GlyphButton.h"
#include "platform/win32/ViewModule.h"

namespace vxwin {

class TFormView {
 public:
  explicit TFormView(vx::TForm& Form);
  ~TFormView();
  TFormView(const TFormView&) = delete;
  TFormView& operator=(const TFormView&) = delete;

  // Shows the form, runs its modal loop and hides it again; the result
  // given to EndModal, IDCANCEL when the loop was given up.
  INT_PTR RunModal();
  void EndModal(INT_PTR Result);

  // The view of a form window in a modal loop, or null.
  static TFormView* Find(HWND Frame);
  // Shows the presenters' state in every open view (a handler may have
  // changed any of them before a nested modal box or loop).
  static void SyncAll();
  // Shows this form's state now.
  void Sync();

  HWND Frame() const { return FFrame; }
  HWND Dialog() const { return FDialog; }

 private:
  struct TItem {
    vx::TControl* Control = nullptr;
    int Id = 0;
    HWND Window = nullptr;
    std::string Text;                // the text last shown
    std::vector<std::string> Items;  // list items last shown
    RECT Bounds{};                   // pixels within the dialog
    std::shared_ptr<TGlyph> Glyph;   // of an image button
  };

  void BuildOrder();
  void FitCaptions();
  void CreateDialogWindow();
  void PlaceControls();
  void AddTooltips();
  void PrepareFrame();
  void SyncList(TItem& Item, const vx::TListBox& List);
  void SyncRadioTabStops();
  TItem* ItemOf(HWND Window);
  TItem* ItemOf(int Id);
  void Command(TItem& Item, WORD Code);
  void ListKey(TItem& Item, WPARAM Key);
  INT_PTR ControlColor(HDC DC, HWND Control, UINT Msg);
  void FocusFirst();

  static INT_PTR CALLBACK DialogProc(HWND Dialog, UINT Msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK FrameProc(HWND Frame, UINT Msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ListProc(HWND List, UINT Msg, WPARAM wParam, LPARAM lParam, UINT_PTR Id,
                                   DWORD_PTR Data);
  LRESULT CallFrame(UINT Msg, WPARAM wParam, LPARAM lParam);

  vx::TForm& FForm;
  const HWND FFrame;
  HWND FDialog = nullptr;
  HWND FTooltip = nullptr;
  HWND FFocus = nullptr;  // focus to give back when the frame is activated again
  TFontHandle FFont;
  std::vector<TItem> FItems;  // in tab (z) order
  WNDPROC FOldFrameProc = nullptr;
  LONG_PTR FOldStyle = 0, FOldExStyle = 0;
  bool FSyncing = false;
  bool FEnded = false;
  bool FRunning = false;  // between showing the frame and leaving the loop
  INT_PTR FResult = IDCANCEL;
};

}  // namespace vxwin
