#include "forms/Controls.h"

#include "forms/Forms.h"

namespace vx {

TControl::TControl(TForm* Form, TControl* Parent, TControlKind Kind, std::string Name)
    : Form(Form), Parent(Parent), Kind(Kind), Name(std::move(Name)) {}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  Left = ALeft;
  Top = ATop;
  Width = AWidth;
  Height = AHeight;
}

bool TControl::Usable() const {
  for (const TControl* c = this; c != nullptr; c = c->Parent)
    if (!c->Enabled || !c->Visible) return false;
  return true;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

TLabel::TLabel(TForm* Form, TControl* Parent, std::string Name)
    : TControl(Form, Parent, TControlKind::Label, std::move(Name)) {}

TButton::TButton(TForm* Form, TControl* Parent, std::string Name)
    : TControl(Form, Parent, TControlKind::Button, std::move(Name)) {}

void TButton::Click() {
  if (ModalResult != 0) Form->SetModalResult(ModalResult);
  TControl::Click();
}

TBitBtn::TBitBtn(TForm* Form, TControl* Parent, std::string Name) : TButton(Form, Parent, std::move(Name)) {}

TCheckBox::TCheckBox(TForm* Form, TControl* Parent, std::string Name)
    : TControl(Form, Parent, TControlKind::CheckBox, std::move(Name)) {}

void TCheckBox::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  Click();
}

TRadioButton::TRadioButton(TForm* Form, TControl* Parent, std::string Name)
    : TControl(Form, Parent, TControlKind::RadioButton, std::move(Name)) {}

void TRadioButton::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  if (!Value) return;
  for (TControl* c : Form->Controls())
    if (c != this && c->Kind == TControlKind::RadioButton && c->Parent == Parent)
      static_cast<TRadioButton*>(c)->SetChecked(false);
  Click();
}

TGroupBox::TGroupBox(TForm* Form, TControl* Parent, std::string Name)
    : TControl(Form, Parent, TControlKind::GroupBox, std::move(Name)) {}

TEdit::TEdit(TForm* Form, TControl* Parent, std::string Name)
    : TControl(Form, Parent, TControlKind::Edit, std::move(Name)) {}

TListBox::TListBox(TForm* Form, TControl* Parent, std::string Name)
    : TControl(Form, Parent, TControlKind::ListBox, std::move(Name)) {}

void TListBox::Add(const std::string& Item) {
  FItems.push_back(Item);
  FSelected.push_back(false);
}

void TListBox::Delete(int Index) {
  FItems.erase(FItems.begin() + Index);
  FSelected.erase(FSelected.begin() + Index);
  if (FItemIndex > Index) --FItemIndex;
  if (FItemIndex >= Count()) FItemIndex = Count() - 1;
}

void TListBox::Clear() {
  FItems.clear();
  FSelected.clear();
  FItemIndex = -1;
}

void TListBox::SetSelected(int Index, bool Value) {
  FSelected.at(static_cast<std::size_t>(Index)) = Value;
}

void TListBox::SetItemIndex(int Index) { FItemIndex = Index >= 0 && Index < Count() ? Index : -1; }

TMemo::TMemo(TForm* Form, TControl* Parent, std::string Name)
    : TControl(Form, Parent, TControlKind::Memo, std::move(Name)) {}

}  // namespace vx
