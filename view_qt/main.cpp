#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/silent_run.h"
#include "environment/native_runtime.h"
#include "errors/error_handler.h"
#include "version.h"
#include "view_qt/main_window.h"

namespace {

constexpr const char* kProgram = "Zaro_MainPictureExt_Config";

constexpr const char* kUsage =
    "Usage: Zaro_MainPictureExt_Config [/EXTERNAL=Q7XCFG [/LOGFILE=<path>] | /EXTERNAL=SILENT]\n"
    "Edits bits 0 and 1 of ZaroMainPictureStatus in the plant's parameter/Program.ini. The\n"
    "program lies in <base>/Zaro_MainPictureExt/ and finds every file from there.\n"
    "  (no option)        standalone: the window opens with the local Program.ini\n"
    "  /EXTERNAL=Q7XCFG   integrated: as started by the configurator, from its SaveAndRestore "
    "copy\n"
    "  /LOGFILE=<path>    the configuration log of an integrated run\n"
    "  /EXTERNAL=SILENT   silent: no window, saves the stored bits and stamps the edit\n"
    "  --version          prints the version\n";

// Options of our own that touch no file; only a lone, exact argument counts, so that no command
// line of the configurator can ever be taken for one.
bool AnswerInformationOption(int argc, char** argv) {
  if (argc != 2) return false;
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("%s %d.%d.%d\n", kProgram, build_info::kVersionMajor, build_info::kVersionMinor,
                build_info::kVersionRevision);
    return true;
  }
  if (std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return true;
  }
  return false;
}

struct HeldMessage {
  QtMsgType type;
  QByteArray category;
  QString text;
};

QtMessageHandler previous_handler = nullptr;
QList<HeldMessage> held_messages;

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
      // Qt tries Wayland first in a Wayland session and gets here only when X11 (XWayland)
      // failed too; Debian ships that plugin apart from Qt GUI.
      const std::string install = plugin == "wayland" ? "; install the package qt6-wayland" : "";
      return "the window cannot be shown, Qt's platform plugin \"" + plugin +
             "\" is not installed" +
             (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ? " (QT_QPA_PLATFORM names it)" : "") +
             install;
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

// Holds Qt's messages while the application starts: shown as they are when the start succeeds,
// replaced by one line when it fails (Qt would abort the process).
void StartMessageHandler(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
  if (type != QtFatalMsg) {
    held_messages.append({type, QByteArray(context.category), message});
    return;
  }
  std::fprintf(stderr, "%s: %s.\n", kProgram, StartFailure().c_str());
  std::fflush(stderr);
  std::_Exit(kExitFailure);
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

int RunWindow(NativeRuntime& runtime, int argc, char** argv) {
  previous_handler = qInstallMessageHandler(StartMessageHandler);
  QApplication application(argc, argv);
  ReleaseStartMessages();
  runtime.SetEventPump([] { QCoreApplication::processEvents(); });

  MainWindow main_window(runtime);
  main_window.LoadAndShow();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (AnswerInformationOption(argc, argv)) return 0;
  // Before any toolkit sees them: the window's logic reads the arguments as they were given.
  NativeRuntime runtime(argc, argv);
  if (IsSilentRun(runtime)) return RunSilent(runtime);
  return RunWindow(runtime, argc, argv);
}
