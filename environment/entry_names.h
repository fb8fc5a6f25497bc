// The section and entry names of the plant's INI files, one constant each.
// SPDX-License-Identifier: MIT
#pragma once

// The sections and entries the tool reads and writes in the plant's files, spelled as the files
// spell them.

// q7xconfiguration.ini
inline constexpr const char* kCommonSection = "Common";
inline constexpr const char* kSaveAndRestoreEntry = "SaveAndRestore";
inline constexpr const char* kNameMEntry = "NameM";  // followed by the machine's number

// program.ini
inline constexpr const char* kProjectSection = "Project";
inline constexpr const char* kNumberOfMachinesEntry = "NumberOfMachines";
inline constexpr const char* kMachineSection = "Machine";  // followed by the machine's number
inline constexpr const char* kMachineNameEntry = "MachineName";
// The status word the window edits.
inline constexpr const char* kStatusSection = "Machine1";
inline constexpr const char* kStatusEntry = "ZaroMainPictureStatus";

// The machine's configuration file: kValidMachinesEntry in kProjectSection, the edit stamp in
// kInfoSection.
inline constexpr const char* kValidMachinesEntry = "ValidMachines";
inline constexpr const char* kInfoSection = "Info";
inline constexpr const char* kS_ProgEntry = "S_Prog";
inline constexpr const char* kS_EditorEntry = "S_Editor";
