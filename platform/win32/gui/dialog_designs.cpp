#include "platform/win32/gui/dialog_designs.h"

#include "dialogs/tform2.h"
#include "dialogs/tform3.h"

namespace solka {

namespace {

using K = DialogWindow::Kind;
const COLORREF kNavy = RGB(0, 0, 128), kGreen = RGB(0, 128, 0);

}  // namespace

const DialogWindow::Design& Form2Design() {
  static const DialogWindow::Design design{
      "TForm2", TForm2::kCaption, 280, 379, false, {"リスト選択", "各種設定"}, 343, "BitBtn2", ""};
  return design;
}

const std::vector<DialogWindow::ControlDesign>& Form2Controls() {
  // Settings tab: one row of 18 per check box from the top.
  constexpr int g = 186;  // top of the file-type group
  static const std::vector<DialogWindow::ControlDesign> controls = {
      // List tab
      {K::Label, "Label1", "基準フォルダ", 8, 6, 120, 14, 1, {}, 12, false, kNavy},
      {K::Combo, "Edit1", "", 8, 22, 204, 22, 1},
      {K::Button, "Button1", "参照", 216, 22, 50, 22, 1},
      {K::Radio, "RadioButton1", "フォルダ", 8, 52, 70, 18, 1, "フォルダで選択"},
      {K::Radio, "RadioButton2", "M3U", 80, 52, 50, 18, 1, "Ｍ３Ｕファイルで選択"},
      {K::Button, "Button2", "全選択", 136, 50, 62, 22, 1},
      {K::Button, "Button3", "選択解除", 202, 50, 64, 22, 1},
      {K::List, "FIListBox1", "", 0, 80, 270, 234, 1, {}, 13},
      // Settings tab
      {K::CheckBox, "CheckBox1", "プレーヤーのＨｉｎｔ を表示しない", 8, 4, 262, 17, 2,
       "プレーヤーボタンのヒントを\n非表示にします"},
      {K::CheckBox, "CheckBox3", "SOLKAの起動されたドライブ内を自動再生", 8, 22, 262, 17, 2},
      {K::CheckBox, "CheckBox2", "ファイルリストをパス順で表示", 8, 40, 262, 17, 2},
      {K::CheckBox, "FindSub", "関連付けや「送る」で、下位フォルダを検索しない", 8, 58, 262, 17, 2},
      {K::CheckBox, "CheckBox4", "タスクボタンを表示する", 8, 76, 262, 17, 2},
      {K::CheckBox, "CheckBox6", "タイトルバーに[閉じる]ボタンを表示", 8, 94, 262, 17, 2},
      {K::CheckBox, "CheckBox7", "スリープ設定後はモニタを省電力モードにする", 8, 112, 262, 17, 2},
      {K::CheckBox, "CheckBox5", "終了時にアプリを実行する", 8, 130, 262, 17, 2,
       "SOLKA終了後に指定のアプリを実行できます"},
      {K::Edit, "Edit2", "", 24, 148, 214, 21, 2, "実行するアプリのパス"},
      {K::Button, "Button6", "...", 242, 148, 24, 21, 2, "ファイルを選択します"},
      {K::Label, "Label4", "スリープ設定の動作：", 8, 173, 200, 15, 2, {}, 12, true, kNavy},
      {K::Radio, "RadioButton5", "シャットダウン", 12, 189, 104, 17, 2},
      {K::Radio, "RadioButton3", "スタンバイ", 118, 189, 80, 17, 2},
      {K::Radio, "RadioButton4", "休止状態", 200, 189, 68, 17, 2},
      {K::Group, "GroupBox1", "リストに読み込むファイルの種類", 4, g + 22, 264, 90, 2,
       "表示するファイルがすべて再生できるわけではありません。\n"
       "別途DirectShowFilterが必要なものがあります。"},
      {K::Radio, "Extchk3", "標準設定", 10, g + 38, 72, 17, 2,
       "常に内部フィルタの設定に従います。"},
      {K::Radio, "Extchk2", "最初に見つけたファイルと同種", 82, g + 38, 184, 17, 2,
       "関連付けや「送る」などで起動する場合に便利です。"},
      {K::Radio, "Extchk1", "以下から選択", 10, g + 56, 120, 17, 2},
      {K::CheckBox, "c_mp3", "MP3", 28, g + 74, 56, 17, 2},
      {K::CheckBox, "c_wav", "WAV", 88, g + 74, 56, 17, 2},
      {K::CheckBox, "c_wma", "WMA", 148, g + 74, 56, 17, 2},
      {K::CheckBox, "c_midi", "MIDI", 208, g + 74, 56, 17, 2},
      {K::CheckBox, "c_ogg", "OGG", 28, g + 92, 56, 17, 2},
      {K::CheckBox, "c_ape", "APE", 88, g + 92, 56, 17, 2},
      {K::CheckBox, "c_acc", "ACC", 148, g + 92, 56, 17, 2},
      {K::Link, "Label3", "", 150, g + 116, 116, 15, 2, {}, 12, true, kGreen},
      // Below the pages
      {K::Button, "BitBtn2", "OK", 8, 350, 75, 25},
      {K::Button, "BitBtn3", "追加", 88, 350, 75, 25},
      {K::Bevel, "Bevel1", "", 178, 350, 2, 25},
      {K::Button, "BitBtn1", "ｷｬﾝｾﾙ", 197, 350, 75, 25},
  };
  return controls;
}

const DialogWindow::Design& Form3Design() {
  static const DialogWindow::Design design{"TForm3", TForm3::kCaption, 150,      71, true, {},
                                           0,        "BitBtn1",        "BitBtn1"};
  return design;
}

const std::vector<DialogWindow::ControlDesign>& Form3Controls() {
  static const std::vector<DialogWindow::ControlDesign> controls = {
      {K::Edit, "Edit1", "", 8, 8, 31, 22, 0, {}, 13},
      {K::UpDown, "UpDown1", "", 39, 8, 15, 22, 0, {}, 12, false, 0, TForm3::kMaxHour},
      {K::Label, "Label2", "時", 57, 10, 18, 18, 0, {}, 15, true},
      {K::Edit, "Edit2", "", 76, 8, 32, 22, 0, {}, 13},
      {K::UpDown, "UpDown2", "", 108, 8, 15, 22, 0, {}, 12, false, 0, TForm3::kMaxMinute},
      {K::Label, "Label3", "分", 126, 10, 18, 18, 0, {}, 15, true},
      {K::Button, "BitBtn1", "OK", 6, 40, 66, 25},
      {K::Button, "BitBtn2", "中止(&A)", 78, 40, 66, 25},
  };
  return controls;
}

}  // namespace solka
