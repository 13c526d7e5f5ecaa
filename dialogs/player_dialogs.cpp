#include "dialogs/player_dialogs.h"

#include "app/tdodedev.h"

namespace solka {

const std::string& PlayerDialogHost::Setting(Key key) const {
  return player_.Setting(key);
}
void PlayerDialogHost::SetSetting(Key key, std::string value) {
  player_.settings_.Set(key, std::move(value));
}
bool PlayerDialogHost::ListMode() const {
  return player_.List().ListMode;
}
void PlayerDialogHost::SetListMode(bool listFiles) {
  player_.list_.ListMode = listFiles;
}
bool PlayerDialogHost::ListBoxSorted() const {
  return player_.List().ListBoxSorted;
}
bool PlayerDialogHost::MonitorPower() const {
  return player_.Sleep().MonitorPower;
}
bool PlayerDialogHost::ExtendedLists() const {
  return player_.Options().extendedLists;
}
const std::string& PlayerDialogHost::SettingsFilePath() const {
  return player_.Startup().SettingsFilePath;
}
std::string PlayerDialogHost::ArmedDeadline() const {
  return player_.Sleep().SleepArmed ? player_.Sleep().SleepDeadline : std::string();
}

PlayerDialogs::PlayerDialogs(TDODEDEV& player, PlatformServices& platform, std::string homePage)
    : player_(player),
      host_(player),
      form2_(host_, platform, std::move(homePage)),
      form3_(host_, platform) {
  player_.AttachDialogs(&form2_, &form3_);
}

PlayerDialogs::~PlayerDialogs() {
  player_.AttachDialogs(nullptr, nullptr);
}

}  // namespace solka
