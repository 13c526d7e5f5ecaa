// Now-playing messages to local listeners. The receivers are reached through the
// inter-process channel, which the player does not open yet; until then a start and a release
// tell nobody.
#include "app/tdodedev.h"

namespace solka {

void TDODEDEV::AnnounceTrack(const std::string&) {}
void TDODEDEV::ClearTrack() {}

}  // namespace solka
