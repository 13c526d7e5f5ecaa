// Items dropped on the window, paths handed over by a second start, and process entry's choice
// between becoming the player and handing the argument over.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/single_instance.h"
#include "app/tdodedev.h"
#include "platform/memory/memory_copy_data.h"
#include "platform/memory/test_platform.h"
#include "tests/core/player_fixture.h"

namespace solka {
namespace {

using ::testing::ElementsAre;
using Paths = std::vector<std::string>;

class HandOverTest : public ::testing::Test {
 protected:
  HandOverTest() {
    for (const char* path : {"/music/a.mp3", "/music/b.wav", "/albums/x/1.ogg", "/albums/x/2.ogg",
                             "/albums/y/Song.mp3", "/albums/y/song.mp3", "/albums/y/t.MP3"})
      Track(path);
    p.files.AddFile("/lists/two.m3u", "/music/b.wav\r\n/music/a.mp3\r\n");
    p.files.AddFile("/lists/TWO.M3U", "/music/b.wav\r\n/music/a.mp3\r\n");
  }
  void Track(const std::string& path) {
    p.files.AddFile(path);
    p.media.AddPlayable(path, 100);
  }
  // A player that started without an argument and went idle.
  TDODEDEV& Start(PlayerBuilder builder) {
    player = builder.Start();
    return *player;
  }
  TDODEDEV& Start() { return Start(PlayerBuilder(p)); }
  // Answered at once, acted on from the loop.
  std::uint32_t Forward(const std::string& text, std::uint32_t data = 1) {
    const std::uint32_t answer = player->WMCopyData({data, text});
    p.loop.ProcessMessages();
    return answer;
  }
  std::string Playing() const {
    return player->Playback().Playing && p.media.Current() ? p.media.Current()->Path() : "";
  }
  const Paths& List() const { return player->List().PlayList.Items(); }

