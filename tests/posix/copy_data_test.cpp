// Copy-data endpoints and the instance lock on real sockets and lock files in a private folder.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/posix/copy_data_frame.h"
#include "platform/posix/posix_copy_data.h"
#include "tests/temp_folder.h"

namespace solka {
namespace {

using ::testing::ElementsAre;

// Stands in for the GUI thread: posted closures wait here until the test runs them.
class GuiQueue {
 public:
  PosixInterProcess::PostToGui Poster() {
    return [this](std::function<void()> task) {
      const std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(task));
      posted_.notify_all();
    };
  }
  // Runs posted closures until `done` holds; false when it still does not after ten seconds.
  bool RunUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
      std::unique_lock lock(mutex_);
      if (!posted_.wait_until(lock, end, [this] { return !tasks_.empty(); })) return done();
      auto task = std::move(tasks_.front());
      tasks_.pop_front();
      lock.unlock();
      task();
    }
    return true;
  }
  std::size_t Pending() {
    const std::lock_guard lock(mutex_);
    return tasks_.size();
  }
  // Waits (up to ten seconds) until something is posted, without running it.
  bool WaitForPost() {
    std::unique_lock lock(mutex_);
    return posted_.wait_for(lock, std::chrono::seconds(10), [this] { return !tasks_.empty(); });
  }

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
};

class CopyDataTest : public ::testing::Test {
 protected:
  std::string Folder() const { return temp.File("solka"); }
  std::string EndpointFile() const { return Folder() + "/TDODEDEV"; }

  // A raw client that may misbehave.
  int Connect() const {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, EndpointFile().c_str());
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
  }

  testing_files::TempFolder temp;
  GuiQueue gui;
  PosixInterProcess ipc{Folder() + "/", gui.Poster()};
  std::vector<CopyData> received;
  // Takes frames of data word 1 and 2; the answer to any other is its data word.
  CopyDataCheck check = [](const CopyData& frame) { return frame.dwData <= 2 ? 0u : frame.dwData; };
  CopyDataHandler record = [this](const CopyData& frame) { received.push_back(frame); };
};

TEST(CopyDataFrame, ReadsAFrameInAnyPiecesAndRefusesAnOversizedOneBeforeItsBlock) {
  const CopyData frame{1, std::string("/music/\0x", 9)};
  const std::string wire = EncodeFrame(frame) + "trailing";
  FrameReader whole;
  EXPECT_EQ(whole.Feed(wire), wire.size() - 8);  // stops where the frame ends
  ASSERT_EQ(whole.Status(), FrameReader::State::Complete);
  EXPECT_EQ(whole.Frame(), frame);

  FrameReader bytewise;
  for (char c : wire.substr(0, wire.size() - 8)) EXPECT_EQ(bytewise.Feed(std::string(1, c)), 1u);
  EXPECT_EQ(bytewise.Frame(), frame);

  FrameReader empty;
  empty.Feed(EncodeFrame({7, ""}));
  EXPECT_EQ(empty.Status(), FrameReader::State::Complete);
  EXPECT_EQ(empty.Frame().dwData, 7u);

  FrameReader huge(100);
  EXPECT_EQ(huge.Feed(EncodeLe32(1) + EncodeLe32(1u << 30) + "abc"), 8u);
  EXPECT_EQ(huge.Status(), FrameReader::State::TooLarge);
  EXPECT_EQ(huge.Wanted(), 0u);
  FrameReader limit(3);
  limit.Feed(EncodeFrame({1, "abc"}));
  EXPECT_EQ(limit.Status(), FrameReader::State::Complete);
}

TEST(CopyDataFolder, TheUsersRuntimeFolderElseOneOfItsOwnInTmp) {
  const char* current = std::getenv("XDG_RUNTIME_DIR");
  const std::optional<std::string> saved =
      current ? std::optional<std::string>(current) : std::nullopt;
  const std::string own = "/tmp/solka-" + std::to_string(::geteuid()) + "/";
  ::setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
  EXPECT_THAT(DefaultCopyDataFolders(), ElementsAre("/run/user/1000/solka/", own));
  ::setenv("XDG_RUNTIME_DIR", "relative/run", 1);
  EXPECT_THAT(DefaultCopyDataFolders(), ElementsAre(own));
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_THAT(DefaultCopyDataFolders(), ElementsAre(own));
  if (saved) ::setenv("XDG_RUNTIME_DIR", saved->c_str(), 1);
}

