// Every Windows service the player works on, made together for the program's composition root:
// files, text, clock, shell, power, DirectShow playback and diagnostics. (The event loop, the
// dialogs and the screen are the GUI's; the copy-data channel is made before all of these.)
#pragma once

#include <functional>
#include <utility>

#include "platform/win32/dshow_media.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_codec.h"
#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_power.h"
#include "platform/win32/win32_shell.h"

namespace solka {

class Win32Services {
 public:
  // `beforeSleep` runs before each wait of the clock, so the window can paint what was just set.
  // Made on the GUI thread, which it joins to a single-threaded COM apartment (playback).
  explicit Win32Services(std::function<void()> beforeSleep = {}) : clock_(std::move(beforeSleep)) {}

  Win32FileSystem& Files() { return files_; }
  Win32Codec& Codec() { return codec_; }
  Win32Clock& Clock() { return clock_; }
  // The main window, once it exists, owns the shell's windows and asks for the monitor's power.
  Win32Shell& Shell() { return shell_; }
  Win32Power& Power() { return power_; }
  DShowMediaBackend& Media() { return media_; }
  Win32Diagnostics& Diagnostics() { return diagnostics_; }

 private:
  Win32FileSystem files_;
  Win32Codec codec_;
  Win32Clock clock_;
  Win32Shell shell_;
  Win32Power power_;
  DShowMediaBackend media_;
  Win32Diagnostics diagnostics_;
};

}  // namespace solka
