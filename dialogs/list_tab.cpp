// The list tab of TForm2: the history of base folders, the mode, the candidate rows and what
// "OK" and "追加" hand back.
#include <algorithm>
#include <set>
#include <tuple>

#include "base/paths.h"
#include "base/text.h"
#include "dialogs/modal_run.h"
#include "dialogs/tform2.h"
#include "playlist/extended_list.h"
#include "playlist/media_types.h"

namespace solka {

namespace {

constexpr std::string_view kCombo = "Edit1";
constexpr std::string_view kList = "FIListBox1";
constexpr std::string_view kFolderMode = "RadioButton1";
constexpr std::string_view kListMode = "RadioButton2";

bool IsListFileName(std::string_view name) {
  const auto dot = name.rfind('.');
  return dot != std::string_view::npos && IsListFileExtension(name.substr(dot), Match::NoCase);
}

// A folder's entries in name order without regard to case, hidden ones left out, as the scan
// walks them.
std::vector<DirEntry> ListInNameOrder(FileSystem& files, const std::string& folder) {
  std::vector<DirEntry> entries;
  files.ListFolder(folder, entries);  // an unreadable folder lists nothing
  const PathSyntax syntax = files.Syntax();
  std::erase_if(entries, [&](const DirEntry& entry) { return IsHiddenName(entry.name, syntax); });
  std::stable_sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
    return CompareNoCase(a.name, b.name) < 0;
  });
  return entries;
}

struct FolderIdLess {
  bool operator()(const FolderId& a, const FolderId& b) const {
    return std::tie(a.device, a.node) < std::tie(b.device, b.node);
  }
};

}  // namespace

TForm2::TForm2(DialogHost& host, PlatformServices& platform, std::string homePage)
    : host_(host), platform_(platform), homePage_(std::move(homePage)) {
  Form.SetText("Label3", std::string(kHomePageText));
}

int TForm2::ShowModal() {
  return RunModalOnce(Form, window_, showing_, [this] { FormShow(); });
}

void TForm2::FormShow() {
  IgnoreModeClick = true;
  InShow = true;
  ShowSettings();
  LoadRecentPaths();
  const std::string& base = host_.Setting(BaseFolder);
  if (!base.empty()) {
    const auto& items = Form.Items(kCombo);
    const PathSyntax syntax = platform_.files.Syntax();
    const auto found = std::find_if(items.begin(), items.end(), [&](const std::string& item) {
      return SamePath(item, base, syntax);
    });
    Form.SetItemIndex(
        kCombo, found != items.end() ? static_cast<int>(found - items.begin()) : AddSorted(base));
  }
  ClearCandidates();
  const bool listFiles = host_.ListMode();
  CheckRadio({kFolderMode, kListMode}, listFiles ? kListMode : kFolderMode);
  // Without a base folder there is nothing of the user's to list (the root is not): the
  // chooser asks for one once the dialog is up.
  chooseBaseOnIdle_ = Form.ShownItem(kCombo).empty();
  if (!chooseBaseOnIdle_ && listFiles) ListM3uFiles(ListingFolder());
  if (!chooseBaseOnIdle_ && !listFiles) ListSubfolders(ListingFolder());
  platform_.loop.SetIdleHandler([this] { FitScrollWidthOnIdle(); });
  InShow = false;
}

std::string TForm2::ListingFolder() const {
  return WithDelimiter(Form.ShownItem(kCombo), platform_.files.Syntax());
}

void TForm2::ClearCandidates() {
  CandidatePaths.clear();
  Form.SetItems(kList, {});
}

void TForm2::FitScrollWidth() {
  // Rows measured already (by the listing that filled them) are not measured again.
  if (fittedRows_ == Form.ItemsVersion(kList)) return;
  fittedRows_ = Form.ItemsVersion(kList);
  int widest = 0;
  for (const std::string& row : Form.Items(kList))
    widest = std::max(widest, platform_.screen.DialogListTextWidth(row));
  Form.SetScrollWidth(kList, widest + 4);
}

bool TForm2::AnyTicked() const {
  for (int row = 0; row < static_cast<int>(CandidatePaths.size()); ++row)
    if (Form.Selected(kList, row)) return true;
  return false;
}

void TForm2::FitScrollWidthOnIdle() {
  platform_.loop.SetIdleHandler(nullptr);
  FitScrollWidth();
  if (chooseBaseOnIdle_ && showing_) Button1Click();
  chooseBaseOnIdle_ = false;
}

void TForm2::ListSubfolders(const std::string& folder) {
  platform_.screen.SetWaitCursor(true);
  std::vector<std::string> rows = Form.Items(kList);
  for (DirEntry& entry : ListInNameOrder(platform_.files, folder)) {
    if (!entry.isDirectory) continue;
    CandidatePaths.push_back(folder + entry.name);
    rows.push_back(std::move(entry.name));
  }
  Form.SetItems(kList, std::move(rows));
  // While the dialog opens, the rows are measured at the first idle moment, after they show.
  if (!InShow) FitScrollWidth();
  platform_.screen.SetWaitCursor(false);
}

