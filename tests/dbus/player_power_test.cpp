// The player's sleep timer through to a fake login manager: a deadline stops playback, lets go
// of the idle lock and powers off, and the player asks its window to close; a refused suspend
// at the end of the list leaves the player open and stopped.
#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "app/tdodedev.h"
#include "platform/dbus/logind_power.h"
#include "platform/memory/test_platform.h"
#include "settings/keys.h"
#include "tests/dbus/fake_logind.h"

namespace solka {
namespace {

using ::testing::ElementsAre;

const QString kMusicLock = QStringLiteral("idle|SOLKA|Playing music|block");

class PlayerWithLogind : public ::testing::Test {
 protected:
  explicit PlayerWithLogind(const QString& parameters = QStringLiteral("{}")) : fake(parameters) {
    player.Settings.resize(kSettingsCount);
    for (int key = 0; key < kKeyCount; ++key) player.Settings[key] = kKeys[key].defaultValue;
    std::vector<std::string> paths;
    for (int i = 0; i < 2; ++i) paths.push_back("/music/t" + std::to_string(i) + ".mp3");
    for (const std::string& path : paths) p.media.AddPlayable(path, 3600);
    player.PlayList.Assign(paths);
    player.RefreshListBox();
  }
  void SetUp() override {
    ASSERT_TRUE(fake.Ready());
    ASSERT_EQ(qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS"), fake.Address());
  }
  void PlayRow(int row) {
    player.SelectRow(row);
    player.FIListBox1Click();
  }
  bool LockHeld() {
    return WaitUntil([&] { return fake.Inhibitors() == QStringList{kMusicLock}; });
  }
  bool LockFree() {
    return WaitUntil([&] { return fake.Inhibitors().isEmpty(); });
  }
  // The calls after the last taking of the idle lock.
  std::vector<std::string> CallsAfterLock() const {
    std::vector<std::string> calls = fake.Calls();
    auto last = std::find_if(calls.rbegin(), calls.rend(),
                             [](const std::string& call) { return call.starts_with("Inhibit "); });
    return std::vector<std::string>(last.base(), calls.end());
  }

  FakeLogind fake;
  TestPlatform p;
  LogindPower power{[] {}};
  PlatformServices services{p.files,  p.codec, p.clock, p.loop, p.dialogs,
                            p.screen, p.shell, power,   p.media};
  TDODEDEV player{services, {"/opt/solka/solka", ""}};
};

TEST_F(PlayerWithLogind, DeadlineStopsPlayLetsGoOfTheLockAndPowersOff) {
  PlayRow(0);
  ASSERT_TRUE(LockHeld());
  player.pauseButtonClick();
  EXPECT_TRUE(LockFree());
  player.pauseButtonClick();
  ASSERT_TRUE(LockHeld());

  p.clock.Set(22 * 3600 + 50 * 60 + 30);
  player.N301Click();
  p.loop.AdvanceTime(29 * 60 * 1000 + 29 * 1000);  // 23:19:59
  EXPECT_TRUE(player.Playing);
  EXPECT_TRUE(CallsAfterLock().empty());
  p.loop.AdvanceTime(2000);
  EXPECT_FALSE(player.Playing);
  EXPECT_THAT(CallsAfterLock(), ElementsAre("CanPowerOff", "PowerOff False"));
  EXPECT_EQ(p.screen.closeRequests, 1);
  EXPECT_TRUE(LockFree());
}

class PlayerWithRefusingLogind : public PlayerWithLogind {
 protected:
  PlayerWithRefusingLogind() : PlayerWithLogind(QStringLiteral(R"({"CanSuspend": "no"})")) {}
};

TEST_F(PlayerWithRefusingLogind, RefusedSuspendAtTheEndOfTheListLeavesThePlayerOpenAndStopped) {
  player.Settings[SleepMode] = "1";
  for (const char* item : {"N1", "R2"}) player.Form.SetChecked(item, true);
  player.ToolButton5Click();  // continuous play, list order, once
  player.N23Click();
  ASSERT_TRUE(player.SleepAfterListEnd);
  ASSERT_TRUE(LockHeld());
  ::testing::internal::CaptureStderr();
  for (int track = 0; track < 2; ++track) {
    p.media.FinishTrack();
    p.loop.RunUntilIdle();
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "solka: power: suspend refused: CanSuspend answered \"no\"\n");
  EXPECT_THAT(CallsAfterLock(), ElementsAre("CanSuspend"));
  EXPECT_FALSE(player.Playing);
  EXPECT_FALSE(player.SleepAfterListEnd);
  EXPECT_EQ(p.screen.closeRequests, 0);
  EXPECT_TRUE(LockFree());
}

}  // namespace
}  // namespace solka
