// Modal message boxes of the system.
// SPDX-License-Identifier: MIT
#include "view_win32/win32_dialogs.h"

#include "base/codepage.h"
#include "base/line_breaks.h"

UINT MessageBoxFlags(const MessageBoxRequest& request) {
  UINT flags = 0;
  switch (request.icon) {
    case MessageIcon::kCritical:
      flags |= MB_ICONERROR;
      break;
    case MessageIcon::kWarning:
      flags |= MB_ICONWARNING;
      break;
    case MessageIcon::kInformation:
      flags |= MB_ICONINFORMATION;
      break;
  }
  if (request.buttons == MessageButtons::kYesNo) {
    flags |= MB_YESNO;
    if (request.default_answer == MessageAnswer::kNo) flags |= MB_DEFBUTTON2;
  } else {
    flags |= MB_OK;
  }
  return flags;
}

MessageAnswer Win32Dialogs::ShowMessage(const MessageBoxRequest& request) {
  const std::wstring text = text::WideOf(text::WithLineBreaks(request.text, "\r\n"));
  const std::wstring title = text::WideOf(request.title);
  const bool owned = owner != nullptr && IsWindowVisible(owner) != FALSE;
  const UINT flags = MessageBoxFlags(request) | (owned ? 0 : MB_TASKMODAL | MB_SETFOREGROUND);
  int answer = 0;
  do {
    answer = show_box(owned ? owner : nullptr, text.c_str(), title.c_str(), flags);
    // Windows gives a Yes/No box no Escape; Wine lets Escape close it. Asked again, the box
    // stays until a button answers, as on Windows.
  } while (answer == IDCANCEL && request.buttons == MessageButtons::kYesNo);
  switch (answer) {
    case IDYES:
      return MessageAnswer::kYes;
    case IDNO:
      return MessageAnswer::kNo;
    case IDOK:
      return MessageAnswer::kOk;
    default:
      // No box could be shown: take the default button, as a silent answer would.
      return request.default_answer;
  }
}
