#include "platform/qt/list_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

#include "form/layout.h"
#include "platform/qt/dialog_style.h"
#include "platform/qt/list_model.h"

namespace solka {

PlayListView::PlayListView(QWidget* parent) : QListView(parent) {
  setObjectName(QStringLiteral("FIListBox1"));
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setTextElideMode(Qt::ElideNone);
  setContextMenuPolicy(Qt::DefaultContextMenu);
  setFrameShape(QFrame::NoFrame);
  setMouseTracking(true);
  // Focus only by a click or by the player: at start-up no control has it, so keys reach the
  // window itself.
  setFocusPolicy(Qt::ClickFocus);
  QPalette pal = palette();
  pal.setColor(QPalette::Base, QColor(kListRed, kListGreen, kListBlue));
  setPalette(pal);
  setAutoFillBackground(true);
  // One Japanese font for digits, Latin and kana alike: with the desktop's default font the
  // kana come from a fallback font of another size.
  setFont(DialogFont(12));
}

void PlayListView::ShowSelection(int row) {
  QAbstractItemModel* m = model();
  if (!m) return;
  const QModelIndex index = row >= 0 ? m->index(row, 0) : QModelIndex();
  if (!index.isValid()) {
    selectionModel()->clear();
    return;
  }
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  scrollTo(index);
}

void PlayListView::mousePressEvent(QMouseEvent* event) {
  // Only the left button picks a row; the right button opens the list menu and leaves the
  // selection as it is.
  if (event->button() != Qt::LeftButton) {
    event->accept();
    return;
  }
  const QModelIndex index = indexAt(event->position().toPoint());
  if (!index.isValid()) {
    // Below the last row: the list takes the focus and keeps its selection.
    setFocus(Qt::MouseFocusReason);
    event->accept();
    return;
  }
  QListView::mousePressEvent(event);
  if (onUserPick) onUserPick(index.row());
}

void PlayListView::mouseMoveEvent(QMouseEvent* event) {
  // Dragging with the button held would move the selection without a click; keep it still.
  if (event->buttons() != Qt::NoButton) {
    event->accept();
    return;
  }
  QListView::mouseMoveEvent(event);
}

void PlayListView::keyPressEvent(QKeyEvent* event) {
  const QModelIndex before = currentIndex();
  const bool selectedBefore = selectionModel()->isSelected(before);
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
      QListView::keyPressEvent(event);
      if (currentIndex() != before || !selectedBefore) ReportCurrent();
      break;
    default:
      // Everything else (Space among them) is the window's, not the list's.
      event->ignore();
      break;
  }
}

void PlayListView::ReportCurrent() {
  const QModelIndex index = currentIndex();
  if (!index.isValid()) return;
  selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
  if (onUserPick) onUserPick(index.row());
}

void PlayListView::enterEvent(QEnterEvent* event) {
  QListView::enterEvent(event);
  if (onEnter) onEnter();
}

void PlayListView::leaveEvent(QEvent* event) {
  QListView::leaveEvent(event);
  if (onLeave) onLeave();
}

}  // namespace solka
