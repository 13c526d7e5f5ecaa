// Full paths, drives, flushing and the well-known folders of PosixFileSystem.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/posix/mount_table.h"
#include "platform/posix/posix_fd.h"
#include "platform/posix/posix_files.h"

namespace solka {

namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string EnvOrEmpty(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string CurrentFolder() {
  std::string buffer(256, '\0');
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size())) return buffer.c_str();
    if (errno != ERANGE || buffer.size() > (1u << 20)) return "/";
    buffer.resize(buffer.size() * 2);
  }
}

// The current folder as the user's shell names it: $PWD when it still leads here (it keeps the
// links the user went through, so ".." goes back the way they came), else the real path.
std::string ShellCurrentFolder() {
  const std::string shell = EnvOrEmpty("PWD");
  struct stat viaShell {
  }, here{};
  if (!shell.empty() && shell.front() == '/' && ::stat(shell.c_str(), &viaShell) == 0 &&
      ::stat(".", &here) == 0 && viaShell.st_dev == here.st_dev && viaShell.st_ino == here.st_ino)
    return shell;
  return CurrentFolder();
}

// Absolute and, where it exists, free of links, so that the mount prefix is the real one.
std::string Resolved(const std::string& path) {
  if (char* real = ::realpath(path.c_str(), nullptr)) {
    std::string out = real;
    std::free(real);
    return out;
  }
  if (!path.empty() && path.front() == '/') return path;
  return WithSlash(CurrentFolder()) + path;
}

std::vector<Mount> CurrentMounts(PosixFileSystem& files) {
  const ReadResult text = files.ReadFile("/proc/self/mountinfo");
  return text.ok ? ParseMountInfo(text.bytes) : std::vector<Mount>{};
}

bool SysfsFlagIsOne(PosixFileSystem& files, const std::string& path) {
  const ReadResult flag = files.ReadFile(path);
  return flag.ok && !flag.bytes.empty() && flag.bytes.front() == '1';
}

}  // namespace

std::string PosixFileSystem::FullPath(const std::string& path) {
  if (path.empty()) return {};
  std::filesystem::path full(path);
  if (full.is_relative()) full = std::filesystem::path(ShellCurrentFolder()) / full;
  return full.lexically_normal().native();
}

std::string PosixFileSystem::DriveOf(const std::string& path) {
  const std::vector<Mount> mounts = CurrentMounts(*this);
  const Mount* mount = MountHolding(mounts, Resolved(path));
  return mount ? WithSlash(mount->mountPoint) : "/";
}

std::string PosixFileSystem::CurrentDriveRoot() {
  return DriveOf(CurrentFolder());
}

DriveType PosixFileSystem::TypeOfDrive(const std::string& root) {
  const std::vector<Mount> mounts = CurrentMounts(*this);
  const Mount* mount = MountHolding(mounts, Resolved(root));
  if (!mount) return DriveType::Unknown;
  if (mount->fsType == "iso9660" || mount->fsType == "udf") return DriveType::CdRom;
  // A partition has no flag of its own; the disk that holds it (the link's parent) has.
  const std::string device =
      "/sys/dev/block/" + std::to_string(mount->major) + ":" + std::to_string(mount->minor) + "/";
  if (SysfsFlagIsOne(*this, device + "removable") || SysfsFlagIsOne(*this, device + "../removable"))
    return DriveType::Removable;
  return DriveType::Fixed;
}

void PosixFileSystem::FlushDrive(const std::string& path) {
  struct stat st {};
  const bool isFolder = ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  if (!isFolder) {
    Fd file(OpenNoInterrupt(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file) ::fsync(file.get());
  }
  const std::size_t slash = path.rfind('/');
  const std::string folder = isFolder                     ? path
                             : slash == std::string::npos ? "."
                             : slash == 0                 ? "/"
                                                          : path.substr(0, slash);
  Fd dir(OpenNoInterrupt(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!dir) return;
  ::fsync(dir.get());
  // A stick may be pulled right after: everything pending on it must be written out now.
  if (TypeOfDrive(DriveOf(folder)) == DriveType::Removable) ::syncfs(dir.get());
}

std::string PosixFileSystem::TempFolder() {
  const std::string tmp = EnvOrEmpty("TMPDIR");
  return tmp.empty() ? "/tmp/" : WithSlash(tmp);
}

namespace {

std::string HomeOrEmpty() {
  std::string home = EnvOrEmpty("HOME");
  if (home.empty()) {
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) home = user->pw_dir;
  }
  return home;
}

// The desktop's settings folder, ending in '/'; relative values are invalid and ignored.
std::string ConfigHome(const std::string& home) {
  const std::string config = EnvOrEmpty("XDG_CONFIG_HOME");
  if (!config.empty() && config.front() == '/') return WithSlash(config);
  return home.empty() ? std::string() : WithSlash(home) + ".config/";
}

// The value of `key` in a user-dirs.dirs file: a shell assignment of a quoted "$HOME/..." or
// absolute path. Anything else (a missing key, a relative path) gives empty.
std::string UserDir(std::string_view file, std::string_view key, const std::string& home) {
  while (!file.empty()) {
    std::string_view line = file.substr(0, file.find('\n'));
    file.remove_prefix(std::min(file.size(), line.size() + 1));
    line.remove_prefix(std::min(line.size(), line.find_first_not_of(" \t")));
    if (!line.starts_with(key) || line.substr(key.size(), 2) != "=\"") continue;
    std::string value;
    for (std::size_t i = key.size() + 2; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) ++i;
      value += line[i];
    }
    if (value == "$HOME" || value.starts_with("$HOME/"))
      value = home.empty() ? std::string() : home + value.substr(5);
    return value.starts_with('/') ? value : std::string();
  }
  return {};
}

}  // namespace

std::string PosixFileSystem::UserConfigFolder() {
  const std::string config = ConfigHome(HomeOrEmpty());
  return (config.empty() ? TempFolder() : config) + "solka/";
}

std::string PosixFileSystem::HomeFolder() {
  const std::string home = HomeOrEmpty();
  return home.empty() ? "/" : WithSlash(home);
}

std::string PosixFileSystem::MusicFolder() {
  const std::string home = HomeOrEmpty();
  const std::string config = ConfigHome(home);
  std::string music;
  if (!config.empty()) {
    if (ReadResult dirs = ReadFile(config + "user-dirs.dirs"); dirs.ok)
      music = UserDir(dirs.bytes, "XDG_MUSIC_DIR", home);
  }
  // The home folder itself there means "no music folder" to the desktop: not the whole home.
  if (music.empty() || WithSlash(music) == HomeFolder()) return HomeFolder() + "Music/";
  return WithSlash(music);
}

}  // namespace solka
