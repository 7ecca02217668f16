#include "editor/model/batch_output.h"

#include <cctype>

#include "sys/folders.h"

const char* const kBatchOutputExtensions[kBatchOutputFormatCount] = {
    ".wav", ".mp3", ".au", ".aiff", ".gsm", ".vox", ".raw", ".ogg",
    ".flac", ".aac", ".m4a", ".rss", ".m3u", ".pls", ".wpl", ".amr"};
const char* const kBatchOutputFormatNames[kBatchOutputFormatCount] = {
    "WAVE (*.wav)",
    "MP3 (*.mp3)",
    "Sun AU (*.au)",
    "AIFF (*.aiff)",
    "GSM 6.10 (*.gsm)",
    "Dialogic VOX (*.vox)",
    "Raw audio (*.raw)",
    "Ogg Vorbis (*.ogg)",
    "FLAC (*.flac)",
    "AAC (*.aac)",
    "MPEG-4 audio (*.m4a)",
    "RSS podcast feed with MP3 (*.rss)",
    "M3U playlist with MP3 (*.m3u)",
    "PLS playlist with MP3 (*.pls)",
    "WPL playlist with MP3 (*.wpl)",
    "AMR (*.amr)"};

BatchOutputSettings readBatchOutputSettings(const sys::SettingsStore& store) {
  BatchOutputSettings settings;
  settings.sameFormat = store.readNumber(kBatchSection, "SaveSameFileFormat", 1) != 0;
  const long long index = store.readNumber(kBatchSection, "SaveFileFormat", 0);
  settings.formatIndex = index < 0 || index > 1000 ? 1000 : static_cast<int>(index);
  settings.sameFolder = store.readNumber(kBatchSection, "SameOutputFolder", 1) != 0;
  settings.folder = store.read(kBatchSection, "OutputFolder", "");
  return settings;
}

void writeBatchOutputSettings(sys::SettingsStore& store, const BatchOutputSettings& settings) {
  store.writeNumber(kBatchSection, "SaveSameFileFormat", settings.sameFormat ? 1 : 0);
  store.writeNumber(kBatchSection, "SaveFileFormat", settings.formatIndex);
  store.writeNumber(kBatchSection, "SameOutputFolder", settings.sameFolder ? 1 : 0);
  store.write(kBatchSection, "OutputFolder", settings.folder);
}

std::optional<std::string> batchOutputPath(const std::string& input, const BatchOutputSettings& settings) {
  const std::string name = sys::fileNameOf(input);
  const size_t dot = name.rfind('.');
  const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
  std::string extension = dot == std::string::npos ? "" : name.substr(dot);
  if (!settings.sameFormat) {
    if (settings.formatIndex < 0 || settings.formatIndex >= kBatchOutputFormatCount) return std::nullopt;
    extension = kBatchOutputExtensions[settings.formatIndex];
  }
  const std::string folder = settings.sameFolder ? sys::folderOf(input) : settings.folder;
  return folder.empty() ? stem + extension : sys::joinPath(folder, stem + extension);
}

namespace {

std::string comparable(const std::string& path) {
  std::string text;
  for (char c : path) {
    const char folded = c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (folded == '/' && !text.empty() && text.back() == '/') continue;  // "a//b" is "a/b"
    text.push_back(folded);
  }
  return text;
}

}  // namespace

bool sameFilePath(const std::string& a, const std::string& b) { return comparable(a) == comparable(b); }

std::vector<BatchOutputPlan> planBatchOutputs(const std::vector<std::string>& inputs,
                                              const BatchOutputSettings& settings,
                                              const std::function<bool(const std::string&)>& exists) {
  std::vector<BatchOutputPlan> plans;
  for (size_t i = 0; i < inputs.size(); ++i) {
    const std::optional<std::string> path = batchOutputPath(inputs[i], settings);
    if (!path) {
      plans.push_back({"", BatchOutputAction::NoFormat});
      continue;
    }
    BatchOutputPlan plan{*path, BatchOutputAction::Write};
    bool taken = false;
    for (size_t j = 0; j < inputs.size() && !taken; ++j)
      taken = j != i && sameFilePath(*path, inputs[j]);
    for (size_t j = 0; j < plans.size() && !taken; ++j)
      taken = plans[j].action != BatchOutputAction::InList && sameFilePath(*path, plans[j].path);
    if (taken)
      plan.action = BatchOutputAction::InList;
    else if (sameFilePath(*path, inputs[i]))
      plan.action = BatchOutputAction::ReplaceInput;
    else if (exists(*path))
      plan.action = BatchOutputAction::AskReplace;
    plans.push_back(plan);
  }
  return plans;
}

bool answerReplaceQuestions(std::vector<BatchOutputPlan>& plans,
                            const std::function<ReplaceAnswer(const std::string& path)>& ask) {
  bool replaceAll = false;
  for (BatchOutputPlan& plan : plans) {
    if (plan.action != BatchOutputAction::AskReplace) continue;
    const ReplaceAnswer answer = replaceAll ? ReplaceAnswer::Replace : ask(plan.path);
    if (answer == ReplaceAnswer::Cancel) return false;
    replaceAll = replaceAll || answer == ReplaceAnswer::ReplaceAll;
    plan.action = answer == ReplaceAnswer::Skip ? BatchOutputAction::Skip : BatchOutputAction::Replace;
  }
  return true;
}

bool batchOutputWritable(BatchOutputAction action) {
  return action == BatchOutputAction::Write || action == BatchOutputAction::ReplaceInput ||
         action == BatchOutputAction::Replace;
}
