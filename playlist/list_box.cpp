// The list box rows: always one row per play-list entry, in play-list order.
#include <algorithm>

#include "app/tdodedev.h"
#include "playlist/display_name.h"

namespace solka {

void TDODEDEV::RefreshListBox() {
  const PathSyntax syntax = platform_.files.Syntax();
  form_.SetRows(ListRows{list_.PlayList.Snapshot(), [syntax](const std::string& entry) {
                           return DisplayName(entry, syntax);
                         }});
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
  for (int row = 0; row < form_.RowCount(); ++row)
    widest = std::max(widest, platform_.screen.ListTextWidth(form_.Row(row)));
  form_.SetScrollWidth(widest + 4);
}

void TDODEDEV::FIListBox1Click() {
  const int row = CurrentIndex();
  // Rows and entries can disagree only between a change of the list and the rebuild of the rows.
  if (row < 0 || static_cast<std::size_t>(row) >= list_.PlayList.size() || form_.Row(row).empty())
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
