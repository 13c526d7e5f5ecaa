// State of the main window's controls, held by the core and rendered by the GUI layer.
//
// Contract: the core changes this model on the GUI thread through the setters, each of which
// tells the observer which part changed; the GUI layer redraws that part and never decides
// anything itself. User actions reach the core as handler calls; the GUI layer reports what the
// user changed directly (row clicked, window moved) with the *FromView setters, which do not
// notify back.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace solka {

enum class Color { Black, Blue };

enum class FormPart {
  Caption,
  WindowHint,
  AppTitle,
  Geometry,
  Visible,
  BorderIcons,
  HintsShown,
  TaskButton,
  Label1,
  Label2,
  Label3,
  Rows,
  Selection,
  ScrollWidth,
  Tray,
  Checks,
  SleepButton,
  ActiveControl,
  DropTarget,
};

// Every part a freshly built window draws, in the order it draws them: the window is placed
// before it is shown. The selection is drawn with the rows.
inline constexpr std::array<FormPart, 18> kEveryFormPart = {
    FormPart::Caption,       FormPart::WindowHint, FormPart::AppTitle,    FormPart::Geometry,
    FormPart::BorderIcons,   FormPart::HintsShown, FormPart::TaskButton,  FormPart::Label1,
    FormPart::Label2,        FormPart::Label3,     FormPart::Rows,        FormPart::ScrollWidth,
    FormPart::Tray,          FormPart::Checks,     FormPart::SleepButton, FormPart::Visible,
    FormPart::ActiveControl, FormPart::DropTarget};

class FormObserver {
 public:
  virtual ~FormObserver() = default;
  virtual void Changed(FormPart part) = 0;
};

// Draws every part of a freshly built window, in the order above.
inline void DrawEveryPart(FormObserver& window) {
  for (FormPart part : kEveryFormPart) window.Changed(part);
}

// The status panel label a part stands for (1 to 3), 0 for any other part.
inline int LabelNumber(FormPart part) {
  return part == FormPart::Label1   ? 1
         : part == FormPart::Label2 ? 2
         : part == FormPart::Label3 ? 3
                                    : 0;
}

// The list box's rows: entries and the text a row shows for its entry (none: the entry itself).
struct ListRows {
  std::shared_ptr<const std::vector<std::string>> entries;
  std::function<std::string(const std::string&)> text;
};

struct LabelState {
  std::string text;
  Color color = Color::Black;
};

enum class ActiveControl { None, ListBox };

class MainForm {
 public:
  static constexpr int kFullHeight = 313;
  static constexpr int kCompactHeight = 68;
  static constexpr int kMinWidth = 189, kMaxWidth = 1024;
  static constexpr int kMinHeight = 68, kMaxHeight = 313;
  // Outer height minus client height of the designed window (title bar and frame).
  static constexpr int kFrameHeight = 24;
  // How near to an edge of the screen's work area a moved window snaps onto it.
  static constexpr int kSnapDistance = 10;

  void SetObserver(FormObserver* observer) { observer_ = observer; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string text) { Set(caption_, std::move(text), FormPart::Caption); }
  const std::string& WindowHint() const { return windowHint_; }
  void SetWindowHint(std::string text) { Set(windowHint_, std::move(text), FormPart::WindowHint); }
  // The text of the application's task-bar button.
  const std::string& AppTitle() const { return appTitle_; }
  void SetAppTitle(std::string text) { Set(appTitle_, std::move(text), FormPart::AppTitle); }

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  // Outer height, as the settings store it (313 full, 68 compact).
  int Height() const { return height_; }
  void SetLeft(int v) { Set(left_, v, FormPart::Geometry); }
  void SetTop(int v) { Set(top_, v, FormPart::Geometry); }
  void SetHeight(int v) { Set(height_, v, FormPart::Geometry); }
  void SetGeometryFromView(int left, int top, int width, int height) {
    left_ = left, top_ = top, width_ = width, height_ = height;
  }
  // Whether the display server tells where the window stands (Wayland does not): a position
  // it never told is not stored.
  bool PositionReported() const { return positionReported_; }
  void SetPositionReportedFromView(bool reported) { positionReported_ = reported; }

  bool Visible() const { return visible_; }
  void SetVisible(bool v) { Set(visible_, v, FormPart::Visible); }
  bool CloseBox() const { return closeBox_; }
  void SetCloseBox(bool v) { Set(closeBox_, v, FormPart::BorderIcons); }
  bool HintsShown() const { return hintsShown_; }
  void SetHintsShown(bool v) { Set(hintsShown_, v, FormPart::HintsShown); }
  bool TaskButtonVisible() const { return taskButton_; }
  void SetTaskButtonVisible(bool v) { Set(taskButton_, v, FormPart::TaskButton); }
  ActiveControl Active() const { return active_; }
  void SetActive(ActiveControl v) { Set(active_, v, FormPart::ActiveControl); }
  // Whether files dropped from the desktop reach the window.
  bool AcceptsDrops() const { return acceptsDrops_; }
  void SetAcceptsDrops(bool v) { Set(acceptsDrops_, v, FormPart::DropTarget); }

