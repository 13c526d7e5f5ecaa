// Files, folders and drives as the player sees them.
//
// Contract: called on the GUI thread only; every call returns promptly (no dialogs, no retries)
// and never throws. Paths are UTF-8 byte strings in the platform's own syntax (PathSyntax).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace solka {

// The characters that end a folder part of a path, and the one the player appends.
struct PathSyntax {
  char separator = '/';
  std::string delimiters = "/";
  // The longest path, its terminating zero included: in bytes, or in UTF-16 units where the
  // system counts those.
  std::size_t maxPath = 4096;
  // Whether the file system takes names that differ only in case for one name.
  bool namesIgnoreCase = false;
  // Whether the limit counts UTF-16 units (Windows) rather than bytes.
  bool maxPathInUtf16Units = false;
  // What ends the name of a program file (".exe" on Windows).
  std::string programSuffix = {};
  // Whether a name that begins with a dot is a hidden entry (the platform's convention).
  bool dotNamesHidden = true;
  bool IsDelimiter(char c) const { return delimiters.find(c) != std::string::npos; }
};

// Identity of a folder on its file system, so that a walk can tell when it meets a folder again.
struct FolderId {
  std::uint64_t device = 0;
  std::uint64_t node = 0;
  bool operator==(const FolderId&) const = default;
};

struct DirEntry {
  std::string name;
  bool isDirectory = false;  // after following a link: a link to a folder is a folder
  FolderId id;               // meaningful for folders only
};

enum class DriveType { Unknown, Fixed, Removable, CdRom };

// Whole contents of a file, or the system's reason why it could not be read.
struct ReadResult {
  bool ok = false;
  std::string bytes;
  std::string error;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual PathSyntax Syntax() const = 0;

  // `path` made absolute (a relative path starts at the current folder, as the user's shell
  // sees it) and normal: repeated delimiters, "." and ".." resolved by name, links not
  // followed. A path ending in a delimiter, ".", or ".." keeps one final delimiter. Empty stays
  // empty.
  virtual std::string FullPath(const std::string& path) = 0;

  // Entries of `folder` (which ends in a delimiter), in name order without regard to case,
  // hidden entries included, "." and ".." excluded. False when the folder cannot be read.
  virtual bool ListFolder(const std::string& folder, std::vector<DirEntry>& out) = 0;
  // Identity of the folder itself; nullopt when it cannot be reached.
  virtual std::optional<FolderId> IdOf(const std::string& folder) = 0;

  virtual bool FileExists(const std::string& path) = 0;
  virtual std::optional<std::uint64_t> FileSize(const std::string& path) = 0;
  virtual ReadResult ReadFile(const std::string& path) = 0;
  // Up to `count` bytes from `offset`; a short read is not an error.
  virtual ReadResult ReadRange(const std::string& path, std::uint64_t offset,
                               std::size_t count) = 0;
  // Replaces `path` whole or leaves the old file untouched (temporary file, flush, rename, flush
  // of the folder), removing what killed earlier writes left in that folder. A file the user
  // made read-only is refused and left as it is. Where the folder takes no new files but the
  // file may be written, the file is rewritten in place instead (not atomic, but it never
  // starts when the space is lacking). Returns the system's reason on failure, empty on
  // success.
  virtual std::string WriteFileAtomic(const std::string& path, const std::string& bytes) = 0;
  // True when the existing file `path` may be rewritten (WriteFileAtomic would not refuse it).
  virtual bool IsWritableFile(const std::string& path) = 0;
  // True when a file of the user's can be created in `folder`; never in the system's own
  // program folders, which belong to the package manager even where root may write.
  virtual bool IsWritableFolder(const std::string& folder) = 0;
  // Creates `folder` and its parents as needed (private to the user); false on failure.
  virtual bool MakeFolders(const std::string& folder) = 0;

  // Root of the drive (mount point) that holds `path`, ending in a delimiter.
  virtual std::string DriveOf(const std::string& path) = 0;
  // Root of the drive of the current folder, ending in a delimiter.
  virtual std::string CurrentDriveRoot() = 0;
  virtual DriveType TypeOfDrive(const std::string& root) = 0;
  // Makes sure what was written to the drive that holds `path` has reached the medium.
  virtual void FlushDrive(const std::string& path) = 0;

  // Temporary folder, ending in a delimiter.
  virtual std::string TempFolder() = 0;
  // The user's per-program settings folder, ending in a delimiter (not created here).
  virtual std::string UserConfigFolder() = 0;
  // The user's home folder, ending in a delimiter.
  virtual std::string HomeFolder() = 0;
  // The folder the desktop keeps the user's music in, ending in a delimiter; it may not exist.
  virtual std::string MusicFolder() = 0;
};

}  // namespace solka
