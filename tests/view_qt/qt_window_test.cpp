#include "view_qt/qt_window.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <map>

#include "app/window_table.h"
#include "support/fakes.h"
#include "view_qt/main_window.h"
#include "view_qt/qt_dialogs.h"

namespace {

constexpr const char* kBox1 = "CheckEffizienz";
constexpr const char* kBox2 = "CheckAuswurfAufTatsächliche";
constexpr const char* kCaption2 = "Auswurfberechnung mit tatsächlicher Produktion";

class QtWindowTest : public ModuleTest {
 protected:
  QtWindowTest() {
    Put("parameter/Program.ini", "[Machine1]\r\nZaroMainPictureStatus=1\r\n");
    Put("Zaro_MainPictureExt/Zaro_MainPictureExt.cfg", "[Project]\r\nValidMachines=1\r\n");
    Put("Tools/Zaro_MainPictureExt_Config.ini", "[1031]\r\nHelp11=Efficiency\r\n");
  }

  template <typename T = QWidget>
  T* ViewOf(const std::string& name) {
    return qobject_cast<T*>(view_.ControlView(name));
  }

  Form form_ = MakeMainForm();
  ConfigWindow logic_{module_, form_};
  QtWindow view_{module_, form_, logic_};
};

TEST_F(QtWindowTest, WidgetsFollowTheTableOfControls) {
  EXPECT_EQ(view_.size(), QSize(792, 573));
  EXPECT_EQ(view_.windowFlags() & (Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
            Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  EXPECT_EQ(view_.windowTitle(), "Base Q7XCFG-Erweiterung");
  EXPECT_EQ(view_.palette().color(QPalette::Window), QColor(192, 192, 192));
  const struct {
    const char* name;
    const char* container;
    QRect place;  // pixels in the container
  } rows[] = {
      {"Header", "", {2, 2, 785, 24}},
      {"MainFrame", "", {0, 26, 792, 484}},
      {"FrameFPI", "MainFrame", {6, 8, 460, 160}},
      {kBox1, "FrameFPI", {8, 10, 440, 25}},
      {kBox2, "FrameFPI", {8, 40, 440, 25}},
      {"CommandQuest", "", {490, 514, 65, 57}},
      {"CommandOK", "", {560, 514, 113, 57}},
      {"CommandCancel", "", {678, 514, 113, 57}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    QWidget* widget = ViewOf(row.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), *row.container ? ViewOf(row.container) : &view_);
    EXPECT_EQ(widget->geometry(), row.place);
    EXPECT_EQ(widget->palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_EQ(widget->isEnabled(), std::string(row.name) != "CommandOK");
  }
  EXPECT_EQ(ViewOf<QGroupBox>("FrameFPI")->title(), "");
  for (auto [name, points] : {std::pair{"Header", 13.5}, {kBox2, 12.0}}) {
    EXPECT_DOUBLE_EQ(ViewOf(name)->font().pointSizeF(), points);
    EXPECT_TRUE(ViewOf(name)->font().bold());
  }
  EXPECT_EQ(ViewOf<QCheckBox>(kBox2)->text(), kCaption2);
  for (auto [name, picture] : {std::pair{"CommandQuest", QSize(41, 45)},
                               {"CommandOK", QSize(44, 36)},
                               {"CommandCancel", QSize(37, 39)}}) {
    EXPECT_EQ(ViewOf<QPushButton>(name)->iconSize(), picture);
    EXPECT_EQ(ViewOf<QPushButton>(name)->text(), "");
    EXPECT_FALSE(ViewOf<QPushButton>(name)->autoDefault());  // no default button
  }

  logic_.Form_Load();
  EXPECT_EQ(view_.windowTitle(), "Erweiterte Konfiguration Tools - standalone");
  EXPECT_TRUE(ViewOf("CommandOK")->isEnabled());
  EXPECT_TRUE(ViewOf<QCheckBox>(kBox1)->isChecked());
  EXPECT_FALSE(ViewOf<QCheckBox>(kBox2)->isChecked());
}

// As a keyboard user and a screen reader meet the window: Tab goes by the table's tab indices,
// each button shows the focus, every control has a name that follows the loaded texts.
TEST_F(QtWindowTest, TabShowsTheFocusOnEachButtonAndEveryControlIsNamed) {
  Put("Tools/Zaro_MainPictureExt_Config.ini",
      "[Language]\r\nLanguage=1033\r\n[1033]\r\nCaption_CheckEffizienz_=with efficiency\r\n"
      "TTT_CommandOK_=Save\r\nTTT_FrameFPI_=Status bits\r\n");
  const auto read = [this](const char* name, QAccessible::Text text = QAccessible::Name) {
    return QAccessible::queryAccessibleInterface(ViewOf(name))->text(text);
  };
  EXPECT_EQ(read("CommandCancel"), "Abbrechen");  // the design language until the texts load
  logic_.Form_Load();
  view_.show();
  view_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view_));
  EXPECT_EQ(read("Header"), "Zaro_MainPictureExt - Konfiguration Hauptbild Zaro");
  EXPECT_EQ(read("FrameFPI", QAccessible::Description), "Status bits");
  std::map<QWidget*, QImage> unfocused;
  for (const char* name : {"CommandOK", "CommandCancel", "CommandQuest"}) {
    unfocused[ViewOf(name)] = ViewOf(name)->grab().toImage();
  }
  ViewOf(kBox1)->setFocus();
  for (auto [name, spoken] : {std::pair{"CommandOK", "Save"},
                              {"CommandCancel", "Cancel"},
                              {"CommandQuest", "Help"},
                              {kBox2, kCaption2},
                              {kBox1, "with efficiency"}}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), ViewOf(name)) << name;
    EXPECT_EQ(read(name), spoken);
    if (unfocused.count(ViewOf(name)) == 0) continue;
    EXPECT_NE(ViewOf(name)->grab().toImage(), unfocused[ViewOf(name)]) << name << " shows no focus";
  }
}