TEST_F(CopyDataTest, OneLockHolderAtATimeAndTheLockDiesWithItsProcess) {
  LockResult first = ipc.TryLock("DODEDEV");
  ASSERT_EQ(first.state, LockState::Acquired) << first.error;
  struct stat st {};
  ASSERT_EQ(::stat(Folder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  PosixInterProcess other(Folder(), gui.Poster());
  const LockResult live = other.TryLock("DODEDEV");
  EXPECT_EQ(live.state, LockState::HeldElsewhere);
  EXPECT_FALSE(live.holderGone);
  EXPECT_EQ(other.TryLock("OTHER").state, LockState::Acquired);
  first.lock.reset();
  LockResult second = other.TryLock("DODEDEV");
  EXPECT_EQ(second.state, LockState::Acquired);
  second.lock.reset();

  // A holder killed outright leaves nothing that blocks the next one. Something that is no
  // player holds the lock (it recorded no process): that holder counts as gone and is taken
  // over; one judged earlier but replaced since is not.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    const int fd = ::open((Folder() + "/DODEDEV.lock").c_str(), O_RDWR);
    if (::flock(fd, LOCK_EX) == 0 && ::ftruncate(fd, 0) == 0 && ::write(ready[1], "x", 1) == 1)
      ::pause();
    std::_Exit(1);
  }
  char byte;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  EXPECT_EQ(ipc.TryLock("DODEDEV").state, LockState::HeldElsewhere);
  const LockResult held = other.TryLock("DODEDEV");
  ASSERT_EQ(held.state, LockState::HeldElsewhere);
  EXPECT_TRUE(held.holderGone);
  LockResult taken = ipc.TakeOverLock("DODEDEV", held.holder);
  ASSERT_EQ(taken.state, LockState::Acquired) << taken.error;
  const LockResult after = other.TryLock("DODEDEV");
  EXPECT_EQ(after.state, LockState::HeldElsewhere);
  EXPECT_NE(after.holder, held.holder);
  EXPECT_FALSE(after.holderGone);
  EXPECT_EQ(other.TakeOverLock("DODEDEV", held.holder).state, LockState::HeldElsewhere);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(other.TryLock("DODEDEV").state, LockState::HeldElsewhere);
  taken.lock.reset();
  EXPECT_EQ(ipc.TryLock("DODEDEV").state, LockState::Acquired);
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST_F(CopyDataTest, ALockKeptAcrossExecIsAdoptedOnlyThroughADescriptorThatHoldsIt) {
  LockResult held = ipc.TryLock("DODEDEV");
  ASSERT_EQ(held.state, LockState::Acquired) << held.error;
  const int kept = PosixInterProcess::KeepAcrossExec(*held.lock);
  ASSERT_GE(kept, 0);
  EXPECT_EQ(::fcntl(kept, F_GETFD) & FD_CLOEXEC, 0);

  // The lock file opened anew does not hold the lock: refused and closed. Another file is not
  // the adopter's to close.
  const int reopened = ::open((Folder() + "/DODEDEV.lock").c_str(), O_RDWR | O_CLOEXEC);
  EXPECT_EQ(ipc.AdoptLock("DODEDEV", reopened).state, LockState::Unavailable);
  EXPECT_EQ(::fcntl(reopened, F_GETFD), -1);
  const int stranger = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  EXPECT_EQ(ipc.AdoptLock("DODEDEV", stranger).state, LockState::Unavailable);
  EXPECT_NE(::fcntl(stranger, F_GETFD), -1);
  ::close(stranger);

  // A copy of the kept descriptor, as the program exec'd has it: adopted, closed on a later exec,
  // and the lock held through it alone once the original goes.
  LockResult adopted = ipc.AdoptLock("DODEDEV", ::dup(kept));
  ASSERT_EQ(adopted.state, LockState::Acquired) << adopted.error;
  held.lock.reset();
  PosixInterProcess other(Folder(), gui.Poster());
  const LockResult meanwhile = other.TryLock("DODEDEV");
  EXPECT_EQ(meanwhile.state, LockState::HeldElsewhere);
  EXPECT_FALSE(meanwhile.holderGone);
  adopted.lock.reset();
  EXPECT_EQ(other.TryLock("DODEDEV").state, LockState::Acquired);
}

TEST_F(CopyDataTest, AFolderThatIsNotPrivateIsMadeSoAndNamesCannotLeaveIt) {
  ASSERT_EQ(::mkdir(Folder().c_str(), 0777), 0);
  ::chmod(Folder().c_str(), 0777);
  EXPECT_EQ(ipc.TryLock("DODEDEV").state, LockState::Acquired);
  struct stat st {};
  ASSERT_EQ(::stat(Folder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  for (const char* name : {"", "..", "../x", "a/b"}) {
    EXPECT_EQ(ipc.TryLock(name).state, LockState::Unavailable) << name;
    EXPECT_EQ(ipc.Listen(name, check, record), nullptr) << name;
    EXPECT_EQ(ipc.Send(name, {1, "x"}, 100).status, SendStatus::Refused) << name;
  }
  // A link in the folder's place is not followed; the next candidate is used instead.
  std::filesystem::remove_all(Folder());
  ASSERT_EQ(::symlink(temp.Path().c_str(), Folder().c_str()), 0);
  const LockResult linked = ipc.TryLock("DODEDEV");
  EXPECT_EQ(linked.state, LockState::Unavailable);
  EXPECT_FALSE(linked.error.empty());
  PosixInterProcess fallback({Folder(), temp.File("spare")}, gui.Poster());
  EXPECT_EQ(fallback.TryLock("DODEDEV").state, LockState::Acquired);
  EXPECT_TRUE(std::filesystem::exists(temp.File("spare") + "/DODEDEV.lock"));
}

// The sender has its answer while the GUI thread is busy (here: not running at all); the frame
// reaches the handler when the GUI thread gets to it, and a refused one never does.
TEST_F(CopyDataTest, AFrameIsAnsweredAtOnceAndReachesTheHandlerOnTheGuiThread) {
  EXPECT_EQ(ipc.Send("TDODEDEV", {1, "x"}, 1000).status, SendStatus::NoEndpoint);
  auto endpoint = ipc.Listen("TDODEDEV", check, record);
  ASSERT_NE(endpoint, nullptr);
  SendResult answer = ipc.Send("TDODEDEV", {1, "/music/a b.mp3"}, 10000);
  EXPECT_EQ(answer.status, SendStatus::Answered);
  EXPECT_EQ(answer.result, 0u);
  answer = ipc.Send("TDODEDEV", {9, "/music"}, 10000);
  EXPECT_EQ(answer.status, SendStatus::Answered);
  EXPECT_EQ(answer.result, 9u);
  EXPECT_TRUE(received.empty());
  EXPECT_TRUE(gui.RunUntil([&] { return !received.empty(); }));
  EXPECT_TRUE(gui.RunUntil([&] { return gui.Pending() == 0; }));
  EXPECT_THAT(received, ElementsAre(CopyData{1, "/music/a b.mp3"}));

  // The largest block passes whole; one byte more is refused before anything is sent.
  const std::string largest(kMaxCopyDataBytes, 'x');
  answer = ipc.Send("TDODEDEV", {2, largest}, 10000);
  EXPECT_TRUE(gui.RunUntil([&] { return received.size() == 2; }));
  EXPECT_EQ(answer.status, SendStatus::Answered);
  EXPECT_EQ(received[1].bytes.size(), kMaxCopyDataBytes);
  EXPECT_EQ(ipc.Send("TDODEDEV", {2, largest + "x"}, 1000).status, SendStatus::Refused);

  // Gone: the name goes with it.
  endpoint.reset();
  EXPECT_FALSE(std::filesystem::exists(EndpointFile()));
  EXPECT_EQ(ipc.Send("TDODEDEV", {1, "x"}, 1000).status, SendStatus::NoEndpoint);
}

TEST_F(CopyDataTest, SilentGarbledAndHugePeersNeitherReachTheHandlerNorHoldOthersUp) {
  auto endpoint = ipc.Listen("TDODEDEV", check, record);
  ASSERT_NE(endpoint, nullptr);
  const int silent = Connect();
  const int half = Connect();
  ASSERT_EQ(::write(half, "\1\0\0\0\x10\0\0\0abc", 11), 11);  // 16 bytes announced, 3 sent
  const int huge = Connect();
  const std::string header = EncodeLe32(1) + EncodeLe32(1u << 30);
  ASSERT_EQ(::write(huge, header.data(), header.size()), 8);
  const int garbage = Connect();
  ASSERT_EQ(::write(garbage, "hello garbage\n", 14), 14);

  SendResult answer;
  std::thread sender([&] { answer = ipc.Send("TDODEDEV", {1, "/music"}, 10000); });
  EXPECT_TRUE(gui.RunUntil([&] { return !received.empty(); }));
  sender.join();
  EXPECT_EQ(answer.status, SendStatus::Answered);
  EXPECT_THAT(received, ElementsAre(CopyData{1, "/music"}));

  // The refused ones are closed unanswered (reset, as their bytes were left unread).
  char byte;
  EXPECT_LE(::read(huge, &byte, 1), 0);
  EXPECT_LE(::read(garbage, &byte, 1), 0);
  for (int fd : {silent, half, huge, garbage}) ::close(fd);
  EXPECT_EQ(gui.Pending(), 0u);
}

TEST_F(CopyDataTest, AStaleEndpointCountsAsNoneAndTheLockHolderReplacesIt) {
  ASSERT_EQ(ipc.TryLock("SETUP").state, LockState::Acquired);  // makes the folder
  {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, EndpointFile().c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);  // a crash leaves the file without a listener
  }
  EXPECT_EQ(ipc.Send("TDODEDEV", {1, "x"}, 1000).status, SendStatus::NoEndpoint);
  auto endpoint = ipc.Listen("TDODEDEV", check, record);
  ASSERT_NE(endpoint, nullptr);
  std::thread sender([&] { ipc.Send("TDODEDEV", {1, "x"}, 10000); });
  EXPECT_TRUE(gui.RunUntil([&] { return received.size() == 1; }));
  sender.join();
}

TEST_F(CopyDataTest, AFrameStillQueuedWhenTheEndpointGoesIsDropped) {
  auto endpoint = ipc.Listen("TDODEDEV", check, record);
  ASSERT_NE(endpoint, nullptr);
  EXPECT_EQ(ipc.Send("TDODEDEV", {1, "x"}, 10000).status, SendStatus::Answered);
  EXPECT_TRUE(gui.WaitForPost());
  endpoint.reset();
  EXPECT_TRUE(gui.RunUntil([&] { return gui.Pending() == 0; }));
  EXPECT_TRUE(received.empty());
}

// Only root can act as another user; the folder is opened up so that the kernel lets the other
// user reach the socket and the credential check is what has to refuse it.
TEST_F(CopyDataTest, PeersOfAnotherUserAreRefusedOnBothEnds) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  // The child starts afresh: the endpoint's thread is running here.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto endpoint = ipc.Listen("TDODEDEV", check, record);
  ASSERT_NE(endpoint, nullptr);
  ::chmod(temp.Path().c_str(), 0755);
  ::chmod(Folder().c_str(), 0777);
  ::chmod(EndpointFile().c_str(), 0777);
  const auto otherUser = [this] {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) std::_Exit(2);
    PosixInterProcess stranger(Folder(), [](std::function<void()>) {});
    std::_Exit(stranger.Send("TDODEDEV", {1, "/evil"}, 3000).status != SendStatus::Answered ? 0
                                                                                            : 1);
  };
  EXPECT_EXIT(otherUser(), ::testing::ExitedWithCode(0), "");
  EXPECT_TRUE(received.empty());
  EXPECT_EQ(gui.Pending(), 0u);
  endpoint.reset();

  // The other way round: an endpoint of another user gets nothing from us.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) std::_Exit(2);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, (Folder() + "/Tzzz").c_str());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 4) != 0)
      std::_Exit(3);
    if (::write(ready[1], "x", 1) == 1) ::pause();
    std::_Exit(0);
  }
  char byte;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  EXPECT_EQ(ipc.Send("Tzzz", {1, "now playing"}, 3000).status, SendStatus::Failed);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
}

}  // namespace
}  // namespace solka
