// The designed time dialog: hour and minute, each a field with up-down buttons, and two buttons.
#include "dialogs/tform3.h"

namespace solka {

const DialogDesign& TForm3::Design() {
  using K = ControlKind;
  static const DialogDesign design{
      "TForm3",
      kCaption,
      150,
      71,
      true,
      {},
      0,
      0,
      "BitBtn1",
      "BitBtn1",
      0,
      {
          {K::Edit, "Edit1", "", 8, 8, 31, 22, 0, {}, 13},
          {K::UpDown, "UpDown1", "", 39, 8, 15, 22, 0, {}, 12, false, {}, kMaxHour},
          {K::Label, "Label2", "時", 57, 10, 18, 18, 0, {}, 15, true},
          {K::Edit, "Edit2", "", 76, 8, 32, 22, 0, {}, 13},
          {K::UpDown, "UpDown2", "", 108, 8, 15, 22, 0, {}, 12, false, {}, kMaxMinute},
          {K::Label, "Label3", "分", 126, 10, 18, 18, 0, {}, 15, true},
          {K::Button, "BitBtn1", "OK", 6, 40, 66, 25},
          {K::Button, "BitBtn2", "中止(&A)", 78, 40, 66, 25},
      }};
  return design;
}

}  // namespace solka
