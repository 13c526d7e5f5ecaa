// The rows of a dialog's list box as a virtual list read from the DialogForm, so that ten
// thousand candidates cost nothing until they scroll into sight.
#pragma once

#include <QAbstractListModel>
#include <string>

#include "form/dialog_form.h"

namespace solka {

class DialogRowsModel : public QAbstractListModel {
 public:
  DialogRowsModel(const DialogForm& form, std::string control, int rowHeight, QObject* parent)
      : QAbstractListModel(parent),
        form_(form),
        control_(std::move(control)),
        rowHeight_(rowHeight) {}

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // Brings the view up to the form: rows when they changed, then the scroll extent.
  void Update();
  // What the view draws on both sides of a row's text, added to the measured extent.
  void SetItemMargins(int width) { itemMargins_ = width; }

 private:
  const DialogForm& form_;
  std::string control_;
  int rowHeight_;
  std::size_t shownCount_ = 0;
  unsigned shownVersion_ = 0;
  int scrollWidth_ = 0;
  int itemMargins_ = 0;
};

}  // namespace solka
