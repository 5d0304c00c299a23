#include "platform/win32/GlyphButton.h"

#include "platform/win32/ViewModule.h"

namespace vxwin {

namespace {

std::string ResourceName(const std::string& Glyph) {
  std::string name;
  for (char c : Glyph) name += c == '-' ? '_' : (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  return name;
}

HICON LoadGlyph(const std::string& Name) {
  if (Name.empty()) return nullptr;
  return static_cast<HICON>(LoadImageA(ViewModule(), ResourceName(Name).c_str(), IMAGE_ICON, TGlyph::Size,
                                       TGlyph::Size, LR_DEFAULTCOLOR));
}

}  // namespace

TGlyph::TGlyph(const std::string& Name, const std::string& DisabledName)
    : FNormal(LoadGlyph(Name)), FDisabled(LoadGlyph(DisabledName)) {}

TGlyph::~TGlyph() {
  if (FNormal != nullptr) DestroyIcon(FNormal);
  if (FDisabled != nullptr) DestroyIcon(FDisabled);
}

void DrawGlyphButton(const DRAWITEMSTRUCT& Item, const TGlyph& Glyph, const std::string& Caption) {
  const HDC dc = Item.hDC;
  RECT rc = Item.rcItem;
  const bool pressed = (Item.itemState & ODS_SELECTED) != 0;
  const bool focused = (Item.itemState & ODS_FOCUS) != 0;
  const bool disabled = (Item.itemState & ODS_DISABLED) != 0;

  if (focused) {
    FrameRect(dc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&rc, -1, -1);
  }
  DrawFrameControl(dc, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  const int shift = pressed ? 1 : 0;

  // Image and caption form one block, centred in the face.
  const int spacing = 4;
  RECT text{0, 0, 0, 0};
  DrawTextA(dc, Caption.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
  const int textHeight = text.bottom - text.top;
  const int blockHeight = TGlyph::Size + spacing + textHeight;
  const int top = rc.top + (rc.bottom - rc.top - blockHeight) / 2 + shift;
  const int iconLeft = rc.left + (rc.right - rc.left - TGlyph::Size) / 2 + shift;
  if (HICON icon = disabled && Glyph.Disabled() != nullptr ? Glyph.Disabled() : Glyph.Normal())
    DrawIconEx(dc, iconLeft, top, icon, TGlyph::Size, TGlyph::Size, 0, nullptr, DI_NORMAL);

  RECT caption{rc.left + shift, top + TGlyph::Size + spacing, rc.right + shift, top + blockHeight};
  const UINT format = DT_CENTER | DT_SINGLELINE | DT_TOP | ((Item.itemState & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0);
  SetBkMode(dc, TRANSPARENT);
  if (disabled) {
    // Engraved, as the system draws disabled captions.
    RECT light = caption;
    OffsetRect(&light, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextA(dc, Caption.c_str(), -1, &light, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  } else {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  }
  DrawTextA(dc, Caption.c_str(), -1, &caption, format);

  if (focused && (Item.itemState & ODS_NOFOCUSRECT) == 0) {
    RECT focus = rc;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace vxwin
