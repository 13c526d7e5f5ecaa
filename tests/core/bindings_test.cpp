// Every designed control and menu item reaches a handler by its name, and items that share a
// handler with a button leave the player in exactly the state the button does.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "form/layout.h"
#include "tests/core/player_fixture.h"

namespace solka {
namespace {

// A player with three tracks, the second one playing in continuous play.
struct Scene {
  explicit Scene(const std::string& baseFolder = "")
      : owned(PlayerBuilder(p).Setting(BaseFolder, baseFolder).Tracks(3).Start()) {
    player.ToolButton5Click();
    player.FormForView().SetItemIndexFromView(1);
    player.FIListBox1Click();
  }

  // Everything a command can change that a user or the platform would notice.
  std::string Snapshot() const {
    const MainForm& f = player.Form();
    std::ostringstream s;
    s << player.Playback().Playing << player.Playback().Paused << player.Sequence().ContinuousPlay
      << player.Window().InTray << player.TrackInfo().NowPlayingOn
      << static_cast<int>(player.Sequence().ModeCode) << '|' << f.ItemIndex() << '|' << f.Caption()
      << '|' << f.TrayIcon() << f.TrayHint() << '|' << f.SleepImage() << f.SleepHint() << '|'
      << f.Label(1).text << f.Label(2).text << f.Label(3).text << '|' << f.Visible();
    for (const char* item : {"N1", "N2", "R1", "R2", "R3", "N9", "Messenger1", "N301", "N302"})
      s << f.Checked(item);
    s << '|' << p.media.log.size() << '|' << p.screen.closeRequests << p.shell.opened.size()
      << p.power.actions.size() << p.dialogs.boxes.size() << p.dialogs.saveRequests.size();
    return s.str();
  }

