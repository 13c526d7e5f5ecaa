// The player program's composition root: creates the POSIX, GStreamer and Qt services, the
// player and its window, wires them together and runs the event loop. Only the player program
// links this file; everything it wires stays unaware of the others. Users start the front
// (program/front/), which execs this program when it is to play.
#include <QApplication>
#include <QMetaObject>
#include <QPointer>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/platform_services.h"
#include "app/player_commands.h"
#include "app/single_instance.h"
#include "app/tdodedev.h"
#include "desktop/media_remote.h"
#include "dialogs/player_dialogs.h"
#include "platform/dbus/bus_probe.h"
#include "platform/dbus/mpris_service.h"
#include "platform/dbus/system_power.h"
#include "platform/gst/gst_media.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/posix_codec.h"
#include "platform/posix/posix_copy_data.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_shell.h"
#include "platform/posix/stderr_diagnostics.h"
#include "platform/qt/application.h"
#include "platform/qt/late_dialogs.h"
#include "platform/qt/list_view.h"
#include "platform/qt/main_window.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_screen.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/quit_signals.h"
#include "platform/qt/screenshot.h"
#include "platform/qt/x11_window.h"
#include "program/entry/player_exec.h"
#include "program/entry/start.h"

namespace solka {

namespace {

// How long the session bus may take to answer before the player starts without it.
constexpr int kSessionBusBoundMs = 500;

// The program the user started: the front that exec'd this one, else this one. The settings go
// beside it.
std::string ProgramFile(const std::string& frontProgram) {
  if (!frontProgram.empty()) return frontProgram;
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return exe.string();
  return PathFromQt(QCoreApplication::applicationFilePath());
}

// A gst-launch description of the audio output in $SOLKA_AUDIO_SINK replaces the desktop's
// default output (the tests play to a silent sink that keeps real time).
GstMediaOptions MediaOptions() {
  GstMediaOptions options;
  if (const char* sink = std::getenv("SOLKA_AUDIO_SINK")) options.audioSink = sink;
  return options;
}

void PostToGuiThread(std::function<void()> task) {
  QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
}

int RunPlayer(Application& app, int argc, char** argv, InterProcess& ipc,
              const std::string& frontProgram, GstMediaOptions mediaOptions) {
  MainWindow* window = nullptr;
  // Signals close the window the normal way. Caught from the first moment (a signal in the
  // start-up would otherwise kill the program); handled in the event loop, which runs only once
  // the window exists.
  QuitSignals signals_([&window] {
    if (window) window->RequestClose();
  });
  PosixFileSystem files;
  PosixCodec codec;
  // A text set just before a wait (the closing caption) must be on the screen during it.
  PosixClock clock([&window] {
    if (window) window->repaint();
    FlushDisplay();
  });
  QtEventLoop loop;
  QtDialogs dialogs;
  QtScreen screen;
  PosixShell shell;
  const std::unique_ptr<Power> power = CreateSystemPower();
  GstMediaBackend media(PostToGuiThread, std::move(mediaOptions));
  StderrDiagnostics diagnostics;
  PlatformServices services{files, codec,  clock, loop,        dialogs, screen,
                            shell, *power, media, diagnostics, &ipc};

  TDODEDEV player(services, {ProgramFile(frontProgram), FirstArgument(argc, argv)});
  PlayerCommands commands(player);
  MainWindow mainWindow(player.FormForView(), commands);
  window = &mainWindow;
  dialogs.SetOwner(&mainWindow);
  screen.SetMainWindow(&mainWindow, mainWindow.List(), [window] { window->RequestClose(); });
  mainWindow.onClosed = [] { QCoreApplication::quit(); };

  // The end of the session closes the window the normal way. The session manager ends the
  // program through quit() (after asking it to commit its data, which may still be cancelled);
  // whatever ends the loop, the close event runs first.
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &mainWindow,
                   [window] { window->RequestClose(); });

