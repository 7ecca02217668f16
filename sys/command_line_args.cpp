#include "sys/command_line_args.h"

#include <algorithm>
#include <cstring>

namespace sys {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<uint8_t> buildHandOverRecord(const std::vector<std::string>& args) {
  std::vector<uint8_t> record(kHandOverRecordBytes, 0);
  auto count = static_cast<uint32_t>(std::min<size_t>(args.size(), kHandOverSlots));
  for (int shift = 0; shift < 32; shift += 8) record[shift / 8] = static_cast<uint8_t>(count >> shift);
  for (uint32_t i = 0; i < count; ++i) {
    size_t bytes = std::min(args[i].size(), kHandOverSlotBytes - 1);
    std::memcpy(record.data() + 4 + i * kHandOverSlotBytes, args[i].data(), bytes);
  }
  return record;
}

bool parseHandOverRecord(const uint8_t* data, size_t size, std::vector<std::string>& args) {
  args.clear();
  if (data == nullptr || size != kHandOverRecordBytes) return false;
  auto count = static_cast<int32_t>(static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                                    static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24);
  if (count < 0 || count > kHandOverSlots) return false;
  for (int32_t i = 0; i < count; ++i) {
    const auto* slot = reinterpret_cast<const char*>(data + 4 + static_cast<size_t>(i) * kHandOverSlotBytes);
    const char* end = std::find(slot, slot + kHandOverSlotBytes - 1, '\0');
    args.emplace_back(slot, end);
  }
  return true;
}

std::vector<std::string> splitCommandLine(const std::string& commandLine) {
  std::vector<std::string> args;
  size_t pos = 0, size = commandLine.size();

  // The program name: quotes only group, backslashes are plain.
  while (pos < size && isBlank(commandLine[pos])) ++pos;
  if (pos == size) return args;
  std::string program;
  if (commandLine[pos] == '"') {
    size_t close = commandLine.find('"', pos + 1);
    if (close == std::string::npos) close = size;
    program = commandLine.substr(pos + 1, close - pos - 1);
    pos = std::min(close + 1, size);
  } else {
    while (pos < size && !isBlank(commandLine[pos])) program += commandLine[pos++];
  }
  args.push_back(program);

  for (;;) {
    while (pos < size && isBlank(commandLine[pos])) ++pos;
    if (pos == size) break;
    std::string arg;
    bool quoted = false;
    while (pos < size && (quoted || !isBlank(commandLine[pos]))) {
      char c = commandLine[pos];
      if (c == '\\') {
        size_t slashes = 0;
        while (pos < size && commandLine[pos] == '\\') ++slashes, ++pos;
        if (pos < size && commandLine[pos] == '"') {
          arg.append(slashes / 2, '\\');
          if (slashes % 2 == 1) {
            arg += '"';
            ++pos;
          }
          // An even count leaves the quote to the code below.
        } else {
          arg.append(slashes, '\\');
        }
      } else if (c == '"') {
        if (quoted && pos + 1 < size && commandLine[pos + 1] == '"') {
          arg += '"';
          pos += 2;
        } else {
          quoted = !quoted;
          ++pos;
        }
      } else {
        arg += c;
        ++pos;
      }
    }
    args.push_back(arg);
  }
  return args;
}

}  // namespace sys
