#include "platform/qt/dialog_rows_model.h"

#include <QSize>

#include "platform/qt/qt_text.h"

namespace solka {

int DialogRowsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shownCount_);
}

QVariant DialogRowsModel::data(const QModelIndex& index, int role) const {
  const auto& items = form_.Items(control_);
  if (!index.isValid() || static_cast<std::size_t>(index.row()) >= items.size()) return {};
  if (role == Qt::DisplayRole) return ToQt(items[static_cast<std::size_t>(index.row())]);
  // Every row is as wide as the list's scroll extent, so the view scrolls exactly that far (the
  // view stretches rows to its own width, so a short extent needs no scroll bar).
  if (role == Qt::SizeHintRole) return QSize(scrollWidth_ + itemMargins_, rowHeight_);
  return {};
}

void DialogRowsModel::Update() {
  const auto& items = form_.Items(control_);
  if (form_.ItemsVersion(control_) != shownVersion_) {
    beginResetModel();
    shownCount_ = items.size();
    shownVersion_ = form_.ItemsVersion(control_);
    endResetModel();
  }
  const int width = form_.ScrollWidth(control_);
  if (width != scrollWidth_) {
    emit layoutAboutToBeChanged();
    scrollWidth_ = width;
    emit layoutChanged();
  }
}

}  // namespace solka
