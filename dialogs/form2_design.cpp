// The designed list selection dialog: the list tab, the settings tab and the buttons below.
#include "dialogs/tform2.h"

namespace solka {

const DialogDesign& TForm2::Design() {
  using K = ControlKind;
  constexpr int g = 208;  // top of the file-type group; the settings rows are 18 apart
  static const DialogDesign design{
      "TForm2",
      kCaption,
      280,
      379,
      false,
      {"リスト選択", "各種設定"},
      343,
      272,
      "BitBtn2",
      "",
      18,
      {
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
          {K::CheckBox, "FindSub", "関連付けや「送る」で、下位フォルダを検索しない", 8, 58, 262, 17,
           2},
          {K::CheckBox, "CheckBox4", "タスクボタンを表示する", 8, 76, 262, 17, 2},
          {K::CheckBox, "CheckBox6", "タイトルバーに[閉じる]ボタンを表示", 8, 94, 262, 17, 2},
          {K::CheckBox, "CheckBox7", "スリープ設定後はモニタを省電力モードにする", 8, 112, 262, 17,
           2},
          {K::CheckBox, "CheckBox5", "終了時にアプリを実行する", 8, 130, 262, 17, 2,
           "SOLKA終了後に指定のアプリを実行できます"},
          {K::Edit, "Edit2", "", 24, 148, 214, 21, 2, "実行するアプリのパス"},
          {K::Button, "Button6", "...", 242, 148, 24, 21, 2, "ファイルを選択します"},
          {K::Label, "Label4", "スリープ設定の動作：", 8, 173, 200, 15, 2, {}, 12, true, kNavy},
          {K::Radio, "RadioButton5", "シャットダウン", 12, 189, 104, 17, 2},
          {K::Radio, "RadioButton3", "スタンバイ", 118, 189, 80, 17, 2},
          {K::Radio, "RadioButton4", "休止状態", 200, 189, 68, 17, 2},
          {K::Group, "GroupBox1", "リストに読み込むファイルの種類", 4, g, 264, 90, 2,
           "表示するファイルがすべて再生できるわけではありません。\n"
           "別途DirectShowFilterが必要なものがあります。"},
          {K::Radio, "Extchk3", "標準設定", 10, g + 16, 72, 17, 2,
           "常に内部フィルタの設定に従います。"},
          {K::Radio, "Extchk2", "最初に見つけたファイルと同種", 82, g + 16, 184, 17, 2,
           "関連付けや「送る」などで起動する場合に便利です。"},
          {K::Radio, "Extchk1", "以下から選択", 10, g + 34, 120, 17, 2},
          {K::CheckBox, "c_mp3", "MP3", 28, g + 52, 56, 17, 2},
          {K::CheckBox, "c_wav", "WAV", 88, g + 52, 56, 17, 2},
          {K::CheckBox, "c_wma", "WMA", 148, g + 52, 56, 17, 2},
          {K::CheckBox, "c_midi", "MIDI", 208, g + 52, 56, 17, 2},
          {K::CheckBox, "c_ogg", "OGG", 28, g + 70, 56, 17, 2},
          {K::CheckBox, "c_ape", "APE", 88, g + 70, 56, 17, 2},
          {K::CheckBox, "c_acc", "ACC", 148, g + 70, 56, 17, 2},
          {K::Link, "Label3", kHomePageText, 150, g + 94, 116, 15, 2, {}, 12, true, kGreen},
          // Below the pages
          {K::Button, "BitBtn2", "OK", 8, 350, 75, 25},
          {K::Button, "BitBtn3", "追加", 88, 350, 75, 25},
          {K::Bevel, "Bevel1", "", 178, 350, 2, 25},
          {K::Button, "BitBtn1", "ｷｬﾝｾﾙ", 197, 350, 75, 25},
      }};
  return design;
}

}  // namespace solka