  const LabelState& Label(int n) const { return labels_[n - 1]; }
  void SetLabelText(int n, std::string text) {
    Set(labels_[n - 1].text, std::move(text), LabelPart(n));
  }
  void SetLabelColor(int n, Color c) { Set(labels_[n - 1].color, c, LabelPart(n)); }

  // The list box: one row per play-list entry; ItemIndex is the selected row, -1 for none.
  // A row's text is derived from its entry when it is read, so a long list costs nothing up
  // front; the entries are a snapshot, unaffected by later changes of the list.
  int RowCount() const { return rows_.entries ? static_cast<int>(rows_.entries->size()) : 0; }
  std::string Row(int row) const {
    const std::string& entry = (*rows_.entries)[static_cast<std::size_t>(row)];
    return rows_.text ? rows_.text(entry) : entry;
  }
  // Every row's text at once.
  std::vector<std::string> Rows() const {
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(RowCount()));
    for (int row = 0; row < RowCount(); ++row) texts.push_back(Row(row));
    return texts;
  }
  void SetRows(ListRows rows) {
    rows_ = std::move(rows);
    itemIndex_ = -1;
    Notify(FormPart::Rows);
  }
  // Rows that show these texts as they are.
  void SetRows(std::vector<std::string> texts) {
    SetRows(ListRows{std::make_shared<const std::vector<std::string>>(std::move(texts)), {}});
  }
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int row) { Set(itemIndex_, Clamp(row), FormPart::Selection); }
  void SetItemIndexFromView(int row) { itemIndex_ = Clamp(row); }
  int ScrollWidth() const { return scrollWidth_; }
  void SetScrollWidth(int v) { Set(scrollWidth_, v, FormPart::ScrollWidth); }

  // The notification-area icon: index into MAINICON, PLAYICON, SUBICON, TRAYICON.
  int TrayIcon() const { return trayIcon_; }
  const std::string& TrayHint() const { return trayHint_; }
  void SetTrayIcon(int index) { Set(trayIcon_, index, FormPart::Tray); }
  void SetTrayHint(std::string text) { Set(trayHint_, std::move(text), FormPart::Tray); }

  // Check marks of menu items, by item name (N1, R2, N9, Messenger1 ...).
  bool Checked(const std::string& item) const {
    auto it = checks_.find(item);
    return it != checks_.end() && it->second;
  }
  void SetChecked(const std::string& item, bool checked) {
    if (Checked(item) == checked) return;
    checks_[item] = checked;
    Notify(FormPart::Checks);
  }

  int SleepImage() const { return sleepImage_; }
  const std::string& SleepHint() const { return sleepHint_; }
  void SetSleepButton(int image, std::string hint) {
    sleepImage_ = image;
    sleepHint_ = std::move(hint);
    Notify(FormPart::SleepButton);
  }

 private:
  template <typename T, typename U>
  void Set(T& field, U&& value, FormPart part) {
    if (field == value) return;
    field = std::forward<U>(value);
    Notify(part);
  }
  void Notify(FormPart part) {
    if (observer_) observer_->Changed(part);
  }
  static FormPart LabelPart(int n) {
    return n == 1 ? FormPart::Label1 : n == 2 ? FormPart::Label2 : FormPart::Label3;
  }
  int Clamp(int row) const { return row >= 0 && row < RowCount() ? row : -1; }

  FormObserver* observer_ = nullptr;
  std::string caption_ = "SOLKA Player DirectShow Ver.";
  std::string windowHint_;
  std::string appTitle_ = "SOLKA";
  int left_ = 183, top_ = 154, width_ = 248, height_ = kFullHeight;
  bool positionReported_ = true;
  bool visible_ = true, closeBox_ = false, hintsShown_ = true, taskButton_ = true;
  ActiveControl active_ = ActiveControl::None;
  bool acceptsDrops_ = false;
  LabelState labels_[3];
  ListRows rows_;
  int itemIndex_ = -1;
  int scrollWidth_ = 0;
  int trayIcon_ = 0;
  std::string trayHint_ = "SOLKA";
  std::map<std::string, bool, std::less<>> checks_;
  int sleepImage_ = 7;
  std::string sleepHint_ = "スリープ設定(右クリックでメニュー)";
};

}  // namespace solka
