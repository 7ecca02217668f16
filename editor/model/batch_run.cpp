#include "editor/model/batch_run.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <thread>

#include "formats/sound_file_io.h"
#include "formats/extension.h"

namespace {

// A batch shows no dialogs: messages become the file's result line, and a
// raw file is read with the stored layout.
class CollectingFileUi : public FileUi {
 public:
  void showError(const std::string& text) override {
    if (m_error.empty()) m_error = text;
  }
  void showWarning(const std::string& text) override {
    if (m_warning.empty()) m_warning = text;
  }
  bool chooseRawFormat(const std::string&, RawFormat&) override { return true; }
  const std::string& error() const { return m_error; }
  const std::string& warning() const { return m_warning; }

 private:
  std::string m_error, m_warning;
};

// Asked by every long step of a file: Cancel, and how far the step is,
// passed on only when the whole percent changes.
class CancelCheck : public ProgressCallback {
 public:
  CancelCheck(const std::atomic<bool>& cancel, const BatchStepProgress& report) : m_cancel(cancel), m_report(report) {}
  void startStep(int step) {
    m_step = step;
    m_percent = -1;
    progress(0, 1);
  }
  bool progress(int64_t done, int64_t total) override {
    if (m_report && total > 0) {
      const int percent = static_cast<int>(std::clamp<int64_t>(done * 100 / total, 0, 100));
      if (percent != m_percent) m_report(m_step, m_percent = percent);
    }
    return !m_cancel.load();
  }

 private:
  const std::atomic<bool>& m_cancel;
  const BatchStepProgress& m_report;
  int m_step = kBatchLoadStep;
  int m_percent = -1;
};

BatchFileResult resultOf(BatchFileStatus status, std::string text) { return {status, std::move(text)}; }

std::string withReason(std::string text, const std::string& reason) {
  return reason.empty() ? text : text + " " + reason;
}

std::optional<BatchFileResult> planRefusal(const BatchOutputPlan& plan) {
  switch (plan.action) {
    case BatchOutputAction::NoFormat: return resultOf(BatchFileStatus::Failed, "Failed: the output format is unknown.");
    case BatchOutputAction::Skip:
      return resultOf(BatchFileStatus::Skipped, "Skipped: \"" + plan.path + "\" already exists.");
    case BatchOutputAction::InList:
      return resultOf(BatchFileStatus::Skipped,
                      "Skipped: \"" + plan.path + "\" is another file of the list or its output.");
    case BatchOutputAction::AskReplace:  // never asked: keep the file
      return resultOf(BatchFileStatus::Skipped, "Skipped: \"" + plan.path + "\" already exists.");
    default: return std::nullopt;
  }
}

}  // namespace

