// State of a dialog's controls, held by the core and rendered by the GUI layer, and the events
// the GUI layer forwards back, both by designed control name.
//
// Contract: the core changes the state on the GUI thread through the setters, each of which
// tells the observer the name of the control that changed ("" for the modal result); the GUI
// layer redraws that control and decides nothing itself. What the user changes directly (a box
// ticked, a text typed, a combo entry picked) is reported with the *FromView setters, which do
// not notify back, followed by the event.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace solka {

class DialogObserver {
 public:
  virtual ~DialogObserver() = default;
  virtual void Changed(std::string_view control) = 0;
};

// What the user did to a control.
enum class DialogEvent {
  Click,       // button, radio button, check box, label
  Enter,       // the control received the keyboard focus
  DropDown,    // a combo box opens its list
  Change,      // a combo box entry was picked (the form holds the new index already)
  RowClick,    // a list row was clicked (row)
  DblClick,    // a list row was double-clicked (row)
  MouseEnter,  // the pointer entered the control
  StepUp,      // an up-down button, or the up arrow key in its edit field
  StepDown,
  CloseBox,   // the window's close box
  SpaceKey,   // Space on a list's current row (row)
  ReturnKey,  // Return or Enter on the dialog (control "")
};

// The receiver of a dialog's events. Returns false when the control has no handler for it.
class DialogEvents {
 public:
  virtual ~DialogEvents() = default;
  virtual bool Handle(std::string_view control, DialogEvent event, int row = -1) = 0;
};

class DialogForm {
 public:
  static constexpr int kNoResult = 0;

  void SetObserver(DialogObserver* observer) { observer_ = observer; }

  // Check boxes and radio buttons.
  bool Checked(std::string_view name) const { return Find(name).checked; }
  void SetChecked(std::string_view name, bool v) { Set(name, &Control::checked, v); }
  void SetCheckedFromView(std::string_view name, bool v) { At(name).checked = v; }

  // Edit fields, and the shown text of a combo box.
  const std::string& Text(std::string_view name) const { return Find(name).text; }
  void SetText(std::string_view name, std::string v) { Set(name, &Control::text, std::move(v)); }
  void SetTextFromView(std::string_view name, std::string v) { At(name).text = std::move(v); }

  // Entries of a combo box or rows of a list box; setting them clears the row selection.
  const std::vector<std::string>& Items(std::string_view name) const { return Find(name).items; }
  void SetItems(std::string_view name, std::vector<std::string> items);
  // Counts the SetItems calls, so that a view can tell new rows from a new selection.
  unsigned ItemsVersion(std::string_view name) const { return Find(name).itemsVersion; }
  // The selected entry of a combo box, -1 for none.
  int ItemIndex(std::string_view name) const { return Find(name).index; }
  void SetItemIndex(std::string_view name, int index);
  void SetItemIndexFromView(std::string_view name, int index);
  // The shown entry of a combo box ("" with none selected).
  std::string ShownItem(std::string_view name) const;

  // Row selection of a multi-selection list box.
  bool Selected(std::string_view name, int row) const;
  void SetSelected(std::string_view name, int row, bool selected);
  void SelectAll(std::string_view name, bool selected);
  // The selected rows as runs of [first, last], so that ten thousand selected rows are one run.
  std::vector<std::pair<int, int>> SelectedRuns(std::string_view name) const;
  int ScrollWidth(std::string_view name) const { return Find(name).scrollWidth; }
  void SetScrollWidth(std::string_view name, int v) { Set(name, &Control::scrollWidth, v); }

  // The result that ends a modal showing; kNoResult while the dialog stays open.
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result);

 private:
  struct Control {
    bool checked = false;
    std::string text;
    std::vector<std::string> items;
    int index = -1;
    std::vector<bool> selected;  // parallel to items (list boxes)
    int scrollWidth = 0;
    unsigned itemsVersion = 0;
  };

  Control& At(std::string_view name);
  const Control& Find(std::string_view name) const;
  template <typename T>
  void Set(std::string_view name, T Control::*field, T value) {
    Control& control = At(name);
    if (control.*field == value) return;
    control.*field = std::move(value);
    Notify(name);
  }
  void Notify(std::string_view name) {
    if (observer_) observer_->Changed(name);
  }

  DialogObserver* observer_ = nullptr;
  std::map<std::string, Control, std::less<>> controls_;
  int modalResult_ = kNoResult;
};

}  // namespace solka