  // The two dialogs, created once after the main window (and after the signals are caught, so
  // that a signal during their construction still ends the program normally); kept until exit.
  // Their windows are built once the window is shown and the first track started.
  PlayerDialogs dialogModels(player, services, HomePageAddress(files));
  LateDialogs dialogWindows(dialogModels, &mainWindow,
                            [&screen](QWidget* list) { screen.SetDialogList(list); });

  // Media keys and the desktop's player controls, when there is a session bus.
  PlayerRemote remote(player, commands);
  MprisService mpris(remote, [window] { window->RequestClose(); });
  // The bus hears of the player's own changes as they happen; the poll runs only while the
  // window is shown.
  mainWindow.onChanged = [bus = QPointer<MprisService>(&mpris), &player](FormPart part) {
    if (!bus) return;
    if (part == FormPart::Visible)
      bus->SetPolling(player.Form().Visible());
    else if (part == FormPart::Caption || part == FormPart::Tray || part == FormPart::Label3 ||
             part == FormPart::Rows)
      bus->PlayerChanged();
  };
  mpris.SetPolling(player.Form().Visible());

  player.FormCreate();
  // Closed during the start-up (a signal while a message box waited): the loop never runs.
  if (mainWindow.Closed()) return 0;
  // Later starts reach the player once it has a list; until then they wait for the endpoint.
  // They are answered on the endpoint's own thread, however busy this one is.
  const std::unique_ptr<CopyDataEndpoint> handOver = ipc.Listen(
      std::string(kPlayerWindowClass),
      [&files](const CopyData& message) { return CheckHandOver(message, files); },
      [&player](const CopyData& message) { player.WMCopyData(message); });
  if (!handOver) std::fprintf(stderr, "solka: later starts cannot reach this player\n");
  mainWindow.Start();
  dialogWindows.BuildWhenIdle([&loop] { return !loop.HasIdleHandler(); });
  mpris.Start();
  Screenshots screenshots(mainWindow);
  return app.exec();
}

}  // namespace

}  // namespace solka

int main(int argc, char** argv) {
  using namespace solka;
  // Taken first, before any thread starts: the environment is changed here.
  PosixInterProcess ipc(DefaultCopyDataFolders(), PostToGuiThread);
  std::string frontProgram;
  std::optional<InstanceRole> passed = RoleFromFront(ipc, frontProgram);
  // Decided before the toolkit starts: a second start needs no display and shows nothing.
  // Started by the front, this process has answered options and claimed the role already.
  const std::string first = FirstArgument(argc, argv);
  if (!passed)
    if (const auto status = AnswerOnTerminal(first)) return *status;
  const InstanceRole role = passed ? std::move(*passed) : ClaimOrHandOver(ipc, first);
  if (!role.player) return kHandedOverStatus;
  GstMediaOptions mediaOptions = MediaOptions();
  GstEarlyStart mediaStart(mediaOptions.audioSink);
  mediaOptions.begunOutput = mediaStart.Output();

  // Checked before the toolkit starts, which would otherwise wait for ever on a session bus that
  // accepts and never answers; a sound one answers within milliseconds.
  const std::string noSessionBus = ShunSilentSessionBus(kSessionBusBoundMs);
  if (!noSessionBus.empty())
    std::fprintf(stderr, "solka: no session bus (no media controls): %s\n", noSessionBus.c_str());

  // Takes its own options (-platform, -display ...) out of argc and argv.
  Application app(argc, argv);
  // Hiding to the tray closes no window, but a message box closing while the main window is
  // hidden would otherwise end the program.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setApplicationName(QStringLiteral("solka"));
  app.LoadToolkitTranslations();
  // What goes wrong inside the loop is reported there and the loop goes on; what goes wrong
  // before it (in the start-up) is reported here and ends the program.
  try {
    return RunPlayer(app, argc, argv, ipc, frontProgram, std::move(mediaOptions));
  } catch (const std::exception& error) {
    app.ReportException(error.what());
  } catch (...) {
    app.ReportException("unknown error");
  }
  return 0;
}
