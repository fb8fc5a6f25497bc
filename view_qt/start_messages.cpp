// Holds Qt's start messages and names the cause when the window cannot be shown.
// SPDX-License-Identifier: MIT
#include "view_qt/start_messages.h"

#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <QtGlobal>
#include <cstdio>
#include <string>

#include "base/runtime.h"

namespace {

struct HeldMessage {
  QtMsgType type;
  QByteArray category;
  QString text;
};

QtMessageHandler previous_handler = nullptr;
QList<HeldMessage> held_messages;
const char* program_name = "";
Runtime* ending_runtime = nullptr;

// Qt's platform plugin explains a failed start in several lines, one of them advising to
// reinstall; the user gets one line of ours that names the cause instead.
std::string StartFailure() {
  static const QRegularExpression missing_plugin(
      QStringLiteral("Could not find the Qt platform plugin \"([^\"]*)\""));
  static const QRegularExpression failed_plugin(
      QStringLiteral("Could not load the Qt platform plugin \"([^\"]*)\""));
  std::string cause;
  std::string failure = "no Qt platform plugin could be started";
  for (const HeldMessage& message : held_messages) {
    const QRegularExpressionMatch failed = failed_plugin.match(message.text);
    if (failed.hasMatch()) {
      failure = "Qt's platform plugin \"" + failed.captured(1).toStdString() + "\" failed to load";
    }
    const QRegularExpressionMatch match = missing_plugin.match(message.text);
    if (match.hasMatch()) {
      const std::string plugin = match.captured(1).toStdString();
      std::string reason = "the window cannot be shown, Qt's platform plugin \"" + plugin;
      reason += "\" is not installed";
      if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) reason += " (QT_QPA_PLATFORM names it)";
      // Qt tries Wayland first in a Wayland session and gets here only when X11 (XWayland)
      // failed too; Debian ships that plugin apart from Qt GUI.
      if (plugin == "wayland") reason += "; install the package qt6-wayland";
      return reason;
    }
    if (message.text.contains(QStringLiteral("display"), Qt::CaseInsensitive)) {
      const char* variable =
          message.text.contains(QStringLiteral("wl_display")) ? "WAYLAND_DISPLAY" : "DISPLAY";
      const QString display = qEnvironmentVariable(variable);
      cause = display.isEmpty()
                  ? std::string(variable) + " is not set"
                  : "cannot connect to " + std::string(variable) + "=" + display.toStdString();
    }
  }
  if (cause.empty()) return "the window cannot be shown, " + failure;
  return "the window cannot be shown, no display is available (" + cause +
         "); start it in a desktop session, or with /EXTERNAL=SILENT to save without a window";
}

void HandleStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    held_messages.append({type, QByteArray(context.category), message});
    return;
  }
  static_cast<void>(std::fprintf(stderr, "%s: %s.\n", program_name, StartFailure().c_str()));
  ending_runtime->EndProcess(kExitFailure);
}

}  // namespace

void HoldStartMessages(const char* program, Runtime& runtime) {
  program_name = program;
  ending_runtime = &runtime;
  previous_handler = qInstallMessageHandler(HandleStartMessage);
}

void ReleaseStartMessages() {
  qInstallMessageHandler(previous_handler);
  if (previous_handler == nullptr) return;
  for (const HeldMessage& message : held_messages) {
    const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
    previous_handler(message.type, context, message.text);
  }
  held_messages.clear();
}
