// Things every Win32 view needs: the module that holds the views' code and
// resources, and fonts made from a form's font.
#pragma once

#include <string>

#include <windows.h>

#include "forms/Forms.h"

namespace vxwin {

// The module (DLL or program) this code is linked into: templates and
// images are looked up there.
HINSTANCE ViewModule();

// A GDI font, deleted with the object.
class TFontHandle {
 public:
  explicit TFontHandle(const vx::TFont& Font);
  ~TFontHandle();
  TFontHandle(const TFontHandle&) = delete;
  TFontHandle& operator=(const TFontHandle&) = delete;
  HFONT Handle() const { return FHandle; }

 private:
  HFONT FHandle;
};

// Size in pixels of one line of text in the font; access-key ampersands
// take no room.
SIZE TextExtent(HFONT Font, const std::string& Text);

// The dialog base units of a font (average character width, line height),
// as the dialog manager computes them.
SIZE DialogBaseUnits(HFONT Font);

// Pixels to dialog units and back.
RECT PixelsToDialogUnits(const RECT& Pixels, SIZE BaseUnits);

}  // namespace vxwin
