#include "platform/posix/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <signal.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/posix/posix_fd.h"

namespace solka {

namespace {

std::string ErrorText(int error) {
  return std::strerror(error);
}

FolderId IdFromStat(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

// Reads until end of file or `limit` bytes, from `offset` on.
bool ReadFrom(int fd, std::uint64_t offset, std::size_t limit, std::string& out) {
  char buffer[64 * 1024];
  while (out.size() < limit) {
    const std::size_t want = std::min(sizeof buffer, limit - out.size());
    const ssize_t got = ::pread(fd, buffer, want, static_cast<off_t>(offset + out.size()));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    out.append(buffer, static_cast<std::size_t>(got));
  }
  return true;
}

ReadResult ReadPart(const std::string& path, std::uint64_t offset, std::size_t count) {
  // Non-blocking, so that a pipe given as a file cannot hang the caller; it is refused below.
  Fd fd(OpenNoInterrupt(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd) return {false, {}, ErrorText(errno)};
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return {false, {}, ErrorText(errno)};
  if (S_ISDIR(st.st_mode)) return {false, {}, ErrorText(EISDIR)};
  if (!S_ISREG(st.st_mode)) return {false, {}, "Not a regular file"};
  ReadResult result;
  try {
    // /proc files report size 0, so the size is only a hint for the first allocation.
    if (st.st_size > 0 && static_cast<std::uint64_t>(st.st_size) > offset)
      result.bytes.reserve(std::min<std::uint64_t>(count, st.st_size - offset));
    if (!ReadFrom(fd.get(), offset, count, result.bytes)) return {false, {}, ErrorText(errno)};
  } catch (const std::exception&) {
    // A file larger than memory is a read failure like any other, not an end of the program.
    return {false, {}, ErrorText(ENOMEM)};
  }
  result.ok = true;
  return result;
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

constexpr std::string_view kTemporaryPrefix = ".solka-";

std::string TemporaryName(unsigned long pid, unsigned long number) {
  return std::string(kTemporaryPrefix) + std::to_string(pid) + "-" + std::to_string(number) +
         ".tmp";
}

// Temporary files of earlier writes that were killed before their rename: ours by name, and the
// process that wrote them is gone.
void RemoveLeftovers(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* e = ::readdir(dir)) {
    if (std::strncmp(e->d_name, kTemporaryPrefix.data(), kTemporaryPrefix.size()) != 0) continue;
    unsigned long pid = 0, number = 0;
    if (std::sscanf(e->d_name + kTemporaryPrefix.size(), "%lu-%lu", &pid, &number) != 2 ||
        TemporaryName(pid, number) != e->d_name || pid == 0 || pid > INT_MAX)
      continue;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
      ::unlinkat(::dirfd(dir), e->d_name, 0);
  }
  ::closedir(dir);
}

// A fresh file beside the target: a rename within one folder is atomic, across file systems not.
int CreateTemporaryBeside(const std::string& folder, std::string& temp) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = folder + "/" + TemporaryName(static_cast<unsigned long>(::getpid()), counter++);
    const int fd = OpenNoInterrupt(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Name order without regard to case, as the player's users know it from their file managers and
// from the drives of its original platform; names equal but for case keep byte order, so the
// result does not depend on the order readdir happened to give.
bool NameBefore(const DirEntry& a, const DirEntry& b) {
  // ASCII folding only, whatever locale the process runs in.
  static const locale_t c = ::newlocale(LC_CTYPE_MASK, "C", nullptr);
  const int order = c ? ::strcasecmp_l(a.name.c_str(), b.name.c_str(), c) : 0;
  return order != 0 ? order < 0 : a.name < b.name;
}

// The first eight bytes of a name, folded as NameBefore folds them, as one number: comparing
// these settles most pairs of a folder without touching the names again.
std::uint64_t FoldedPrefix(const std::string& name) {
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    unsigned char c = i < name.size() ? static_cast<unsigned char>(name[i]) : 0;
    if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
    key = key << 8 | c;
  }
  return key;
}

// Puts entries[first...] in name order. A scan sorts every folder of a drive, so the order is
// found on small keys and each entry moves once.
void SortByName(std::vector<DirEntry>& entries, std::size_t first) {
  std::vector<std::pair<std::uint64_t, std::size_t>> keys;
  keys.reserve(entries.size() - first);
  for (std::size_t i = first; i < entries.size(); ++i)
    keys.emplace_back(FoldedPrefix(entries[i].name), i);
  std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first
                              : NameBefore(entries[a.second], entries[b.second]);
  });
  std::vector<DirEntry> sorted;
  sorted.reserve(keys.size());
  for (const auto& key : keys) sorted.push_back(std::move(entries[key.second]));
  std::move(sorted.begin(), sorted.end(), entries.begin() + static_cast<std::ptrdiff_t>(first));
}

// A file the user marked read-only (no write permission bit at all) is theirs to keep, even
// where the process's privileges would allow writing it.
bool MayRewrite(const std::string& path, const struct stat& st) {
  return (st.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
}

// Rewrites an existing file where it is, for a folder that takes no new files. Not atomic, so
// the space is reserved first: a full disk fails before the old content is touched.
int RewriteInPlace(const std::string& path, const std::string& bytes) {
  Fd fd(OpenNoInterrupt(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW));
  if (!fd) return errno;
  const auto size = static_cast<off_t>(bytes.size());
  if (size > 0 && ::fallocate(fd.get(), 0, 0, size) != 0 && errno != EOPNOTSUPP && errno != ENOSYS)
    return errno;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put =
        ::pwrite(fd.get(), bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return errno;
    done += static_cast<std::size_t>(put);
  }
  if (::ftruncate(fd.get(), size) != 0 || ::fsync(fd.get()) != 0) return errno;
  if (::close(fd.release()) != 0) return errno;
  return 0;
}

}  // namespace

bool PosixFileSystem::ListFolder(const std::string& folder, std::vector<DirEntry>& out) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return false;
  const int dirFd = ::dirfd(dir);
  const std::size_t first = out.size();
  bool ok = true;
  for (;;) {
    errno = 0;
    const dirent* e = ::readdir(dir);
    if (!e) {
      ok = errno == 0;
      break;
    }
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    DirEntry entry;
    entry.name = e->d_name;
    // Plain files need no stat: that keeps a listing of thousands of tracks cheap. Folders need
    // their identity, links and unknown types need following.
    if (e->d_type == DT_DIR || e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
      struct stat st {};
      if (::fstatat(dirFd, e->d_name, &st, 0) == 0) {
        entry.isDirectory = S_ISDIR(st.st_mode);
        if (entry.isDirectory) entry.id = IdFromStat(st);
      } else {
        entry.isDirectory = e->d_type == DT_DIR;
      }
    }
    out.push_back(std::move(entry));
  }
  ::closedir(dir);
  SortByName(out, first);
  return ok;
}

std::optional<FolderId> PosixFileSystem::IdOf(const std::string& folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
  return IdFromStat(st);
}

bool PosixFileSystem::FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::optional<std::uint64_t> PosixFileSystem::FileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

ReadResult PosixFileSystem::ReadFile(const std::string& path) {
  return ReadPart(path, 0, std::string().max_size());
}

ReadResult PosixFileSystem::ReadRange(const std::string& path, std::uint64_t offset,
                                      std::size_t count) {
  return ReadPart(path, offset, count);
}

std::string PosixFileSystem::WriteFileAtomic(const std::string& path, const std::string& bytes) {
  // Replacing a link would cut it off from its target: write where it leads instead.
  std::string target = path;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  const bool hadOld = ::stat(target.c_str(), &st) == 0;
  if (hadOld && S_ISDIR(st.st_mode)) return ErrorText(EISDIR);
  // A rename needs only a writable folder; it must not overrule the file's own protection.
  if (hadOld && !MayRewrite(target, st)) return ErrorText(EACCES);

  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : target.substr(0, slash);
  RemoveLeftovers(folder);
  std::string temp;
  Fd fd(CreateTemporaryBeside(folder, temp));
  if (!fd) {
    const int error = errno;
    if (hadOld && (error == EACCES || error == EPERM)) {
      const int inPlace = RewriteInPlace(target, bytes);
      return inPlace == 0 ? std::string() : ErrorText(inPlace);
    }
    return ErrorText(error);
  }
  // The replacement keeps the permissions the user gave the old file.
  if (hadOld) ::fchmod(fd.get(), st.st_mode & 07777);
  int error = 0;
  if (!WriteAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) error = errno;
  if (::close(fd.release()) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return ErrorText(error);
  }
  // The new name must reach the disk too. Some file systems refuse to sync a folder; the file
  // is in place by now, so that is no failure of the write.
  Fd dir(OpenNoInterrupt(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir) ::fsync(dir.get());
  return {};
}

bool PosixFileSystem::IsWritableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && MayRewrite(path, st);
}

namespace {

// The system's program folders belong to the package manager, even for root who may write
// there: a settings file left in /usr/bin would outlive the package.
bool IsSystemProgramFolder(std::string folder) {
  static constexpr std::string_view kSystemFolders[] = {
      "/usr/bin/",        "/usr/sbin/",        "/usr/games/", "/usr/local/bin/",
      "/usr/local/sbin/", "/usr/local/games/", "/bin/",       "/sbin/"};
  if (folder.empty() || folder.back() != '/') folder += '/';
  return std::find(std::begin(kSystemFolders), std::end(kSystemFolders), folder) !=
         std::end(kSystemFolders);
}

}  // namespace

bool PosixFileSystem::IsWritableFolder(const std::string& folder) {
  struct stat st {};
  return !IsSystemProgramFolder(folder) && ::stat(folder.c_str(), &st) == 0 &&
         S_ISDIR(st.st_mode) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool PosixFileSystem::MakeFolders(const std::string& folder) {
  if (folder.empty()) return false;
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1))
    ::mkdir(folder.substr(0, slash).c_str(), 0700);
  ::mkdir(folder.c_str(), 0700);
  struct stat st {};
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace solka
