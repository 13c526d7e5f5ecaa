// The list box rows: always one row per play-list entry, in play-list order.
#include <algorithm>

#include "app/tdodedev.h"
#include "playlist/display_name.h"

namespace solka {

void TDODEDEV::RefreshListBox() {
  const PathSyntax syntax = platform_.files.Syntax();
  std::vector<std::string> rows;
  rows.reserve(list_.PlayList.size());
  for (const std::string& entry : list_.PlayList.Items())
    rows.push_back(DisplayName(entry, syntax));
  form_.SetRows(std::move(rows));
  PrepareNext();
}

void TDODEDEV::FitScrollWidth() {
  // Measuring every row of a long list takes a while, and the extent of a list nobody sees
  // does not matter: a hidden window measures when it is shown again.
  if (!form_.Visible()) {
    window_.ScrollWidthDue = true;
    return;
  }
  window_.ScrollWidthDue = false;
  int widest = 0;
  for (const std::string& row : form_.Rows())
    widest = std::max(widest, platform_.screen.ListTextWidth(row));
  form_.SetScrollWidth(widest + 4);
}

void TDODEDEV::FIListBox1Click() {
  const int row = CurrentIndex();
  // Rows and entries can disagree only between a change of the list and the rebuild of the rows.
  if (row < 0 || static_cast<std::size_t>(row) >= list_.PlayList.size() ||
      form_.Rows()[row].empty())
    return;
  PlayFile(list_.PlayList[row]);
}

void TDODEDEV::SetListBoxSorted(bool sorted) {
  // The rows never reorder by their own text: sorting the box sorts the play list itself.
  if (sorted && !list_.ListBoxSorted) {
    SetPlayListSorted(true);
    RefreshListBox();
  }
  list_.ListBoxSorted = sorted;
}

}  // namespace solka
