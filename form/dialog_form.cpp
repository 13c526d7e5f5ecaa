#include "form/dialog_form.h"

namespace solka {

DialogForm::Control& DialogForm::At(std::string_view name) {
  auto it = controls_.find(name);
  if (it == controls_.end()) it = controls_.emplace(std::string(name), Control{}).first;
  return it->second;
}

const DialogForm::Control& DialogForm::Find(std::string_view name) const {
  static const Control kNone;
  auto it = controls_.find(name);
  return it == controls_.end() ? kNone : it->second;
}

void DialogForm::SetItems(std::string_view name, std::vector<std::string> items) {
  Control& control = At(name);
  control.items = std::move(items);
  control.selected.assign(control.items.size(), false);
  control.index = -1;
  ++control.itemsVersion;
  Notify(name);
}

void DialogForm::SetItemIndex(std::string_view name, int index) {
  const int before = Find(name).index;
  SetItemIndexFromView(name, index);
  if (Find(name).index != before) Notify(name);
}

void DialogForm::SetItemIndexFromView(std::string_view name, int index) {
  Control& control = At(name);
  control.index = index >= 0 && index < static_cast<int>(control.items.size()) ? index : -1;
}

std::string DialogForm::ShownItem(std::string_view name) const {
  const Control& control = Find(name);
  return control.index < 0 ? std::string() : control.items[control.index];
}

bool DialogForm::Selected(std::string_view name, int row) const {
  const Control& control = Find(name);
  return row >= 0 && row < static_cast<int>(control.selected.size()) && control.selected[row];
}

void DialogForm::SetSelected(std::string_view name, int row, bool selected) {
  Control& control = At(name);
  if (row < 0 || row >= static_cast<int>(control.selected.size())) return;
  if (control.selected[row] == selected) return;
  control.selected[row] = selected;
  Notify(name);
}

std::vector<std::pair<int, int>> DialogForm::SelectedRuns(std::string_view name) const {
  std::vector<std::pair<int, int>> runs;
  const int rows = static_cast<int>(Find(name).items.size());
  for (int row = 0; row < rows;) {
    if (!Selected(name, row)) {
      ++row;
      continue;
    }
    int end = row;
    while (end + 1 < rows && Selected(name, end + 1)) ++end;
    runs.emplace_back(row, end);
    row = end + 1;
  }
  return runs;
}

void DialogForm::SelectAll(std::string_view name, bool selected) {
  Control& control = At(name);
  control.selected.assign(control.items.size(), selected);
  Notify(name);
}

void DialogForm::SetModalResult(int result) {
  if (modalResult_ == result) return;
  modalResult_ = result;
  Notify("");
}

}  // namespace solka
