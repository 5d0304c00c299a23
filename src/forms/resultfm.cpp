#include "forms/resultfm.h"

namespace vx {

TResultForm::TResultForm(TComponent* Owner) : TForm(Owner) {
  Caption = "圧縮結果";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  ClientWidth = 337;
  ClientHeight = 249;
  Font = TFont{"ＭＳ Ｐゴシック", 12, SHIFTJIS_CHARSET};

  ResultMemo = Make<TMemo>(nullptr, "ResultMemo");
  ResultMemo->SetBounds(8, 8, 320, 200);
  ResultMemo->TabOrder = 0;
  ResultMemo->ReadOnly = true;
  ResultMemo->ScrollBars = ssBoth;
  ResultMemo->Color = "clBtnFace";

  OkButton = Make<TButton>(nullptr, "OkButton");
  OkButton->Caption = "Ok";
  OkButton->SetBounds(128, 216, 75, 25);
  OkButton->TabOrder = 1;
  OkButton->Default = true;
  OkButton->ModalResult = mrOk;
}

std::string AdjustLineBreaks(const std::string& Text) {
  // Trail bytes of double-byte characters are never CR or LF.
  std::string out;
  out.reserve(Text.size() + Text.size() / 8);
  for (std::size_t i = 0; i < Text.size(); ++i) {
    const char c = Text[i];
    if (c != '\r' && c != '\n') {
      out += c;
      continue;
    }
    if (i + 1 < Text.size() && (Text[i + 1] == '\r' || Text[i + 1] == '\n') && Text[i + 1] != c) ++i;
    out += "\r\n";
  }
  return out;
}

}  // namespace vx
