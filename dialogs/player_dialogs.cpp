#include "dialogs/player_dialogs.h"

#include "app/tdodedev.h"

namespace solka {

const std::string& PlayerDialogHost::Setting(Key key) const {
  return player_.Setting(key);
}
void PlayerDialogHost::SetSetting(Key key, std::string value) {
  player_.Settings[key] = std::move(value);
}
bool PlayerDialogHost::ListMode() const {
  return player_.ListMode;
}
void PlayerDialogHost::SetListMode(bool listFiles) {
  player_.ListMode = listFiles;
}
bool PlayerDialogHost::ListBoxSorted() const {
  return player_.ListBoxSorted;
}
bool PlayerDialogHost::MonitorPower() const {
  return player_.MonitorPower;
}
const std::string& PlayerDialogHost::SettingsFilePath() const {
  return player_.SettingsFilePath;
}
std::string PlayerDialogHost::ArmedDeadline() const {
  return player_.SleepArmed ? player_.SleepDeadline : std::string();
}

PlayerDialogs::PlayerDialogs(TDODEDEV& player, PlatformServices& platform, std::string homePage)
    : player_(player),
      host_(player),
      form2_(host_, platform, std::move(homePage)),
      form3_(host_, platform) {
  player_.Form2 = &form2_;
  player_.Form3 = &form3_;
}

PlayerDialogs::~PlayerDialogs() {
  player_.Form2 = nullptr;
  player_.Form3 = nullptr;
}

}  // namespace solka
