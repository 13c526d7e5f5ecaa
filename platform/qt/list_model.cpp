#include "platform/qt/list_model.h"

#include <QSize>

#include "platform/qt/qt_text.h"

namespace solka {

int RowsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : form_.RowCount();
}

QVariant RowsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= form_.RowCount()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return ToQt(form_.Rows()[static_cast<size_t>(index.row())]);
    case Qt::ToolTipRole:
      return HintText(form_.WindowHint());
    case Qt::SizeHintRole:
      // The width of a row is the list's scroll extent, not its own text: the view scrolls
      // horizontally exactly as far as the widest row needs.
      return QSize(scrollWidth_ + itemMargins_, kRowHeight);
    default:
      return {};
  }
}

void RowsModel::Reload() {
  beginResetModel();
  endResetModel();
}

void RowsModel::SetScrollWidth(int width) {
  if (width == scrollWidth_) return;
  // A layout change makes the view measure its rows again, and keeps selection and position.
  emit layoutAboutToBeChanged();
  scrollWidth_ = width;
  emit layoutChanged();
}

}  // namespace solka
