// The result window "圧縮結果": the archiver's output, read-only, with an
// Ok button.
#pragma once

#include <string>

#include "forms/Forms.h"

namespace vx {

class TResultForm : public TForm {
 public:
  explicit TResultForm(TComponent* Owner);

  std::string ClassName() const override { return "TResultForm"; }

  TMemo* ResultMemo;
  TButton* OkButton;
};

// Text with every line break (CR, LF, CR LF or LF CR) as CR LF.
std::string AdjustLineBreaks(const std::string& Text);

}  // namespace vx
