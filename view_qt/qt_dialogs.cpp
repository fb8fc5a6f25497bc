#include "view_qt/qt_dialogs.h"

#include <QMessageBox>

QString DisplayText(const std::string& text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\n' && c != '\r') {
      shown += c;
      continue;
    }
    shown += '\n';
    const bool pair =
        i + 1 < text.size() && (text[i + 1] == '\n' || text[i + 1] == '\r') && text[i + 1] != c;
    if (pair) ++i;
  }
  return QString::fromStdString(shown);
}

MessageAnswer QtDialogs::ShowMessage(const MessageBoxRequest& request) {
  QMessageBox box(parent);
  box.setWindowTitle(QString::fromStdString(request.title));
  box.setTextFormat(Qt::PlainText);
  box.setText(DisplayText(request.text));
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
  if (request.buttons == MessageButtons::kYesNo) {
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
      return request.buttons == MessageButtons::kYesNo ? request.default_answer
                                                       : MessageAnswer::kOk;
  }
}
