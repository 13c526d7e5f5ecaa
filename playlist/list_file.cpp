#include "playlist/list_file.h"

#include <cstdint>
#include <utility>

#include "base/paths.h"
#include "base/text.h"
#include "playlist/media_types.h"

namespace solka {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

// A UTF-16 mark, or what reads as one: the first bytes of a name that begins with them.
bool StartsLikeUtf16(std::string_view bytes) {
  return StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF");
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string ReplaceInvalidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t len = Utf8SequenceLength(text, i);
    if (len == 0) {
      out += kReplacement;
      ++i;
    } else {
      out.append(text.substr(i, len));
      i += len;
    }
  }
  return out;
}

// Splits at CR LF, lone CR and lone LF; a line end at the very end opens no further line.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

std::string_view UpToZero(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

std::string Fill(std::string format, const std::string& path, const std::string& reason) {
  format.replace(format.find("%s"), 2, path);
  format.replace(format.rfind("%s"), 2, reason);
  return format;
}

}  // namespace

std::string LegacyTextToUtf8(std::string_view bytes, const TextCodec& codec) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  if (auto decoded = codec.LegacyToUtf8(std::string(bytes)); decoded && IsValidUtf8(*decoded))
    return *decoded;
  return ReplaceInvalidUtf8(bytes);
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  const std::size_t units = bytes.size() / 2;
  const auto unit = [&](std::size_t k) -> std::uint32_t {
    const auto b0 = static_cast<unsigned char>(bytes[2 * k]);
    const auto b1 = static_cast<unsigned char>(bytes[2 * k + 1]);
    return bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0);
  };
  std::size_t k = 0;
  for (; k < units; ++k) {
    const std::uint32_t u = unit(k);
    if (u == 0) return out;
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
      const std::uint32_t low = unit(k + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        ++k;
        continue;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF) {
      out += kReplacement;
    } else {
      AppendUtf8(out, u);
    }
  }
  // An odd byte at the end is half a character: say so rather than guess the other half.
  if (bytes.size() % 2 != 0 && bytes.back() != '\0') out += kReplacement;
  return out;
}

std::vector<std::string> DecodeListFile(std::string_view bytes, const TextCodec& codec, bool utf8) {
  std::size_t skipped = 0;
  PathSyntax unlimited;
  unlimited.maxPath = std::string::npos;
  return DecodeListFile(bytes, codec, unlimited, skipped, utf8);
}

std::vector<std::string> DecodeListFile(std::string_view bytes, const TextCodec& codec,
                                        const PathSyntax& syntax, std::size_t& skipped, bool utf8) {
  const auto starts = [&](std::string_view mark) { return StartsWith(bytes, mark); };
  std::vector<std::string> lines;
  // A line no path can be is never copied: it may be hundreds of megabytes.
  const auto keep = [&](std::string_view text) {
    for (std::string_view line : SplitLines(text)) {
      if (FitsPathLimit(line, syntax))
        lines.emplace_back(line);
      else
        ++skipped;
    }
  };
  if (StartsLikeUtf16(bytes)) {
    keep(Utf16ToUtf8(bytes.substr(2), starts("\xFE\xFF")));
    return lines;
  }
  if (starts(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
  const std::string_view text = UpToZero(bytes);
  // One encoding for the whole file, as it was written: a legacy name can look like valid UTF-8
  // on its own (half-width katakana often do), so no line is judged alone. Bytes that are
  // neither are names as the file system holds them, kept so that they still open.
  std::string decoded;
  std::string_view chosen = text;
  if (!utf8 && !IsValidUtf8(text)) {
    if (auto legacy = codec.LegacyToUtf8(std::string(text)); legacy && IsValidUtf8(*legacy)) {
      decoded = std::move(*legacy);
      chosen = decoded;
    }
  }
  keep(chosen);
  return lines;
}

std::string EncodeListFile(const std::vector<std::string>& lines) {
  std::size_t size = 3;
  for (const std::string& line : lines) size += line.size() + 2;
  std::string out;
  out.reserve(size);
  // A first entry that begins like a byte-order mark would be read as one: the UTF-8 mark in
  // front says how the file is to be read, and the reader drops it again.
  if (!lines.empty() && (StartsLikeUtf16(lines[0]) || StartsWith(lines[0], kUtf8Mark)))
    out += kUtf8Mark;
  for (const std::string& line : lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

ListFileRead ReadListFile(FileSystem& files, const TextCodec& codec, const std::string& path) {
  const PathSyntax syntax = files.Syntax();
  const bool utf8 = IsUtf8ListFile(path, syntax);
  // Read in pieces: a line whose bytes alone rule out any path (no decoding takes a line below a
  // third of its bytes in UTF-16 units) is dropped as it passes, with its line end, and never
  // held whole. UTF-16 lines end in two-byte units: such a file is read whole.
  const std::size_t hopeless = syntax.maxPath * (syntax.maxPathInUtf16Units ? 3 : 1);
  constexpr std::size_t kPiece = 1 << 20;
  ListFileRead list{true, {}, {}};
  std::string kept;
  std::size_t lineStart = 0;  // in `kept`
  enum { Keeping, Dropping, DroppedCr } state = Keeping;
  for (std::uint64_t offset = 0;; offset += kPiece) {
    ReadResult read = files.ReadRange(path, offset, kPiece);
    const bool utf16 = read.ok && offset == 0 && StartsLikeUtf16(read.bytes);
    if (utf16 && read.bytes.size() == kPiece) read = files.ReadFile(path);
    if (!read.ok) return {false, {}, CannotOpenMessage(path, read.error)};
    if (utf16) {
      list.lines = DecodeListFile(read.bytes, codec, syntax, list.skipped, utf8);
      return list;
    }
    const std::string_view piece = UpToZero(read.bytes);
    for (const char c : piece) {
      if (state == Dropping) {
        if (c == '\n') state = Keeping;
        if (c == '\r') state = DroppedCr;
        continue;
      }
      if (state == DroppedCr) {
        state = Keeping;
        if (c == '\n') continue;
      }
      kept += c;
      if (c == '\r' || c == '\n') {
        lineStart = kept.size();
      } else if (kept.size() - lineStart >= hopeless) {
        kept.resize(lineStart);
        ++list.skipped;
        state = Dropping;
      }
    }
    if (piece.size() < kPiece) break;
  }
  list.lines = DecodeListFile(kept, codec, syntax, list.skipped, utf8);
  return list;
}

std::string CannotOpenMessage(const std::string& path, const std::string& reason) {
  return Fill("ファイル \"%s\" は開けません。%s", path, reason);
}

std::string CannotCreateMessage(const std::string& path, const std::string& reason) {
  return Fill("ファイル \"%s\" を作成できません。%s", path, reason);
}

}  // namespace solka
