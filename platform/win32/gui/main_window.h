// The main window TDODEDEV in Win32: it renders the player's MainForm part by part with the
// system's own controls (tool bar, owner-data list box, status panel, menus, notification-area
// icon) and turns what the user does into calls of WindowCommands. It decides nothing itself.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "form/commands.h"
#include "form/form_part_renderer.h"
#include "form/main_form.h"
#include "form/trace.h"
#include "form/window_place.h"
#include "platform/api/copy_data.h"

namespace solka {

class GuiLoop;
class Hints;
class PopupMenus;
class StatusPanel;
class ToolBar;
class TrayIcon;

class MainWindow : public FormObserver, private FormPartRenderer {
 public:
  static constexpr wchar_t kClassName[] = L"TDODEDEV";

  MainWindow(MainForm& form, WindowCommands& commands, GuiLoop& loop, Trace trace = Trace());
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return window_; }
  HWND List() const { return list_; }
  HFONT ListFont() const { return font_; }
  PopupMenus& Menus() { return *menus_; }

  // After the player's creation event: shows the window unless the player hid it.
  void Start();
  // Closes the window the normal way; the player's close event runs once per run, and message
  // boxes waiting for their OK are closed with it.
  void RequestClose();
  bool Closed() const { return closed_; }
  // Runs after the player's close event (the program quits there).
  std::function<void()> onClosed;

  // Hand-overs of later starts (WM_COPYDATA) go to `handler` from now on; those that came
  // while the player was still starting are handed on first.
  void ListenCopyData(std::function<std::uint32_t(const CopyData&)> handler);

  void Changed(FormPart part) override;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // Key preview, pointer movement and the wheel, seen before any control of the window.
  bool Preview(MSG& msg);
  bool Notify(const NMHDR* header, LRESULT& result);
  std::uint32_t CopyDataArrived(const COPYDATASTRUCT& data);
  void DropFiles(HDROP drop);

  void RenderCaption() override;
  void RenderWindowHint() override;
  void RenderAppTitle() override;
  void RenderGeometry() override;
  void RenderVisible() override;
  void RenderBorderIcons() override;
  void RenderHintsShown() override;
  void RenderTaskButton() override;
  void RenderLabel(int n) override;
  void RenderRows() override;
  void RenderSelection() override;
  void RenderScrollWidth() override;
  void RenderTray() override;
  void RenderChecks() override;
  void RenderSleepButton() override;
  void RenderActiveControl() override;
  void RenderDropTarget() override;
  void LayOut();
  void ReportGeometry();
  void ApplyDpi(int dpi);
  void DrawRow(const DRAWITEMSTRUCT& item);
  void FinishRun();
  void TraceControls();
  std::vector<ScreenArea> ScreenAreas() const;
  DWORD Style() const;
  DWORD ExStyle() const;

  MainForm& form_;
  WindowCommands& commands_;
  GuiLoop& loop_;
  Trace trace_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
  std::unique_ptr<PopupMenus> menus_;
  std::unique_ptr<ToolBar> toolBar_;
  std::unique_ptr<StatusPanel> panel_;
  std::unique_ptr<TrayIcon> tray_;
  std::unique_ptr<Hints> hints_;
  HFONT font_ = nullptr;
  HBRUSH listBrush_ = nullptr;
  int dpi_ = 96;
  bool started_ = false;
  bool closed_ = false;
  bool rendering_ = false;
  bool controlsTraced_ = false;
  bool overList_ = false;
  POINT lastMove_{-1, -1};
  WheelNotches wheel_;
  ScreenArea placed_;
  std::function<std::uint32_t(const CopyData&)> copyData_;
  std::vector<CopyData> earlyCopyData_;
};

}  // namespace solka
