// Which handler each control of TForm2 reaches, by designed name and event.
#include "dialogs/tform2.h"

namespace solka {

bool TForm2::Handle(std::string_view control, DialogEvent event, int row) {
  const auto is = [&](std::string_view name, DialogEvent kind) {
    return control == name && event == kind;
  };
  const auto any = [&](std::initializer_list<std::string_view> names, DialogEvent kind) {
    if (event != kind) return false;
    for (std::string_view name : names)
      if (control == name) return true;
    return false;
  };
  if (any({"RadioButton1", "RadioButton2"}, DialogEvent::Click)) {
    CheckRadio({"RadioButton1", "RadioButton2"}, control);
    RadioButton2Click();
  } else if (any({"RadioButton1", "RadioButton2"}, DialogEvent::Enter)) {
    RadioButton1Enter();
  } else if (any({"Extchk1", "Extchk2", "Extchk3"}, DialogEvent::Click)) {
    CheckRadio({"Extchk3", "Extchk2", "Extchk1"}, control);
    Extchk1Click(control);
  } else if (any({"RadioButton3", "RadioButton4", "RadioButton5"}, DialogEvent::Click)) {
    CheckRadio({"RadioButton5", "RadioButton3", "RadioButton4"}, control);
    RadioButton5Click(control);
  } else if (is("Edit1", DialogEvent::DropDown)) {
    Edit1DropDown();
  } else if (is("Edit1", DialogEvent::Change)) {
    Edit1Change();
  } else if (is("Button1", DialogEvent::Click)) {
    Button1Click();
  } else if (is("Button2", DialogEvent::Click)) {
    Button2Click();
  } else if (is("Button3", DialogEvent::Click)) {
    Button3Click();
  } else if (any({"BitBtn2", "BitBtn3"}, DialogEvent::Click)) {
    Button5Click(control);
  } else if (is("BitBtn1", DialogEvent::Click) || event == DialogEvent::CloseBox) {
    newClick();
  } else if (is("FIListBox1", DialogEvent::RowClick) || is("FIListBox1", DialogEvent::SpaceKey)) {
    // Each click (or Space on the current row) toggles its row: several rows can be chosen
    // without modifier keys.
    Form.SetSelected(control, row, !Form.Selected(control, row));
  } else if (event == DialogEvent::ReturnKey) {
    // Return is "OK" only once something is ticked: a stray key must not empty the play list.
    if (AnyTicked()) Button5Click("BitBtn2");
  } else if (is("FIListBox1", DialogEvent::MouseEnter)) {
    // The list takes the keyboard focus when the pointer enters it.
    Form.SetText("ActiveControl", "");
    Form.SetText("ActiveControl", "FIListBox1");
  } else if (is("FIListBox1", DialogEvent::DblClick)) {
    FIListBox1DblClick(row);
  } else if (is("Button6", DialogEvent::Click)) {
    Button6Click();
  } else if (is("Label3", DialogEvent::Click)) {
    Label3Click();
  } else {
    return false;
  }
  return true;
}

}  // namespace solka
