// M3U list files: the bytes of a file turned into lines, and lines turned into the bytes we write.
// Every line is kept as it is: comments, empty lines and relative paths included.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/api/files.h"
#include "platform/api/text_codec.h"

namespace solka {

// The lines of a list file. UTF-16 with either byte-order mark; else UTF-8 (a byte-order mark
// is dropped) when the whole text is valid UTF-8 or `utf8` says the file is UTF-8 by its type;
// else legacy text when the whole text decodes; else the bytes as they are. A zero character
// ends the text; lines end at CR LF, CR or LF and the last one needs no line end.
std::vector<std::string> DecodeListFile(std::string_view bytes, const TextCodec& codec,
                                        bool utf8 = false);
// The same without the lines too long to be a path by `syntax`; `skipped` counts them.
std::vector<std::string> DecodeListFile(std::string_view bytes, const TextCodec& codec,
                                        const PathSyntax& syntax, std::size_t& skipped,
                                        bool utf8 = false);

// The bytes written for `lines`: UTF-8, CR LF after every line, nothing for no lines. A first
// line that begins with the bytes of a byte-order mark gets the UTF-8 mark in front, so that it
// reads back as written.
std::string EncodeListFile(const std::vector<std::string>& lines);

// Text of unknown origin as UTF-8: kept when it is UTF-8 already, else decoded from the legacy
// code page, else with every invalid sequence replaced by U+FFFD.
std::string LegacyTextToUtf8(std::string_view bytes, const TextCodec& codec);

// UTF-16 code units (given as bytes in the order named) to UTF-8, up to the first zero unit.
// Unpaired surrogates and a dangling odd byte become U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

struct ListFileRead {
  bool ok = false;
  std::vector<std::string> lines;
  std::string message;      // the text to show the user when the file could not be read
  std::size_t skipped = 0;  // lines left out: too long to be a path here
};

// Reads and decodes the list file at `path`, as UTF-8 where its type says so, without the lines
// too long to be a path here.
ListFileRead ReadListFile(FileSystem& files, const TextCodec& codec, const std::string& path);

// The user's texts for a list file that cannot be read or written.
std::string CannotOpenMessage(const std::string& path, const std::string& reason);
std::string CannotCreateMessage(const std::string& path, const std::string& reason);

}  // namespace solka
