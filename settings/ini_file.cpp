#include "settings/ini_file.h"

#include <string>

#include "base/text.h"
#include "platform/api/files.h"
#include "platform/api/text_codec.h"

namespace solka {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

bool IsQuote(char c) {
  return c == '"' || c == '\'';
}

// A value enclosed in matching quotes reads without them, so surrounding blanks can be kept.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back())
    return value.substr(1, value.size() - 2);
  return value;
}

// The stored form of a value: one line, quoted when reading it back would otherwise trim
// blanks or strip quotes of its own.
std::string Encode(std::string_view value) {
  value = value.substr(0, value.find_first_of("\r\n"));  // a break would forge other lines
  if (value.empty()) return {};
  const bool blankEdge = kBlanks.find(value.front()) != std::string_view::npos ||
                         kBlanks.find(value.back()) != std::string_view::npos;
  const bool quoted = value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back();
  if (blankEdge || quoted) return "\"" + std::string(value) + "\"";
  return std::string(value);
}

}  // namespace

IniFile::IniFile(std::string_view bytes, std::string_view lineEnd) : eol_(lineEnd) {
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t newline = bytes.find('\n', start);
    if (newline == std::string_view::npos) {
      // A last line cut off after its CR keeps the CR as its break, not as part of a value.
      std::string_view last = bytes.substr(start);
      const bool cr = last.ends_with('\r');
      if (cr) last.remove_suffix(1);
      lines_.push_back(Classify(std::string(last), cr ? "\r" : ""));
      break;
    }
    std::size_t end = newline;
    if (end > start && bytes[end - 1] == '\r') --end;
    lines_.push_back(Classify(std::string(bytes.substr(start, end - start)),
                              std::string(bytes.substr(end, newline + 1 - end))));
    start = newline + 1;
  }
  if (!lines_.empty() && !lines_.front().eol.empty()) eol_ = lines_.front().eol;
  // A byte-order mark written by an editor must not hide the first section.
  if (!lines_.empty() && lines_.front().text.starts_with(kUtf8Bom)) {
    Line first = Classify(lines_.front().text.substr(kUtf8Bom.size()), {});
    lines_.front().kind = first.kind;
    lines_.front().name = std::move(first.name);
  }
}

IniFile::Line IniFile::Classify(std::string text, std::string eol) {
  Line line{std::move(text), std::move(eol), Kind::Other, {}};
  const std::string_view trimmed = Trim(line.text);
  if (trimmed.starts_with('[')) {
    const auto close = trimmed.find(']');
    if (close != std::string_view::npos) {
      line.kind = Kind::Section;
      line.name = Trim(trimmed.substr(1, close - 1));
    }
  } else if (!trimmed.starts_with(';')) {
    const auto equals = trimmed.find('=');
    if (equals != std::string_view::npos) {
      const std::string_view key = Trim(trimmed.substr(0, equals));
      if (!key.empty()) {
        line.kind = Kind::Entry;
        line.name = key;
      }
    }
  }
  return line;
}

IniFile IniFile::Load(FileSystem& files, const TextCodec& codec, const std::string& path) {
  ReadResult read = files.ReadFile(path);
  if (!read.ok) {
    IniFile empty({}, codec.LineEnd());
    empty.unreadable_ = files.FileExists(path);
    return empty;
  }
  std::string_view bytes = read.bytes;
  if (bytes.starts_with(kUtf8Bom)) {
    bytes.remove_prefix(kUtf8Bom.size());
    return IniFile(bytes, codec.LineEnd());
  }
  if (auto text = codec.SystemToUtf8(read.bytes)) return IniFile(*text, codec.LineEnd());
  // A copy of this program that wrote UTF-8 without the mark.
  IniFile ini(bytes, codec.LineEnd());
  ini.raw_ = !IsValidUtf8(bytes);
  return ini;
}

std::size_t IniFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == Kind::Section && EqualsNoCase(lines_[i].name, section)) return i;
  return std::string::npos;
}

std::size_t IniFile::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Kind::Section) ++i;
  return i;
}

std::size_t IniFile::FindEntry(std::size_t header, std::string_view key) const {
  const std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (lines_[i].kind == Kind::Entry && EqualsNoCase(lines_[i].name, key)) return i;
  return std::string::npos;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
  const std::size_t header = FindSection(section);
  if (header == std::string::npos) return std::string(fallback);
  const std::size_t entry = FindEntry(header, key);
  if (entry == std::string::npos) return std::string(fallback);
  const std::string_view text = lines_[entry].text;
  return std::string(Unquote(Trim(text.substr(text.find('=') + 1))));
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  return ToIntDef(ReadString(section, key, {}), fallback);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::InsertLine(std::size_t at, std::string text) {
  // The line before may be a last line without a break; it needs one now.
  if (at > 0 && lines_[at - 1].eol.empty()) lines_[at - 1].eol = eol_;
  if (at > 0 && lines_[at - 1].eol == "\r") lines_[at - 1].eol = "\r\n";
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Classify(std::move(text), eol_));
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string entry = std::string(key) + "=" + Encode(value);
  const std::size_t header = FindSection(section);
  if (header == std::string::npos) {
    InsertLine(lines_.size(), "[" + std::string(section) + "]");
    InsertLine(lines_.size(), entry);
    return;
  }
  const std::size_t found = FindEntry(header, key);
  if (found != std::string::npos) {
    // The key keeps the spelling the file gave it.
    lines_[found].text = lines_[found].name + "=" + Encode(value);
    return;
  }
  // After the section's last non-blank line, so blank lines before the next section stay.
  std::size_t at = header + 1;
  const std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (!Trim(lines_[i].text).empty()) at = i + 1;
  InsertLine(at, entry);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::string IniFile::ToBytes() const {
  std::size_t size = 0;
  for (const Line& line : lines_) size += line.text.size() + line.eol.size();
  std::string bytes;
  bytes.reserve(size);
  for (const Line& line : lines_) bytes.append(line.text).append(line.eol);
  return bytes;
}

std::string IniFile::Save(FileSystem& files, const TextCodec& codec,
                          const std::string& path) const {
  if (unreadable_) return "the existing file could not be read; it is left as it is";
  std::string text = ToBytes();
  if (!raw_) {
    if (auto system = codec.Utf8ToSystem(text)) {
      text = std::move(*system);
    } else {
      text.insert(0, kUtf8Bom);
    }
  }
  return files.WriteFileAtomic(path, text);
}

}  // namespace solka
