// The now-playing messages over real endpoints: a local listener gets the exact frames, and a
// listener that never reads cannot hold the player up.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "desktop/now_playing_messages.h"
#include "platform/posix/posix_copy_data.h"
#include "tests/core/player_fixture.h"
#include "tests/temp_folder.h"

namespace solka {
namespace {

class NowPlayingIpc : public PlayerTest {
 protected:
  NowPlayingIpc() { p.services.ipc = &sender; }

  std::string Folder() const { return temp.File("solka") + "/"; }

  // What a listener of another program received, by class, in order.
  struct Received {
    std::mutex mutex;
    std::vector<std::pair<std::string, CopyData>> frames;
  };
  CopyDataHandler Recorder(const std::string& windowClass) {
    return [this, windowClass](const CopyData& frame) {
      const std::lock_guard lock(received.mutex);
      received.frames.emplace_back(windowClass, frame);
      return 1u;
    };
  }

  testing_files::TempFolder temp;
  Received received;
  // The listening program answers at once on its own thread.
  PosixInterProcess receiver{Folder(), [](std::function<void()> task) { task(); }};
  PosixInterProcess sender{Folder(), [](std::function<void()>) {}};
};

TEST_F(NowPlayingIpc, ListenersGetTheExactFramesOfEachAnnounceAndClear) {
  player.Messenger1Click();  // on, before anyone listens
  auto messenger = receiver.Listen("MsnMsgrUIManager", Recorder("MsnMsgrUIManager"));
  auto tzzz = receiver.Listen("Tzzz", Recorder("Tzzz"));
  ASSERT_TRUE(messenger && tzzz);
  LoadPaths({"/music/夜の歌.mp3"});
  player.pauseButtonClick();
  player.ToolButton9Click();
  // Each send waited for its answer, so everything has arrived.
  const std::lock_guard lock(received.mutex);
  using Frame = std::pair<std::string, CopyData>;
  EXPECT_EQ(received.frames,
            (std::vector<Frame>{
                {"MsnMsgrUIManager", MessengerMessage(MessengerAnnounceText(true, "夜の歌"))},
                {"Tzzz", {3000, "DODEDEV : 夜の歌"}},
                {"MsnMsgrUIManager", MessengerMessage(MessengerClearText())},
                {"Tzzz", {3000, ""}}}));
}

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
