// Checks of what an importer is handed before it is opened: a decoder's
// WAVE file and a dictation file's header.

#include "formats/import_messages.h"
#include "formats/importers.h"
#include "formats/wave_format.h"

namespace {
constexpr uint32_t kUnfinishedDataSize = 0xFFFFFFFF;
}  // namespace

bool decodedWaveIsComplete(ByteSource& bytes) {
  WaveLayout layout;
  if (parseWaveLayout(bytes, layout) != SourceStatus::Good) return false;
  return layout.dataBytes != kUnfinishedDataSize;
}

// The layout of dictation files is not published beyond the fields they
// carry, so nothing past the presence of a header can be checked, and no
// audio can be taken out of one.
std::string dictationProblem(ByteSource& bytes) {
  uint8_t first = 0;
  if (bytes.size() <= 0 || !bytes.readExact(&first, 1)) return import_messages::dictationCorrupt();
  return import_messages::dictationLoadError();
}

ImportOutcome importDictation(const std::string& input) {
  auto bytes = openFileBytes(input);
  if (!bytes) return {JobResult::Failed, import_messages::missing(input)};
  return {JobResult::Failed, dictationProblem(*bytes)};
}
