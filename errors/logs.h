// The configuration log, the service log, and fault reports to the user.
// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "base/module.h"

// These catch nothing: a log that cannot be written throws RuntimeError to the caller.

// Appends `text` and CR LF to the configuration log: the LOGFILE of an integrated run, otherwise
// (and when an integrated run names none) Q7Xcfglog.txt in the base folder. Returns
// "Error logged to " LF CR and the log's path in upper case.
std::string WriteCfgLog(Module& module, const std::string& text);

// Appends "! Fault " + program name + ": " + text and CR LF to the service log; when that cannot
// be written the entry goes to the system's log and standard error, so it is never lost and never
// throws.
void WriteServiceLog(Module& module, const std::string& text);

// Shows `text` in a critical OK box titled with the program name; in silent mode writes it to
// the service log instead.
void ReportFault(Module& module, const std::string& text);

// Reports a file the program could not find or save: `fault` ("File not found", "File not
// saved"), ":", a line break and the path in upper case.
void ReportFileFault(Module& module, const std::string& fault, const std::string& path);
