#include "dialogs/player_dialogs.h"

// The build sets it (a cache variable); without it the link leads nowhere.
#ifndef SOLKA_HOME_PAGE
#define SOLKA_HOME_PAGE ""
#endif

namespace solka {

std::string HomePageAddress() {
  return SOLKA_HOME_PAGE;
}

}  // namespace solka
