// Tests of the Qt window.
// SPDX-License-Identifier: MIT
#include "view_qt/qt_window.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <string_view>
#include <tuple>
#include <utility>

#include "app/control_names.h"
#include "app/window_table.h"
#include "support/fakes.h"
#include "view_qt/main_window.h"
#include "view_qt/qt_dialogs.h"

namespace {

constexpr const char* kCaption2 = "Auswurfberechnung mit tatsächlicher Produktion";

class QtWindowTest : public ModuleTest {
 protected:
  QtWindowTest() { PutWindowPlant("[1031]\r\nHelp11=Efficiency\r\n"); }

  QWidget* ViewOf(const std::string& name) const { return view_.ControlView(name); }

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
    QRect place;    // pixels in the container
    double points;  // its font's size: bold where it is not the form's 8
    QSize picture;  // of a button
  } rows[] = {
      {kHeader, "", {2, 2, 785, 24}, 13.5, {}},
      {kMainFrame, "", {0, 26, 792, 484}, 8, {}},
      {kFrameFPI, kMainFrame, {6, 8, 460, 160}, 8, {}},
      {kCheckEffizienz, kFrameFPI, {8, 10, 440, 25}, 12, {}},
      {kCheckAuswurfAufTatsaechliche, kFrameFPI, {8, 40, 440, 25}, 12, {}},
      {kCommandQuest, "", {490, 514, 65, 57}, 8, {41, 45}},
      {kCommandOK, "", {560, 514, 113, 57}, 8, {44, 36}},
      {kCommandCancel, "", {678, 514, 113, 57}, 8, {37, 39}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    QWidget* widget = ViewOf(row.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), *row.container ? ViewOf(row.container) : &view_);
    EXPECT_EQ(widget->geometry(), row.place);
    EXPECT_EQ(widget->palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_EQ(widget->isEnabled(), std::string(row.name) != kCommandOK);
    EXPECT_EQ(std::pair(widget->font().pointSizeF(), widget->font().bold()),
              std::pair(row.points, row.points != 8));
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
      EXPECT_EQ(std::tuple(button->iconSize(), button->text(), button->autoDefault()),
                std::tuple(row.picture, "", false));  // no default button
    }
  }
  EXPECT_EQ(qobject_cast<QGroupBox*>(ViewOf(kFrameFPI))->title(), "");
  EXPECT_EQ(qobject_cast<QCheckBox*>(ViewOf(kCheckAuswurfAufTatsaechliche))->text(), kCaption2);
}

// Where the designed size does not fit a screen's area without its panels, the whole form is
// drawn at the largest DPI that fits, inside that area: 800 x 600 with a 40-pixel panel, 1366 x
// 768 at 125 % (1093 x 582 in Qt's pixels), and that on a second screen left of the first.
TEST_F(QtWindowTest, TheWindowFitsIntoTheScreenAtTheLargestScaleThatFits) {
  const QMargins frame(4, 24, 4, 4);
  for (const auto& [available, dpi] : {std::pair{QRect(0, 0, 800, 560), 89},
                                       {QRect(0, 0, 1093, 582), 92},
                                       {QRect(-1093, 0, 1093, 582), 92},
                                       {QRect(0, 0, 1920, 1040), 96}}) {
    view_.FitInto(available, frame);
    EXPECT_TRUE(available.contains(QRect(view_.pos(), view_.size().grownBy(frame)))) << dpi;
    EXPECT_EQ(std::tuple(view_.dpi(), ViewOf(kHeader)->font().pointSizeF(),
                         qobject_cast<QPushButton*>(ViewOf(kCommandCancel))->iconSize()),
              std::tuple(dpi, 13.5 * dpi / 96, QSize(37 * dpi / 96, 39 * dpi / 96)));
  }
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
  EXPECT_EQ(read(kCommandCancel), "Abbrechen");  // the design language until the texts load
  logic_.Form_Load();
  view_.show();
  view_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view_));
  EXPECT_EQ(read(kHeader), "Zaro_MainPictureExt - Konfiguration Hauptbild Zaro");
  EXPECT_EQ(read(kFrameFPI, QAccessible::Description), "Status bits");
  ViewOf(kCheckEffizienz)->setFocus();
  for (auto [name, spoken] : {std::pair{kCommandOK, "Save"},
                              {kCommandCancel, "Cancel"},
                              {kCommandQuest, "Help"},
                              {kCheckAuswurfAufTatsaechliche, kCaption2},
                              {kCheckEffizienz, "with efficiency"}}) {
    const QImage before = ViewOf(name)->grab().toImage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), ViewOf(name)) << name;
    EXPECT_EQ(read(name), spoken);
    const bool button = std::string_view(name).starts_with("Command");
    EXPECT_TRUE(!button || ViewOf(name)->grab().toImage() != before) << name << " shows no focus";
  }
}

