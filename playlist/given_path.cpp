#include "playlist/given_path.h"

#include "base/text.h"
#include "playlist/media_types.h"

namespace solka {

namespace {
// Any type some entry point took before: a file that plays when given at start-up also plays
// when handed over or dropped.
bool TakenWhenGiven(const MediaType& type) {
  for (MediaColumn column :
       {MediaColumn::DroppedFile, MediaColumn::StartUpArgument, MediaColumn::ForwardedPath})
    if (type.columns[static_cast<std::size_t>(column)] != Match::None) return true;
  return false;
}
}  // namespace

GivenPath ClassifyGivenPath(FileSystem& files, const std::string& path) {
  if (!path.empty() && files.IdOf(path)) return {GivenKind::Folder, {}};
  std::string extension = ExtensionOf(path, files.Syntax());
  if (extension.empty()) return {GivenKind::Other, {}};
  for (const MediaType& type : MediaTypeTable)
    if (TakenWhenGiven(type) && EqualsNoCase(extension, type.extension))
      return {GivenKind::Track, std::move(extension)};
  if (IsListFileExtension(extension, Match::NoCase)) return {GivenKind::List, std::move(extension)};
  return {GivenKind::Other, std::move(extension)};
}

bool NamesNothing(FileSystem& files, const std::string& path) {
  return !files.IdOf(path) && !files.FileExists(path);
}

std::string NamesNothingLine(const std::string& path) {
  return "\"" + path + "\" does not exist";
}

}  // namespace solka
