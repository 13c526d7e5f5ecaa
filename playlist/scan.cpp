#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/tdodedev.h"
#include "base/paths.h"
#include "playlist/media_types.h"

namespace solka {

namespace {

bool IsKnown(const FolderId& id) {
  return id != FolderId{};
}

struct FolderIdLess {
  bool operator()(const FolderId& a, const FolderId& b) const {
    return std::tie(a.device, a.node) < std::tie(b.device, b.node);
  }
};

// One folder being listed: its entries and how far the walk has got through them.
struct OpenFolder {
  std::string path;  // ends in a delimiter
  std::vector<DirEntry> entries;
  std::size_t next = 0;
};

// A depth-first, pre-order walk: a sub-folder's files stand where the sub-folder was met among
// its parent's entries. Kept on an explicit stack so a deep tree cannot exhaust the call stack.
class FolderWalk {
 public:
  // `referenceExtension` is the FileType "2" scan's type; the first file found sets it when empty.
  FolderWalk(FileSystem& files, const SettingTexts& settings, std::string& referenceExtension,
             bool descend, const std::string& named)
      : files_(files),
        settings_(settings),
        referenceExtension_(referenceExtension),
        syntax_(files_.Syntax()),
        descend_(descend),
        named_(named) {}

  std::vector<std::string> Run(const std::string& root) {
    if (auto id = files_.IdOf(root)) {
      MarkEntered(*id);
      // A drive never holds another drive: a scan of a mount point keeps to its file system
      // (no /proc or /sys under "/", no other disk mounted below).
      const auto drive = files_.IdOf(files_.DriveOf(root));
      if (drive && *drive == *id) drive_ = id->device;
    }
    Open(root);
    while (!stack_.empty()) {
      OpenFolder& top = stack_.back();
      if (top.next == top.entries.size()) {
        stack_.pop_back();
        continue;
      }
      const DirEntry& entry = top.entries[top.next++];
      // Hidden entries are the system's and the programs' own (caches, the trash), not music,
      // unless the user named one.
      if (IsHiddenName(entry.name, syntax_) && top.path + entry.name != named_) continue;
      if (entry.isDirectory) {
        // A folder reached again (a link back into the tree) is not walked twice, so a link
        // loop ends and a linked folder contributes its files once.
        if (descend_ && OnDrive(entry.id) && MarkEntered(entry.id))
          Open(top.path + entry.name + syntax_.separator);
      } else {
        std::string path = top.path + entry.name;
        if (AcceptedByScan(ExtensionOf(path, syntax_), settings_, referenceExtension_))
          found_.push_back(std::move(path));
      }
    }
    return std::move(found_);
  }

 private:
  // False when the folder was entered before during this walk; unknown identities are let
  // through, as the file system gave nothing to compare.
  bool MarkEntered(const FolderId& id) { return !IsKnown(id) || entered_.insert(id).second; }

  bool OnDrive(const FolderId& id) const { return !drive_ || !IsKnown(id) || id.device == *drive_; }

  // Invalidates references into stack_.
  void Open(std::string folder) {
    OpenFolder level;
    level.path = std::move(folder);
    // An unreadable folder contributes whatever was listed before the failure, often nothing.
    files_.ListFolder(level.path, level.entries);
    if (!level.entries.empty()) stack_.push_back(std::move(level));
  }

  FileSystem& files_;
  const SettingTexts& settings_;
  std::string& referenceExtension_;
  PathSyntax syntax_;
  bool descend_;
  const std::string& named_;
  std::optional<std::uint64_t> drive_;  // device of the drive being scanned whole
  std::set<FolderId, FolderIdLess> entered_;
  std::vector<OpenFolder> stack_;
  std::vector<std::string> found_;
};

}  // namespace

void TDODEDEV::ScanFolder(const std::string& folder, const std::string& named) {
  Screen& screen = platform_.screen;
  screen.SetWaitCursor(true);
  // Callers hand a folder ending in a delimiter; a missing one is added rather than listing
  // siblings that share the name as a prefix. An empty path names no folder.
  if (!folder.empty()) {
    FolderWalk walk(platform_.files, settings_, list_.ReferenceExtension, !list_.NoSubFolderScan,
                    named);
    list_.PlayList.AddAll(walk.Run(WithDelimiter(folder, platform_.files.Syntax())));
  }
  list_.NoSubFolderScan = false;
  screen.SetWaitCursor(false);
}

}  // namespace solka
