// Reading and writing the [SETTING] keys. Each save reads the file as it is now, edits the
// keys in memory and replaces the file once, so other sections written meanwhile survive.
#include <initializer_list>

#include "app/tdodedev.h"
#include "settings/ini_file.h"

namespace solka {

namespace {

constexpr std::string_view kVolumeKey = "Volume";
constexpr std::string_view kMonitorPowerKey = "MonitorPower";
constexpr std::string_view kNowPlayingKey = "WMP_NowPlaying";

// The settings are the user's: a save that fails (a file made read-only, a full disk, a folder
// gone) leaves the file as it was and says so in one line; the run goes on.
void SaveOrSay(const IniFile& ini, const PlatformServices& platform, const std::string& path) {
  const std::string error = ini.Save(platform.files, platform.codec, path);
  if (!error.empty()) platform.diagnostics.Warn("settings not saved to " + path + ": " + error);
}

void WriteKeys(IniFile& ini, const SettingTexts& settings, std::initializer_list<Key> keys) {
  for (Key key : keys) ini.WriteString(kSettingSection, kKeys[key].name, settings[key]);
}

}  // namespace

void TDODEDEV::LoadSettings() {
  const IniFile ini = IniFile::Load(platform_.files, platform_.codec, startup_.SettingsFilePath);
  for (int key = 0; key < kKeyCount; ++key) {
    settings_.Set(static_cast<Key>(key),
                  ini.ReadString(kSettingSection, kKeys[key].name, kKeys[key].defaultValue));
  }
  playback_.Volume = ini.ReadInteger(kSettingSection, kVolumeKey, 0);
  sleep_.MonitorPower = ini.ReadBool(kSettingSection, kMonitorPowerKey, false);
  track_.NowPlayingOn = ini.ReadBool(kSettingSection, kNowPlayingKey, false);
  form_.SetChecked("Messenger1", track_.NowPlayingOn);
  // Read only: the user sets them by hand, and a save keeps the section as it is.
  options_ = ReadOptions(ini);
}

void TDODEDEV::SaveSettings() {
  if (startup_.SettingsFilePath.empty()) return;
  IniFile ini = IniFile::Load(platform_.files, platform_.codec, startup_.SettingsFilePath);
  WriteKeys(ini, settings_,
            {BaseFolder, ListHide, JukeMode, Top,       Left,       ListFile, Hint,    Top2,
             Sort,       AutoPlay, FileType, SubFolder, Ext_MP3,    Ext_WAV,  Ext_WMA, Ext_MIDI,
             Ext_OGG,    Ext_APE,  Ext_ACC,  SleepMode, TaskButton, AppName,  Run_App, CloseBtn});
  ini.WriteInteger(kSettingSection, kVolumeKey, playback_.Volume);
  ini.WriteBool(kSettingSection, kMonitorPowerKey, sleep_.MonitorPower);
  ini.WriteBool(kSettingSection, kNowPlayingKey, track_.NowPlayingOn);
  SaveOrSay(ini, platform_, startup_.SettingsFilePath);
}

void TDODEDEV::SaveDialogSettings() {
  if (startup_.SettingsFilePath.empty()) return;
  IniFile ini = IniFile::Load(platform_.files, platform_.codec, startup_.SettingsFilePath);
  for (int key = BaseFolder; key <= CloseBtn; ++key)
    ini.WriteString(kSettingSection, kKeys[key].name, settings_[static_cast<Key>(key)]);
  ini.WriteBool(kSettingSection, kMonitorPowerKey, sleep_.MonitorPower);
  SaveOrSay(ini, platform_, startup_.SettingsFilePath);
}

}  // namespace solka
