#include "platform/win32/win32_files.h"

#include <windows.h>
// After windows.h:
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "platform/win32/wide_text.h"

namespace solka {

namespace {

constexpr std::wstring_view kTemporaryPrefix = L".solka-save-";

// Closes a file handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (*this) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  explicit operator bool() const { return h_ && h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

std::string LastError() {
  return SystemMessage(GetLastError());
}

DWORD Attributes(const std::string& path) {
  return GetFileAttributesW(SystemPath(path).c_str());
}

bool IsFolderAttribute(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Opens a folder itself (not its contents), following links, for its identity.
HANDLE OpenFolder(const std::wstring& folder) {
  return CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

std::optional<FolderId> IdOfHandle(HANDLE h) {
  BY_HANDLE_FILE_INFORMATION info{};
  // A file opens with the same flags as a folder; only a folder has a folder's identity.
  if (!GetFileInformationByHandle(h, &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return FolderId{info.dwVolumeSerialNumber,
                  (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// Name order without regard to case, as Explorer and NTFS listings show it; names equal but for
// case keep ordinal order, so the result never depends on the order the system gave.
bool NameBefore(const std::wstring& a, const std::wstring& b) {
  const int folded = CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                          static_cast<int>(b.size()), TRUE);
  if (folded != CSTR_EQUAL) return folded == CSTR_LESS_THAN;
  return a < b;
}

std::string WithFinalDelimiter(std::string path) {
  if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '\\';
  return path;
}

bool ProcessIsAlive(unsigned long pid) {
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;  // someone else's live process
  const bool alive = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return alive;
}

// Temporary files of writes that a crash or a power cut interrupted: the writer is gone.
void RemoveLeftovers(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  const HANDLE find =
      FindFirstFileW((folder + L"\\" + std::wstring(kTemporaryPrefix) + L"*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    unsigned long pid = 0, number = 0;
    if (std::swscanf(found.cFileName + kTemporaryPrefix.size(), L"%lu-%lu", &pid, &number) == 2 &&
        pid != GetCurrentProcessId() && !ProcessIsAlive(pid))
      DeleteFileW((folder + L"\\" + found.cFileName).c_str());
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 24));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return true;
}

// Rewrites a file in place where its folder takes no new file: never started when the drive
// lacks the space, since the file is grown to its new size before a byte is written.
std::string RewriteInPlace(const std::wstring& target, const std::string& bytes) {
  Handle file(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return LastError();
  LARGE_INTEGER size{};
  size.QuadPart = static_cast<LONGLONG>(bytes.size());
  if (!SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get()))
    return LastError();
  size.QuadPart = 0;
  if (!SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN) || !WriteAll(file.get(), bytes) ||
      !FlushFileBuffers(file.get()))
    return LastError();
  return {};
}

ReadResult ReadPart(const std::string& path, std::uint64_t offset, std::size_t count) {
  ReadResult result;
  Handle file(CreateFileW(SystemPath(path).c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) {
    result.error = LastError();
    return result;
  }
  LARGE_INTEGER start{};
  start.QuadPart = static_cast<LONGLONG>(offset);
  if (offset && !SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) {
    result.error = LastError();
    return result;
  }
  char buffer[65536];
  while (result.bytes.size() < count) {
    const DWORD want = static_cast<DWORD>(std::min(sizeof buffer, count - result.bytes.size()));
    DWORD got = 0;
    if (!::ReadFile(file.get(), buffer, want, &got, nullptr)) {
      result.error = LastError();
      return result;
    }
    if (got == 0) break;
    result.bytes.append(buffer, got);
  }
  result.ok = true;
  return result;
}

}  // namespace

std::wstring SystemPath(const std::string& path) {
  std::wstring wide = Widen(path);
  if (wide.size() < MAX_PATH - 12 || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  // The long form takes no "." or ".." and no forward slashes: make it full first.
  const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (length == 0) return wide;
  std::wstring full(length, L'\0');
  full.resize(GetFullPathNameW(wide.c_str(), length, full.data(), nullptr));
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::string Win32FileSystem::FullPath(const std::string& path) {
  if (path.empty()) return {};
  const std::wstring wide = Widen(path);
  const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (length == 0) return path;
  std::wstring full(length, L'\0');
  full.resize(GetFullPathNameW(wide.c_str(), length, full.data(), nullptr));
  // "D:\music\.." is a folder the user named as one: it keeps its final delimiter.
  const std::size_t cut = wide.find_last_of(L"\\/");
  const std::wstring last = cut == std::wstring::npos ? wide : wide.substr(cut + 1);
  const bool folderForm =
      last.empty() || last == L"." || last == L".." || (wide.size() == 2 && wide[1] == L':');
  std::string result = Narrow(full);
  return folderForm ? WithFinalDelimiter(result) : result;
}

bool Win32FileSystem::ListFolder(const std::string& folder, std::vector<DirEntry>& out) {
  const std::wstring base = SystemPath(WithFinalDelimiter(folder));
  WIN32_FIND_DATAW found{};
  const HANDLE find = FindFirstFileExW((base + L"*").c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  std::vector<std::pair<std::wstring, DirEntry>> entries;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    DirEntry entry;
    entry.name = Narrow(name);
    entry.isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (entry.isDirectory) {
      Handle h(OpenFolder(base + name));
      // A junction whose target is gone is no folder the walk can enter.
      const std::optional<FolderId> id = h ? IdOfHandle(h.get()) : std::nullopt;
      if (id) entry.id = *id;
      entry.isDirectory = id.has_value();
    }
    entries.emplace_back(name, std::move(entry));
  } while (FindNextFileW(find, &found));
  FindClose(find);
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return NameBefore(a.first, b.first); });
  for (auto& entry : entries) out.push_back(std::move(entry.second));
  return true;
}

std::optional<FolderId> Win32FileSystem::IdOf(const std::string& folder) {
  Handle h(OpenFolder(SystemPath(folder)));
  return h ? IdOfHandle(h.get()) : std::nullopt;
}

bool Win32FileSystem::FileExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::uint64_t> Win32FileSystem::FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

ReadResult Win32FileSystem::ReadFile(const std::string& path) {
  return ReadPart(path, 0, std::string().max_size());
}

ReadResult Win32FileSystem::ReadRange(const std::string& path, std::uint64_t offset,
                                      std::size_t count) {
  return ReadPart(path, offset, count);
}

std::string Win32FileSystem::WriteFileAtomic(const std::string& path, const std::string& bytes) {
  const std::wstring target = SystemPath(FullPath(path));
  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool hadOld = attributes != INVALID_FILE_ATTRIBUTES;
  if (hadOld && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return SystemMessage(ERROR_ACCESS_DENIED);
  // A replacement needs only a writable folder; it must not overrule the file's own protection.
  if (hadOld && !IsWritableFile(path)) return SystemMessage(ERROR_ACCESS_DENIED);

  const std::wstring folder = target.substr(0, target.find_last_of(L"\\/"));
  RemoveLeftovers(folder);
  static std::atomic<unsigned> counter{0};
  wchar_t name[64];
  std::swprintf(name, 64, L"%ls%lu-%u.tmp", kTemporaryPrefix.data(), GetCurrentProcessId(),
                counter++);
  const std::wstring temp = folder + L"\\" + name;
  std::string error;
  {
    Handle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      const DWORD code = GetLastError();
      if (hadOld && code == ERROR_ACCESS_DENIED) return RewriteInPlace(target, bytes);
      return SystemMessage(code);
    }
    if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) error = LastError();
  }
  // ReplaceFileW keeps the old file's attributes, security and alternate streams; a new file
  // (or a volume where replacing is not supported) takes the plain rename.
  if (error.empty() && !(hadOld && ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                                                REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)))
    if (!MoveFileExW(temp.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      error = LastError();
  if (!error.empty()) DeleteFileW(temp.c_str());
  return error;
}

bool Win32FileSystem::IsWritableFile(const std::string& path) {
  const DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
    return false;
  // The access rights decide the rest; opening for writing changes nothing.
  Handle file(CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

namespace {

// `folder` (full, with its final delimiter) is `root` or lies below it, in any case.
bool IsWithin(const std::wstring& folder, std::wstring root) {
  if (root.empty()) return false;
  if (root.back() != L'\\') root += L'\\';
  return folder.size() >= root.size() &&
         CompareStringOrdinal(folder.c_str(), static_cast<int>(root.size()), root.c_str(),
                              static_cast<int>(root.size()), TRUE) == CSTR_EQUAL;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
  CoTaskMemFree(path);
  return folder;
}

// The folder the installer put the program into, as its uninstall entry records it.
std::wstring InstalledFolder() {
  wchar_t path[MAX_PATH + 1] = L"";
  DWORD size = sizeof path;
  if (RegGetValueW(HKEY_LOCAL_MACHINE,
                   L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SOLKA",
                   L"InstallLocation", RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, path,
                   &size) != ERROR_SUCCESS)
    return {};
  return path;
}

// The system's program folders and the installer's own belong to the system and the
// installer, even for an administrator (or Wine) who may write there: a settings file in
// Program Files would be every user's and would outlive the uninstall.
bool IsProgramFolder(const std::wstring& full) {
  return IsWithin(full, KnownFolder(FOLDERID_ProgramFiles)) ||
         IsWithin(full, KnownFolder(FOLDERID_ProgramFilesX86)) ||
         IsWithin(full, KnownFolder(FOLDERID_Windows)) || IsWithin(full, InstalledFolder());
}

}  // namespace

bool Win32FileSystem::IsWritableFolder(const std::string& folder) {
  if (!IsFolderAttribute(Attributes(folder)) ||
      IsProgramFolder(Widen(WithFinalDelimiter(FullPath(folder)))))
    return false;
  // Only trying tells: access rights, a write-protected medium, a read-only share.
  wchar_t name[64];
  std::swprintf(name, 64, L"%lsprobe-%lu.tmp", kTemporaryPrefix.data(), GetCurrentProcessId());
  Handle probe(CreateFileW((SystemPath(WithFinalDelimiter(folder)) + name).c_str(), GENERIC_WRITE,
                           0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return static_cast<bool>(probe);
}

bool Win32FileSystem::MakeFolders(const std::string& folder) {
  const std::string full = WithFinalDelimiter(FullPath(folder));
  // Each part from the first below the root; existing parts are fine.
  std::size_t start = full.rfind("\\\\", 0) == 0 ? full.find('\\', full.find('\\', 2) + 1) + 1
                                                 : full.find('\\') + 1;
  for (std::size_t cut = full.find('\\', start); cut != std::string::npos && start != 0;
       cut = full.find('\\', cut + 1)) {
    const std::string part = full.substr(0, cut);
    if (!CreateDirectoryW(SystemPath(part).c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
  }
  return IsFolderAttribute(Attributes(full));
}

std::string Win32FileSystem::DriveOf(const std::string& path) {
  const std::wstring wide = Widen(FullPath(path));
  std::wstring root(wide.size() + 2, L'\0');
  if (!GetVolumePathNameW(wide.c_str(), root.data(), static_cast<DWORD>(root.size())))
    return WithFinalDelimiter(Narrow(wide.substr(0, 2)));
  root.resize(wcslen(root.c_str()));
  return WithFinalDelimiter(Narrow(root));
}

std::string Win32FileSystem::CurrentDriveRoot() {
  const DWORD length = GetCurrentDirectoryW(0, nullptr);
  std::wstring current(length, L'\0');
  current.resize(GetCurrentDirectoryW(length, current.data()));
  return DriveOf(Narrow(current));
}

DriveType Win32FileSystem::TypeOfDrive(const std::string& root) {
  switch (GetDriveTypeW(Widen(WithFinalDelimiter(root)).c_str())) {
    case DRIVE_CDROM:
      return DriveType::CdRom;
    case DRIVE_REMOVABLE:
      return DriveType::Removable;
    case DRIVE_FIXED:
    case DRIVE_REMOTE:
    case DRIVE_RAMDISK:
      return DriveType::Fixed;
    default:
      return DriveType::Unknown;
  }
}

void Win32FileSystem::FlushDrive(const std::string& path) {
  // What the system still caches of this file goes to the medium before the user pulls it.
  Handle file(CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) FlushFileBuffers(file.get());
}

std::string Win32FileSystem::TempFolder() {
  wchar_t buffer[MAX_PATH + 2];
  const DWORD length = GetTempPathW(MAX_PATH + 2, buffer);
  return WithFinalDelimiter(length ? Narrow(buffer, length) : std::string("C:\\"));
}

namespace {
// A known folder of the user's with a final delimiter; empty when the system names none.
std::string KnownFolderPath(REFKNOWNFOLDERID id) {
  const std::wstring folder = KnownFolder(id);
  return folder.empty() ? std::string() : WithFinalDelimiter(Narrow(folder.c_str()));
}
}  // namespace

std::string Win32FileSystem::UserConfigFolder() {
  const std::string folder = KnownFolderPath(FOLDERID_RoamingAppData);
  return (folder.empty() ? TempFolder() : folder) + "solka\\";
}

std::string Win32FileSystem::HomeFolder() {
  const std::string folder = KnownFolderPath(FOLDERID_Profile);
  return folder.empty() ? TempFolder() : folder;
}

std::string Win32FileSystem::MusicFolder() {
  const std::string folder = KnownFolderPath(FOLDERID_Music);
  return folder.empty() ? HomeFolder() + "Music\\" : folder;
}

}  // namespace solka
