// The list box FIListBox1: a list view that tells apart the rows the user picks (mouse or
// keyboard) from the selection the player sets, and reports only the former.
#pragma once

#include <QListView>
#include <functional>

namespace solka {

class PlayListView : public QListView {
 public:
  explicit PlayListView(QWidget* parent = nullptr);

  // The player's selection (-1 for none); not reported back.
  void ShowSelection(int row);

  // Called with the row the user picked.
  std::function<void(int)> onUserPick;
  std::function<void()> onEnter, onLeave;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void ReportCurrent();
};

}  // namespace solka
