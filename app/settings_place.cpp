#include "app/settings_place.h"

#include "base/paths.h"
#include "settings/keys.h"

namespace solka {

SettingsPlace ChooseSettingsPlace(const std::string& programPath, FileSystem& files) {
  const PathSyntax syntax = files.Syntax();
  SettingsPlace place{FolderOf(programPath, syntax)};
  // Optical media cannot hold the settings; an installed program's folder may not either,
  // unless a settings file there may still be rewritten in place.
  place.fromCdRom = files.TypeOfDrive(files.DriveOf(programPath)) == DriveType::CdRom;
  if (place.fromCdRom) {
    place.folder = files.TempFolder();
  } else if (!files.IsWritableFolder(place.folder)) {
    // Installed in the system's program folders, not carried on a stick.
    place.installed = true;
    if (!files.IsWritableFile(WithDelimiter(place.folder, syntax) +
                              std::string(kSettingsFileName))) {
      place.folder = files.UserConfigFolder();
      files.MakeFolders(place.folder);
    }
  }
  return place;
}

}  // namespace solka
