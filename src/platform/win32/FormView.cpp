#include "platform/win32/FormView.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>

#include "platform/win32/DialogTemplate.h"

namespace vxwin {

using vx::TControl;
using vx::TControlKind;

namespace {

const char kViewProp[] = "VxArc.FormView";
constexpr int kFirstId = 1000;  // clear of IDOK and IDCANCEL, which Enter and Esc send
constexpr UINT_PTR kListSubclass = 1;

std::vector<TFormView*>& OpenViews() {
  static std::vector<TFormView*> views;
  return views;
}

// Enabled (or visible) itself and inside every group around it.
bool Enabled(const TControl& Control) {
  for (const TControl* c = &Control; c != nullptr; c = c->Parent)
    if (!c->Enabled) return false;
  return true;
}

bool Visible(const TControl& Control) {
  for (const TControl* c = &Control; c != nullptr; c = c->Parent)
    if (!c->Visible) return false;
  return true;
}

bool IsChecked(const TControl& Control) {
  if (Control.Kind == TControlKind::CheckBox) return static_cast<const vx::TCheckBox&>(Control).Checked();
  if (Control.Kind == TControlKind::RadioButton) return static_cast<const vx::TRadioButton&>(Control).Checked();
  return false;
}

// What the window shows as its text.
std::string ShownText(const TControl& Control) {
  if (Control.Kind == TControlKind::Edit) return static_cast<const vx::TEdit&>(Control).Text;
  if (Control.Kind == TControlKind::Memo) return static_cast<const vx::TMemo&>(Control).Text;
  if (Control.Kind == TControlKind::ListBox) return std::string();
  return Control.Caption;
}

std::string WindowText(HWND Window) {
  const int length = GetWindowTextLengthA(Window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(Window, text.data(), length + 1)));
  return text;
}

bool IsImageButton(const TControl& Control) { return dynamic_cast<const vx::TBitBtn*>(&Control) != nullptr; }

struct TWindowKind {
  TDialogClass Class;
  DWORD Style;
  DWORD ExStyle;
};

// The window class and styles that show a control. Every control but the
// second and later radio buttons of a group starts a group of its own, so
// that the arrow keys move only between radio buttons.
TWindowKind KindOf(const TControl& Control, bool FirstRadio) {
  switch (Control.Kind) {
    case TControlKind::Label:
      return {TDialogClass::Static, SS_LEFTNOWORDWRAP, 0};
    case TControlKind::Button:
      if (IsImageButton(Control)) return {TDialogClass::Button, BS_OWNERDRAW | WS_TABSTOP | WS_GROUP, 0};
      return {TDialogClass::Button,
              static_cast<DWORD>(static_cast<const vx::TButton&>(Control).Default ? BS_DEFPUSHBUTTON
                                                                                   : BS_PUSHBUTTON) |
                  WS_TABSTOP | WS_GROUP,
              0};
    case TControlKind::CheckBox:
      return {TDialogClass::Button, BS_CHECKBOX | WS_TABSTOP | WS_GROUP, 0};
    case TControlKind::RadioButton:
      return {TDialogClass::Button, static_cast<DWORD>(BS_RADIOBUTTON | (FirstRadio ? WS_GROUP : 0)), 0};
    case TControlKind::GroupBox:
      return {TDialogClass::Button, BS_GROUPBOX | WS_GROUP, 0};
    case TControlKind::Edit:
      return {TDialogClass::Edit, ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE};
    case TControlKind::ListBox: {
      const auto& list = static_cast<const vx::TListBox&>(Control);
      return {TDialogClass::ListBox,
              static_cast<DWORD>(LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | (list.MultiSelect ? LBS_EXTENDEDSEL : 0)) |
                  WS_VSCROLL | WS_TABSTOP | WS_GROUP,
              WS_EX_CLIENTEDGE};
    }
    case TControlKind::Memo: {
      const auto& memo = static_cast<const vx::TMemo&>(Control);
      DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP;
      if (memo.ReadOnly) style |= ES_READONLY;
      if (memo.ScrollBars == vx::ssHorizontal || memo.ScrollBars == vx::ssBoth) style |= WS_HSCROLL;
      if (memo.ScrollBars == vx::ssVertical || memo.ScrollBars == vx::ssBoth) style |= WS_VSCROLL;
      return {TDialogClass::Edit, style, WS_EX_CLIENTEDGE};
    }
  }
  return {TDialogClass::Static, 0, 0};
}

// The system colour of a colour name of the forms.
int SystemColor(const std::string& Name) {
  if (Name == "clBtnFace") return COLOR_BTNFACE;
  if (Name == "clWindow") return COLOR_WINDOW;
  return -1;
}

// Windows of the thread that a modal form disables while it runs.
BOOL CALLBACK CollectWindow(HWND Window, LPARAM Param) {
  auto* windows = reinterpret_cast<std::vector<HWND>*>(Param);
  if (IsWindowVisible(Window) && IsWindowEnabled(Window)) windows->push_back(Window);
  return TRUE;
}

void InitControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

// Marks a stretch in which the view itself changes controls: their
// notifications are not the user's doing.
class TSyncing {
 public:
  explicit TSyncing(bool& Flag) : Flag(Flag), Old(Flag) { Flag = true; }
  ~TSyncing() { Flag = Old; }
  TSyncing(const TSyncing&) = delete;
  TSyncing& operator=(const TSyncing&) = delete;

