#pragma once
// The command line: splitting it, handing it to a running editor, and the
// steps it asks for.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sys/command_line_args.h"

using sys::kHandOverSlots;
using sys::kHandOverSlotBytes;
using sys::kHandOverRecordBytes;
using sys::buildHandOverRecord;
using sys::parseHandOverRecord;
using sys::splitCommandLine;

// Whether to start again with "-block" appended: there are arguments, the
// last is not "-block" and the first is not "-install".
bool needsBlockRestart(const std::vector<std::string>& args);

// "-install" or "-uninstall" as the first argument: the program registers
// itself with the shell, or removes its registrations, and ends.
enum class SetupSwitch { None, Install, Uninstall };
SetupSwitch setupSwitchOf(const std::vector<std::string>& args);

struct CommandLineStep {
  enum Kind { Open, OpenProject, Save, SaveAs, Close, Exit, Minimize, Maximize, Restore, Window, Batch, List, RunEdit } kind;
  std::string path;
  int width = -1, height = -1;  // -1: keep the current client size
};

// The steps of args[1..]: options compared ignoring case, other arguments
// opened as sounds (or ".vrp" projects). "-batch" and "-list" end the line.
// "-window" takes up to two following numbers; an argument that is not a
// number is left for the next step.
std::vector<CommandLineStep> parseCommandLine(const std::vector<std::string>& args);
// Whether the step means the program has something to do (it stays open).
bool countsAsDone(const CommandLineStep& step);
// The non-empty lines of a list file (CR LF or LF), without a leading UTF-8 mark.
std::vector<std::string> readListFile(const std::string& text);
