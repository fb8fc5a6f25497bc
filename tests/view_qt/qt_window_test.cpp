#include "view_qt/qt_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/window_table.h"
#include "support/fakes.h"
#include "view_qt/main_window.h"
#include "view_qt/qt_dialogs.h"

namespace {

constexpr const char* kBox1 = "CheckEffizienz";
constexpr const char* kBox2 = "CheckAuswurfAufTatsächliche";

class QtWindowTest : public ModuleTest {
 protected:
  QtWindowTest() {
    Put("parameter/Program.ini", "[Machine1]\r\nZaroMainPictureStatus=1\r\n");
    Put("Zaro_MainPictureExt/Zaro_MainPictureExt.cfg", "[Project]\r\nValidMachines=1\r\n");
    Put("Tools/Zaro_MainPictureExt_Config.ini", "[1031]\r\nHelp11=Efficiency\r\n");
  }

  template <typename T = QWidget>
  T* Widget(const std::string& name) {
    return qobject_cast<T*>(view_.ControlWidget(name));
  }

  Form form_ = MakeMainForm();
  ConfigWindow window_{module_, form_};
  QtWindow view_{module_, form_, window_};
};

TEST_F(QtWindowTest, WidgetsFollowTheTableOfControls) {
  EXPECT_EQ(view_.size(), QSize(792, 573));
  EXPECT_EQ(view_.windowTitle(), "Base Q7XCFG-Erweiterung");
  EXPECT_EQ(view_.palette().color(QPalette::Window), QColor(192, 192, 192));
  for (const ControlDesign& design : MainWindowTable()) {
    SCOPED_TRACE(design.name);
    QWidget* widget = Widget(design.name);
    ASSERT_NE(widget, nullptr);
    QWidget* container = design.container.empty() ? &view_ : Widget(design.container);
    EXPECT_EQ(widget->parentWidget(), container);
    EXPECT_EQ(widget->geometry(),
              QRect(design.left / 15, design.top / 15, design.width / 15, design.height / 15));
    EXPECT_EQ(widget->palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_EQ(widget->isEnabled(), design.name != "CommandOK");
  }
  EXPECT_NE(Widget<QGroupBox>("MainFrame"), nullptr);
  EXPECT_EQ(Widget<QGroupBox>("FrameFPI")->title(), "");
  QLabel* header = Widget<QLabel>("Header");
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->text(), "Zaro_MainPictureExt - Konfiguration Hauptbild Zaro");
  EXPECT_DOUBLE_EQ(header->font().pointSizeF(), 13.5);
  EXPECT_TRUE(header->font().bold());
  QCheckBox* box2 = Widget<QCheckBox>(kBox2);
  ASSERT_NE(box2, nullptr);
  EXPECT_EQ(box2->text(), "Auswurfberechnung mit tatsächlicher Produktion");
  EXPECT_DOUBLE_EQ(box2->font().pointSizeF(), 12);
  EXPECT_TRUE(box2->font().bold());
  EXPECT_EQ(Widget<QPushButton>("CommandQuest")->iconSize(), QSize(41, 45));
  EXPECT_EQ(Widget<QPushButton>("CommandOK")->iconSize(), QSize(44, 36));
  EXPECT_EQ(Widget<QPushButton>("CommandCancel")->iconSize(), QSize(37, 39));
  for (const char* name : {"CommandQuest", "CommandOK", "CommandCancel"}) {
    EXPECT_EQ(Widget<QPushButton>(name)->text(), "");
    EXPECT_FALSE(Widget<QPushButton>(name)->autoDefault());
  }

  window_.Form_Load();
  EXPECT_EQ(view_.windowTitle(), "Erweiterte Konfiguration Tools - standalone");
  EXPECT_TRUE(Widget("CommandOK")->isEnabled());
  EXPECT_TRUE(Widget<QCheckBox>(kBox1)->isChecked());
  EXPECT_FALSE(box2->isChecked());
}

// With the real modal box, whose own event loop runs inside the box's click.
TEST_F(QtWindowTest, HelpModeKeepsTheTickAndShowsOneBoxPerClick) {
  MainWindow real(runtime_);
  real.LoadAndShow();
  QtWindow& view = real.view;
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
  auto* box = qobject_cast<QCheckBox*>(view.ControlWidget(kBox1));
  auto* quest = qobject_cast<QPushButton*>(view.ControlWidget("CommandQuest"));
  // Far from the indicator: the whole rectangle of a box takes the click.
  const QPoint on_caption(4, box->height() / 2);

  QTest::mouseClick(box, Qt::LeftButton, {}, on_caption);
  EXPECT_FALSE(box->isChecked());
  QTest::mouseClick(box, Qt::LeftButton, {}, on_caption);
  EXPECT_TRUE(box->isChecked());
  EXPECT_EQ(boxes, 0);

  QTest::mouseClick(quest, Qt::LeftButton);
  EXPECT_EQ(quest->palette().color(QPalette::Button), QColor(0, 255, 0));
  for (int click = 1; click <= 3; ++click) {
    if (click < 3) {
      QTest::mouseClick(box, Qt::LeftButton, {}, on_caption);
    } else {
      box->setFocus();
      QTest::keyClick(box, Qt::Key_Space);
    }
    EXPECT_EQ(boxes, click);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(real.form[kBox1].Value(), 1);
    EXPECT_FALSE(real.module.state.HelpClickGuard);
  }

  QTest::mouseClick(quest, Qt::LeftButton);
  EXPECT_EQ(quest->palette().color(QPalette::Button), QColor(192, 192, 192));
  QTest::keyClick(box, Qt::Key_Space);
  EXPECT_FALSE(box->isChecked());
  EXPECT_EQ(boxes, 3);
}

TEST_F(QtWindowTest, ACloseRequestAnsweredNoKeepsTheWindowOpen) {
  window_.Form_Load();
  view_.show();
  dialogs_.answers = {MessageAnswer::kNo};
  EXPECT_FALSE(view_.close());
  EXPECT_TRUE(view_.isVisible());
  ASSERT_EQ(dialogs_.shown.size(), 1U);
  EXPECT_EQ(dialogs_.shown[0].title, "Cancel?");
  dialogs_.answers = {MessageAnswer::kYes};
  EXPECT_TRUE(view_.close());
}

TEST(QtDialogText, EachLineBreakPairShowsAsOneBreak) {
  EXPECT_EQ(DisplayText("a\n\rb\r\nc"), "a\nb\nc");
  EXPECT_EQ(DisplayText("a\r\n\r\nb"), "a\n\nb");
  EXPECT_EQ(DisplayText("end\n\r"), "end\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