 private:
  bool& Flag;
  const bool Old;
};

}  // namespace

TFormView::TFormView(vx::TForm& Form) : FForm(Form), FFrame(Form.Handle()), FFont(Form.Font) {
  InitControls();
  OpenViews().push_back(this);
}

TFormView::~TFormView() {
  auto& views = OpenViews();
  views.erase(std::remove(views.begin(), views.end(), this), views.end());
  if (FTooltip != nullptr) DestroyWindow(FTooltip);
  if (FDialog != nullptr) DestroyWindow(FDialog);
  if (FOldFrameProc != nullptr && IsWindow(FFrame)) {
    SetWindowLongPtrA(FFrame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldFrameProc));
    RemovePropA(FFrame, kViewProp);
    // Drops stay accepted or refused as the form last asked.
    const LONG_PTR accept = GetWindowLongPtrA(FFrame, GWL_EXSTYLE) & WS_EX_ACCEPTFILES;
    SetWindowLongPtrA(FFrame, GWL_STYLE, FOldStyle);
    SetWindowLongPtrA(FFrame, GWL_EXSTYLE, (FOldExStyle & ~static_cast<LONG_PTR>(WS_EX_ACCEPTFILES)) | accept);
  }
}

TFormView* TFormView::Find(HWND Frame) {
  for (TFormView* view : OpenViews())
    if (view->FFrame == Frame) return view;
  return nullptr;
}

void TFormView::SyncAll() {
  // A copy: showing state runs no handlers, but stay safe against changes.
  const std::vector<TFormView*> views = OpenViews();
  for (TFormView* view : views) view->Sync();
}

// --- building -----------------------------------------------------------------

