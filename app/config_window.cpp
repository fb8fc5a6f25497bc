// The window's logic: loading the status bits, saving them on OK, cancel and help.
// SPDX-License-Identifier: MIT
#include "app/config_window.h"

#include "app/closing.h"
#include "app/control_names.h"
#include "app/edit_stamp.h"
#include "base/runtime.h"
#include "environment/command_line.h"
#include "environment/entry_names.h"
#include "environment/file_locations.h"
#include "environment/machine_list.h"
#include "errors/error_handler.h"
#include "errors/logs.h"
#include "settings/ini_access.h"
#include "settings/status_bits.h"
#include "ui_text/help_mode.h"
#include "ui_text/localisation.h"

namespace {

constexpr std::int16_t kEffizienzBit = 0;
constexpr std::int16_t kAuswurfBit = 1;

// The window's caption: how the program runs, named after the program's own folder.
std::string CaptionOf(Module& module, bool integrated) {
  return "Erweiterte Konfiguration " + GetFileNameOnly(module, module.runtime.ProgramFolder()) +
         (integrated ? " - integriert" : " - standalone");
}

// The stored status word, 0 when missing or negative, read under the caller's error pattern after
// the check that the machine's configuration file exists. `path` is where it was looked for.
std::int16_t ReadStatusWord(Procedure& proc, PathKind path_kind, std::string& path) {
  Module& module = proc.module();
  std::int16_t status_word = 0;
  proc.Step([&] { GetValidMachines(module); });
  proc.Step([&] { path = GetProgramIniPath(module, path_kind); });
  proc.Step([&] { status_word = LoadIniInteger(module, kStatusSection, kStatusEntry, path); });
  return status_word < 0 ? std::int16_t{0} : status_word;
}

// Counts a handler as under way for as long as it runs, however it leaves.
class UnderWay {
 public:
  explicit UnderWay(int& handlers) : handlers_(handlers) { ++handlers_; }
  ~UnderWay() { --handlers_; }
  UnderWay(const UnderWay&) = delete;
  UnderWay& operator=(const UnderWay&) = delete;

 private:
  int& handlers_;
};

}  // namespace

ConfigWindow::ConfigWindow(Module& module, Form& form) : module_(module), form_(form) {
  form_[kCommandOK].on_click = [this] { CommandOK_Click(); };
  form_[kCommandCancel].on_click = [this] { CommandCancel_Click(); };
  form_[kCommandQuest].on_click = [this] { CommandQuest_Click(); };
  form_[kCheckEffizienz].on_click = [this] { CheckEffizienz_Click(); };
  form_[kCheckAuswurfAufTatsaechliche].on_click = [this] { CheckAuswurfAufTatsaechliche_Click(); };
}

void ConfigWindow::Form_Load() {
  const UnderWay under_way(handlers_under_way_);
  Procedure proc(module_, "Form_Load");
  proc.Step([&] { LoadToolTipTexts(module_, form_); });
  proc.Step([&] { configuration_ini_path_ = GetQ7XConfigurationIniPath(module_); });
  // A failed mode query resumes in the integrated branch.
  const bool integrated = proc.Test([&] { return GetStartModeIntegrated(module_); });
  proc.Step([&] { form_.SetCaption(CaptionOf(module_, integrated)); });
  proc.Step([&] { GetExistingMachines(module_, configuration_ini_path_); });
  proc.Step([&] { SetupUserInterFace(); });
  if (!module_.state.SilentMode) {
    proc.Step([&] { form_[kCommandOK].SetEnabled(true); });
    proc.Step([&] { form_[kCommandCancel].SetEnabled(true); });
  } else {
    proc.Step([&] { CommandOK_Click(); });
  }
}

void ConfigWindow::Form_Activate() {
  const UnderWay under_way(handlers_under_way_);
  Procedure proc(module_, "Form_Activate");
  proc.Step([&] { form_[kCommandOK].SetEnabled(true); });
}

void ConfigWindow::Form_Resize() {
  // The controls keep their designed places whatever the window's size; the handler still
  // follows the error pattern like every form event.
  Procedure proc(module_, "Form_Resize");
}

