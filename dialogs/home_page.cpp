#include "dialogs/player_dialogs.h"
#include "platform/api/files.h"

// The build sets them (cache variables); without them the link leads nowhere.
#ifndef SOLKA_HOME_PAGE
#define SOLKA_HOME_PAGE ""
#endif
#ifndef SOLKA_SOURCE_README
#define SOLKA_SOURCE_README ""
#endif

namespace solka {

std::string HomePageAddress(FileSystem& files) {
  const std::string configured = SOLKA_HOME_PAGE;
  const std::string source = SOLKA_SOURCE_README;
  // A program run from its build folder has no installed README yet: the one in the source
  // tree it was built from stands in. An address with a scheme is never looked up.
  const bool localFile = !configured.empty() && configured.find("://") == std::string::npos;
  if (localFile && !files.FileExists(configured) && !source.empty() && files.FileExists(source))
    return source;
  return configured;
}

}  // namespace solka
