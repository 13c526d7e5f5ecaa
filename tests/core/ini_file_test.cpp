#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_desktop.h"
#include "platform/memory/memory_files.h"

namespace solka {
namespace {

TEST(IniFile, LooksUpSectionsAndKeysWithoutCaseFirstMatchWinning) {
  const IniFile ini(
      "[setting]\n"
      "  volume = -2550  \n"
      "VOLUME=7\n"
      "[Other]\n"
      "Volume=9\n"
      "[SETTING]\n"
      "Hint=0\n");
  EXPECT_EQ(ini.ReadString("SETTING", "Volume", "x"), "-2550");
  EXPECT_EQ(ini.ReadInteger("Setting", "Volume", 0), -2550);
  EXPECT_EQ(ini.ReadInteger("OTHER", "volume", 0), 9);
  // Only the first section of a name counts.
  EXPECT_EQ(ini.ReadString("SETTING", "Hint", "default"), "default");
}

TEST(IniFile, MissingSectionKeyOrNumberReadsAsDefault) {
  const IniFile ini("[S]\nEmpty=\nWord=abc\nMixed=12x\nZero=0\nTwo=2\n;Comment=1\n");
  EXPECT_EQ(ini.ReadString("S", "Absent", "d"), "d");
  EXPECT_EQ(ini.ReadString("T", "Empty", "d"), "d");
  EXPECT_EQ(ini.ReadString("S", "Empty", "d"), "");  // present but empty is not missing
  EXPECT_EQ(ini.ReadInteger("S", "Empty", 5), 5);
  EXPECT_EQ(ini.ReadInteger("S", "Word", 5), 5);
  EXPECT_EQ(ini.ReadInteger("S", "Mixed", 5), 5);
  EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
  EXPECT_TRUE(ini.ReadBool("S", "Two", false));
  EXPECT_TRUE(ini.ReadBool("S", "Word", true));
  EXPECT_EQ(ini.ReadString("S", ";Comment", "d"), "d");
}

TEST(IniFile, WriteChangesOneLineAndKeepsEveryOtherByte) {
  const std::string before =
      "; kept comment\r\n"
      "[RECENT_PATH]\r\n"
      "0=/music\r\n"
      "\r\n"
      "[setting]\r\n"
      "unknown = stays  \r\n"
      "hint=1\r\n"
      "\r\n"
      "[Tail]\r\n"
      "x=y";
  IniFile ini(before);
  EXPECT_EQ(ini.ToBytes(), before);

  ini.WriteString("SETTING", "Hint", "0");
  std::string expected = before;
  expected.replace(expected.find("hint=1"), 6, "hint=0");
  EXPECT_EQ(ini.ToBytes(), expected);

  // A new key goes after the section's last line, before the blank line, in the file's breaks.
  ini.WriteString("SETTING", "Sort", "1");
  expected.insert(expected.find("hint=0\r\n") + 8, "Sort=1\r\n");
  EXPECT_EQ(ini.ToBytes(), expected);

  // A new section is appended; the missing final break is supplied first.
  ini.WriteInteger("New", "Volume", -100);
  expected += "\r\n[New]\r\nVolume=-100\r\n";
  EXPECT_EQ(ini.ToBytes(), expected);
}

TEST(IniFile, ValuesRoundTripWhateverTheirEdges) {
  IniFile ini;
  const std::string values[] = {"",      " lead", "trail ", "\"quoted\"", "'single'",
                                "a=b=c", "\"",    "日本語", "x\ty"};
  int n = 0;
  for (const std::string& v : values) ini.WriteString("S", "K" + std::to_string(n++), v);
  const IniFile reread(ini.ToBytes());
  n = 0;
  for (const std::string& v : values)
    EXPECT_EQ(reread.ReadString("S", "K" + std::to_string(n++), "?"), v) << v;
}

TEST(IniFile, ALineBreakInAValueCannotForgeOtherKeys) {
  IniFile ini;
  ini.WriteString("SETTING", "AppName", "/bin/x\n[SETTING]\nRun_App=1");
  ini.WriteString("SETTING", "Run_App", "0");
  const IniFile reread(ini.ToBytes());
  EXPECT_EQ(reread.ReadString("SETTING", "AppName", "?"), "/bin/x");
  EXPECT_EQ(reread.ReadString("SETTING", "Run_App", "?"), "0");
}

TEST(IniFile, MalformedContentLoadsAndSurvivesAWrite) {
  std::string junk("\0\xff\xfe[\x01=\r\r\n]]==\n[\n", 16);
  junk += std::string(1 << 20, 'A');  // a line of a megabyte, no final break
  IniFile ini(junk);
  EXPECT_EQ(ini.ToBytes(), junk);
  EXPECT_EQ(ini.ReadString("SETTING", "Hint", "1"), "1");
  ini.WriteString("SETTING", "Hint", "0");
  const std::string bytes = ini.ToBytes();
  EXPECT_EQ(bytes.substr(0, junk.size()), junk);
  EXPECT_EQ(IniFile(bytes).ReadString("SETTING", "Hint", "1"), "0");
}

TEST(IniFile, ByteOrderMarkDoesNotHideTheFirstSection) {
  const std::string bytes = "\xEF\xBB\xBF[SETTING]\nHint=0\n";
  IniFile ini(bytes);
  EXPECT_EQ(ini.ReadString("SETTING", "Hint", "1"), "0");
  ini.WriteString("SETTING", "Sort", "1");
  EXPECT_EQ(ini.ToBytes(), bytes + "Sort=1\n");
}

TEST(IniFile, LoadAndSaveGoThroughTheFileSystem) {
  MemoryFileSystem files;
  const NullCodec codec;  // a system whose own text is UTF-8
  files.AddFolder("/cfg");
  IniFile missing = IniFile::Load(files, codec, "/cfg/a.ini");
  EXPECT_EQ(missing.ToBytes(), "");
  missing.WriteString("S", "K", "v");
  EXPECT_EQ(missing.Save(files, codec, "/cfg/a.ini"), "");
  EXPECT_EQ(files.Contents("/cfg/a.ini"), "[S]\nK=v\n");

  EXPECT_NE(missing.Save(files, codec, "/nofolder/a.ini"), "");

  // Content that could not be read is never replaced by a file built without it.
  files.AddFile("/cfg/locked.ini", "[S]\nK=secret\n");
  files.SetUnreadable("/cfg/locked.ini");
  IniFile locked = IniFile::Load(files, codec, "/cfg/locked.ini");
  EXPECT_EQ(locked.ReadString("S", "K", "d"), "d");
  locked.WriteString("S", "Other", "1");
  EXPECT_NE(locked.Save(files, codec, "/cfg/locked.ini"), "");
  EXPECT_EQ(files.Contents("/cfg/locked.ini"), "[S]\nK=secret\n");
}

}  // namespace
}  // namespace solka
