// How long the main window takes to show 100,000 rows, and to scroll through them a page at a
// time (offscreen; each step is painted). Prints timed figures; not part of the tests.
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "form/commands.h"
#include "platform/qt/list_view.h"
#include "platform/qt/main_window.h"

namespace {

class NoCommands : public solka::WindowCommands {
 public:
  void Click(std::string_view) override {}
  void KeyDown(solka::KeyCode) override {}
  void WheelUp() override {}
  void WheelDown() override {}
  void RowClick() override {}
  void ListMouseEnter() override {}
  void ListMouseLeave() override {}
  void MouseMove() override {}
  void TrayClick() override {}
  void TrayMouseMove() override {}
  void StopButtonMouseDown(bool) override {}
  void VolumeDoubleClick() override {}
  void ToggleCompactView() override {}
  void ShowPanel() override {}
  void DropFiles(const std::vector<std::string>&) override {}
  void Close() override {}
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  solka::MainForm form;
  NoCommands commands;
  solka::MainWindow window(form, commands);
  window.Start();
  QApplication::processEvents();

  constexpr int kRows = 100000;
  std::vector<std::string> rows;
  rows.reserve(kRows);
  for (int i = 0; i < kRows; ++i)
    rows.push_back("D:/Music/Album " + std::to_string(i / 12) + "/Track " + std::to_string(i) +
                   " 曲名");
  QElapsedTimer timer;
  timer.start();
  form.SetRows(std::move(rows));
  form.SetScrollWidth(400);
  QApplication::processEvents();  // the view lays out its rows from the loop
  window.List()->viewport()->grab();
  std::printf("show %d rows: %.1f ms\n", kRows, timer.nsecsElapsed() / 1e6);

  QScrollBar* bar = window.List()->verticalScrollBar();
  std::vector<double> steps;
  for (int i = 0; i < 200; ++i) {
    timer.restart();
    bar->setValue(bar->value() + bar->pageStep() * 17);
    window.List()->viewport()->grab();
    steps.push_back(timer.nsecsElapsed() / 1e6);
  }
  std::sort(steps.begin(), steps.end());
  std::printf("scroll step (painted): median %.2f ms, worst %.2f ms\n", steps[steps.size() / 2],
              steps.back());

  timer.restart();
  form.SetItemIndex(kRows - 1);
  window.List()->viewport()->grab();
  std::printf("select and show the last row: %.2f ms\n", timer.nsecsElapsed() / 1e6);
  return 0;
}
