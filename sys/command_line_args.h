#pragma once
// A program's arguments: splitting a whole command line, and the record a
// second start of a program hands to its running instance.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sys {

// The record a second start hands to the running instance: a signed 32-bit LE
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

}  // namespace sys
