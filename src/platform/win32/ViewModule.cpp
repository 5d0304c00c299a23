#include "platform/win32/ViewModule.h"

#include <algorithm>

namespace vxwin {

HINSTANCE ViewModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ViewModule), &module);
  return module;
}

TFontHandle::TFontHandle(const vx::TFont& Font)
    // A negative height asks for the character height rather than the cell.
    : FHandle(CreateFontA(-Font.Height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, static_cast<BYTE>(Font.Charset),
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                          Font.Name.c_str())) {}

TFontHandle::~TFontHandle() {
  if (FHandle != nullptr) DeleteObject(FHandle);
}

namespace {

// A screen device context with a font selected, restored on the way out.
class TMeasureDC {
 public:
  explicit TMeasureDC(HFONT Font) : DC(GetDC(nullptr)), Old(SelectObject(DC, Font)) {}
  ~TMeasureDC() {
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
  }
  TMeasureDC(const TMeasureDC&) = delete;
  TMeasureDC& operator=(const TMeasureDC&) = delete;
  const HDC DC;

 private:
  const HGDIOBJ Old;
};

}  // namespace

SIZE TextExtent(HFONT Font, const std::string& Text) {
  TMeasureDC dc(Font);
  RECT rc{0, 0, 0, 0};
  DrawTextA(dc.DC, Text.c_str(), static_cast<int>(Text.size()), &rc, DT_CALCRECT | DT_SINGLELINE | DT_LEFT);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc.DC, &tm);
  return SIZE{rc.right - rc.left, std::max<LONG>(rc.bottom - rc.top, tm.tmHeight)};
}

SIZE DialogBaseUnits(HFONT Font) {
  TMeasureDC dc(Font);
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE size{};
  GetTextExtentPoint32A(dc.DC, kAlphabet, 52, &size);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc.DC, &tm);
  return SIZE{std::max<LONG>(1, (size.cx / 26 + 1) / 2), std::max<LONG>(1, tm.tmHeight)};
}

RECT PixelsToDialogUnits(const RECT& Pixels, SIZE BaseUnits) {
  auto x = [&](LONG v) { return MulDiv(v, 4, BaseUnits.cx); };
  auto y = [&](LONG v) { return MulDiv(v, 8, BaseUnits.cy); };
  return RECT{x(Pixels.left), y(Pixels.top), x(Pixels.right), y(Pixels.bottom)};
}

}  // namespace vxwin
