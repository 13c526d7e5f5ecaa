// Files, folders and drives on Windows, through the wide-character calls: UTF-8 paths inside,
// UTF-16 at the boundary, `\` and `/` and the drive colon as delimiters, names compared without
// regard to case, and paths beyond MAX_PATH reached through the `\\?\` form.
//
// Listings come in name order (case-insensitive). A folder's identity is its volume serial
// number and file index, after following junctions and links. Drives are volume roots ("C:\",
// a mounted folder, "\\server\share\"); their type is GetDriveTypeW's.
#pragma once

#include <string>

#include "platform/api/files.h"

namespace solka {

class Win32FileSystem : public FileSystem {
 public:
  PathSyntax Syntax() const override { return {'\\', "\\/:", 32767, true, true, ".exe", false}; }
  std::string FullPath(const std::string& path) override;
  bool ListFolder(const std::string& folder, std::vector<DirEntry>& out) override;
  std::optional<FolderId> IdOf(const std::string& folder) override;
  bool FileExists(const std::string& path) override;
  std::optional<std::uint64_t> FileSize(const std::string& path) override;
  ReadResult ReadFile(const std::string& path) override;
  ReadResult ReadRange(const std::string& path, std::uint64_t offset, std::size_t count) override;
  std::string WriteFileAtomic(const std::string& path, const std::string& bytes) override;
  bool IsWritableFile(const std::string& path) override;
  bool IsWritableFolder(const std::string& folder) override;
  bool MakeFolders(const std::string& folder) override;
  std::string DriveOf(const std::string& path) override;
  std::string CurrentDriveRoot() override;
  DriveType TypeOfDrive(const std::string& root) override;
  void FlushDrive(const std::string& path) override;
  std::string TempFolder() override;
  std::string UserConfigFolder() override;
  std::string HomeFolder() override;   // the profile folder
  std::string MusicFolder() override;  // the Music known folder
};

// `path` (UTF-8) as the wide-character calls take it: a full path too long for MAX_PATH gets
// the `\\?\` (or `\\?\UNC\`) form, which lifts the limit.
std::wstring SystemPath(const std::string& path);

}  // namespace solka
