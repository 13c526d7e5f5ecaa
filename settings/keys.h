// The keys of section [SETTING]: entry numbers of TDODEDEV::Settings and their defaults.
#pragma once

#include <array>
#include <string_view>

namespace solka {

enum Key : int {
  BaseFolder = 0,
  ListHide = 1,
  JukeMode = 2,
  Top = 3,
  Left = 4,
  ListFile = 5,
  Hint = 6,
  Top2 = 7,
  Sort = 8,
  AutoPlay = 9,
  FileType = 10,
  SubFolder = 11,
  Ext_MP3 = 12,
  Ext_WAV = 13,
  Ext_WMA = 14,
  Ext_MIDI = 15,
  Ext_OGG = 16,
  Ext_APE = 17,
  SleepMode = 18,
  TaskButton = 19,
  AppName = 20,
  Run_App = 21,
  CloseBtn = 22,
  Ext_ACC = 23,
};

constexpr int kSettingsCount = 25;  // entry 24 belongs to no key
constexpr int kKeyCount = 24;

struct KeyInfo {
  std::string_view name;
  std::string_view defaultValue;
};

constexpr std::array<KeyInfo, kKeyCount> kKeys = {{
    {"BaseFolder", ""}, {"ListHide", "0"}, {"JukeMode", "1"},  {"Top", ""},
    {"Left", ""},       {"ListFile", "0"}, {"Hint", "1"},      {"Top2", ""},
    {"Sort", "0"},      {"AutoPlay", "0"}, {"FileType", "0"},  {"SubFolder", "0"},
    {"Ext_MP3", "1"},   {"Ext_WAV", "0"},  {"Ext_WMA", "0"},   {"Ext_MIDI", "0"},
    {"Ext_OGG", "0"},   {"Ext_APE", "0"},  {"SleepMode", "0"}, {"TaskButton", "0"},
    {"AppName", ""},    {"Run_App", "0"},  {"CloseBtn", "0"},  {"Ext_ACC", "0"},
}};

constexpr std::string_view kSettingSection = "SETTING";
constexpr std::string_view kSettingsFileName = "solka.ini";

}  // namespace solka
