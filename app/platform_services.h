// The platform services the player works on, handed to it at construction.
#pragma once

#include <string>

#include "platform/api/clock.h"
#include "platform/api/desktop.h"
#include "platform/api/diagnostics.h"
#include "platform/api/files.h"
#include "platform/api/media.h"
#include "platform/api/text_codec.h"

namespace solka {

struct PlatformServices {
  FileSystem& files;
  TextCodec& codec;
  Clock& clock;
  EventLoop& loop;
  Dialogs& dialogs;
  Screen& screen;
  Shell& shell;
  Power& power;
  MediaBackend& media;
  Diagnostics& diagnostics;
};

// What the process was started with.
struct ProcessInfo {
  std::string programPath;    // full path of the program file
  std::string firstArgument;  // first command-line argument, enclosing quotes removed
};

}  // namespace solka
