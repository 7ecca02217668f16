#pragma once
// A batch run: each file loaded, put through the command list and saved as
// its output plan says. Files are processed in parallel, one worker per
// context given; what each file came to is reported in list order.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor/model/batch_commands.h"
#include "editor/model/batch_output.h"
#include "formats/formats.h"

constexpr int kBatchLoadStep = -1, kBatchSaveStep = -2;

enum class BatchFileStatus { Done, Skipped, Failed, Cancelled, NotRun };

struct BatchFileResult {
  BatchFileStatus status = BatchFileStatus::NotRun;
  std::string text;  // what the list of results shows for the file
};

// Called from the workers; fileFinished comes in list order, one file at a
// time, and covers every file (those not run after a failure or Cancel too).
class BatchRunObserver {
 public:
  virtual ~BatchRunObserver() = default;
  virtual void fileStarted(size_t index) { (void)index; }
  // How far the file's current step is: step is the index of the command
  // running, kBatchLoadStep or kBatchSaveStep. Called often; cheap work only.
  virtual void fileProgress(size_t index, int step, int percent) { (void)index, (void)step, (void)percent; }
  virtual void fileFinished(size_t index, const BatchFileResult& result) = 0;
};

struct BatchRunRequest {
  std::vector<std::string> inputs;
  std::vector<BatchOutputPlan> plans;  // one per input (planBatchOutputs, questions answered)
  std::vector<BatchCommand> commands;
  bool sameFormat = true;  // saving in the input's own format keeps its layout
  // One per worker; each worker uses only its own (an importer keeps its
  // temporary files apart from the others'). Their ui is replaced by one
  // that collects the messages of the file at hand.
  std::vector<FormatContext> workers;
};

// One file, on the calling thread; progress (step, percent) as it goes.
using BatchStepProgress = std::function<void(int step, int percent)>;
BatchFileResult processBatchFile(const std::string& input, const BatchOutputPlan& plan,
                                 const std::vector<BatchCommand>& commands, bool sameFormat,
                                 const FormatContext& context, const BatchDefaults& defaults,
                                 const std::atomic<bool>& cancel, const BatchStepProgress& progress = nullptr);

// Done when every file was written or skipped by the user's choice,
// Cancelled once cancel was set, Failed after a file failed: then no further
// file starts, as after Cancel.
JobResult runBatch(const BatchRunRequest& request, const BatchDefaults& defaults, BatchRunObserver& observer,
                   std::atomic<bool>& cancel);
