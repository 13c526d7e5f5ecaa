#include "playlist/media_types.h"

#include <algorithm>

#include "base/text.h"

namespace solka {

namespace {

bool Matches(std::string_view extension, std::string_view entry, Match how) {
  switch (how) {
    case Match::NoCase:
      return EqualsNoCase(extension, entry);
    case Match::Exact:
      return extension == entry;
    case Match::None:
      break;
  }
  return false;
}

// The groups in the order the chosen-types mode tests them.
constexpr std::array<Key, 7> kChosenGroups = {Ext_MP3, Ext_WAV, Ext_WMA, Ext_MIDI,
                                              Ext_OGG, Ext_APE, Ext_ACC};

bool InChosenGroup(std::string_view extension, const SettingTexts& settings) {
  for (Key group : kChosenGroups) {
    if (!settings.Is(group, "1")) continue;
    for (const MediaType& type : MediaTypeTable)
      if (type.group == group && EqualsNoCase(extension, type.extension)) return true;
  }
  return false;
}

}  // namespace

std::string ExtensionOf(std::string_view path, const PathSyntax& syntax) {
  for (std::size_t i = path.size(); i-- > 0;) {
    if (path[i] == '.') return std::string(path.substr(i));
    if (syntax.IsDelimiter(path[i])) break;
  }
  return {};
}

bool InColumn(std::string_view extension, MediaColumn column) {
  const auto index = static_cast<std::size_t>(column);
  for (const MediaType& type : MediaTypeTable)
    if (Matches(extension, type.extension, type.columns[index])) return true;
  return false;
}

std::vector<std::string_view> PlayableMimeTypes() {
  std::vector<std::string_view> types;
  const auto add = [&types](std::string_view list) {
    while (!list.empty()) {
      const std::string_view type = list.substr(0, list.find(';'));
      if (std::find(types.begin(), types.end(), type) == types.end()) types.push_back(type);
      list.remove_prefix(std::min(list.size(), type.size() + 1));
    }
  };
  for (const MediaType& type : MediaTypeTable) add(type.mimeTypes);
  for (const ListFileType& type : ListFileTypes) add(type.mimeType);
  return types;
}

bool IsListFileExtension(std::string_view extension, Match how) {
  return std::any_of(ListFileTypes.begin(), ListFileTypes.end(), [&](const ListFileType& type) {
    return Matches(extension, type.extension, how);
  });
}

bool IsUtf8ListFile(std::string_view path, const PathSyntax& syntax) {
  const std::string extension = ExtensionOf(path, syntax);
  return std::any_of(ListFileTypes.begin(), ListFileTypes.end(), [&](const ListFileType& type) {
    return type.utf8 && EqualsNoCase(extension, type.extension);
  });
}

bool AcceptedByScan(std::string_view extension, const SettingTexts& settings,
                    std::string& referenceExtension) {
  const std::string_view mode = settings[FileType];
  if (mode.empty() || mode == "0") return InColumn(extension, MediaColumn::StandardScan);
  if (mode == "1") return InChosenGroup(extension, settings);
  if (mode == "2") {
    // Whatever the first file is, it sets the type the rest of the scan keeps to.
    if (referenceExtension.empty()) {
      referenceExtension = extension;
      return true;
    }
    return EqualsNoCase(extension, referenceExtension);
  }
  return false;
}

}  // namespace solka
