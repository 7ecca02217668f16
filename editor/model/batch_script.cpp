#include "editor/model/batch_script.h"

#include <algorithm>

#include "sys/file.h"
#include "sys/folders.h"

namespace {

constexpr uint8_t kScriptVersion = 0;
// Far beyond any script a person builds; keeps a damaged file from making
// millions of empty commands.
constexpr size_t kMaxScriptCommands = 10000;

uint32_t readU32(const uint8_t* bytes) {
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

void appendU32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

BatchScript parseBatchScript(const uint8_t* bytes, size_t size) {
  BatchScript script;
  if (size == 0 || bytes[0] != kScriptVersion) {
    script.status = BatchScriptStatus::WrongVersion;
    return script;
  }
  size_t offset = 1;
  while (size - offset >= 8 && script.commands.size() < kMaxScriptCommands) {
    const uint32_t index = readU32(bytes + offset);
    const uint32_t length = readU32(bytes + offset + 4);
    offset += 8;
    if (index >= kBatchCommandCount) {
      script.status = BatchScriptStatus::Corrupt;
      script.commands.clear();
      return script;
    }
    if (length > size - offset) break;
    const size_t kept = std::min<size_t>(length, batchParameterSize(index));
    script.commands.push_back({index, std::vector<uint8_t>(bytes + offset, bytes + offset + kept)});
    offset += length;
  }
  return script;
}

std::vector<uint8_t> batchScriptBytes(const std::vector<BatchCommand>& commands) {
  std::vector<uint8_t> bytes{kScriptVersion};
  for (const BatchCommand& command : commands) {
    appendU32(bytes, command.index);
    appendU32(bytes, static_cast<uint32_t>(command.parameters.size()));
    bytes.insert(bytes.end(), command.parameters.begin(), command.parameters.end());
  }
  return bytes;
}

BatchScript readBatchScriptFile(const std::string& path) {
  sys::File file = sys::File::open(path, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
  if (!file.isOpen()) return {BatchScriptStatus::Unreadable, {}};
  // A script of a person's making is a few kilobytes; more is not a script.
  constexpr int64_t kMaxScriptBytes = 16 << 20;
  const int64_t size = file.size();
  if (size < 0 || size > kMaxScriptBytes) return {BatchScriptStatus::WrongVersion, {}};
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  bytes.resize(file.read(bytes.data(), bytes.size()));
  return parseBatchScript(bytes.data(), bytes.size());
}

bool writeBatchScriptFile(const std::string& path, const std::vector<BatchCommand>& commands) {
  const std::string beside = sys::createFileBeside(path);
  if (beside.empty()) return false;
  const std::vector<uint8_t> bytes = batchScriptBytes(commands);
  bool written = false;
  {
    sys::File file = sys::File::open(beside, sys::Access::ReadWrite, sys::Share::None, sys::Disposition::OpenExisting);
    written = file.isOpen() && file.write(bytes.data(), bytes.size()) == bytes.size() && file.flush();
  }
  if (written && sys::replaceFile(beside, path)) return true;
  sys::deleteFile(beside);
  return false;
}
