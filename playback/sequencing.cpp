// PLACEHOLDER: empty handlers, to be written by the owner of this file.
#include "app/tdodedev.h"

namespace solka {

void TDODEDEV::UpdatePlayMode() {}
void TDODEDEV::PlaySelected() {}
void TDODEDEV::ToolButton5Click() {}
void TDODEDEV::N1Click(std::string_view) {}
void TDODEDEV::EndOfTrack() {}
void TDODEDEV::AdvanceAfterTrack() {}
void TDODEDEV::EndRun() {}
void TDODEDEV::ToolButton3Click() {}
void TDODEDEV::ToolButton7Click() {}

}  // namespace solka
