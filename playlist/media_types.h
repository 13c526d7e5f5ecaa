// Which file names the player takes for tracks, list files and folders. The decision is by
// extension alone; a file is never opened to look at its contents.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/api/files.h"
#include "settings/keys.h"
#include "settings/setting_texts.h"

namespace solka {

// How an extension is compared with a table entry (or that the entry is not in the set).
enum class Match : unsigned char { None, NoCase, Exact };

// The operations that each keep their own set of extensions.
enum class MediaColumn : unsigned char {
  StandardScan,
  DroppedFile,
  StartUpArgument,
  ForwardedPath
};

struct MediaType {
  std::string_view extension;
  std::array<Match, 4> columns;  // indexed by MediaColumn
  int group;                     // Key of the Ext_* setting that switches it on, or kNoGroup
  // The desktop's names for files of this kind that play, separated by ';'; empty for kinds
  // that no decoder here plays.
  std::string_view mimeTypes;
};

inline constexpr int kNoGroup = -1;

namespace media_table_detail {
inline constexpr Match ci = Match::NoCase, ex = Match::Exact, no = Match::None;
}  // namespace media_table_detail

// The columns differ on purpose and stored settings rely on them: ".acc" is what the forwarded
// path and the ACC group know, ".aac" what the standard scan, drops and the start-up argument know.
inline constexpr std::array<MediaType, 17> MediaTypeTable = [] {
  using namespace media_table_detail;
  return std::array<MediaType, 17>{{
      {".mp3", {ci, ci, ci, ex}, Ext_MP3, "audio/mpeg"},
      {".mid", {ci, ci, ci, ex}, Ext_MIDI, "audio/midi"},
      {".midi", {ci, ci, ci, ex}, Ext_MIDI, "audio/midi"},
      {".wav", {ci, ci, ci, ex}, Ext_WAV, "audio/x-wav"},
      {".rcp", {ci, ci, ci, ex}, kNoGroup, ""},
      {".rmi", {ci, ci, ci, ex}, kNoGroup, "audio/midi"},
      {".wma", {ci, ci, ci, ex}, Ext_WMA, "audio/x-ms-wma"},
      {".asf", {ci, ci, ci, ex}, kNoGroup, "application/vnd.ms-asf"},
      {".ogg",
       {ci, ci, ci, ex},
       Ext_OGG,
       "audio/ogg;audio/x-vorbis+ogg;audio/x-flac+ogg;audio/x-opus+ogg"},
      // Opus is an Ogg stream too: it goes wherever ".ogg" goes, the Ogg type box included.
      {".opus", {ci, ci, ci, ex}, Ext_OGG, "audio/x-opus+ogg"},
      {".flac", {ci, ci, ci, ex}, kNoGroup, "audio/flac"},
      {".ape", {ci, ci, ci, ex}, Ext_APE, "audio/x-ape"},
      {".vqf", {ci, ci, ci, ex}, kNoGroup, ""},
      {".3g2", {ci, ci, ci, ex}, kNoGroup, "video/3gpp2"},
      {".aac", {ci, ci, ci, no}, kNoGroup, "audio/aac"},
      {".m4a", {ci, ci, ci, ex}, Ext_ACC, "audio/mp4"},
      {".acc", {no, no, no, ex}, Ext_ACC, ""},
  }};
}();

// List files: ".m3u8" is the same list written in UTF-8 by definition, so it is read as such
// and never guessed to be in the legacy code page.
struct ListFileType {
  std::string_view extension;
  std::string_view mimeType;
  bool utf8;
};
inline constexpr std::array<ListFileType, 2> ListFileTypes = {{
    {".m3u", "audio/x-mpegurl", false},
    {".m3u8", "audio/x-mpegurl", true},
}};

// The desktop's names of everything the player opens, each once, in table order, the list
// files' last: what the desktop entry offers the player for and what the media controls
// announce. Folders play too, but their type stays out: claiming it would make the player the
// desktop's opener of folders (and its own "open the base folder" would replace the list).
std::vector<std::string_view> PlayableMimeTypes();

// The text from the last '.' to the end, dot included, when that dot stands after the last
// delimiter; otherwise empty (which callers take as the sign of a folder).
std::string ExtensionOf(std::string_view path, const PathSyntax& syntax);

// True when `extension` is in the column's set, compared as that column compares.
bool InColumn(std::string_view extension, MediaColumn column);

// True when `extension` marks a list file, compared as `how` says (None gives false).
bool IsListFileExtension(std::string_view extension, Match how);

// True when the list file at `path` is UTF-8 by its type (".m3u8" in any case).
bool IsUtf8ListFile(std::string_view path, const PathSyntax& syntax);

// Whether a file met by the folder scan is taken, by the FileType setting: "" or "0" the
// standard set, "1" the groups switched on by their Ext_* settings, "2" only files of the
// first-found type (which this call records in `referenceExtension` while it is empty), any
// other value nothing.
bool AcceptedByScan(std::string_view extension, const SettingTexts& settings,
                    std::string& referenceExtension);

}  // namespace solka
