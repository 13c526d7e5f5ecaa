// A dialog in Win32 that renders a core DialogForm control by control and forwards what the user
// does to the dialog's DialogEvents, both by designed control name. It decides nothing itself:
// even the modal result comes from the core. Its modal run pumps the program's one loop, so
// timers, track ends and hand-overs go on while it is open.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "form/dialog_design.h"
#include "form/dialog_form.h"
#include "form/trace.h"
#include "platform/api/modal_window.h"

namespace solka {

class GuiLoop;
class Hints;

class DialogWindow : public DialogObserver, public ModalWindow {
 public:
  // `owner`: the window the dialog belongs to (it has no task-bar button of its own).
  DialogWindow(DialogForm& form, DialogEvents& events, GuiLoop& loop, HWND owner,
               const DialogDesign& design);
  ~DialogWindow() override;
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  void RunModal() override;
  void Changed(std::string_view control) override;

  HWND Handle() const { return window_; }
  // The window of a designed control, for the screen's measures and tests.
  HWND Control(std::string_view name) const;
  // A caption's width in the font its control shows it in, with the control's check mark or
  // frame, in designed pixels.
  int CaptionExtent(const ControlDesign& control, HWND window) const;

 private:
  struct Item {
    const ControlDesign& layout;
    ControlFit fit;  // place and font size, fitted to the caption
    HWND window = nullptr;
    unsigned itemsVersion = ~0u;
  };
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  bool Preview(MSG& msg);
  void Create(Item& item);
  void Render(Item& item);
  void RenderAll();
  void ShowPage(int page);
  void Forward(std::string_view control, DialogEvent event, int row = -1);
  void Command(Item& item, UINT code);
  Item* Find(HWND window);
  Item* Find(std::string_view name);
  RECT Place(const Item& item) const;
  void SetFont(Item& item, int size);
  // The window, its pages and every control where the captions fit.
  void LayOut(const DialogFit& fit);
  // The caption's width in the title bar with the bar's buttons, in designed pixels.
  int TitleExtent() const;
  // A font of the designed face at this DPI, made once and kept until the dialog goes.
  HFONT Font(int pixelHeight, bool bold, bool underline);
  void CentreOnScreen();
  void TraceControls();

  DialogForm& form_;
  DialogEvents& events_;
  GuiLoop& loop_;
  const DialogDesign& design_;
  HWND window_ = nullptr;
  HWND tabs_ = nullptr;
  std::vector<HWND> pages_;  // one plain window per tab page, holding its controls
  std::unique_ptr<Hints> hints_;
  std::vector<Item> items_;
  std::map<std::pair<int, int>, HFONT> fonts_;
  int dpi_ = 96;
  int page_ = 1;
  bool rendering_ = false;
  bool running_ = false;
  HWND overList_ = nullptr;
  Trace trace_;
  bool traced_ = false;
};

}  // namespace solka