void TFormView::BuildOrder() {
  const std::vector<TControl*>& all = FForm.Controls();
  std::vector<TControl*> order;
  auto placed = [&](const TControl* c) { return std::find(order.begin(), order.end(), c) != order.end(); };

  // Windowed controls by tab order, each group's controls right after the
  // group; a label goes just before the control its access key focuses.
  std::function<void(const TControl*)> walk = [&](const TControl* parent) {
    std::vector<TControl*> children;
    for (TControl* c : all)
      if (c->Parent == parent && c->Kind != TControlKind::Label) children.push_back(c);
    std::stable_sort(children.begin(), children.end(), [](const TControl* a, const TControl* b) {
      const int ta = a->TabOrder < 0 ? 1 << 30 : a->TabOrder;
      const int tb = b->TabOrder < 0 ? 1 << 30 : b->TabOrder;
      return ta < tb;
    });
    for (TControl* c : children) {
      for (TControl* l : all)
        if (l->Kind == TControlKind::Label && static_cast<vx::TLabel*>(l)->FocusControl == c) order.push_back(l);
      order.push_back(c);
      if (c->Kind == TControlKind::GroupBox) walk(c);
    }
  };
  walk(nullptr);
  for (TControl* c : all)
    if (!placed(c)) order.push_back(c);

  FItems.clear();
  for (TControl* c : order) {
    TItem item;
    item.Control = c;
    item.Id = kFirstId + static_cast<int>(FItems.size());
    LONG left = c->Left, top = c->Top;
    for (const TControl* p = c->Parent; p != nullptr; p = p->Parent) {
      left += p->Left;
      top += p->Top;
    }
    SIZE size{c->Width, c->Height};
    // A label is as large as its text.
    if (c->Kind == TControlKind::Label && (size.cx == 0 || size.cy == 0)) size = TextExtent(FFont.Handle(), c->Caption);
    item.Bounds = RECT{left, top, left + size.cx, top + size.cy};
    if (const auto* image = dynamic_cast<const vx::TBitBtn*>(c))
      item.Glyph = std::make_shared<TGlyph>(image->Glyph, image->DisabledGlyph);
    FItems.push_back(std::move(item));
  }
  FitCaptions();
}

void TFormView::FitCaptions() {
  // The places and sizes fit the fonts the dialogs were laid out with; a
  // font with wider letters would cut a check box's or radio button's
  // caption short. Such a control grows to the right into free room: up to
  // the next control on its line, and inside its group.
  const int box = GetSystemMetrics(SM_CXMENUCHECK) + 6;
  for (TItem& item : FItems) {
    const TControl& c = *item.Control;
    if (c.Kind != TControlKind::CheckBox && c.Kind != TControlKind::RadioButton) continue;
    RECT& b = item.Bounds;
    const LONG needed = b.left + box + TextExtent(FFont.Handle(), c.Caption).cx;
    if (needed <= b.right) continue;
    LONG limit = needed;
    for (const TItem& other : FItems) {
      const RECT& o = other.Bounds;
      if (&other == &item) continue;
      if (other.Control == c.Parent) {
        limit = std::min<LONG>(limit, o.right - 4);  // inside the group's frame
      } else if (other.Control->Parent == c.Parent && o.left >= b.right && o.top < b.bottom && o.bottom > b.top) {
        limit = std::min<LONG>(limit, o.left - 2);
      }
    }
    b.right = std::max(b.right, limit);
  }
}

void TFormView::CreateDialogWindow() {
  BuildOrder();
  const SIZE base = DialogBaseUnits(FFont.Handle());
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  TDialogFont font{FForm.Font.Name, static_cast<WORD>(MulDiv(FForm.Font.Height, 72, dpi)),
                   static_cast<BYTE>(FForm.Font.Charset)};
  const RECT client{0, 0, FForm.ClientWidth, FForm.ClientHeight};
  TDialogTemplate dialog(DS_CONTROL | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
                         PixelsToDialogUnits(client, base), std::string(), font);
  for (std::size_t i = 0; i < FItems.size(); ++i) {
    const TItem& item = FItems[i];
    const TControl& c = *item.Control;
    const bool firstRadio = c.Kind == TControlKind::RadioButton &&
                            !(i > 0 && FItems[i - 1].Control->Kind == TControlKind::RadioButton &&
                              FItems[i - 1].Control->Parent == c.Parent);
    const TWindowKind kind = KindOf(c, firstRadio);
    DWORD style = kind.Style;
    if (Visible(c)) style |= WS_VISIBLE;
    if (!Enabled(c)) style |= WS_DISABLED;
    dialog.AddControl(kind.Class, ShownText(c), style, kind.ExStyle, PixelsToDialogUnits(item.Bounds, base),
                      static_cast<DWORD>(item.Id));
  }
  // The first text shown is what the template carried.
  for (TItem& item : FItems) item.Text = ShownText(*item.Control);
  CreateDialogIndirectParamA(ViewModule(), dialog.Data(), FFrame, &DialogProc, reinterpret_cast<LPARAM>(this));
}

