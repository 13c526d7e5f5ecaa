// The list box rows as a virtual list: the view asks for the rows it paints, so 100,000 rows
// cost nothing until they scroll into sight. Rows have no hint of their own and show the
// window's.
#pragma once

#include <QAbstractListModel>

#include "form/main_form.h"

namespace solka {

class RowsModel : public QAbstractListModel {
 public:
  static constexpr int kRowHeight = 16;

  explicit RowsModel(const MainForm& form, QObject* parent = nullptr)
      : QAbstractListModel(parent), form_(form) {}

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // The rows were replaced as a whole.
  void Reload();
  // The horizontal scroll extent changed; every row reports it as its width.
  void SetScrollWidth(int width);
  // What the view draws on both sides of a row's text, added to the scroll extent.
  void SetItemMargins(int width) { itemMargins_ = width; }

 private:
  const MainForm& form_;
  int scrollWidth_ = 0;
  int itemMargins_ = 0;
};

}  // namespace solka
