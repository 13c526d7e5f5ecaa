// PLACEHOLDER: empty handlers, to be written by the owner of this file.
#include "app/tdodedev.h"

namespace solka {

void TDODEDEV::Timer1Timer() {}
void TDODEDEV::ShowPlaying(const std::string&, const std::string&) {}
void TDODEDEV::ShowIdle() {}
void TDODEDEV::ShowVolume() {}
std::string TDODEDEV::TrayHintFromCaption() const { return {}; }

}  // namespace solka
