// Files, folders and drives on a POSIX system with Linux's /proc and /sys.
//
// Listings are in name order (case-insensitive), not the hash order readdir gives. A folder's
// identity is (st_dev, st_ino) after following links, so a walk can tell a folder it has entered
// before. Drives are mount points; their type comes from the file system type and the block
// device's removable flag.
#pragma once

#include "platform/api/files.h"

namespace solka {

class PosixFileSystem : public FileSystem {
 public:
  PathSyntax Syntax() const override { return {}; }
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
  std::string HomeFolder() override;
  // XDG_MUSIC_DIR of the user's user-dirs.dirs; else ~/Music.
  std::string MusicFolder() override;
};

}  // namespace solka
