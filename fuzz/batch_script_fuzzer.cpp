// Any bytes as a batch script: parsed, every command's values resolved,
// described and checked, and the list written back, which must read as the
// same list.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "editor/model/batch_script.h"
#include "sys/folders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::unique_ptr<sys::SettingsStore> store = sys::makeMemorySettingsStore();
  // No curve files there: a short curve block reads the flat curve.
  static const BatchDefaults defaults{*store, sys::joinPath(sys::tempFolder(), "batch-fuzz-no-such-folder")};

  const BatchScript script = parseBatchScript(data, size);
  if (script.status != BatchScriptStatus::Read && !script.commands.empty()) std::abort();
  for (const BatchCommand& command : script.commands) {
    if (command.index >= kBatchCommandCount || command.parameters.size() > batchParameterSize(command.index))
      std::abort();
    const BatchValues values = resolveBatchValues(command, defaults);
    if (values.curve.points.size() > kMaxEnvelopePoints) std::abort();
    for (size_t i = 1; i < values.curve.points.size(); ++i)
      if (values.curve.points[i].position < values.curve.points[i - 1].position) std::abort();
    (void)describeBatchCommand(command, defaults);
    (void)batchCommandProblem(command, defaults);
  }
  const std::vector<uint8_t> written = batchScriptBytes(script.commands);
  const BatchScript again = parseBatchScript(written.data(), written.size());
  if (script.status == BatchScriptStatus::Read) {
    if (again.commands.size() != script.commands.size()) std::abort();
    for (size_t i = 0; i < again.commands.size(); ++i)
      if (again.commands[i].index != script.commands[i].index ||
          again.commands[i].parameters != script.commands[i].parameters)
        std::abort();
  }
  return 0;
}
