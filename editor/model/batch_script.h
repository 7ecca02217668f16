#pragma once
// Batch script files (".vrb"): a version byte (0), then one record per
// command until the end of the file: the command's index (u32 LE), the
// length of its parameter block (u32 LE) and the block.

#include <cstdint>
#include <string>
#include <vector>

#include "editor/model/batch_commands.h"

constexpr const char* kBatchScriptExtension = ".vrb";
constexpr const char* kUntitledBatchScript = "Untitled.vrb";

enum class BatchScriptStatus {
  Read,
  WrongVersion,  // empty, or a first byte other than 0
  Corrupt,       // a command index past the list
  Unreadable,    // the file cannot be opened
};

struct BatchScript {
  BatchScriptStatus status = BatchScriptStatus::Read;
  std::vector<BatchCommand> commands;  // empty unless Read
};

// Scripts are passed around, so nothing in one is trusted: a record whose
// length fields cannot be read whole or whose block runs past the end ends
// the list; a block longer than its command's parameters keeps only those.
BatchScript parseBatchScript(const uint8_t* bytes, size_t size);
std::vector<uint8_t> batchScriptBytes(const std::vector<BatchCommand>& commands);

BatchScript readBatchScriptFile(const std::string& path);
// Through a file beside the target, which it replaces only once complete.
bool writeBatchScriptFile(const std::string& path, const std::vector<BatchCommand>& commands);
