// The designed layouts of the two dialogs, TForm2 (list selection with its settings tab) and
// TForm3 (time of day), as the Win32 dialog window builds them.
#pragma once

#include <vector>

#include "platform/win32/gui/dialog_window.h"

namespace solka {

const DialogWindow::Design& Form2Design();
const std::vector<DialogWindow::ControlDesign>& Form2Controls();
const DialogWindow::Design& Form3Design();
const std::vector<DialogWindow::ControlDesign>& Form3Controls();

}  // namespace solka
