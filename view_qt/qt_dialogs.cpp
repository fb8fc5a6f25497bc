// Modal Qt message boxes.
// SPDX-License-Identifier: MIT
#include "view_qt/qt_dialogs.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

#include "base/line_breaks.h"

namespace {

// A Yes/No box has no cancel answer, as on the home platform: Escape and the close box do
// nothing there, so only a button ends it. An OK box keeps Escape as OK.
class Box : public QMessageBox {
 public:
  Box(QWidget* parent, bool yes_no) : QMessageBox(parent), yes_no_(yes_no) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (yes_no_ && event->matches(QKeySequence::Cancel)) {
      event->accept();
      return;
    }
    QMessageBox::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override {
    if (yes_no_) {
      event->ignore();
      return;
    }
    QMessageBox::closeEvent(event);
  }

 private:
  bool yes_no_;
};

}  // namespace

MessageAnswer QtDialogs::ShowMessage(const MessageBoxRequest& request) {
  const bool yes_no = request.buttons == MessageButtons::kYesNo;
  Box box(parent, yes_no);
  box.setWindowTitle(QString::fromStdString(request.title));
  box.setTextFormat(Qt::PlainText);
  box.setText(QString::fromStdString(text::WithLineBreaks(request.text, "\n")));
  switch (request.icon) {
    case MessageIcon::kCritical:
      box.setIcon(QMessageBox::Critical);
      break;
    case MessageIcon::kWarning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageIcon::kInformation:
      box.setIcon(QMessageBox::Information);
      break;
  }
  if (yes_no) {
    box.setWindowFlag(Qt::WindowCloseButtonHint, false);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(request.default_answer == MessageAnswer::kNo ? QMessageBox::No
                                                                      : QMessageBox::Yes);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  switch (box.exec()) {
    case QMessageBox::Yes:
      return MessageAnswer::kYes;
    case QMessageBox::No:
      return MessageAnswer::kNo;
    default:
      return yes_no ? request.default_answer : MessageAnswer::kOk;
  }
}
