#include "app/tdodedev.h"

namespace solka {

TDODEDEV::TDODEDEV(PlatformServices& platform, ProcessInfo process)
    : platform_(platform), process_(std::move(process)) {
  // Construction: every text starts empty; the window hint is replaced by the version text.
  form_.SetWindowHint(VersionText);
  Timer1 = platform_.loop.CreateTimer(100, false, [this] { Timer1Timer(); });
  Timer2 = platform_.loop.CreateTimer(10000, false, [this] { Timer2Timer(); });
}

TDODEDEV::~TDODEDEV() {
  // The graph goes first: its notification refers to this object.
  if (Graph) Graph->SetNotify(nullptr);
  Graph.reset();
}

}  // namespace solka