void TFormView::PlaceControls() {
  // Dialog units round; the form's places and sizes are pixels.
  SetWindowPos(FDialog, nullptr, 0, 0, FForm.ClientWidth, FForm.ClientHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  for (TItem& item : FItems) {
    item.Window = GetDlgItem(FDialog, item.Id);
    const RECT& b = item.Bounds;
    SetWindowPos(item.Window, nullptr, b.left, b.top, b.right - b.left, b.bottom - b.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(item.Window, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), FALSE);
    if (item.Control->Kind == TControlKind::ListBox) {
      const auto& list = static_cast<const vx::TListBox&>(*item.Control);
      // Never less than a line of the font: the fonts at hand may be taller.
      const int line = TextExtent(FFont.Handle(), "Ag").cy;
      SendMessageA(item.Window, LB_SETITEMHEIGHT, 0, MAKELPARAM(std::max(list.ItemHeight, line), 0));
      SetWindowSubclass(item.Window, &ListProc, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
    }
  }
}

void TFormView::AddTooltips() {
  FTooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, FFrame, nullptr,
                             ViewModule(), nullptr);
  if (FTooltip == nullptr) return;
  for (const TItem& item : FItems) {
    const TControl& c = *item.Control;
    if (!c.ShowHint || c.Hint.empty()) continue;
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = FDialog;
    tool.uId = reinterpret_cast<UINT_PTR>(item.Window);
    tool.lpszText = const_cast<LPSTR>(c.Hint.c_str());
    SendMessageA(FTooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void TFormView::PrepareFrame() {
  FOldStyle = GetWindowLongPtrA(FFrame, GWL_STYLE);
  FOldExStyle = GetWindowLongPtrA(FFrame, GWL_EXSTYLE);
  DWORD style = WS_POPUP | WS_CLIPCHILDREN;
  DWORD exStyle = static_cast<DWORD>(FOldExStyle & WS_EX_ACCEPTFILES) | WS_EX_CONTROLPARENT;
  switch (FForm.BorderStyle) {
    case vx::bsDialog:
      style |= WS_CAPTION | WS_SYSMENU;
      exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case vx::bsSingle:
      style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
      break;
    case vx::bsSizeable:
      style |= WS_OVERLAPPEDWINDOW;
      break;
    case vx::bsNone:
      break;
  }
  SetWindowLongPtrA(FFrame, GWL_STYLE, static_cast<LONG_PTR>(style));
  SetWindowLongPtrA(FFrame, GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
  SetWindowTextA(FFrame, FForm.Caption.c_str());

  RECT rc{0, 0, FForm.ClientWidth, FForm.ClientHeight};
  AdjustWindowRectEx(&rc, style, FALSE, exStyle);
  const int width = rc.right - rc.left, height = rc.bottom - rc.top;
  int x = FForm.Left, y = FForm.Top;
  if (FForm.Position == vx::poScreenCenter) {
    x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  }
  SetWindowPos(FFrame, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

  SetPropA(FFrame, kViewProp, this);
  FOldFrameProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(FFrame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameProc)));
}

// --- showing the presenter's state -----------------------------------------------

void TFormView::Sync() {
  if (FDialog == nullptr) return;
  TSyncing syncing(FSyncing);
  if (!FForm.Visible() && IsWindowVisible(FFrame)) ShowWindow(FFrame, SW_HIDE);
  // Shown again from a handler while its loop runs.
  if (FForm.Visible() && FRunning && !IsWindowVisible(FFrame)) ShowWindow(FFrame, SW_SHOW);
  if (WindowText(FFrame) != FForm.Caption) SetWindowTextA(FFrame, FForm.Caption.c_str());
  for (TItem& item : FItems) {
    const TControl& c = *item.Control;
    const std::string text = ShownText(c);
    const bool editable = c.Kind == TControlKind::Edit || c.Kind == TControlKind::Memo;
    if (editable ? WindowText(item.Window) != text : item.Text != text) {
      SetWindowTextA(item.Window, text.c_str());
      if (item.Glyph) InvalidateRect(item.Window, nullptr, TRUE);
    }
    item.Text = text;
    if ((IsWindowEnabled(item.Window) != FALSE) != Enabled(c)) EnableWindow(item.Window, Enabled(c));
    if ((IsWindowVisible(item.Window) != FALSE) != Visible(c)) ShowWindow(item.Window, Visible(c) ? SW_SHOWNA : SW_HIDE);
    if (c.Kind == TControlKind::CheckBox || c.Kind == TControlKind::RadioButton) {
      const WPARAM check = IsChecked(c) ? BST_CHECKED : BST_UNCHECKED;
      if (static_cast<WPARAM>(SendMessageA(item.Window, BM_GETCHECK, 0, 0)) != check)
        SendMessageA(item.Window, BM_SETCHECK, check, 0);
    }
    if (c.Kind == TControlKind::ListBox) SyncList(item, static_cast<const vx::TListBox&>(c));
  }
  SyncRadioTabStops();
  // The focus does not stay on a control that was just disabled.
  const HWND focus = GetFocus();
  if (focus != nullptr && IsChild(FDialog, focus) && !IsWindowEnabled(focus))
    SendMessageA(FDialog, WM_NEXTDLGCTL, 0, FALSE);
}

void TFormView::SyncList(TItem& Item, const vx::TListBox& List) {
  if (List.Items() != Item.Items) {
    SendMessageA(Item.Window, WM_SETREDRAW, FALSE, 0);
    SendMessageA(Item.Window, LB_RESETCONTENT, 0, 0);
    for (const std::string& s : List.Items()) SendMessageA(Item.Window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    SendMessageA(Item.Window, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Item.Window, nullptr, TRUE);
    Item.Items = List.Items();
  }
  for (int i = 0; i < List.Count(); ++i) {
    const bool selected = List.Selected(i);
    if (List.MultiSelect) {
      if ((SendMessageA(Item.Window, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0) != selected)
        SendMessageA(Item.Window, LB_SETSEL, selected, i);
    } else if (selected) {
      SendMessageA(Item.Window, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
    }
  }
  const int current = List.ItemIndex();
  if (current >= 0 && SendMessageA(Item.Window, LB_GETCARETINDEX, 0, 0) != current)
    SendMessageA(Item.Window, LB_SETCARETINDEX, static_cast<WPARAM>(current), FALSE);
}

void TFormView::SyncRadioTabStops() {
  // Tab reaches a group of radio buttons at its checked button, or at its
  // first usable one while none is checked.
  for (std::size_t i = 0; i < FItems.size();) {
    if (FItems[i].Control->Kind != TControlKind::RadioButton) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < FItems.size() && FItems[end].Control->Kind == TControlKind::RadioButton &&
           FItems[end].Control->Parent == FItems[i].Control->Parent)
      ++end;
    std::size_t stop = end;
    for (std::size_t k = i; k < end && stop == end; ++k)
      if (IsChecked(*FItems[k].Control) && Enabled(*FItems[k].Control)) stop = k;
    for (std::size_t k = i; k < end && stop == end; ++k)
      if (Enabled(*FItems[k].Control)) stop = k;
    for (std::size_t k = i; k < end; ++k) {
      const LONG_PTR style = GetWindowLongPtrA(FItems[k].Window, GWL_STYLE);
      const LONG_PTR wanted = k == stop ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP);
      if (wanted != style) SetWindowLongPtrA(FItems[k].Window, GWL_STYLE, wanted);
    }
    i = end;
  }
}

// --- what the user does ------------------------------------------------------

TFormView::TItem* TFormView::ItemOf(HWND Window) {
  for (TItem& item : FItems)
    if (item.Window == Window) return &item;
  return nullptr;
}

TFormView::TItem* TFormView::ItemOf(int Id) {
  for (TItem& item : FItems)
    if (item.Id == Id) return &item;
  return nullptr;
}

void TFormView::Command(TItem& Item, WORD Code) {
  if (FSyncing) return;
  TControl* c = Item.Control;
  switch (c->Kind) {
    case TControlKind::Button:
    case TControlKind::CheckBox:
    case TControlKind::RadioButton:
      // A fast second click of a push or radio button arrives as a double click.
      if (Code == BN_CLICKED || (Code == BN_DOUBLECLICKED && c->Kind != TControlKind::CheckBox)) {
        FForm.UserClick(c);
        SyncAll();
      }
      break;
    case TControlKind::Edit:
      if (Code == EN_CHANGE) FForm.UserEnterText(static_cast<vx::TEdit*>(c), WindowText(Item.Window));
      break;
    case TControlKind::ListBox: {
      auto* list = static_cast<vx::TListBox*>(c);
      const int caret = static_cast<int>(SendMessageA(Item.Window, LB_GETCARETINDEX, 0, 0));
      if (Code == LBN_SELCHANGE) {
        // The current item comes first: the presenter makes the first one current.
        std::vector<int> selected;
        for (int i = 0; i < list->Count(); ++i)
          if (SendMessageA(Item.Window, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0 && i != caret) selected.push_back(i);
        if (caret >= 0 && caret < list->Count() && SendMessageA(Item.Window, LB_GETSEL, static_cast<WPARAM>(caret), 0) > 0)
          selected.insert(selected.begin(), caret);
        FForm.UserSelect(list, selected);
      } else if (Code == LBN_DBLCLK && caret >= 0 && caret < list->Count()) {
        FForm.UserDblClick(list, caret);
        SyncAll();
      }
      break;
    }
    default:
      break;
  }
}

void TFormView::ListKey(TItem& Item, WPARAM Key) {
  vx::TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= vx::ssShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= vx::ssCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= vx::ssAlt;
  FForm.UserKeyDown(static_cast<vx::TListBox*>(Item.Control), static_cast<WORD>(Key), shift);
  SyncAll();
}

INT_PTR TFormView::ControlColor(HDC DC, HWND Control, UINT) {
  const TItem* item = ItemOf(Control);
  if (item == nullptr || item->Control->Kind != TControlKind::Memo) return FALSE;
  const int color = SystemColor(static_cast<const vx::TMemo&>(*item->Control).Color);
  if (color < 0) return FALSE;
  SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(DC, GetSysColor(color));
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(color));
}

void TFormView::FocusFirst() {
  // Straight to the control: the dialog manager would also select all of
  // an edit's text, which a form does not do when it opens.
  TSyncing syncing(FSyncing);
  if (HWND first = GetNextDlgTabItem(FDialog, nullptr, FALSE)) SetFocus(first);
}

INT_PTR CALLBACK TFormView::DialogProc(HWND Dialog, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (Msg == WM_INITDIALOG) {
    auto* view = reinterpret_cast<TFormView*>(lParam);
    SetWindowLongPtrA(Dialog, DWLP_USER, lParam);
    view->FDialog = Dialog;
    view->PlaceControls();
    return FALSE;  // the view gives the focus itself
  }
  auto* view = reinterpret_cast<TFormView*>(GetWindowLongPtrA(Dialog, DWLP_USER));
  if (view == nullptr) return FALSE;
  switch (Msg) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (TItem* item = view->ItemOf(id)) {
        view->Command(*item, HIWORD(wParam));
      } else if (id == IDOK) {
        // Enter on a focused image button presses it, as on any button.
        TItem* focused = view->ItemOf(GetFocus());
        if (focused != nullptr && focused->Control->Kind == TControlKind::Button)
          view->Command(*focused, BN_CLICKED);
      }
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      TItem* item = view->ItemOf(static_cast<int>(draw->CtlID));
      if (item == nullptr || !item->Glyph) return FALSE;
      DrawGlyphButton(*draw, *item->Glyph, item->Control->Caption);
      return TRUE;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      return view->ControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), Msg);
    default:
      return FALSE;
  }
}

LRESULT TFormView::CallFrame(UINT Msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(FOldFrameProc, FFrame, Msg, wParam, lParam);
}

LRESULT CALLBACK TFormView::FrameProc(HWND Frame, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto* view = static_cast<TFormView*>(GetPropA(Frame, kViewProp));
  if (view == nullptr) return DefWindowProcA(Frame, Msg, wParam, lParam);
  switch (Msg) {
    case WM_CLOSE:
      // The close box asks the form; the window itself stays.
      view->FForm.UserClose();
      SyncAll();
      return 0;
    case WM_DROPFILES: {
      const LRESULT result = view->CallFrame(Msg, wParam, lParam);
      SyncAll();
      return result;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(Frame, focus)) view->FFocus = focus;
        return 0;
      }
      [[fallthrough]];
    case WM_SETFOCUS:
      if (view->FFocus != nullptr && IsWindow(view->FFocus) && IsWindowEnabled(view->FFocus)) {
        TSyncing syncing(view->FSyncing);
        SetFocus(view->FFocus);
      } else {
        view->FocusFirst();
      }
      return 0;
    case WM_ENTERIDLE:
      // A box of a handler is open: show what the handler changed so far.
      SyncAll();
      break;
    default:
      break;
  }
  return view->CallFrame(Msg, wParam, lParam);
}

LRESULT CALLBACK TFormView::ListProc(HWND List, UINT Msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR Data) {
  auto* view = reinterpret_cast<TFormView*>(Data);
  if (Msg == WM_KEYDOWN || Msg == WM_SYSKEYDOWN) {
    if (TItem* item = view->ItemOf(List)) view->ListKey(*item, wParam);
  } else if (Msg == WM_NCDESTROY) {
    RemoveWindowSubclass(List, &ListProc, kListSubclass);
  }
  return DefSubclassProc(List, Msg, wParam, lParam);
}

// --- the modal loop ---------------------------------------------------------------

INT_PTR TFormView::RunModal() {
  PrepareFrame();
  CreateDialogWindow();
  if (FDialog == nullptr) return IDCANCEL;
  AddTooltips();
  Sync();

  // The form stays above the window that was active, and every other
  // window of the thread waits until it closes.
  const HWND active = GetActiveWindow();
  HWND owner = active;
  while (owner != nullptr && (owner == FFrame || !IsWindowVisible(owner))) owner = GetWindow(owner, GW_OWNER);
  SetWindowLongPtrA(FFrame, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  std::vector<HWND> disabled;
  EnumThreadWindows(GetCurrentThreadId(), &CollectWindow, reinterpret_cast<LPARAM>(&disabled));
  disabled.erase(std::remove(disabled.begin(), disabled.end(), FFrame), disabled.end());
  for (HWND w : disabled) EnableWindow(w, FALSE);

  ShowWindow(FFrame, SW_SHOW);
  FRunning = true;
  FocusFirst();
  MSG msg;
  while (!FEnded && IsWindow(FFrame)) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      // WM_QUIT belongs to the program's own loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    if (!IsDialogMessageA(FDialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  FRunning = false;
  for (HWND w : disabled)
    if (IsWindow(w)) EnableWindow(w, TRUE);
  if (active != nullptr && active != FFrame && IsWindow(active) && IsWindowVisible(active)) SetActiveWindow(active);
  if (IsWindow(FFrame)) {
    ShowWindow(FFrame, SW_HIDE);
    SetWindowLongPtrA(FFrame, GWLP_HWNDPARENT, 0);
  }
  return FEnded ? FResult : IDCANCEL;
}

void TFormView::EndModal(INT_PTR Result) {
  FEnded = true;
  FResult = Result;
  PostMessageA(FFrame, WM_NULL, 0, 0);  // wakes the loop
}

}  // namespace vxwin
