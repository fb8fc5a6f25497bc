// The names of the window's controls, one constant each.
// SPDX-License-Identifier: MIT
#pragma once

// The names of the window's controls, as its table gives them and the handlers look them up.
inline constexpr const char* kHeader = "Header";
inline constexpr const char* kMainFrame = "MainFrame";
inline constexpr const char* kFrameFPI = "FrameFPI";
inline constexpr const char* kCheckEffizienz = "CheckEffizienz";
inline constexpr const char* kCheckAuswurfAufTatsaechliche = "CheckAuswurfAufTatsächliche";
inline constexpr const char* kCommandQuest = "CommandQuest";
inline constexpr const char* kCommandOK = "CommandOK";
inline constexpr const char* kCommandCancel = "CommandCancel";