  TestPlatform p;
  std::unique_ptr<TDODEDEV> owned;
  TDODEDEV& player = *owned;
};

void CollectItems(const std::vector<MenuItemDef>& items, std::vector<const MenuItemDef*>& out) {
  for (const MenuItemDef& item : items) {
    out.push_back(&item);
    CollectItems(item.items, out);
  }
}

std::vector<const MenuItemDef*> AllMenuItems() {
  std::vector<const MenuItemDef*> out;
  for (const MenuDef& menu : Menus()) CollectItems(menu.items, out);
  return out;
}

TEST(BindingsTest, EveryMenuItemAndControlIsBound) {
  std::vector<std::string> names;
  for (const MenuItemDef* item : AllMenuItems())
    if (!item->IsSeparator() && item->items.empty()) names.emplace_back(item->name);
  for (const ToolButtonDef& button : ToolButtons()) names.emplace_back(button.name);
  names.insert(names.end(), {"Label1", "Label2", "SpeedButton1", "TrayIcon"});
  ASSERT_GT(names.size(), 40u);
  for (const std::string& name : names) {
    Scene scene;  // a fresh player each time: some commands end the run
    EXPECT_TRUE(scene.player.Click(name)) << name;
  }
}

TEST(BindingsTest, NamesBoundToNothingAreRefused) {
  Scene scene;
  const std::string before = scene.Snapshot();
  // Separators and the sub-menu holder have no command; names are case-sensitive; the volume
  // label answers double-clicks only.
  for (const char* name : {"", "N3", "N18", "N29", "N26", "n9", "Label3", "ToolButton2", "N99"})
    EXPECT_FALSE(scene.player.Click(name)) << name;
  EXPECT_EQ(scene.Snapshot(), before);
}

struct SharedHandler {
  const char* item;
  const char* control;
};

class SharedHandlerTest : public ::testing::TestWithParam<SharedHandler> {};

TEST_P(SharedHandlerTest, ItemBehavesExactlyAsItsControl) {
  Scene byItem, byControl;
  ASSERT_TRUE(byItem.player.Click(GetParam().item));
  ASSERT_TRUE(byControl.player.Click(GetParam().control));
  EXPECT_EQ(byItem.Snapshot(), byControl.Snapshot());
  // Second use as well: toggles must toggle back the same way.
  byItem.player.Click(GetParam().item);
  byControl.player.Click(GetParam().control);
  EXPECT_EQ(byItem.Snapshot(), byControl.Snapshot());
}

INSTANTIATE_TEST_SUITE_P(
    TrayAndSleepMenus, SharedHandlerTest,
    ::testing::Values(SharedHandler{"N9", "ToolButton5"}, SharedHandler{"N6", "ToolButton3"},
                      SharedHandler{"N5", "ToolButton7"}, SharedHandler{"N7", "ToolButton9"},
                      SharedHandler{"N13", "ToolButton1"}, SharedHandler{"Exit1", "ToolButton11"},
                      SharedHandler{"N302", "N301"}, SharedHandler{"N602", "N601"},
                      SharedHandler{"N212", "N21"}, SharedHandler{"N232", "N23"},
                      SharedHandler{"N30", "N22"}),
    [](const ::testing::TestParamInfo<SharedHandler>& param) {
      return std::string(param.param.item) + "_as_" + std::string(param.param.control);
    });

TEST(BindingsTest, CommandsReachTheirHandlers) {
  {
    Scene s;  // the tray's continuous-play switch turns continuous play off like F8
    s.player.Click("N9");
    EXPECT_FALSE(s.player.Sequence().ContinuousPlay);
    EXPECT_FALSE(s.player.Form().Checked("N9"));
  }
  {
    Scene s;  // "次の曲" in the tray menu moves to the next row and plays it
    s.player.Click("N5");
    EXPECT_EQ(s.player.CurrentIndex(), 2);
    EXPECT_TRUE(s.player.Playback().Playing);
    s.player.Click("N6");
    EXPECT_EQ(s.player.CurrentIndex(), 1);
  }
  {
    Scene s;
    s.player.Click("N7");
    EXPECT_FALSE(s.player.Playback().Playing);
  }
  {
    Scene s;
    s.player.Click("Exit1");
    EXPECT_EQ(s.p.screen.closeRequests, 1);
  }
  {
    Scene s;
    s.player.Click("SpeedButton1");
    EXPECT_TRUE(s.player.Window().InTray);
    s.player.Click("N11");
    EXPECT_FALSE(s.player.Window().InTray);
  }
}

TEST(BindingsTest, OrderOfPlayItemsShareOneHandlerAndAreToldApart) {
  Scene s;
  s.player.Click("N2");
  s.player.Click("R3");
  EXPECT_TRUE(s.player.Form().Checked("N2"));
  EXPECT_FALSE(s.player.Form().Checked("N1"));
  EXPECT_TRUE(s.player.Form().Checked("R3"));
  EXPECT_EQ(s.player.Sequence().ModeCode, PlayMode::RandomEndless);
  s.player.Click("R1");
  EXPECT_EQ(s.player.Sequence().ModeCode, PlayMode::OneSong);
}

TEST(BindingsTest, MessengerItemTogglesTheBroadcastAndItsCheckMark) {
  Scene s;
  s.player.Click("Messenger1");
  EXPECT_TRUE(s.player.TrackInfo().NowPlayingOn);
  EXPECT_TRUE(s.player.Form().Checked("Messenger1"));
  s.player.Click("Messenger1");
  EXPECT_FALSE(s.player.TrackInfo().NowPlayingOn);
  EXPECT_FALSE(s.player.Form().Checked("Messenger1"));
}

TEST(BindingsTest, ShellItemsOpenBaseFolderAndDriveOverview) {
  Scene s;
  s.player.Click("N16");  // no base folder chosen yet: nothing to open
  EXPECT_TRUE(s.p.shell.opened.empty());
  Scene chosen("/music/");
  chosen.player.Click("N16");
  chosen.player.Click("N14");
  EXPECT_EQ(chosen.p.shell.opened, (std::vector<std::string>{"/music/", "computer:///"}));
}

TEST(LayoutTest, TablesHangTogether) {
  // Every drop-down button names a menu that exists, and names are unique across the window.
  std::vector<std::string_view> names;
  for (const ToolButtonDef& button : ToolButtons()) {
    names.push_back(button.name);
    EXPECT_EQ(button.dropDown, !button.menu.empty()) << button.name;
    if (!button.menu.empty()) {
      EXPECT_NE(FindMenu(button.menu), nullptr) << button.name;
    }
  }
  for (const MenuItemDef* item : AllMenuItems()) names.push_back(item->name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());

  EXPECT_NE(FindMenu(kTrayMenu), nullptr);
  EXPECT_NE(FindMenu(kListMenu), nullptr);
  EXPECT_EQ(FindMenu("PopupMenu9"), nullptr);
  // The sleep button starts with the image and hint that the form model shows before any
  // sleep setting.
  const MainForm form;
  EXPECT_EQ(ToolButtons()[6].name, "SleepButton");
  EXPECT_EQ(ToolButtons()[6].image, form.SleepImage());
  EXPECT_EQ(ToolButtons()[6].hint, form.SleepHint());
}

TEST(LayoutTest, OnlyTheTagItemIsHiddenAndMenusOneTwoFourAreAnimated) {
  for (const MenuItemDef* item : AllMenuItems())
    EXPECT_EQ(item->visible, item->name != "AG1") << item->name;
  for (const MenuDef& menu : Menus()) EXPECT_EQ(menu.animated, menu.name != kTrayMenu) << menu.name;
}

}  // namespace
}  // namespace solka
