// RecentPaths: the history of base folders in section [RECENT_PATH] of the settings file,
// keys "0", "1", ... in the combo box's order. Nothing is ever removed from it.
#include <algorithm>

#include "base/text.h"
#include "dialogs/tform2.h"
#include "settings/ini_file.h"

namespace solka {

namespace {
constexpr std::string_view kSection = "RECENT_PATH";
constexpr std::string_view kCombo = "Edit1";
}  // namespace

void TForm2::LoadRecentPaths() {
  Form.SetItems(kCombo, {});
  const IniFile ini = IniFile::Load(platform_.files, platform_.codec, host_.SettingsFilePath());
  // The first empty value ends the history, even when later keys follow.
  for (int n = 0;; ++n) {
    std::string path = ini.ReadString(kSection, std::to_string(n), "");
    if (path.empty()) break;
    AddSorted(path);
  }
}

int TForm2::AddSorted(const std::string& path) {
  std::vector<std::string> items = Form.Items(kCombo);
  const int selected = Form.ItemIndex(kCombo);
  const auto at = std::upper_bound(
      items.begin(), items.end(), path,
      [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
  const int position = static_cast<int>(at - items.begin());
  items.insert(at, path);
  Form.SetItems(kCombo, std::move(items));
  if (selected >= 0) Form.SetItemIndex(kCombo, selected + (selected >= position ? 1 : 0));
  return position;
}

void TForm2::SaveRecentPaths() {
  const std::string& file = host_.SettingsFilePath();
  if (file.empty()) return;
  IniFile ini = IniFile::Load(platform_.files, platform_.codec, file);
  const auto& items = Form.Items(kCombo);
  for (std::size_t n = 0; n < items.size(); ++n)
    ini.WriteString(kSection, std::to_string(n), items[n]);
  ini.Save(platform_.files, platform_.codec,
           file);  // a failed write is not reported; the dialog still closes
}

}  // namespace solka