void ConfigWindow::SetupUserInterFace() {
  Procedure proc(module_, "SetupUserInterFace");
  std::string path;
  const std::int16_t status_word = ReadStatusWord(proc, PathKind::kConfiguratorCopy, path);
  proc.Step([&] { form_[kCheckEffizienz].SetValue(ReadBit(module_, status_word, kEffizienzBit)); });
  proc.Step([&] {
    form_[kCheckAuswurfAufTatsaechliche].SetValue(ReadBit(module_, status_word, kAuswurfBit));
  });
}

void ConfigWindow::WriteInputs() {
  Procedure proc(module_, "WriteInputs");
  std::string path;
  std::int16_t status_word = ReadStatusWord(proc, PathKind::kLocal, path);
  proc.Step([&] {
    status_word = WriteBit(module_, status_word, kEffizienzBit,
                           static_cast<std::int16_t>(form_[kCheckEffizienz].Value()));
  });
  proc.Step([&] {
    status_word = WriteBit(module_, status_word, kAuswurfBit,
                           static_cast<std::int16_t>(form_[kCheckAuswurfAufTatsaechliche].Value()));
  });
  // A save that cannot reach the file is reported, never passed over.
  if (path.empty()) {
    save_failed_ = true;
    proc.Step([&] { ReportFileFault(module_, "File not found", LocalProgramIniPath(module_)); });
  } else {
    proc.Step([&] {
      if (SaveIni(module_, status_word, kStatusSection, kStatusEntry, path) == 0) {
        save_failed_ = true;
        ReportFileFault(module_, "File not saved", path);
      }
    });
  }
  // A stamp records an edit: none when the word never reached its file.
  if (!save_failed_) {
    proc.Step([&] {
      if (!WriteEditInfo(module_)) save_failed_ = true;
    });
  }
}

void ConfigWindow::CommandOK_Click() {
  const UnderWay under_way(handlers_under_way_);
  Procedure proc(module_, "CommandOK_Click");
  if (module_.state.HelpMode) {
    proc.Step([&] { ShowHelpInfo(module_, form_[kCommandOK]); });
    return;
  }
  proc.Step([&] { form_[kCommandOK].SetEnabled(false); });
  proc.Step([&] { form_[kCommandCancel].SetEnabled(false); });
  proc.Step([&] { CloseMe(); });
}

void ConfigWindow::CloseMe() {
  Procedure proc(module_, "CloseMe");
  proc.Step([&] { module_.runtime.ProcessPendingEvents(); });
  proc.Step([&] { form_.SetPointer(MousePointer::kHourglass); });
  proc.Step([&] { WriteInputs(); });
  proc.Step([&] { form_.SetPointer(MousePointer::kDefault); });
  module_.runtime.EndProcess(save_failed_ ? kExitFailure : kExitSuccess);
}

void ConfigWindow::CommandCancel_Click() {
  const UnderWay under_way(handlers_under_way_);
  Procedure proc(module_, "CommandCancel_Click");
  if (module_.state.HelpMode) {
    proc.Step([&] { ShowHelpInfo(module_, form_[kCommandCancel]); });
    return;
  }
  // A failed question resumes inside the branch: the program ends.
  if (proc.Test([&] { return AskCancelEdits(module_); })) {
    module_.runtime.EndProcess(kExitSuccess);
  }
}

void ConfigWindow::Form_QueryUnload(Boolean& cancel, std::int16_t /*unload_mode*/) {
  if (handlers_under_way_ > 0) {
    cancel = kTrue;
    return;
  }
  const UnderWay under_way(handlers_under_way_);
  Procedure proc(module_, "Form_QueryUnload");
  // A failed question resumes inside the branch: the window stays open.
  if (proc.Test([&] { return !AskCancelEdits(module_); })) cancel = kTrue;
}

void ConfigWindow::CommandQuest_Click() {
  ToggleHelpMode(module_, form_[kCommandQuest]);
}

void ConfigWindow::CheckEffizienz_Click() {
  const UnderWay under_way(handlers_under_way_);  // its help box
  HelpModeClick(module_, form_[kCheckEffizienz]);
}

void ConfigWindow::CheckAuswurfAufTatsaechliche_Click() {
  const UnderWay under_way(handlers_under_way_);
  HelpModeClick(module_, form_[kCheckAuswurfAufTatsaechliche]);
}
