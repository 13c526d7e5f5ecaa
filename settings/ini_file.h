// An INI file held as its lines. Sections and keys are found without regard to case and the
// first match wins; a write changes one line in place (or adds the key or section) while every
// other byte stays as it was. Parsing works on bytes, so any content, however broken, loads
// without harm. In memory the text is UTF-8; on disk it is the system's own text (see Load).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace solka {

class FileSystem;
class TextCodec;

class IniFile {
 public:
  IniFile() = default;
  // `lineEnd`: the break of added lines when the text has none of its own.
  explicit IniFile(std::string_view bytes, std::string_view lineEnd = "\n");

  // Reads `path`: as UTF-8 when it begins with a UTF-8 mark, otherwise in the system's code
  // page (bytes valid in neither stay as they are). A missing file gives an empty one whose
  // lines will end as the system's text files do; so does an unreadable one, which is then
  // also refused by Save so that content never seen is never replaced.
  static IniFile Load(FileSystem& files, const TextCodec& codec, const std::string& path);

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
  // A value that is not a whole decimal number reads as `fallback`.
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  // Non-zero is true.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  std::string ToBytes() const;
  // Replaces the file at `path` in one atomic write: in the system's code page when every
  // character has a form there (older copies of the program read it), else in UTF-8 behind
  // its mark, so that no value is lost. Returns the reason on failure, empty on success.
  std::string Save(FileSystem& files, const TextCodec& codec, const std::string& path) const;

 private:
  enum class Kind { Other, Section, Entry };
  struct Line {
    std::string text;  // without its line break
    std::string eol;   // "\n", "\r\n", or empty for a last line without one
    Kind kind = Kind::Other;
    std::string name;  // section name or key, trimmed
  };
  static Line Classify(std::string text, std::string eol);
  // Index of the first section header named `section`, or npos.
  std::size_t FindSection(std::string_view section) const;
  // Index of the first entry `key` in the section starting at header `header`, or npos.
  std::size_t FindEntry(std::size_t header, std::string_view key) const;
  std::size_t SectionEnd(std::size_t header) const;
  void InsertLine(std::size_t at, std::string text);

  std::vector<Line> lines_;
  std::string eol_ = "\n";  // the break used for lines this class adds
  bool unreadable_ = false;
  bool raw_ = false;  // neither the system's text nor UTF-8: written back byte for byte
};

}  // namespace solka