  TestPlatform p;
  std::unique_ptr<TDODEDEV> player;
};

// --- Drops -----------------------------------------------------------------------------------

TEST_F(HandOverTest, DroppedItemsAreAppendedInDropOrderWithoutStartingAnything) {
  TDODEDEV& t = Start();
  LoadList(p, t, {"/earlier.mp3"});
  t.WMDropFiles({"/music/a.mp3", "/albums/x", "/music/b.wav", "/albums/y/t.MP3", "/no/such/dir"});
  EXPECT_EQ(List(), (Paths{"/earlier.mp3", "/music/a.mp3", "/albums/x/1.ogg", "/albums/x/2.ogg",
                           "/music/b.wav", "/albums/y/t.MP3"}));
  EXPECT_EQ(t.Form().RowCount(), 6);
  EXPECT_EQ(t.CurrentIndex(), -1);
  EXPECT_EQ(t.Form().Label(2).text, " / 6 曲");
  EXPECT_EQ(Playing(), "");
  EXPECT_FALSE(t.Sequence().ContinuousPlay);
  EXPECT_GT(t.Form().ScrollWidth(), 0);
}

TEST_F(HandOverTest, ADroppedListFileReplacesWhateverCameBeforeItInTheSameDrop) {
  TDODEDEV& t = Start();
  t.WMDropFiles({"/albums/x", "/lists/TWO.M3U"});
  EXPECT_EQ(List(), (Paths{"/music/b.wav", "/music/a.mp3"}));
  t.WMDropFiles({"/lists/two.m3u", "/albums/x"});
  EXPECT_EQ(List(), (Paths{"/music/b.wav", "/music/a.mp3", "/albums/x/1.ogg", "/albums/x/2.ogg"}));
  // An unreadable list ends the drop: the items after it are not handled.
  p.files.SetUnreadable("/lists/two.m3u");
  t.WMDropFiles({"/music/a.mp3", "/lists/two.m3u", "/music/b.wav"});
  EXPECT_EQ(List().size(), 5u);
  EXPECT_EQ(List()[4], "/music/a.mp3");
  EXPECT_EQ(p.dialogs.boxes.size(), 1u);
  EXPECT_EQ(t.Form().RowCount(), 5);
}

TEST_F(HandOverTest, DroppedFoldersKeepTheirSubFoldersAndTheReferenceExtension) {
  TDODEDEV& t = Start(PlayerBuilder(p).Setting(SubFolder, "1").Setting(FileType, "2"));
  // The first scan fixes the type; later ones keep to it, and still descend.
  t.WMDropFiles({"/albums/x", "/music", "/albums"});
  EXPECT_EQ(List(),
            (Paths{"/albums/x/1.ogg", "/albums/x/2.ogg", "/albums/x/1.ogg", "/albums/x/2.ogg"}));
  EXPECT_EQ(t.List().ReferenceExtension, ".ogg");
}

// The three sources side by side: a folder whose name looks like a file, upper-case extensions.
TEST_F(HandOverTest, StartUpDropAndHandOverClassifyAPathAlike) {
  Track("/Best Of Vol. 2/01 LOUD.MP3");
  TDODEDEV& started = Start(PlayerBuilder(p).Argument("/Best Of Vol. 2"));
  EXPECT_EQ(List(), (Paths{"/Best Of Vol. 2/01 LOUD.MP3"}));
  Forward("/albums/y/t.MP3");
  EXPECT_EQ(Playing(), "/albums/y/t.MP3");
  Forward("/Best Of Vol. 2");
  EXPECT_EQ(Playing(), "/Best Of Vol. 2/01 LOUD.MP3");
  Forward("/lists/TWO.M3U");
  EXPECT_EQ(Playing(), "/music/b.wav");
  started.WMDropFiles({"/Best Of Vol. 2", "/albums/y/t.MP3"});
  EXPECT_EQ(List().size(), 4u);

  Start(PlayerBuilder(p).Argument("/lists/TWO.M3U"));
  EXPECT_EQ(List(), (Paths{"/music/b.wav", "/music/a.mp3"}));
}

// --- Hand-over in the running player ---------------------------------------------------------

TEST_F(HandOverTest, AForwardedFolderReplacesTheListAndPlaysItContinuously) {
  TDODEDEV& t = Start(PlayerBuilder(p).Setting(Sort, "1"));
  LoadList(p, t, {"/music/a.mp3", "/music/b.wav"});
  t.FormForView().SetItemIndexFromView(1);
  t.FIListBox1Click();
  EXPECT_EQ(Playing(), "/music/b.wav");
  EXPECT_EQ(Forward("/albums/x"), 0u);
  EXPECT_EQ(List(), (Paths{"/albums/x/1.ogg", "/albums/x/2.ogg"}));
  EXPECT_EQ(Playing(), "/albums/x/1.ogg");
  EXPECT_EQ(t.CurrentIndex(), 0);
  EXPECT_TRUE(t.Sequence().ContinuousPlay);
  EXPECT_TRUE(t.Form().Checked("N9"));
  EXPECT_EQ(t.Form().Label(1).color, Color::Blue);
  EXPECT_TRUE(t.PlayListSorted());
  EXPECT_EQ(p.screen.broughtToFront, 1);
  EXPECT_EQ(t.List().ReferenceExtension, "");
  EXPECT_FALSE(t.List().NoSubFolderScan);
  // A request still waiting when the window closes is dropped: nothing after the settings save.
  t.WMCopyData({1, "/music"});
  t.FormClose();
  p.loop.RunUntilIdle();
  EXPECT_EQ(List(), (Paths{"/albums/x/1.ogg", "/albums/x/2.ogg"}));
}

TEST_F(HandOverTest, AForwardedAudioFileScansItsFolderAndPlaysExactlyThatFile) {
  TDODEDEV& t = Start();
  Forward("/albums/y/song.mp3");
  EXPECT_EQ(List().size(), 3u);
  EXPECT_EQ(Playing(), "/albums/y/song.mp3");
  EXPECT_EQ(t.Form().Label(2).text, " / 3 曲");
  EXPECT_TRUE(t.Sequence().ContinuousPlay);
  // A file of no type the player plays is neither track nor list: the music goes on.
  p.files.AddFile("/albums/y/notes.txt");
  Forward("/albums/y/notes.txt");
  EXPECT_EQ(Playing(), "/albums/y/song.mp3");
  EXPECT_EQ(List().size(), 3u);
  EXPECT_EQ(p.screen.broughtToFront, 2);
}

TEST_F(HandOverTest, AForwardedListFileAndAMissingFolder) {
  TDODEDEV& t = Start();
  Forward("/lists/two.m3u");
  EXPECT_EQ(List(), (Paths{"/music/b.wav", "/music/a.mp3"}));
  EXPECT_EQ(Playing(), "/music/b.wav");
  // The lower-case command word is a path like any other; nothing of that name exists, so it
  // is refused and the player goes on as it was, saying why.
  EXPECT_EQ(Forward("zzz_next_play"), kHandOverMissing);
  EXPECT_EQ(List().size(), 2u);
  EXPECT_EQ(t.Form().RowCount(), 2);
  EXPECT_EQ(Playing(), "/music/b.wav");
  EXPECT_EQ(p.diagnostics.lines.back(), "\"zzz_next_play\" does not exist");
}

TEST_F(HandOverTest, TheCommandWordSkipsToTheNextTrackWithoutRebuildingTheList) {
  Start();
  Forward("/albums/x");
  const int scans = p.files.ListCalls();
  Forward("ZZZ_NEXT_PLAY");
  EXPECT_EQ(Playing(), "/albums/x/2.ogg");
  Forward("ZZZ_NEXT_PLAY");
  EXPECT_EQ(Playing(), "/albums/x/1.ogg");  // round to the first row
  EXPECT_EQ(p.files.ListCalls(), scans);
  EXPECT_EQ(List().size(), 2u);
}

TEST_F(HandOverTest, SubFolderKeepsAForwardedScanInTheGivenFolderOnce) {
  TDODEDEV& t = Start(PlayerBuilder(p).Setting(SubFolder, "1"));
  Track("/albums/top.mp3");
  Forward("/albums");
  EXPECT_EQ(List(), Paths{"/albums/top.mp3"});
  EXPECT_FALSE(t.List().NoSubFolderScan);
  t.WMDropFiles({"/albums/x"});
  EXPECT_EQ(List().size(), 3u);
}

TEST_F(HandOverTest, TextsArriveWholeUpToThePathLimitAndLongerOnesAreRefused) {
  Start();
  const std::size_t limit = p.files.Syntax().maxPath;
  for (std::size_t length : {std::size_t{259}, limit - 1}) {
    const std::string folder = "/" + std::string(length - 1, 'd');
    Track(folder + "/x.mp3");
    Forward(folder);
    EXPECT_EQ(Playing(), folder + "/x.mp3") << length;
  }
  // Too long for any path: refused before anything happens, the track plays on.
  const std::string playing = Playing();
  EXPECT_EQ(Forward("/" + std::string(limit - 1, 'e')), kHandOverTooLong);
  EXPECT_EQ(Playing(), playing);
  // The text ends at a zero byte.
  Forward(std::string("/albums/x\0/music", 16));
  EXPECT_EQ(Playing(), "/albums/x/1.ogg");
  EXPECT_EQ(List().size(), 2u);
}

TEST_F(HandOverTest, AnEmptyTextOrAForeignFrameLeavesThePlayerAsItIs) {
  TDODEDEV& t = Start();
  Forward("/albums/x");
  const int scans = p.files.ListCalls();
  t.SpeedButton1Click();  // hidden in the tray: shown again, as from the tray menu
  EXPECT_EQ(Forward(""), kHandOverTaken);
  EXPECT_TRUE(t.Form().Visible());
  EXPECT_EQ(p.screen.broughtToFront, 2);
  EXPECT_EQ(Forward("/music", 7), kHandOverUnknown);
  EXPECT_EQ(p.screen.broughtToFront, 2);
  EXPECT_EQ(Playing(), "/albums/x/1.ogg");
  EXPECT_EQ(p.files.ListCalls(), scans);
  EXPECT_EQ(List().size(), 2u);
}

// A box of one hand-over never opens inside the handler, and the requests that arrive while it
// is up open none of their own: the newest waits for it and is acted on after it.
TEST_F(HandOverTest, OneBoxAtATimeAndTheNewestRequestWins) {
  TDODEDEV& t = Start();
  p.files.AddFile("/lists/missing.m3u");
  p.files.SetUnreadable("/lists/missing.m3u");
  Forward("/albums/x");
  int most = 0;
  p.dialogs.whileOpen = [&] {
    most = std::max(most, p.dialogs.open);
    if (p.dialogs.boxes.size() > 1) return;
    for (int i = 0; i < 300; ++i) {
      EXPECT_EQ(t.WMCopyData({1, i < 299 ? "/lists/missing.m3u" : "/music"}), kHandOverTaken);
      p.loop.ProcessMessages();
    }
  };
  EXPECT_EQ(t.WMCopyData({1, "/lists/missing.m3u"}), kHandOverTaken);
  EXPECT_TRUE(p.dialogs.boxes.empty());
  EXPECT_EQ(Playing(), "/albums/x/1.ogg");
  p.loop.ProcessMessages();
  EXPECT_EQ(p.dialogs.boxes.size(), 1u);
  EXPECT_EQ(most, 1);
  EXPECT_EQ(Playing(), "/music/a.mp3");
  // A player that is gone drops what it had not yet done.
  t.WMCopyData({1, "/albums/x"});
  player.reset();
  p.loop.ProcessMessages();
}

// --- Process entry ---------------------------------------------------------------------------

std::vector<std::string> SentTexts(const MemoryInterProcess& peers) {
  std::vector<std::string> out;
  for (const auto& sent : peers.sent)
    out.push_back(sent.windowClass + " " + std::to_string(sent.frame.dwData) + " " +
                  sent.frame.bytes);
  return out;
}

TEST(ProcessEntry, TheFirstStartIsThePlayerAndALaterOneHandsItsArgumentOver) {
  ManualClock clock;
  MemoryInterProcess peers;
  peers.answers["TDODEDEV"] = 0;
  InstanceRole first = ClaimOrForward(peers, clock, "/music");
  EXPECT_TRUE(first.player);
  EXPECT_NE(first.lock, nullptr);
  EXPECT_THAT(peers.lockCalls, ElementsAre("DODEDEV"));
  EXPECT_TRUE(peers.sent.empty());

  const InstanceRole second = ClaimOrForward(peers, clock, "/music/a b.mp3");
  EXPECT_FALSE(second.player);
  EXPECT_EQ(second.note, "");
  EXPECT_THAT(SentTexts(peers), ElementsAre("TDODEDEV 1 /music/a b.mp3"));
  EXPECT_EQ(peers.sent[0].timeoutMs, kHandOverAnswerMs);

  first.lock.reset();  // the player ended: the next start plays
  EXPECT_TRUE(ClaimOrForward(peers, clock, "/music").player);
}

TEST(ProcessEntry, ASecondStartWaitsForALivePlayerAndTakesOverOnlyFromAHolderThatIsGone) {
  ManualClock clock;
  MemoryInterProcess starting;
  starting.lockScript = {LockState::HeldElsewhere, LockState::HeldElsewhere,
                         LockState::HeldElsewhere};
  starting.sendScript = {SendStatus::NoEndpoint, SendStatus::NoEndpoint, SendStatus::Answered};
  EXPECT_FALSE(ClaimOrForward(starting, clock, "").player);
  EXPECT_THAT(SentTexts(starting), ElementsAre("TDODEDEV 1 ", "TDODEDEV 1 ", "TDODEDEV 1 "));
  EXPECT_THAT(clock.Sleeps(), ElementsAre(kHandOverRetryMs, kHandOverRetryMs));

  MemoryInterProcess ending;
  ending.lockScript = {LockState::HeldElsewhere, LockState::Acquired};
  EXPECT_TRUE(ClaimOrForward(ending, clock, "/music").player);

  // A live holder that never listens, or listens and never answers (its thread busy, its
  // endpoint starved), is waited for and never replaced: the start ends without playing.
  const int retries = kHandOverPatienceMs / kHandOverRetryMs;
  for (const SendStatus status : {SendStatus::NoEndpoint, SendStatus::Failed}) {
    MemoryInterProcess busy;
    busy.lockScript.assign(retries + 2, LockState::HeldElsewhere);
    busy.sendScript.assign(retries + 2, status);
    const InstanceRole waited = ClaimOrForward(busy, clock, "/music");
    EXPECT_FALSE(waited.player);
    EXPECT_THAT(waited.note, ::testing::HasSubstr("nothing was handed over"));
    EXPECT_EQ(busy.sent.size(), std::size_t(retries) + 1);
    EXPECT_THAT(busy.lockCalls, ::testing::Each("DODEDEV"));
  }

  // A holder whose process is gone (something that is no player keeps the lock) is taken over
  // once it has had the time a starting player needs.
  MemoryInterProcess gone;
  gone.holderGone = true;
  const std::deque<LockState> held(kHandOverGoneMs / kHandOverRetryMs + 1,
                                   LockState::HeldElsewhere);
  gone.lockScript = held;
  const InstanceRole taken = ClaimOrForward(gone, clock, "/music");
  EXPECT_TRUE(taken.player);
  EXPECT_NE(taken.lock, nullptr);
  EXPECT_THAT(taken.note, ::testing::HasSubstr("process is gone"));
  EXPECT_THAT(taken.note, ::testing::HasSubstr("taking over as the player"));
  EXPECT_EQ(gone.sent.size(), std::size_t(kHandOverGoneMs / kHandOverRetryMs) + 1);
  EXPECT_EQ(gone.lockCalls.back(), "take over DODEDEV");
  MemoryInterProcess mute;
  mute.holderGone = true;
  mute.lockScript = held;
  mute.sendScript.assign(held.size(), SendStatus::Failed);
  mute.takeOverScript = {LockState::Unavailable};
  const InstanceRole alone = ClaimOrForward(mute, clock, "/music");
  EXPECT_TRUE(alone.player);
  EXPECT_EQ(alone.lock, nullptr);
  EXPECT_THAT(alone.note, ::testing::HasSubstr("playing on its own"));
}

TEST(ProcessEntry, NoLockAtAllStillPlaysAndRefusalsSayWhy) {
  ManualClock clock;
  MemoryInterProcess broken;
  broken.lockScript = {LockState::Unavailable};
  const InstanceRole alone = ClaimOrForward(broken, clock, "/music");
  EXPECT_TRUE(alone.player);
  EXPECT_EQ(alone.lock, nullptr);
  EXPECT_THAT(alone.note, ::testing::HasSubstr("no private folder"));

  MemoryInterProcess refusing;
  refusing.lockScript = {LockState::HeldElsewhere, LockState::HeldElsewhere};
  refusing.sendScript = {SendStatus::Refused};
  const InstanceRole refused = ClaimOrForward(refusing, clock, "/music");
  EXPECT_FALSE(refused.player);
  EXPECT_EQ(refused.note, "the argument was not handed over: scripted");
}

}  // namespace
}  // namespace solka
