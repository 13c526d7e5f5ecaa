// The now-playing messages over real endpoints: a listener that never reads cannot hold the
// player up. (The frames a listener gets: tests/e2e/now_playing_listener.sh.)
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "platform/posix/posix_copy_data.h"
#include "tests/core/player_fixture.h"
#include "tests/temp_folder.h"

namespace solka {
namespace {

class NowPlayingIpc : public PlayerTest {
 protected:
  NowPlayingIpc() { p.services.ipc = &sender; }

  std::string Folder() const { return temp.File("solka") + "/"; }

  testing_files::TempFolder temp;
  PosixInterProcess sender{Folder(), [](std::function<void()>) {}};
};

TEST_F(NowPlayingIpc, AListenerThatNeverReadsCannotHoldThePlayerUp) {
  // A program that took the name and hangs: its socket accepts connections and reads nothing.
  ASSERT_EQ(::mkdir(Folder().c_str(), 0700), 0);
  const int hung = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, (Folder() + "Tzzz").c_str());
  ASSERT_EQ(::bind(hung, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(hung, 16), 0);

  LoadTracks(3);
  player.pauseButtonClick();
  player.ToolButton7Click();
  player.ToolButton7Click();
  player.ToolButton9Click();
  EXPECT_EQ(Rendered(), (std::vector{Entry(0), Entry(1), Entry(2)}));
  EXPECT_EQ(player.Form().Caption(), player.VersionText);
  ::close(hung);
}

}  // namespace
}  // namespace solka
