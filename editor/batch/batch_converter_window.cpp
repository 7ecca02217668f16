#include "editor/batch/batch_converter_window.h"

#include <array>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "editor/batch/batch_pages.h"
#include "editor/batch/batch_progress_dialog.h"
#include "editor/encoder_component.h"
#include "editor/frame.h"
#include "editor/model/command_line.h"
#include "formats/extension.h"
#include "sys/folders.h"
#include "ui/text.h"

namespace {

// Wizard button ids, kept apart from the pages' control ids.
constexpr int kBack = 12323, kNext = 12324, kFinish = 12325;
constexpr int kPageCount = 3;
constexpr const char* kTitle = "Batch Converter";

std::vector<std::string> queuedFiles;
HWND openWindow = nullptr;

std::vector<std::string> takeQueuedFiles() { return std::exchange(queuedFiles, {}); }

class BatchConverterWindow : public ui::Dialog {
 public:
  explicit BatchConverterWindow(Frame& frame)
      : ui::Dialog(ui::DialogTemplate(kTitle, 320, 226, ui::DialogTemplate::kDefaultStyle | DS_CENTER)
                       .control(L"STATIC", -1, "", WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ, 0, 6, 200, 308, 1)
                       .button(kBack, "< &Back", 104, 206, 50, 14)
                       .button(kNext, "&Next >", 154, 206, 50, 14)
                       .defaultButton(kFinish, "Finish", 210, 206, 50, 14)
                       .button(IDCANCEL, "Cancel", 264, 206, 50, 14)),
        m_frame(frame),
        m_state{frame.store(), frame.dataFolder(), {}, {}, "", false, readBatchOutputSettings(frame.store())} {}

 protected:
  bool onInit() override {
    openWindow = handle();
    m_pages = {makeBatchFilesPage(m_state), makeBatchCommandsPage(m_state), makeBatchOutputPage(m_state)};
    for (auto& page : m_pages) {
      HWND window = page->create(handle());
      SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    addBatchFiles(m_state, *m_pages[0], takeQueuedFiles());
    showPage(0);
    return true;
  }

  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kBatchTakeQueuedFiles) {
      addBatchFiles(m_state, *m_pages[0], takeQueuedFiles());
      return TRUE;
    }
    return ui::Dialog::handleMessage(message, wParam, lParam);
  }

  void onCommand(int id, int code) override {
    switch (id) {
      case kBack:
        if (m_page > 0) showPage(m_page - 1);
        return;
      case kNext:
        if (m_page + 1 < kPageCount && m_pages[m_page]->apply()) showPage(m_page + 1);
        return;
      case kFinish: return finish();
      case IDCANCEL:
        if (!offerToSaveCommands(handle(), m_state)) return;
        return ui::Dialog::onCommand(id, code);
    }
  }

 private:
  void showPage(int index) {
    m_page = index;
    for (int i = 0; i < kPageCount; ++i) ShowWindow(m_pages[i]->handle(), i == index ? SW_SHOW : SW_HIDE);
    enable(kBack, index > 0);
    enable(kNext, index + 1 < kPageCount);
  }

  int ask(const std::string& text, const std::string& caption, UINT flags) {
    return ui::showMessage(handle(), text, caption, flags);
  }

  // The output folder as the page has it: false returns to the page.
  bool outputFolderReady() {
    BatchOutputSettings& output = m_state.output;
    if (output.sameFolder) return true;
    while (!output.folder.empty() && output.folder.back() == ' ') output.folder.pop_back();
    if (output.folder.empty()) {
      ask("Invalid output folder. Please select a folder to save to.", "Razavo", MB_OK | MB_ICONERROR);
      return false;
    }
    if (sys::folderExists(output.folder)) return true;
    if (ask("The folder  \"" + output.folder + "\" does not exist. Do you want to create it now?", "Razavo",
            MB_YESNO | MB_ICONQUESTION) != IDYES)
      return false;
    if (sys::createFolder(output.folder)) return true;
    ask("Unable to create folder.", "Razavo", MB_OK | MB_ICONERROR);
    return false;
  }

