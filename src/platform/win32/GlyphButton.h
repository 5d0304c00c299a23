// The look of a button with an image above its caption (an owner-drawn
// push button): a raised face, pushed while pressed, the image centred
// above the caption, a separate image and greyed caption while disabled, a
// dark frame and a focus rectangle while it has the focus.
#pragma once

#include <string>

#include <windows.h>

namespace vxwin {

// The icons of one image name, loaded from the views' module: the name in
// upper case with "-" as "_" (attach -> ATTACH, attach-disabled ->
// ATTACH_DISABLED).
class TGlyph {
 public:
  TGlyph(const std::string& Name, const std::string& DisabledName);
  ~TGlyph();
  TGlyph(const TGlyph&) = delete;
  TGlyph& operator=(const TGlyph&) = delete;

  HICON Normal() const { return FNormal; }
  HICON Disabled() const { return FDisabled; }
  static constexpr int Size = 32;

 private:
  HICON FNormal;
  HICON FDisabled;
};

void DrawGlyphButton(const DRAWITEMSTRUCT& Item, const TGlyph& Glyph, const std::string& Caption);

}  // namespace vxwin