void TForm2::ListM3uFiles(const std::string& folder) {
  platform_.screen.SetWaitCursor(true);
  const char separator = platform_.files.Syntax().separator;
  std::vector<std::string> rows = Form.Items(kList);
  // Depth first in listing order, on an explicit stack; a folder met again through a link is
  // not entered twice, so a link loop ends.
  struct Level {
    std::string path;
    std::vector<DirEntry> entries;
    std::size_t next = 0;
  };
  std::set<FolderId, FolderIdLess> entered;
  const auto enter = [&](const FolderId& id) {
    return id == FolderId{} || entered.insert(id).second;
  };
  std::vector<Level> stack(1);
  stack[0].path = folder;
  if (auto id = platform_.files.IdOf(folder)) enter(*id);
  stack[0].entries = ListInNameOrder(platform_.files, folder);
  while (!stack.empty()) {
    Level& top = stack.back();
    if (top.next == top.entries.size()) {
      stack.pop_back();
      continue;
    }
    DirEntry& entry = top.entries[top.next++];
    if (entry.isDirectory) {
      if (!enter(entry.id)) continue;
      Level inner;
      inner.path = top.path + entry.name + separator;
      inner.entries = ListInNameOrder(platform_.files, inner.path);
      stack.push_back(std::move(inner));  // `top` is not used after this
    } else if (IsListFileName(entry.name)) {
      CandidatePaths.push_back(top.path + entry.name);
      rows.push_back(std::move(entry.name));
    }
  }
  Form.SetItems(kList, std::move(rows));
  // While the dialog opens, the rows are measured at the first idle moment, after they show.
  if (!InShow) FitScrollWidth();
  platform_.screen.SetWaitCursor(false);
}

void TForm2::RadioButton2Click() {
  if (Form.ItemIndex(kCombo) < 0 || IgnoreModeClick) return;
  const bool listFiles = Form.Checked(kListMode);
  host_.SetListMode(listFiles);
  ClearCandidates();
  if (!InShow) {
    if (listFiles)
      ListM3uFiles(ListingFolder());
    else
      ListSubfolders(ListingFolder());
  }
  IgnoreModeClick = true;
}

void TForm2::RadioButton1Enter() {
  IgnoreModeClick = false;
}

void TForm2::Edit1DropDown() {
  IgnoreModeClick = false;
}

void TForm2::Edit1Change() {
  const int picked = Form.ItemIndex(kCombo);
  if (picked < 0) return;
  std::vector<std::string> items = Form.Items(kCombo);
  std::rotate(items.begin(), items.begin() + picked, items.begin() + picked + 1);
  Form.SetItems(kCombo, std::move(items));
  Form.SetItemIndex(kCombo, 0);
  RadioButton2Click();
}

void TForm2::Button1Click() {
  // At the base folder shown, or, with none yet, at the user's home.
  const std::string shown = Form.ShownItem(kCombo);
  const std::optional<std::string> chosen = platform_.dialogs.BrowseForFolder(
      std::string(kBrowseTitle), shown.empty() ? platform_.files.HomeFolder() : shown);
  if (!chosen) return;
  std::vector<std::string> items = Form.Items(kCombo);
  const PathSyntax syntax = platform_.files.Syntax();
  std::erase_if(items, [&](const std::string& item) { return SamePath(item, *chosen, syntax); });
  items.insert(items.begin(), *chosen);
  Form.SetItems(kCombo, std::move(items));
  Form.SetItemIndex(kCombo, 0);
  IgnoreModeClick = false;
  RadioButton2Click();
}

void TForm2::Button2Click() {
  Form.SelectAll(kList, true);
}

void TForm2::Button3Click() {
  Form.SelectAll(kList, false);
}

void TForm2::FIListBox1DblClick(int row) {
  // The double-clicked row counts as chosen, whatever its clicks toggled.
  Form.SetSelected(kList, row, true);
  Button5Click(kList);
}

void TForm2::Button5Click(std::string_view sender) {
  SelectedFolders.clear();
  SelectedListLines.clear();
  const int rows = static_cast<int>(CandidatePaths.size());
  if (host_.ListMode()) {
    std::vector<std::string> lines;
    for (int i = 0; i < rows; ++i) {
      if (!Form.Selected(kList, i)) continue;
      ListFileRead read = ReadListEntries(platform_.files, platform_.codec, platform_.diagnostics,
                                          CandidatePaths[i], host_.ExtendedLists());
      if (!read.ok) {
        // Refused as a whole: the dialog stays open and nothing is handed back or written.
        platform_.dialogs.MessageBox(read.message, "SOLKA");
        return;
      }
      std::move(read.lines.begin(), read.lines.end(), std::back_inserter(lines));
    }
    SelectedListLines = std::move(lines);
  } else {
    for (int i = 0; i < rows; ++i)
      if (Form.Selected(kList, i)) SelectedFolders.push_back(CandidatePaths[i]);
  }
  // The shown entry in both modes: after a pick or a browse it is entry 0 anyway, and right
  // after the dialog opens it is the base folder the user saw.
  host_.SetSetting(BaseFolder, Form.ShownItem(kCombo));
  SaveRecentPaths();
  Form.SetModalResult(sender == "BitBtn3" ? kResultYes : kResultOk);
}

void TForm2::newClick() {
  Form.SetModalResult(kResultCancel);
}

}  // namespace solka
