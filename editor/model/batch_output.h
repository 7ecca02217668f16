#pragma once
// Where a batch run writes each file: the output settings (section
// "BatchConverter"), the output path of an input, and what to do about a
// path that is already taken.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sys/settings_store.h"

constexpr const char* kBatchSection = "BatchConverter";
constexpr int kBatchOutputFormatCount = 16;
// Output formats by their stored index.
extern const char* const kBatchOutputExtensions[kBatchOutputFormatCount];
extern const char* const kBatchOutputFormatNames[kBatchOutputFormatCount];

struct BatchOutputSettings {
  bool sameFormat = true;  // "SaveSameFileFormat": the input's own format
  int formatIndex = 0;     // "SaveFileFormat"
  bool sameFolder = true;  // "SameOutputFolder": beside the input
  std::string folder;      // "OutputFolder"
};
BatchOutputSettings readBatchOutputSettings(const sys::SettingsStore& store);
void writeBatchOutputSettings(sys::SettingsStore& store, const BatchOutputSettings& settings);

// The folder, the input's name without its extension, the format's
// extension; nothing for a format index beyond the table.
std::optional<std::string> batchOutputPath(const std::string& input, const BatchOutputSettings& settings);

// Whether two paths name the same file as Windows compares them (either
// separator, any case). Errs towards "same", which only ever means asking.
bool sameFilePath(const std::string& a, const std::string& b);

enum class BatchOutputAction {
  Write,          // a new file
  ReplaceInput,   // the input itself, replaced by design (same name, format and folder)
  AskReplace,     // a file that exists: the user chooses Replace, Skip or Replace all
  Replace,        // the user chose to replace it
  Skip,           // the user chose to keep it
  InList,         // another file of the list, or another file's output: never written over
  NoFormat,       // the format index is beyond the table
};
struct BatchOutputPlan {
  std::string path;
  BatchOutputAction action = BatchOutputAction::Write;
};
std::vector<BatchOutputPlan> planBatchOutputs(const std::vector<std::string>& inputs,
                                              const BatchOutputSettings& settings,
                                              const std::function<bool(const std::string&)>& exists);

enum class ReplaceAnswer { Replace, Skip, ReplaceAll, Cancel };
// Asks about each taken output in list order until Replace all; false when
// the user cancelled (nothing runs).
bool answerReplaceQuestions(std::vector<BatchOutputPlan>& plans,
                            const std::function<ReplaceAnswer(const std::string& path)>& ask);
// Whether the plan lets the file be written.
bool batchOutputWritable(BatchOutputAction action);