BatchFileResult processBatchFile(const std::string& input, const BatchOutputPlan& plan,
                                 const std::vector<BatchCommand>& commands, bool sameFormat,
                                 const FormatContext& baseContext, const BatchDefaults& defaults,
                                 const std::atomic<bool>& cancel, const BatchStepProgress& progress) {
  if (std::optional<BatchFileResult> refused = planRefusal(plan)) return *refused;
  CollectingFileUi messages;
  CancelCheck check(cancel, progress);
  FormatContext context = baseContext;
  context.ui = &messages;
  if (!context.encoderWait) context.encoderWait = &check;

  SoundBuffer sound;  // 44,100 Hz mono until loaded
  check.startStep(kBatchLoadStep);
  const JobResult loaded = loadSoundFile(input, context, sound, &check);
  if (loaded == JobResult::Cancelled || cancel) return resultOf(BatchFileStatus::Cancelled, "Cancelled.");
  if (loaded != JobResult::Done) return resultOf(BatchFileStatus::Failed, withReason("Failed to load.", messages.error()));

  std::string skipped;
  for (size_t step = 0; step < commands.size(); ++step) {
    const BatchCommand& command = commands[step];
    const char* name = batchCommandName(command.index);
    check.startStep(static_cast<int>(step));
    switch (runBatchCommand(sound, command, defaults, &check)) {
      case BatchCommandOutcome::Done: break;
      case BatchCommandOutcome::Skipped: skipped += (skipped.empty() ? "" : ", ") + std::string(name); break;
      case BatchCommandOutcome::Cancelled: return resultOf(BatchFileStatus::Cancelled, "Cancelled.");
      case BatchCommandOutcome::Refused:
        return resultOf(BatchFileStatus::Failed,
                        "Failed: " + batchCommandProblem(command, defaults).value_or(std::string(name)));
      case BatchCommandOutcome::Failed:
        return resultOf(BatchFileStatus::Failed, std::string("Failed: ") + name + " did not complete.");
    }
    if (cancel) return resultOf(BatchFileStatus::Cancelled, "Cancelled.");
  }

  check.startStep(kBatchSaveStep);
  SinkRequest request;
  request.path = plan.path;
  // Saved in its own format, a file keeps its layout; a chosen format takes
  // the channels and rate of that format's settings, as Save As does.
  request.channelsOverride = sameFormat ? sound.channels() : 0;
  request.sameFormat = sameFormat;
  if (sameFormat && lowerExtension(input) == ".wav") request.keepWidthOf = input;
  const JobResult saved = saveSoundFile(sound, request, context, &check);
  if (saved == JobResult::Cancelled || cancel) return resultOf(BatchFileStatus::Cancelled, "Cancelled.");
  if (saved != JobResult::Done)
    return resultOf(BatchFileStatus::Failed, withReason("Failed to save \"" + plan.path + "\".", messages.error()));
  std::string text = "Saved as \"" + plan.path + "\".";
  if (!skipped.empty()) text += " Not applied: " + skipped + ".";
  if (!messages.warning().empty()) text += " " + messages.warning();
  return resultOf(BatchFileStatus::Done, text);
}

JobResult runBatch(const BatchRunRequest& request, const BatchDefaults& defaults, BatchRunObserver& observer,
                   std::atomic<bool>& cancel) {
  const size_t files = std::min(request.inputs.size(), request.plans.size());
  std::vector<std::optional<BatchFileResult>> results(files);
  std::mutex lock;
  size_t nextToStart = 0, nextToReport = 0;
  bool failed = false;

  // Hands out the next file, or none once the list is done, cancelled or a
  // file failed.
  auto takeNext = [&]() -> std::optional<size_t> {
    std::lock_guard hold(lock);
    if (nextToStart >= files || failed || cancel) return std::nullopt;
    return nextToStart++;
  };
  // Records a result and reports every result now due, in list order. The
  // reports run under the lock so that they never overtake each other.
  auto finish = [&](size_t index, BatchFileResult result) {
    std::lock_guard hold(lock);
    failed = failed || result.status == BatchFileStatus::Failed;
    results[index] = std::move(result);
    while (nextToReport < files && results[nextToReport]) {
      observer.fileFinished(nextToReport, *results[nextToReport]);
      ++nextToReport;
    }
  };
  auto work = [&](const FormatContext& context) {
    while (std::optional<size_t> index = takeNext()) {
      observer.fileStarted(*index);
      const BatchStepProgress progress = [&observer, file = *index](int step, int percent) {
        observer.fileProgress(file, step, percent);
      };
      finish(*index, processBatchFile(request.inputs[*index], request.plans[*index], request.commands,
                                      request.sameFormat, context, defaults, cancel, progress));
    }
  };

  const size_t workerCount = std::min(request.workers.size(), files);
  std::vector<std::thread> threads;
  for (size_t w = 1; w < workerCount; ++w) threads.emplace_back(work, std::cref(request.workers[w]));
  if (workerCount > 0) work(request.workers[0]);
  for (std::thread& thread : threads) thread.join();

  // Files never started: after a failure or Cancel.
  const BatchFileStatus notRun = cancel ? BatchFileStatus::Cancelled : BatchFileStatus::NotRun;
  for (size_t i = 0; i < files; ++i)
    if (!results[i]) finish(i, resultOf(notRun, cancel ? "Cancelled." : "Not processed."));
  if (cancel) return JobResult::Cancelled;
  return failed ? JobResult::Failed : JobResult::Done;
}
