// The designed look of a dialog: its window, tab pages and every control with its name, place,
// caption, hint, font and colour, in tab order. The Qt and Win32 layers build their widgets from
// this one table and fit captions by the one rule below, so neither holds a design of its own.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace solka {

enum class ControlKind {
  Button,
  CheckBox,
  Radio,
  Edit,
  Combo,
  List,
  Label,
  Link,
  UpDown,
  Group,
  Bevel
};

struct Colour {
  int red = 0, green = 0, blue = 0;
};
inline constexpr Colour kNavy{0, 0, 128}, kGreen{0, 128, 0};

// One control; places are designed pixels in the dialog, or in its tab page for page > 0.
struct ControlDesign {
  ControlKind kind;
  std::string_view name;
  std::string_view text;  // the caption; "&" marks the access key
  int x, y, width, height;
  int page = 0;
  std::string_view hint = {};
  int fontSize = 12;  // pixel height
  bool bold = false;
  Colour colour = {};
  int maximum = 0;  // an up-down button steps its field from 0 to this, without wrap-around
};

struct DialogDesign {
  std::string_view name;  // the window class, TForm2 or TForm3
  std::string_view caption;
  int clientWidth, clientHeight;
  bool toolWindow;  // small title bar with a close box; otherwise a dialog frame without one
  std::vector<std::string_view> pages;  // tab captions; none for a dialog without tabs
  int pagesHeight, pageWidth;           // the tab control's height; a page's inner width
  std::string_view defaultButton;       // Return, when the core lets it through
  std::string_view firstFocus;          // the control with the focus when the dialog opens
  int rowHeight;                        // of a list box's rows
  std::vector<ControlDesign> controls;  // in tab order; a group box before what it holds
};

// Where a control stands once the captions are fitted: its left edge and width in the dialog or
// its page, and its caption's font size.
struct ControlFit {
  int x, width, fontSize;
};

struct DialogFit {
  int clientWidth;
  std::vector<ControlFit> controls;  // parallel to DialogDesign::controls
};

// How captions meet their boxes, the same on every platform. `extent` measures a control's
// caption with its check mark or frame at a font size, in designed pixels; `titleExtent` is the
// caption with the title bar's icon and buttons.
// - A caption wider than its control makes the control grow to the right, up to the next control
//   on its row or its container's inner edge.
// - Where captions on the pages reach past the pages' edge, the dialog grows by what the widest
//   of them needs (by a quarter of its designed width at most), and with it the pages and every
//   control that reaches their edge (list boxes, group boxes, the long check boxes).
// - A tool window is also as wide as its whole caption needs.
// - The controls on the dialog itself (the buttons below the pages) are centred in what was
//   added; only a caption that still does not fit gets smaller, by whole pixels, down to three
//   below its designed size. So every caption shows whole, at its designed size where the room
//   allows.
DialogFit FitDialog(const DialogDesign& dialog, int titleExtent,
                    const std::function<int(const ControlDesign&, int fontSize)>& extent);

// The caption as shown, without its access-key mark ("中止(&A)" shows as "中止(A)").
std::string ShownCaption(std::string_view text);

}  // namespace solka
