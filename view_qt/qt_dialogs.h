#pragma once

#include <QString>
#include <string>

#include "base/dialogs.h"

class QWidget;

// The text as a Qt box shows it: each line-break pair (LF CR or CR LF) becomes one line break.
QString DisplayText(const std::string& text);

// Modal Qt message boxes.
class QtDialogs : public Dialogs {
 public:
  MessageAnswer ShowMessage(const MessageBoxRequest& request) override;

  QWidget* parent = nullptr;
};
