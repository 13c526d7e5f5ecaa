#include "platform/qt/form2_window.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "platform/qt/dialog_style.h"
#include "platform/qt/qt_text.h"

namespace solka {

namespace {

constexpr int kClientWidth = 280, kClientHeight = 379, kPagesHeight = 343;
const QColor kNavy(0, 0, 128), kGreen(0, 128, 0);

template <typename W>
W* Make(QWidget* parent, const char* name, const char* text, QRect at, const char* hint = "") {
  auto* widget = new W(parent);
  widget->setObjectName(QString::fromLatin1(name));
  if constexpr (requires { widget->setText(QString()); })
    if (*text) widget->setText(ToQt(text));
  widget->setGeometry(at);
  if (*hint) {
    widget->setToolTip(HintText(hint));
    widget->setToolTipDuration(5000);  // a hint stays up five seconds
  }
  return widget;
}

// A caption wider than its place in the installed font steps down a pixel or two rather than
// being cut off.
template <typename W>
W* Fit(W* widget) {
  for (int size = 12; size >= 10 && widget->sizeHint().width() > widget->width(); --size)
    widget->setFont(DialogFont(size));
  return widget;
}

// No incremental search by typing.
class CandidateList : public QListView {
 public:
  using QListView::QListView;
  void keyboardSearch(const QString&) override {}
};

}  // namespace

Form2Window::Form2Window(DialogForm& form, DialogEvents& events, QWidget* owner)
    : DialogWindow(form, events, owner) {
  setObjectName(QStringLiteral("TForm2"));
  setWindowTitle(ToQt(TForm2::kCaption));
  // A dialog border without border icons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(kClientWidth, kClientHeight);
  setFont(DialogFont(12));

  pages_ = new QTabWidget(this);
  pages_->setGeometry(0, 0, kClientWidth, kPagesHeight);
  auto* listTab = new QWidget;
  listTab->setObjectName(QStringLiteral("TabSheet1"));
  auto* settingsTab = new QWidget;
  settingsTab->setObjectName(QStringLiteral("TabSheet2"));
  pages_->addTab(listTab, ToQt("リスト選択"));
  pages_->addTab(settingsTab, ToQt("各種設定"));
  BuildListTab(listTab);
  BuildSettingsTab(settingsTab);

  auto* ok = Make<QPushButton>(this, "BitBtn2", "OK", {8, 350, 75, 25});
  ok->setDefault(true);
  AddButton(ok);
  AddButton(Make<QPushButton>(this, "BitBtn3", "追加", {88, 350, 75, 25}));
  auto* bevel = new QFrame(this);
  bevel->setFrameShape(QFrame::VLine);
  bevel->setFrameShadow(QFrame::Sunken);
  bevel->setGeometry(178, 350, 2, 25);
  AddButton(Make<QPushButton>(this, "BitBtn1", "ｷｬﾝｾﾙ", {197, 350, 75, 25}));
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
  ok->setDefault(true);
  pages_->setCurrentIndex(0);
  RenderAll();
}

void Form2Window::BuildListTab(QWidget* page) {
  auto* label = Make<QLabel>(page, "Label1", "基準フォルダ", {8, 6, 120, 14});
  SetTextColor(label, kNavy);
  auto* combo = new DropDownCombo(page);
  combo->setObjectName(QStringLiteral("Edit1"));
  combo->setGeometry(8, 22, 204, 22);
  combo->setMaxVisibleItems(16);
  AddCombo(combo);
  AddButton(Make<QPushButton>(page, "Button1", "参照", {216, 22, 50, 22}));
  AddButton(
      Make<QRadioButton>(page, "RadioButton1", "フォルダ", {8, 52, 70, 18}, "フォルダで選択"));
  AddButton(
      Make<QRadioButton>(page, "RadioButton2", "M3U", {80, 52, 50, 18}, "Ｍ３Ｕファイルで選択"));
  AddButton(Make<QPushButton>(page, "Button2", "全選択", {136, 50, 62, 22}));
  AddButton(Make<QPushButton>(page, "Button3", "選択解除", {202, 50, 64, 22}));
  auto* list = Make<CandidateList>(page, "FIListBox1", "", {0, 80, 270, 234});
  list->setFont(DialogFont(13));
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  AddList(list, 18);
}

void Form2Window::BuildSettingsTab(QWidget* page) {
  constexpr int kStep = 18;
  int y = 4;
  const auto box = [&](const char* name, const char* caption, const char* hint = "") {
    AddButton(Fit(Make<QCheckBox>(page, name, caption, {8, y, 262, 17}, hint)));
    y += kStep;
  };
  box("CheckBox1", "プレーヤーのＨｉｎｔ を表示しない",
      "プレーヤーボタンのヒントを\n非表示にします");
  box("CheckBox3", "SOLKAの起動されたドライブ内を自動再生");
  box("CheckBox2", "ファイルリストをパス順で表示");
  box("FindSub", "関連付けや「送る」で、下位フォルダを検索しない");
  box("CheckBox4", "タスクボタンを表示する");
  box("CheckBox6", "タイトルバーに[閉じる]ボタンを表示");
  box("CheckBox7", "スリープ設定後はモニタを省電力モードにする");
  box("CheckBox5", "終了時にアプリを実行する", "SOLKA終了後に指定のアプリを実行できます");
  AddEdit(Make<QLineEdit>(page, "Edit2", "", {24, y, 214, 21}, "実行するアプリのパス"));
  AddButton(Make<QPushButton>(page, "Button6", "...", {242, y, 24, 21}, "ファイルを選択します"));
  y += 25;

  auto* sleepLabel = Make<QLabel>(page, "Label4", "スリープ設定の動作：", {8, y, 200, 15});
  sleepLabel->setFont(DialogFont(12, true));
  SetTextColor(sleepLabel, kNavy);
  y += 16;
  AddButton(Fit(Make<QRadioButton>(page, "RadioButton5", "シャットダウン", {12, y, 104, 17})));
  AddButton(Fit(Make<QRadioButton>(page, "RadioButton3", "スタンバイ", {118, y, 80, 17})));
  AddButton(Fit(Make<QRadioButton>(page, "RadioButton4", "休止状態", {200, y, 68, 17})));
  y += 19;

  auto* group = Make<QGroupBox>(page, "GroupBox1", "", {4, y, 264, 90},
                                "表示するファイルがすべて再生できるわけではありません。\n"
                                "別途DirectShowFilterが必要なものがあります。");
  group->setTitle(ToQt("リストに読み込むファイルの種類"));
  AddButton(Fit(Make<QRadioButton>(group, "Extchk3", "標準設定", {6, 16, 72, 17},
                                   "常に内部フィルタの設定に従います。")));
  AddButton(
      Fit(Make<QRadioButton>(group, "Extchk2", "最初に見つけたファイルと同種", {78, 16, 184, 17},
                             "関連付けや「送る」などで起動する場合に便利です。")));
  AddButton(Make<QRadioButton>(group, "Extchk1", "以下から選択", {6, 34, 120, 17}));
  const char* types[][2] = {{"c_mp3", "MP3"},   {"c_wav", "WAV"}, {"c_wma", "WMA"},
                            {"c_midi", "MIDI"}, {"c_ogg", "OGG"}, {"c_ape", "APE"},
                            {"c_acc", "ACC"}};
  for (int i = 0; i < 7; ++i) {
    const int row = i / 4, column = i % 4;
    AddButton(Make<QCheckBox>(group, types[i][0], types[i][1],
                              {24 + 60 * column, 52 + 18 * row, 56, 17}));
  }
  y += 91;

  auto* link = Make<QLabel>(page, "Label3", "", {150, y, 116, 15});
  QFont linkFont = DialogFont(12, true);
  linkFont.setUnderline(true);
  link->setFont(linkFont);
  link->setAlignment(Qt::AlignRight);
  link->setCursor(Qt::PointingHandCursor);
  SetTextColor(link, kGreen);
  AddClickLabel(link);
}

}  // namespace solka
