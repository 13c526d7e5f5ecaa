// Now-playing messages to local listeners: the messaging client's status line (switched by the
// tray menu) and the plain-text receiver (always). Neither is waited for long, and neither is
// required.
#include "app/tdodedev.h"
#include "desktop/now_playing_messages.h"

namespace solka {

namespace {

// A listener answers within milliseconds; one that hangs costs the player no more than this.
// A late answer loses nothing: the frame is already in the listener's socket.
constexpr int kSendTimeoutMs = 100;

void SendTo(PlatformServices& platform, std::string_view windowClass, const CopyData& frame) {
  // Nobody listening, a failure or a late answer: the message is simply not delivered.
  if (platform.ipc) platform.ipc->Send(std::string(windowClass), frame, kSendTimeoutMs);
}

// The client's block is sized from the text's length in the system's code page.
void SendToMessenger(PlatformServices& platform, const std::string& text) {
  SendTo(platform, kMessengerClass, MessengerMessage(text, platform.codec.SystemLength(text)));
}

}  // namespace

void TDODEDEV::AnnounceTrack(const std::string& title) {
  // Sent even with the broadcast off, then marked off, so the client's line never goes stale.
  SendToMessenger(platform_, MessengerAnnounceText(track_.NowPlayingOn, title));
  SendTo(platform_, kTzzzClass, TzzzAnnounce(title));
}

void TDODEDEV::ClearTrack() {
  if (track_.NowPlayingOn) SendToMessenger(platform_, MessengerClearText());
  SendTo(platform_, kTzzzClass, TzzzClear());
}

void TDODEDEV::Messenger1Click() {
  // The check mark is the visible copy of the flag; both change together. The client hears of
  // the change at once: the caption as it reads now (a title, a paused title or an idle text).
  track_.NowPlayingOn = !track_.NowPlayingOn;
  form_.SetChecked("Messenger1", track_.NowPlayingOn);
  const std::string text =
      track_.NowPlayingOn ? MessengerAnnounceText(true, form_.Caption()) : MessengerClearText();
  SendToMessenger(platform_, text);
}

}  // namespace solka
