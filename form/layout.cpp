// The designed main window: every tool button, panel control and pop-up menu item by name, in
// display order. Bindings (app/bindings.cpp) and the GUI layer both work from these tables, so a
// name here is the one name a control has everywhere.
#include "form/layout.h"

namespace solka {

namespace {

// Tool-bar image indices: one glyph per button; the sleep button switches between 7 (no sleep
// setting) and 8 (a sleep setting armed).
constexpr int kImageFolder = 0, kImageContinuous = 1, kImagePrevious = 2, kImageNext = 3,
              kImagePause = 4, kImageStop = 5, kImageExit = 6, kImageSleepOff = 7;

MenuItemDef Item(std::string_view name, std::string_view caption) {
  return {name, caption, true, {}};
}

}  // namespace

const std::vector<MenuDef>& Menus() {
  static const std::vector<MenuDef> menus = {
      {"PopupMenu1",
       true,
       {
           Item("N1", "リスト順"),
           Item("N2", "ランダム"),
           Item("N3", "-"),
           Item("R1", "１曲リピート"),
           Item("R2", "１回リピート"),
           Item("R3", "無限リピート"),
           Item("N18", "-"),
       }},
      {"PopupMenu2",
       true,
       {
           Item("N19", "リストをパス順に並び替える"),
           Item("N20", "リストをシャッフルする"),
           Item("N15", "-"),
           Item("N4", "現在のリストをファイルに保存"),
           Item("N16", "現在の基準フォルダを開く"),
           Item("N14", "マイコンピュータを開く"),
           // Never shown; the item and its handler stay bound.
           {"AG1", "TAG", false, {}},
       }},
      {"PopupMenu3",
       false,
       {
           Item("N9", "連続再生 ON/OFF"),
           Item("N24", "-"),
           Item("N6", "前の曲"),
           Item("N5", "次の曲"),
           Item("N7", "停止"),
           Item("N17", "一時停止 <-> 再生"),
           Item("N8", "-"),
           {"N26",
            "スリープ設定",
            true,
            {
                Item("N302", "30分"),
                Item("N602", "60分"),
                Item("N212", "時刻指定"),
                Item("N232", "リスト再生終了後"),
                Item("N29", "-"),
                Item("N30", "解除"),
            }},
           Item("test1", "モニタを省電力モードにする"),
           Item("Messenger1", "Messengerに曲名を送信"),
           Item("N10", "-"),
           Item("N13", "選択フォーム表示"),
           Item("N11", "パネル表示"),
           Item("N12", "-"),
           Item("Exit1", "終了"),
       }},
      {"PopupMenu4",
       true,
       {
           Item("N301", "30分後"),
           Item("N601", "60分後"),
           Item("N21", "時刻指定"),
           Item("N23", "リスト再生終了後"),
           Item("N25", "-"),
           Item("N22", "解除"),
       }},
  };
  return menus;
}

const MenuDef* FindMenu(std::string_view name) {
  for (const MenuDef& m : Menus())
    if (m.name == name) return &m;
  return nullptr;
}

const std::vector<ToolButtonDef>& ToolButtons() {
  // The hints keep two blanks between the action and its key.
  static const std::vector<ToolButtonDef> buttons = {
      {"ToolButton1", true, "フォルダ選択  F5", "PopupMenu2", kImageFolder},
      {"ToolButton5", true, "連続再生  F8", "PopupMenu1", kImageContinuous},
      {"ToolButton3", false, "前の曲  Up", "", kImagePrevious},
      {"ToolButton7", false, "次の曲  Down", "", kImageNext},
      {"pauseButton", false, "一時停止/再生  Space", "", kImagePause},
      {"ToolButton9", false, "停止  Esc", "", kImageStop},
      {"SleepButton", true, "スリープ設定(右クリックでメニュー)", "PopupMenu4", kImageSleepOff},
      {"ToolButton11", false, "SOLKA の終了", "", kImageExit},
  };
  return buttons;
}

const std::vector<PanelControlDef>& PanelControls() {
  static const std::vector<PanelControlDef> controls = {
      {"Label3", 3, 26, "音量（マウスホイールで変更）"},
      {"Label2", 31, 107, "クリックで再生速度変更（1倍-1.5倍-0.8倍）"},
      {"Label1", 139, 89, "クリックで10秒スキップします。"},
      {"SpeedButton1", 230, 16, "タスクトレイに格納"},
  };
  return controls;
}

}  // namespace solka
