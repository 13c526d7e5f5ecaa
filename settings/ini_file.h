// An INI file held as its lines. Sections and keys are found without regard to case and the
// first match wins; a write changes one line in place (or adds the key or section) while every
// other byte stays as it was. Parsing works on bytes, so any content, however broken, loads
// without harm.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace solka {

class FileSystem;

class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(std::string_view bytes);

  // Reads `path`. A missing file gives an empty one; so does an unreadable one, which is
  // then also refused by Save so that content never seen is never replaced.
  static IniFile Load(FileSystem& files, const std::string& path);

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
  // Replaces the file at `path` with ToBytes() in one atomic write. Returns the reason on
  // failure, empty on success.
  std::string Save(FileSystem& files, const std::string& path) const;

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
};

}  // namespace solka