// With the real modal box, whose own event loop runs inside the box's click.
TEST_F(QtWindowTest, HelpModeKeepsTheTickAndShowsOneBoxPerClick) {
  MainWindow real(runtime_);
  real.LoadAndShow();
  int boxes = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      ++boxes;
      EXPECT_EQ(shown->windowTitle(), "Info:");
      EXPECT_EQ(shown->text(), "Efficiency");
      shown->accept();
    }
  });
  closer.start(20);
  auto* box = qobject_cast<QCheckBox*>(real.view.ControlView(kBox1));
  auto* quest = qobject_cast<QPushButton*>(real.view.ControlView("CommandQuest"));
  // Far from the indicator: the whole rectangle of a box takes the click.
  const QPoint on_caption(4, box->height() / 2);

  QTest::mouseClick(box, Qt::LeftButton, {}, on_caption);
  EXPECT_FALSE(box->isChecked());
  QTest::mouseClick(box, Qt::LeftButton, {}, on_caption);
  EXPECT_TRUE(box->isChecked());
  EXPECT_EQ(boxes, 0);

  QTest::mouseClick(quest, Qt::LeftButton);
  EXPECT_EQ(quest->palette().color(QPalette::Button), QColor(0, 255, 0));
  for (int click = 1; click <= 3; ++click) {  // two clicks, then the space bar
    if (click < 3) QTest::mouseClick(box, Qt::LeftButton, {}, on_caption);
    if (click == 3) QTest::keyClick(box, Qt::Key_Space);
    EXPECT_EQ(boxes, click);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(real.form[kBox1].Value(), 1);
  }
  QTest::mouseClick(quest, Qt::LeftButton);
  EXPECT_EQ(quest->palette().color(QPalette::Button), QColor(192, 192, 192));
  QTest::keyClick(box, Qt::Key_Space);
  EXPECT_FALSE(box->isChecked());
  EXPECT_EQ(boxes, 3);
}

TEST_F(QtWindowTest, ACloseRequestAnsweredNoKeepsTheWindowOpen) {
  logic_.Form_Load();
  view_.show();
  dialogs_.answers = {MessageAnswer::kNo};
  EXPECT_FALSE(view_.close());
  EXPECT_TRUE(view_.isVisible());
  ASSERT_EQ(dialogs_.shown.size(), 1U);
  EXPECT_EQ(dialogs_.shown[0].title, "Cancel?");
  dialogs_.answers = {MessageAnswer::kYes};
  EXPECT_TRUE(view_.close());
}

// The real boxes: a Yes/No box has no cancel answer, Enter takes the default, OK keeps Escape.
TEST(QtDialogsTest, KeysAndTheCloseBoxAnswerAsOnTheHomePlatform) {
  enum Action { kEscape, kEnter, kClose };
  const struct {
    MessageButtons buttons;
    MessageAnswer default_answer;
    Action action;
    bool ends_box;
    MessageAnswer answer;
  } rows[] = {
      {MessageButtons::kYesNo, MessageAnswer::kNo, kEscape, false, MessageAnswer::kYes},
      {MessageButtons::kYesNo, MessageAnswer::kNo, kClose, false, MessageAnswer::kYes},
      {MessageButtons::kYesNo, MessageAnswer::kNo, kEnter, true, MessageAnswer::kNo},
      {MessageButtons::kYesNo, MessageAnswer::kYes, kEnter, true, MessageAnswer::kYes},
      {MessageButtons::kOk, MessageAnswer::kOk, kEscape, true, MessageAnswer::kOk},
      {MessageButtons::kOk, MessageAnswer::kOk, kClose, true, MessageAnswer::kOk},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    bool ended = true;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      if (row.action == kClose) {
        box->close();
      } else {
        QTest::keyClick(box, row.action == kEscape ? Qt::Key_Escape : Qt::Key_Return);
      }
      ended = !box->isVisible();
      if (!ended) box->button(QMessageBox::Yes)->click();  // only a button ends it
    });
    QtDialogs dialogs;
    const MessageAnswer answer = dialogs.ShowMessage(
        {"Text", "Title", MessageIcon::kWarning, row.buttons, row.default_answer});
    EXPECT_EQ(ended, row.ends_box);
    EXPECT_EQ(answer, row.answer);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