  bool commandsReady() {
    const BatchDefaults defaults = m_state.defaults();
    for (const BatchCommand& command : m_state.commands) {
      if (std::optional<std::string> problem = batchCommandProblem(command, defaults)) {
        ask(*problem + "\r\nPlease change the command's settings.", "Razavo", MB_OK | MB_ICONERROR);
        return false;
      }
    }
    if (m_state.output.sameFormat) return true;
    for (const BatchCommand& command : m_state.commands) {
      if (std::string(batchCommandName(command.index)).rfind("Convert ", 0) != 0) continue;
      ask("The specified sample rate and channel in the \"Convert Sample Rate\" or \"Convert Channel\" command "
          "settings will be overwritten by the output format settings if they are different.",
          "Warning", MB_OK | MB_ICONWARNING);
      break;
    }
    return true;
  }

  // Every encoder the outputs need is there (offered for download if not).
  bool encodersReady(const std::vector<BatchOutputPlan>& plans) {
    std::set<std::string> asked;
    for (const BatchOutputPlan& plan : plans) {
      if (plan.action == BatchOutputAction::NoFormat || !asked.insert(lowerExtension(plan.path)).second) continue;
      if (ensureEncoderComponent(handle(), plan.path, m_state.store) != JobResult::Done) return false;
    }
    return true;
  }

  void finish() {
    for (auto& page : m_pages)
      if (!page->apply()) return;
    if (m_state.files.empty()) {
      ask("Please add the files you want to process.", "Razavo", MB_OK | MB_ICONINFORMATION);
      return showPage(0);
    }
    if (!outputFolderReady()) return showPage(2);
    writeBatchOutputSettings(m_state.store, m_state.output);
    if (!commandsReady()) return showPage(1);

    BatchRunRequest request;
    request.inputs = m_state.files;
    request.plans = planBatchOutputs(m_state.files, m_state.output, sys::fileExists);
    if (!encodersReady(request.plans)) return;
    if (!answerReplaceQuestions(request.plans,
                                [this](const std::string& path) { return askReplaceOutput(handle(), path); }))
      return;
    request.commands = m_state.commands;
    request.sameFormat = m_state.output.sameFormat;
    FormatContext context = m_frame.formatContext();
    context.ui = nullptr;  // each file collects its own messages
    request.workers.assign(std::max(1u, std::thread::hardware_concurrency()), context);
    runBatchWithProgress(handle(), std::move(request), m_state.defaults());
    if (!offerToSaveCommands(handle(), m_state)) return;
    endDialog(IDOK);
  }

  Frame& m_frame;
  BatchConverterState m_state;
  std::array<std::unique_ptr<BatchPage>, kPageCount> m_pages;
  int m_page = 0;
};

}  // namespace

void queueBatchFile(const std::string& path) { queuedFiles.push_back(path); }

HWND batchConverterWindow() { return openWindow; }

void openBatchConverter(Frame& frame) {
  if (openWindow) {
    SendMessageW(openWindow, kBatchTakeQueuedFiles, 0, 0);
    return;
  }
  BatchConverterWindow window(frame);
  window.runModal(frame.handle());
  openWindow = nullptr;
}

bool handFilesToBatchConverter(const std::vector<std::string>& arguments) {
  if (!openWindow) return false;
  const std::vector<CommandLineStep> steps = parseCommandLine(arguments);
  if (steps.empty()) return false;
  for (const CommandLineStep& step : steps)
    if (step.kind != CommandLineStep::Batch) return false;
  for (const CommandLineStep& step : steps)
    if (!step.path.empty()) queueBatchFile(step.path);
  SendMessageW(openWindow, kBatchTakeQueuedFiles, 0, 0);
  SetForegroundWindow(openWindow);
  return true;
}
