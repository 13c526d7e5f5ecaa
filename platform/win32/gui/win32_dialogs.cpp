#include "platform/win32/gui/win32_dialogs.h"

#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "platform/win32/wide_text.h"

// The interface's name, not the system's macro for its wide call.
#undef MessageBox

namespace solka {

namespace {

// The window of the modal dialog that asks, so that the shell's dialog stays above it.
HWND ActiveOwner() {
  HWND active = GetActiveWindow();
  return active && IsWindowEnabled(active) ? active : nullptr;
}

// "description|pattern|..." as the file dialogs take it: zero-separated, two zeros at the end.
std::wstring FilterFrom(const std::string& filter) {
  std::wstring wide = Widen(filter);
  for (wchar_t& c : wide)
    if (c == L'|') c = L'\0';
  wide.push_back(L'\0');
  wide.push_back(L'\0');
  return wide;
}

// Long paths fit: the buffer is far longer than MAX_PATH.
constexpr DWORD kPathBuffer = 32768;

}  // namespace

void Win32Dialogs::MessageBox(const std::string& text, const std::string& caption) {
  // No owner window: the box shows even while the main window is hidden in the tray.
  MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), MB_OK | MB_TASKMODAL);
}

std::optional<std::string> Win32Dialogs::SaveFile(const SaveFileRequest& request) {
  std::vector<wchar_t> path(kPathBuffer, L'\0');
  const std::wstring filter = FilterFrom(request.filter);
  const std::wstring folder = Widen(request.initialFolder);
  std::wstring extension = Widen(request.defaultExtension);
  if (!extension.empty() && extension.front() == L'.') extension.erase(0, 1);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = ActiveOwner();
  dialog.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathBuffer;
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  // Saving a list replaces a file of that name without asking first.
  dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;
  return Narrow(path.data());
}

std::optional<std::string> Win32Dialogs::OpenFile() {
  std::vector<wchar_t> path(kPathBuffer, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = ActiveOwner();
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathBuffer;
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  return Narrow(path.data());
}

namespace {
// Opens the browser at the folder handed in its data, once it is up.
int CALLBACK ShowStartFolder(HWND browser, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED && start) SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, start);
  return 0;
}
}  // namespace

std::optional<std::string> Win32Dialogs::BrowseForFolder(const std::string& title,
                                                         const std::string& start) {
  const std::wstring wideTitle = Widen(title);
  const std::wstring wideStart = Widen(start);
  wchar_t display[MAX_PATH] = {};
  BROWSEINFOW browse{};
  browse.hwndOwner = ActiveOwner();
  browse.pszDisplayName = display;  // scratch, not used
  browse.lpszTitle = wideTitle.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  browse.lpfn = ShowStartFolder;
  browse.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(wideStart.c_str());
  PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse);
  if (!item) return std::nullopt;
  std::vector<wchar_t> path(kPathBuffer, L'\0');
  const BOOL ok = SHGetPathFromIDListEx(item, path.data(), kPathBuffer, GPFIDL_DEFAULT);
  CoTaskMemFree(item);
  if (!ok) return std::nullopt;
  // As the shell gives it: no trailing delimiter except for a drive root such as C:\.
  return Narrow(path.data());
}

}  // namespace solka
