// Message box requests and answers, and the interface every view's boxes implement.
// SPDX-License-Identifier: MIT
#pragma once

#include <string>

enum class MessageIcon { kCritical, kWarning, kInformation };
enum class MessageButtons { kOk, kYesNo };
enum class MessageAnswer { kOk, kYes, kNo };

struct MessageBoxRequest {
  std::string text;  // line breaks inside as the program builds them (LF CR)
  std::string title;
  MessageIcon icon = MessageIcon::kInformation;
  MessageButtons buttons = MessageButtons::kOk;
  MessageAnswer default_answer = MessageAnswer::kOk;
};

// Modal message boxes. The window supplies the real one; tests answer from a script.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual MessageAnswer ShowMessage(const MessageBoxRequest& request) = 0;
};