// A caption or tooltip is shown as it stands: markup in a plant's INI file is text, never
// rendered (nor loaded: an image tag would read a file).
TEST_F(QtWindowTest, MarkupInACaptionOrTooltipShowsAsText) {
  Put("Tools/Zaro_MainPictureExt_Config.ini",
      "[Language]\r\nLanguage=1033\r\n[1033]\r\nCaption_Header_=<i>Head</i>\r\n"
      "TTT_CommandOK_=<img src=x>Save\r\n");
  logic_.Form_Load();
  view_.show();
  const auto* header = qobject_cast<QLabel*>(ViewOf(kHeader));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(std::pair(header->text(), header->textFormat()),
            std::pair(QString("<i>Head</i>"), Qt::PlainText));
  QTextDocument tip;
  tip.setHtml(ViewOf(kCommandOK)->toolTip());
  EXPECT_EQ(tip.toPlainText(), "<img src=x>Save");
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
  auto* box = qobject_cast<QCheckBox*>(real.view.ControlView(kCheckEffizienz));
  auto* quest = qobject_cast<QPushButton*>(real.view.ControlView(kCommandQuest));
  // Far from the indicator: the whole rectangle of a box takes the click.
  const QPoint on_caption(4, box->height() / 2);
  QTest::mouseClick(quest, Qt::LeftButton);
  EXPECT_EQ(quest->palette().color(QPalette::Button), QColor(0, 255, 0));
  for (int click = 1; click <= 3; ++click) {  // two clicks, then the space bar
    if (click < 3) QTest::mouseClick(box, Qt::LeftButton, {}, on_caption);
    if (click == 3) QTest::keyClick(box, Qt::Key_Space);
    EXPECT_EQ(std::tuple(boxes, box->isChecked(), real.form[kCheckEffizienz].Value()),
              std::tuple(click, true, 1));
  }
  QTest::mouseClick(quest, Qt::LeftButton);
  EXPECT_EQ(quest->palette().color(QPalette::Button), QColor(192, 192, 192));
  QTest::keyClick(box, Qt::Key_Space);
  EXPECT_EQ(std::tuple(boxes, box->isChecked()), std::tuple(3, false));
}

// One question at a time: a close request while Cancel's question is open, or during the save,
// asks nothing. (Qt itself absorbs one that comes while its own question is open.)
TEST_F(QtWindowTest, ACloseRequestAsksOnlyWhenNothingElseIsUnderWay) {
  logic_.Form_Load();
  view_.show();
  bool closed = true;
  dialogs_.on_show = [&] {
    if (dialogs_.shown.size() == 1) closed = view_.close();
  };
  dialogs_.answers = {MessageAnswer::kNo, MessageAnswer::kNo};
  logic_.CommandCancel_Click();
  EXPECT_EQ(std::pair(dialogs_.shown.size(), closed), std::pair(std::size_t{1}, false));
  EXPECT_FALSE(view_.close());  // asked, answered No
  EXPECT_TRUE(view_.isVisible());
  closed = true;
  dialogs_.answers = {MessageAnswer::kYes};
  runtime_.on_pending_events = [&] { closed = view_.close(); };
  EXPECT_THROW(logic_.CommandOK_Click(), ProgramEnded);
  EXPECT_EQ(std::pair(dialogs_.shown.size(), closed), std::pair(std::size_t{2}, false));
}

// The real boxes: a Yes/No box has no cancel answer, Enter takes the default, OK keeps Escape.
TEST(QtDialogsTest, KeysAndTheCloseBoxAnswerAsOnTheHomePlatform) {
  const struct {
    MessageButtons buttons;
    MessageAnswer default_answer;
    Qt::Key key;  // Key_unknown: the close box
    bool ends_box;
    MessageAnswer answer;
  } rows[] = {
      {MessageButtons::kYesNo, MessageAnswer::kNo, Qt::Key_Escape, false, MessageAnswer::kYes},
      {MessageButtons::kYesNo, MessageAnswer::kNo, Qt::Key_unknown, false, MessageAnswer::kYes},
      {MessageButtons::kYesNo, MessageAnswer::kNo, Qt::Key_Return, true, MessageAnswer::kNo},
      {MessageButtons::kYesNo, MessageAnswer::kYes, Qt::Key_Return, true, MessageAnswer::kYes},
      {MessageButtons::kOk, MessageAnswer::kOk, Qt::Key_Escape, true, MessageAnswer::kOk},
      {MessageButtons::kOk, MessageAnswer::kOk, Qt::Key_unknown, true, MessageAnswer::kOk},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
    bool ended = true;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      if (row.key == Qt::Key_unknown) box->close();
      if (row.key != Qt::Key_unknown) QTest::keyClick(box, row.key);
      ended = !box->isVisible();
      if (!ended) box->button(QMessageBox::Yes)->click();  // only a button ends it
    });
    const MessageAnswer answer = QtDialogs().ShowMessage(
        {"Text", "Title", MessageIcon::kWarning, row.buttons, row.default_answer});
    EXPECT_EQ(std::pair(ended, answer), std::pair(row.ends_box, row.answer));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
