// An in-memory file system with scripted folders, files and drives. Paths use '/' and folders
// list their entries in the order they were created (or as a test reorders them).
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/api/files.h"

namespace solka {

class MemoryFileSystem : public FileSystem {
 public:
  MemoryFileSystem();

  // Creates the file (and its folders) with the given bytes.
  void AddFile(const std::string& path, std::string bytes = {});
  void AddFolder(const std::string& folder);
  // A folder entry that leads back to `target` (a link): listed as a folder with target's id.
  void AddFolderLink(const std::string& path, const std::string& target);
  void Remove(const std::string& path);
  bool HasFile(const std::string& path) const { return files_.count(path) != 0; }
  const std::string& Contents(const std::string& path) const { return files_.at(path); }
  void SetUnreadable(const std::string& path) { unreadable_.insert(path); }
  void SetReadOnlyFolder(const std::string& folder) { readOnly_.insert(Normal(folder)); }
  void SetReadOnlyFile(const std::string& path) { readOnly_.insert(path); }
  // A drive (mount point, ending in '/'): a file system of its own, so its folders have a
  // device number apart from the rest.
  void SetDrive(const std::string& root, DriveType type) { drives_[root] = type; }
  void SetTempFolder(std::string folder) { temp_ = std::move(folder); }
  void SetConfigFolder(std::string folder) { config_ = std::move(folder); }
  void SetHomeFolder(std::string folder) { home_ = std::move(folder); }
  void SetMusicFolder(std::string folder) { music_ = std::move(folder); }
  void SetCurrentDriveRoot(std::string root) { currentRoot_ = std::move(root); }
  // The folder relative paths start from (absolute, ending in '/').
  void SetCurrentFolder(std::string folder) { current_ = std::move(folder); }
  const std::vector<std::string>& FlushedDrives() const { return flushed_; }
  int ListCalls() const { return listCalls_; }

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
  std::string CurrentDriveRoot() override { return currentRoot_; }
  DriveType TypeOfDrive(const std::string& root) override;
  void FlushDrive(const std::string& path) override { flushed_.push_back(DriveOf(path)); }
  std::string TempFolder() override { return temp_; }
  std::string UserConfigFolder() override { return config_; }
  std::string HomeFolder() override { return home_; }
  std::string MusicFolder() override { return music_; }

 private:
  struct Folder {
    std::uint64_t id = 0;
    std::vector<std::string> order;  // entry names in listing order
  };
  static std::string Normal(const std::string& folder);  // without trailing '/', "/" for root
  Folder& EnsureFolder(const std::string& folder);
  std::uint64_t DeviceOf(const std::string& folder);
  void AddEntry(const std::string& parent, const std::string& name);

  std::map<std::string, std::string> files_;
  std::map<std::string, Folder> folders_;
  std::map<std::string, std::string> links_;  // link path -> target folder
  std::set<std::string> unreadable_, readOnly_;
  std::map<std::string, DriveType> drives_;
  std::vector<std::string> flushed_;
  std::string temp_ = "/tmp/", config_ = "/home/user/.config/solka/", currentRoot_ = "/",
              current_ = "/", home_ = "/home/user/", music_ = "/home/user/Music/";
  std::uint64_t nextId_ = 1;
  int listCalls_ = 0;
};

}  // namespace solka
