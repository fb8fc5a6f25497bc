// Modal Qt message boxes.
// SPDX-License-Identifier: MIT
#pragma once

#include "base/dialogs.h"

class QWidget;

// Modal Qt message boxes.
class QtDialogs : public Dialogs {
 public:
  MessageAnswer ShowMessage(const MessageBoxRequest& request) override;

  QWidget* parent = nullptr;
};
