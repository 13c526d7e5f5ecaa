#include "platform/win32/win32_log.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "platform/win32/win32_files.h"

namespace solka {

namespace {

struct CloseHandleDeleter {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<void, CloseHandleDeleter>;

UniqueHandle OpenLog(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

bool Write(HANDLE file, std::int64_t offset, DWORD from, const std::string& bytes) {
  LARGE_INTEGER at{};
  at.QuadPart = offset;
  DWORD written = 0;
  return SetFilePointerEx(file, at, nullptr, from) &&
         WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// Keeps the newer half of the file (never more than half the limit), from its first whole
// line.
void DropOlderHalf(HANDLE file, std::uint64_t size, std::uint64_t limit) {
  const std::uint64_t keep = std::min(size / 2, limit / 2);
  std::string bytes(static_cast<std::size_t>(keep), '\0');
  LARGE_INTEGER from{};
  from.QuadPart = static_cast<std::int64_t>(size - keep);
  DWORD read = 0;
  if (!SetFilePointerEx(file, from, nullptr, FILE_BEGIN) ||
      !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    return;
  bytes.resize(read);
  const std::size_t lineEnd = bytes.find('\n');
  bytes.erase(0, lineEnd == std::string::npos ? bytes.size() : lineEnd + 1);
  if (Write(file, 0, FILE_BEGIN, bytes)) SetEndOfFile(file);
}

}  // namespace

bool AppendToLog(const std::string& path, const std::string& text, std::uint64_t limit) {
  const std::wstring wide = SystemPath(path);
  UniqueHandle file = OpenLog(wide);
  if (!file && GetLastError() == ERROR_PATH_NOT_FOUND &&
      Win32FileSystem().MakeFolders(path.substr(0, path.find_last_of("\\/") + 1)))
    file = OpenLog(wide);
  if (!file) return false;
  // The player and a second start may write at once: each holds the whole file while it
  // trims and appends, so no line lands inside another or in the part being dropped.
  OVERLAPPED whole{};
  if (!LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) return false;
  LARGE_INTEGER size{};
  GetFileSizeEx(file.get(), &size);
  if (static_cast<std::uint64_t>(size.QuadPart) + text.size() > limit)
    DropOlderHalf(file.get(), static_cast<std::uint64_t>(size.QuadPart), limit);
  const bool ok = Write(file.get(), 0, FILE_END, text);
  UnlockFileEx(file.get(), 0, MAXDWORD, MAXDWORD, &whole);
  return ok;
}

}  // namespace solka
