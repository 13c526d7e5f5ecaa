// The program users start: answers options, hands its argument to a running player, or becomes
// the player by exec. It links the portable core and the POSIX services only, so a later start
// is done before the GUI toolkit or the media framework could even have been loaded.
#include <cstdio>

#include "program/entry/player_exec.h"
#include "program/entry/start.h"

int main(int argc, char** argv) {
  using namespace solka;
  const std::string first = FirstArgument(argc, argv);
  if (const auto status = AnswerOnTerminal(first)) return *status;
  // Nothing listens here: the post to a GUI thread is never used.
  PosixInterProcess ipc(DefaultCopyDataFolders(), nullptr);
  const InstanceRole role = ClaimOrHandOver(ipc, first);
  if (!role.player) return kHandedOverStatus;
  const std::string why = ExecPlayer(argv, role);
  std::fprintf(stderr, "solka: cannot start the player program (%s)\n", why.c_str());
  return kNoPlayerStatus;
}
