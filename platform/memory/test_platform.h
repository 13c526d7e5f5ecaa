// Every platform service in memory, wired together, for driving the core in tests.
#pragma once

#include "app/platform_services.h"
#include "platform/memory/memory_copy_data.h"
#include "platform/memory/memory_desktop.h"
#include "platform/memory/memory_files.h"
#include "platform/memory/memory_media.h"

namespace solka {

struct TestPlatform {
  TestPlatform() = default;
  // `systemText`: the system's own text as a real platform has it (Win32's code pages).
  explicit TestPlatform(TextCodec& systemText)
      : services{files, systemText, clock, loop,        dialogs, screen,
                 shell, power,      media, diagnostics, &ipc} {}

  MemoryFileSystem files;
  NullCodec codec;
  ManualClock clock;
  ManualEventLoop loop{clock};
  RecordingDialogs dialogs;
  FakeScreen screen;
  RecordingShell shell;
  RecordingPower power;
  ScriptedMediaBackend media{loop};
  RecordingDiagnostics diagnostics;
  MemoryInterProcess ipc;
  PlatformServices services{files, codec, clock, loop,        dialogs, screen,
                            shell, power, media, diagnostics, &ipc};
};

}  // namespace solka
