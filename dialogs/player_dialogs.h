// The two dialogs of the player, created once after the main window and living until exit.
// While they exist the player reaches them through TDODEDEV::AttachDialogs.
#pragma once

#include <memory>
#include <string>

#include "dialogs/tform2.h"
#include "dialogs/tform3.h"

namespace solka {

class TDODEDEV;

// The player as the dialogs see it.
class PlayerDialogHost : public DialogHost {
 public:
  explicit PlayerDialogHost(TDODEDEV& player) : player_(player) {}
  const std::string& Setting(Key key) const override;
  void SetSetting(Key key, std::string value) override;
  bool ListMode() const override;
  void SetListMode(bool listFiles) override;
  bool ListBoxSorted() const override;
  bool MonitorPower() const override;
  bool ExtendedLists() const override;
  const std::string& SettingsFilePath() const override;
  std::string ArmedDeadline() const override;

 private:
  TDODEDEV& player_;
};

class PlayerDialogs {
 public:
  // `homePage`: the address the settings tab's link opens (HomePageAddress() by default).
  PlayerDialogs(TDODEDEV& player, PlatformServices& platform, std::string homePage);
  ~PlayerDialogs();
  PlayerDialogs(const PlayerDialogs&) = delete;
  PlayerDialogs& operator=(const PlayerDialogs&) = delete;

  TForm2& Form2() { return form2_; }
  TForm3& Form3() { return form3_; }

 private:
  TDODEDEV& player_;
  PlayerDialogHost host_;
  TForm2 form2_;
  TForm3 form3_;
};

// The project's home page, set when the program is built; the source tree's README while the
// installed one it names does not exist.
std::string HomePageAddress(FileSystem& files);

}  // namespace solka
