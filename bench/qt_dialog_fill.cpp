// How long the list selection dialog takes to fill and show a base folder with 10,000 sub-
// folders, and one with 10,000 list files in 100 folders, on real files and the real dialog
// (offscreen, painted). Also the select-all of every row. Prints timed figures.
//
// Usage: qt_dialog_fill   (the trees go to the temporary folder and are removed afterwards)
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "dialogs/tform2.h"
#include "platform/memory/test_platform.h"
#include "platform/posix/posix_codec.h"
#include "platform/posix/posix_files.h"
#include "platform/qt/dialog_window.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_screen.h"

namespace {

namespace fs = std::filesystem;

// The player's state as far as the dialog reads it: only settings and the list mode.
class BenchHost : public solka::DialogHost {
 public:
  const std::string& Setting(solka::Key key) const override { return settings_[key]; }
  void SetSetting(solka::Key key, std::string value) override { settings_[key] = std::move(value); }
  bool ListMode() const override { return listMode; }
  void SetListMode(bool on) override { listMode = on; }
  bool ListBoxSorted() const override { return false; }
  bool MonitorPower() const override { return false; }
  bool ExtendedLists() const override { return true; }
  const std::string& SettingsFilePath() const override { return ini; }
  std::string ArmedDeadline() const override { return {}; }
  bool listMode = false;
  std::string ini;

 private:
  std::string settings_[solka::kSettingsCount];
};

double Ms(const QElapsedTimer& timer) {
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const fs::path root =
      fs::temp_directory_path() / ("solka-dialog-bench-" + std::to_string(getpid()));
  const fs::path folders = root / "folders", lists = root / "lists";
  for (int i = 0; i < 10000; ++i)
    fs::create_directories(folders /
                           ("Artist " + std::to_string(i % 97) + " - Album " + std::to_string(i)));
  for (int i = 0; i < 10000; ++i) {
    const fs::path folder = lists / ("group " + std::to_string(i / 100));
    if (i % 100 == 0) fs::create_directories(folder);
    std::ofstream(folder / ("list " + std::to_string(i) + ".m3u")) << "a.mp3\n";
  }

  solka::TestPlatform memory;
  solka::PosixFileSystem files;
  solka::PosixCodec codec;
  solka::QtEventLoop loop;
  solka::QtScreen screen;
  solka::PlatformServices services{
      files,  codec,        memory.clock, loop,         memory.dialogs,
      screen, memory.shell, memory.power, memory.media, memory.diagnostics};
  BenchHost host;
  host.ini = (root / "solka.ini").string();
  solka::TForm2 model(host, services, "");
  solka::DialogWindow window(solka::TForm2::Design(), model.Form, model);
  model.SetWindow(nullptr);  // FormShow alone; the window renders as the form changes
  screen.SetDialogList(window.Control("FIListBox1"));
  auto* list = static_cast<QListView*>(window.Control("FIListBox1"));
  window.show();
  QApplication::processEvents();

  for (const auto& [name, base, listMode] : {std::tuple{"10,000 sub-folders", folders, false},
                                             std::tuple{"10,000 list files", lists, true}}) {
    host.SetSetting(solka::BaseFolder, base.string());
    host.listMode = listMode;
    QElapsedTimer timer;
    timer.start();
    model.FormShow();
    list->viewport()->grab();
    const double shown = Ms(timer);  // what the user sees first: the rows
    // The idle handler measures the rows for the scroll extent once the queue runs dry.
    while (loop.HasIdleHandler()) {
      QTimer::singleShot(20, [] {});
      QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const double settled = Ms(timer);
    timer.restart();
    std::vector<solka::DirEntry> entries;
    files.ListFolder(base.string() + "/", entries);
    const double listing = Ms(timer);
    timer.restart();
    int widest = 0;
    for (const std::string& row : model.Form.Items("FIListBox1"))
      widest = std::max(widest, screen.DialogListTextWidth(row));
    std::printf("  (of which: reading the base folder %.1f ms, measuring the rows %.1f ms)\n",
                listing, Ms(timer));
    timer.restart();
    model.Handle("Button2", solka::DialogEvent::Click);
    list->viewport()->grab();
    std::printf(
        "%s: %zu rows shown in %.1f ms, scroll extent measured by %.1f ms; all selected in %.1f "
        "ms\n",
        name, model.CandidatePaths.size(), shown, settled, Ms(timer));
  }
  fs::remove_all(root);
  return 0;
}
