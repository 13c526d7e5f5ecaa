// The tool bar ToolBar1: eight buttons built from the designed table, glyphs in a normal and a
// hot (under the pointer) variant, drop-down buttons opening their menu from the arrow and on a
// right click.
#pragma once

#include <QToolBar>
#include <functional>
#include <string_view>

class QToolButton;

namespace solka {

class PopupMenus;

class ToolBar : public QToolBar {
 public:
  struct Events {
    std::function<void(std::string_view)> click;
    std::function<void(bool)> stopMouseDown;  // right button among the pressed ones
    std::function<void()> emptyAreaDoubleClick;
  };

  ToolBar(PopupMenus& menus, Events events, QWidget* parent = nullptr);

  QToolButton* Button(std::string_view name) const;
  // The sleep button shows whether a sleep setting is armed.
  void ShowSleepButton(int image, const QString& hint);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  PopupMenus& menus_;
  Events events_;
};

// The glyph of tool-bar image `index`: normal, and hot while the pointer is over the button.
QIcon ToolBarIcon(int index);

}  // namespace solka
