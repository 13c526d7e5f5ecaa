// What the dialogs read and change of the player: settings, the list mode, two display flags,
// the settings file and the sleep deadline. Nothing else of the player is in their reach.
#pragma once

#include <string>

#include "settings/keys.h"

namespace solka {

class DialogHost {
 public:
  virtual ~DialogHost() = default;
  virtual const std::string& Setting(Key key) const = 0;
  virtual void SetSetting(Key key, std::string value) = 0;
  // false: folder mode; true: list-file mode.
  virtual bool ListMode() const = 0;
  virtual void SetListMode(bool listFiles) = 0;
  // The list box's sorted state as it is now (not the stored setting).
  virtual bool ListBoxSorted() const = 0;
  virtual bool MonitorPower() const = 0;
  // List files are read in their extended form (option ExtendedLists).
  virtual bool ExtendedLists() const = 0;
  virtual const std::string& SettingsFilePath() const = 0;
  // The armed time-of-day deadline ("h:m"), or empty when none is armed.
  virtual std::string ArmedDeadline() const = 0;
};

// Modal results as the dialogs' buttons give them.
enum ModalResultCode : int {
  kResultOk = 1,
  kResultCancel = 2,
  kResultAbort = 3,
  kResultYes = 6,
};

}  // namespace solka
