// Feeds arbitrary bytes to the settings file parser and checks what the player relies on: the
// text comes back byte for byte, a write reads back as written, and a write to one key changes
// no other key's value.
// Run it with tools/fuzz ini [SECONDS].
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const solka::IniFile original(bytes);
  if (original.ToBytes() != bytes) std::abort();

  // The value is the input's last line, so the fuzzer steers it as well.
  const std::string_view tail = bytes.substr(bytes.find_last_of('\n') + 1);
  const std::string value(tail.substr(0, tail.find('\r')));
  solka::IniFile edited(bytes);
  edited.WriteString("SETTING", "AppName", value);
  const solka::IniFile reread(edited.ToBytes());
  if (reread.ReadString("SETTING", "AppName", "\x01") != value) std::abort();
  for (std::string_view key : {"Hint", "Volume", "BaseFolder", "appname2"}) {
    if (reread.ReadString("SETTING", key, "\x01") != original.ReadString("SETTING", key, "\x01"))
      std::abort();
  }
  if (reread.ReadString("RECENT_PATH", "0", "\x01") !=
      original.ReadString("RECENT_PATH", "0", "\x01"))
    std::abort();
  return 0;
}
