// An extended dialog template (DLGTEMPLATEEX) built in memory, for
// CreateDialogIndirectParamA and DialogBoxIndirectParamA. Texts are ANSI
// (code page of the system) and stored as UTF-16, as templates require.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace vxwin {

// Predefined control classes of the dialog manager.
enum class TDialogClass : WORD { Button = 0x0080, Edit = 0x0081, Static = 0x0082, ListBox = 0x0083 };

struct TDialogFont {
  std::string Face;
  WORD PointSize = 9;
  BYTE Charset = DEFAULT_CHARSET;
};

class TDialogTemplate {
 public:
  // Position and size in dialog units.
  TDialogTemplate(DWORD Style, DWORD ExStyle, const RECT& Bounds, const std::string& Caption,
                  const TDialogFont& Font);

  void AddControl(TDialogClass Class, const std::string& Text, DWORD Style, DWORD ExStyle, const RECT& Bounds,
                  DWORD Id);

  LPCDLGTEMPLATEA Data() const { return reinterpret_cast<LPCDLGTEMPLATEA>(FWords.data()); }
  std::size_t Size() const { return FWords.size() * sizeof(WORD); }

 private:
  void Word(WORD Value) { FWords.push_back(Value); }
  void DWord(DWORD Value);
  void Text(const std::string& Ansi);
  void AlignDWord();

  std::vector<WORD> FWords;
  std::size_t FCountAt;  // where the item count lives
};

}  // namespace vxwin
