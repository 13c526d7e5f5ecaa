#include "tests/core/player_fixture.h"

namespace solka {
namespace {

using Status = PlayerTest;

struct Texts {
  std::string caption, appTitle, windowHint, label1, trayHint;
  int trayIcon;
};

void ExpectTexts(const TDODEDEV& player, const Texts& t) {
  EXPECT_EQ(player.Form().Caption(), t.caption);
  EXPECT_EQ(player.Form().AppTitle(), t.appTitle);
  EXPECT_EQ(player.Form().WindowHint(), t.windowHint);
  EXPECT_EQ(player.Form().Label(1).text, t.label1);
  EXPECT_EQ(player.Form().TrayHint(), t.trayHint);
  EXPECT_EQ(player.Form().TrayIcon(), t.trayIcon);
}

TEST_F(Status, TextsFollowEachStateOfARun) {
  const std::string v = player.VersionText;
  LoadPaths({"/music/Live/Best.MP3 Mix.mp3", "/root.ogg"}, 65);
  for (int step = 0; step < 26; ++step) player.FormMouseWheelDown();
  player.ToolButton5Click();
  ExpectTexts(player, {"Best Mix", "[Live]　Best Mix (.mp3)", "[Live]　Best Mix (.mp3)", "",
                       "Best Mix", 1});
  EXPECT_EQ(player.Form().Label(1).color, Color::Blue);
  EXPECT_EQ(player.Form().Label(3).text, "74");
  p.loop.AdvanceTime(100);
  EXPECT_EQ(player.Form().Label(1).text, "00:00 / 01:05");
  EXPECT_EQ(player.Form().Label(2).text, "1 / 2 曲");

  FinishTrack();  // an automatic advance puts the bare title in the task bar
  ExpectTexts(player, {"root", "root", "[]　root (.ogg)", "", "root", 1});
  p.media.Current()->PlayTo(65);
  p.loop.AdvanceTime(100);
  EXPECT_EQ(player.Form().Label(1).text, "01:05 / 01:05");

  Select(-1);
  p.loop.AdvanceTime(100);
  EXPECT_EQ(player.Form().Label(2).text, "0 / 2 曲");
  Select(1);

  FinishTrack();  // the end of the run
  ExpectTexts(player, {v, v, v, "", v, 3});
  EXPECT_EQ(player.Form().Label(1).color, Color::Black);
  EXPECT_EQ(player.Form().Label(2).text, "0 / 2 曲");
  p.loop.AdvanceTime(1000);
  EXPECT_EQ(player.Form().Label(1).text, "");
}

TEST_F(Status, PositionIsDrawnOnlyWhileTheWindowIsShown) {
  LoadPaths({"/m/a.mp3"}, 65);
  player.ToolButton5Click();
  player.SpeedButton1Click();
  p.media.Current()->PlayTo(30);
  p.loop.AdvanceTime(1000);
  EXPECT_EQ(player.Form().Label(1).text, "");
  player.N11Click();  // brought up to date as the window appears
  EXPECT_EQ(player.Form().Label(1).text, "00:30 / 01:05");
  p.media.Current()->PlayTo(31);
  p.loop.AdvanceTime(100);
  EXPECT_EQ(player.Form().Label(1).text, "00:31 / 01:05");
}

TEST_F(Status, FailedStartAndSwitchingContinuousPlayOff) {
  const std::string v = player.VersionText, designed = "SOLKA Player DirectShow Ver.";
  LoadEntries({"/m/missing.mp3"});
  player.ToolButton5Click();
  ExpectTexts(player, {"再生できませんでした", v, v, "", v, 3});

  LoadTracks(1, 600);
  Select(0);
  player.FIListBox1Click();
  player.ToolButton5Click();  // still on after the failure: this switches it off
  ExpectTexts(player, {designed, designed, v, "", v, 3});
}

TEST_F(Status, TrayHintIsCutToWholeCharactersAndTheCaptionStaysWhole) {
  const std::string ascii80(80, 'a');
  const std::string kana = "\xE3\x81\x82";  // three bytes
  struct Case {
    std::string caption, hint;
  };
  const Case cases[] = {
      {ascii80, std::string(60, 'a') + "..."},
      {std::string(63, 'a'), std::string(63, 'a')},
      {std::string(59, 'a') + kana + "b", std::string(59, 'a') + kana + "b"},
      {std::string(59, 'a') + kana + "bb", std::string(59, 'a') + "..."},
      {std::string(58, 'a') + kana + ascii80, std::string(58, 'a') + "..."},
      {std::string(57, 'a') + kana + ascii80, std::string(57, 'a') + kana + "..."},
  };
  // A track's title becomes the caption.
  for (const Case& c : cases) {
    const std::string path = "/m/" + c.caption + ".mp3";
    p.media.AddPlayable(path, 10);
    ASSERT_TRUE(player.PlayFile(path));
    EXPECT_EQ(player.TrayHintFromCaption(), c.hint) << c.caption.size();
    EXPECT_EQ(player.Form().TrayHint(), c.hint);
    EXPECT_EQ(player.Form().Caption(), c.caption);
  }
}

}  // namespace
}  // namespace solka
