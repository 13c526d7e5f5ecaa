#include "platform/memory/memory_files.h"

#include <algorithm>

namespace solka {

namespace {
std::string ParentOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}
std::string NameOf(const std::string& path) {
  return path.substr(path.find_last_of('/') + 1);
}
}  // namespace

MemoryFileSystem::MemoryFileSystem() {
  EnsureFolder("/");
}

std::string MemoryFileSystem::Normal(const std::string& folder) {
  std::string f = folder;
  while (f.size() > 1 && f.back() == '/') f.pop_back();
  return f.empty() ? "/" : f;
}

MemoryFileSystem::Folder& MemoryFileSystem::EnsureFolder(const std::string& folder) {
  const std::string f = Normal(folder);
  auto it = folders_.find(f);
  if (it != folders_.end()) return it->second;
  if (f != "/") {
    EnsureFolder(ParentOf(f));
    AddEntry(ParentOf(f), NameOf(f));
  }
  Folder& created = folders_[f];
  created.id = nextId_++;
  return created;
}

void MemoryFileSystem::AddEntry(const std::string& parent, const std::string& name) {
  auto& order = folders_[Normal(parent)].order;
  if (std::find(order.begin(), order.end(), name) == order.end()) order.push_back(name);
}

void MemoryFileSystem::AddFile(const std::string& path, std::string bytes) {
  EnsureFolder(ParentOf(path));
  AddEntry(ParentOf(path), NameOf(path));
  files_[path] = std::move(bytes);
}

void MemoryFileSystem::AddFolder(const std::string& folder) {
  EnsureFolder(folder);
}

void MemoryFileSystem::AddFolderLink(const std::string& path, const std::string& target) {
  EnsureFolder(ParentOf(path));
  AddEntry(ParentOf(path), NameOf(path));
  links_[Normal(path)] = Normal(target);
}

void MemoryFileSystem::Remove(const std::string& path) {
  files_.erase(path);
  folders_.erase(Normal(path));
  auto& order = folders_[Normal(ParentOf(path))].order;
  order.erase(std::remove(order.begin(), order.end(), NameOf(path)), order.end());
}

std::string MemoryFileSystem::FullPath(const std::string& path) {
  if (path.empty()) return {};
  // The model's paths are POSIX paths on every host, so no host path class may touch them.
  const std::string given = path.front() == '/' ? path : current_ + "/" + path;
  std::vector<std::string> parts;
  bool finalDelimiter = false;
  for (std::size_t start = 0; start <= given.size();) {
    const std::size_t end = std::min(given.find('/', start), given.size());
    const std::string part = given.substr(start, end - start);
    finalDelimiter = part.empty() || part == "." || part == "..";
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string full;
  for (const std::string& part : parts) full += "/" + part;
  if (full.empty() || finalDelimiter) full += '/';
  return full;
}

bool MemoryFileSystem::ListFolder(const std::string& folder, std::vector<DirEntry>& out) {
  ++listCalls_;
  std::string f = Normal(folder);
  if (auto l = links_.find(f); l != links_.end()) f = l->second;
  auto it = folders_.find(f);
  if (it == folders_.end() || unreadable_.count(f)) return false;
  const std::string prefix = f == "/" ? "/" : f + "/";
  for (const std::string& name : it->second.order) {
    const std::string full = prefix + name;
    DirEntry e;
    e.name = name;
    if (auto l = links_.find(full); l != links_.end()) {
      auto target = folders_.find(l->second);
      e.isDirectory = target != folders_.end();
      if (e.isDirectory) e.id = {DeviceOf(l->second), target->second.id};
    } else if (auto sub = folders_.find(full); sub != folders_.end()) {
      e.isDirectory = true;
      e.id = {DeviceOf(full), sub->second.id};
    }
    out.push_back(std::move(e));
  }
  return true;
}

std::optional<FolderId> MemoryFileSystem::IdOf(const std::string& folder) {
  std::string f = Normal(folder);
  if (auto l = links_.find(f); l != links_.end()) f = l->second;
  auto it = folders_.find(f);
  if (it == folders_.end()) return std::nullopt;
  return FolderId{DeviceOf(f), it->second.id};
}

std::uint64_t MemoryFileSystem::DeviceOf(const std::string& folder) {
  const auto drive = drives_.find(DriveOf(Normal(folder) == "/" ? "/" : Normal(folder) + "/"));
  return drive == drives_.end() ? 1 : 2 + std::distance(drives_.begin(), drive);
}

bool MemoryFileSystem::FileExists(const std::string& path) {
  return files_.count(path) != 0;
}

std::optional<std::uint64_t> MemoryFileSystem::FileSize(const std::string& path) {
  auto it = files_.find(path);
  if (it == files_.end()) return std::nullopt;
  return it->second.size();
}

ReadResult MemoryFileSystem::ReadFile(const std::string& path) {
  auto it = files_.find(path);
  if (it == files_.end()) return {false, {}, "No such file or directory"};
  if (unreadable_.count(path)) return {false, {}, "Permission denied"};
  return {true, it->second, {}};
}

ReadResult MemoryFileSystem::ReadRange(const std::string& path, std::uint64_t offset,
                                       std::size_t count) {
  ReadResult whole = ReadFile(path);
  if (!whole.ok) return whole;
  if (offset >= whole.bytes.size()) return {true, {}, {}};
  return {true, whole.bytes.substr(offset, count), {}};
}

std::string MemoryFileSystem::WriteFileAtomic(const std::string& path, const std::string& bytes) {
  if (!folders_.count(Normal(ParentOf(path)))) return "No such file or directory";
  // A read-only folder still lets an existing, writable file be rewritten in place.
  if (HasFile(path) ? !IsWritableFile(path) : readOnly_.count(Normal(ParentOf(path))) != 0)
    return "Permission denied";
  AddFile(path, bytes);
  return {};
}

bool MemoryFileSystem::IsWritableFile(const std::string& path) {
  return HasFile(path) && !readOnly_.count(path) && !unreadable_.count(path);
}

bool MemoryFileSystem::IsWritableFolder(const std::string& folder) {
  return folders_.count(Normal(folder)) && !readOnly_.count(Normal(folder));
}

bool MemoryFileSystem::MakeFolders(const std::string& folder) {
  EnsureFolder(folder);
  return true;
}

std::string MemoryFileSystem::DriveOf(const std::string& path) {
  // The longest drive root that holds the path; "/" otherwise.
  std::string best = "/";
  for (const auto& [root, type] : drives_)
    if (path.compare(0, root.size(), root) == 0 && root.size() > best.size()) best = root;
  return best;
}

DriveType MemoryFileSystem::TypeOfDrive(const std::string& root) {
  auto it = drives_.find(root);
  return it == drives_.end() ? DriveType::Fixed : it->second;
}

}  // namespace solka
