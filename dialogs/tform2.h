// The list selection dialog TForm2 with its settings tab: what the user chooses to play (sub-
// folders of a base folder, or list files below it) and the user-facing settings. The state of
// every control lives in Form; the GUI layer renders it and forwards events to Handle.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "app/platform_services.h"
#include "dialogs/dialog_host.h"
#include "form/dialog_design.h"
#include "form/dialog_form.h"
#include "platform/api/modal_window.h"

namespace solka {

class TForm2 : public DialogEvents {
 public:
  // `homePage`: the address Label3Click opens.
  TForm2(DialogHost& host, PlatformServices& platform, std::string homePage);
  TForm2(const TForm2&) = delete;
  TForm2& operator=(const TForm2&) = delete;

  static constexpr std::string_view kCaption = "フォルダまたはリストファイルを選択してください";
  static constexpr std::string_view kBrowseTitle = "フォルダを選択してください";
  static constexpr std::string_view kHomePageText = "KOBARI PROJECT";
  // Every control as designed, for the window layers to build (dialogs/formm_design.cpp).
  static const DialogDesign& Design();
  // Check boxes of the settings tab with their keys; "CheckBox1" stores the inverse.
  struct KeyBox {
    std::string_view control;
    Key key;
  };
  static constexpr KeyBox kTypeBoxes[] = {
      {"c_mp3", Ext_MP3}, {"c_wav", Ext_WAV}, {"c_wma", Ext_WMA}, {"c_midi", Ext_MIDI},
      {"c_ogg", Ext_OGG}, {"c_ape", Ext_APE}, {"c_acc", Ext_ACC}};

  DialogForm Form;
  std::vector<std::string> CandidatePaths;  // parallel to the rows of FIListBox1
  bool InShow = false;
  bool IgnoreModeClick = false;
  // What the dialog hands back after "OK" or "追加".
  std::vector<std::string> SelectedFolders;
  std::vector<std::string> SelectedListLines;

  void SetWindow(ModalWindow* window) { window_ = window; }
  bool Showing() const { return showing_; }
  // Reloads every control, shows the dialog and waits for its result: 1 OK, 6 add, 2 cancel.
  int ShowModal();

  bool Handle(std::string_view control, DialogEvent event, int row = -1) override;

  // --- Both tabs ----------------------------------------------------------------------------
  void FormShow();  // reload the controls from the player's state

  // --- List tab (dialogs/list_tab.cpp) ---------------------------------------------------------
  void ListSubfolders(const std::string& folder);  // the sub-folders of `folder` as rows
  void ListM3uFiles(const std::string& folder);    // list files below `folder` as rows
  void RadioButton2Click();                        // mode radio buttons: re-list in that mode
  void RadioButton1Enter();                        // a mode radio button takes the focus
  void Edit1DropDown();                            // the history opens its list
  void Edit1Change();                              // a history entry was picked
  void Button1Click();                             // "参照": browse for a base folder
  void Button2Click();                             // "全選択": select every row
  void Button3Click();                             // "選択解除": unselect every row
  void Button5Click(std::string_view sender);      // "OK", "追加", double-click: hand back
  void newClick();                                 // "ｷｬﾝｾﾙ": close without a change
  void FIListBox1DblClick(int row);                // the row, then as "OK"
  void FitScrollWidthOnIdle();  // scroll extent at the first idle moment; browse if no base

  // --- History of base folders (dialogs/recent_paths.cpp) -----------------------------------
  void LoadRecentPaths();
  void SaveRecentPaths();
  // Adds at the combo box's sorted place; returns the position.
  int AddSorted(const std::string& path);

  // --- Settings tab (dialogs/settings_tab.cpp) ----------------------------------------------
  void ShowSettings();                              // the settings-tab steps of FormShow
  void Extchk1Click(std::string_view sender);       // scan mode radio buttons: store FileType
  void RadioButton5Click(std::string_view sender);  // sleep action radio buttons: SleepMode
  void Button6Click();                              // "...": choose the program to run at exit
  void Label3Click();                               // open the home page

 private:
  // The combo box's text as the folder to list, ending in a delimiter.
  std::string ListingFolder() const;
  void ClearCandidates();
  void FitScrollWidth();
  bool AnyTicked() const;  // a candidate row is chosen
  // Checks `name` and unchecks the other buttons of `group`; true when `name` was not checked
  // before, so that the caller fires its click as a program-checked radio button does.
  bool CheckRadio(std::initializer_list<std::string_view> group, std::string_view name);

  DialogHost& host_;
  PlatformServices& platform_;
  std::string homePage_;
  ModalWindow* window_ = nullptr;
  bool showing_ = false;
  unsigned fittedRows_ = ~0u;      // the rows (ItemsVersion) the scroll extent was measured for
  bool chooseBaseOnIdle_ = false;  // opened without a base folder: browse for one when idle

  friend class TForm2Test;
};

}  // namespace solka
