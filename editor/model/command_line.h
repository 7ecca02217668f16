#pragma once
// The command line: splitting it, handing it to a running editor, and the
// steps it asks for.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The record a second start hands to the running editor: a signed 32-bit LE
// count, then kHandOverSlots slots of kHandOverSlotBytes, each a
// zero-terminated argument (argument 0 is the program path).
constexpr int kHandOverSlots = 128;
constexpr size_t kHandOverSlotBytes = 260;
constexpr size_t kHandOverRecordBytes = 4 + kHandOverSlots * kHandOverSlotBytes;  // 33,284

// Arguments past the 128th are dropped; each is cut to 259 bytes.
std::vector<uint8_t> buildHandOverRecord(const std::vector<std::string>& args);
// False for a record of the wrong size or with a count outside 0..128. Each
// slot is read up to its first zero and never past its 259th byte.
bool parseHandOverRecord(const uint8_t* data, size_t size, std::vector<std::string>& args);

// Splits a whole command line (program first) the way Windows programs do:
// blanks separate, quotes group, 2n backslashes before a quote give n and the
// quote groups, 2n+1 give n and a literal quote; "" inside quotes is a quote.
// The program name ends at the closing quote or the first blank.
std::vector<std::string> splitCommandLine(const std::string& commandLine);

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
