#include "editor/batch/batch_progress_dialog.h"

#include <commctrl.h>

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "editor/batch/batch_import_host.h"
#include "sys/folders.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace {

constexpr int kLine = 100, kBar = 102, kResults = 103;
constexpr UINT kFileStarted = WM_APP + 1, kFileFinished = WM_APP + 2, kRunEnded = WM_APP + 3;
constexpr UINT kFileProgress = WM_APP + 4;
// A step and its percent in one message parameter.
constexpr LPARAM kStepScale = 128;

class BatchProgressDialog : public ui::Dialog, private BatchRunObserver {
 public:
  BatchProgressDialog(BatchRunRequest request, const BatchDefaults& defaults)
      : ui::Dialog(ui::DialogTemplate("Batch Converting", 360, 210, ui::DialogTemplate::kDefaultStyle | DS_CENTER)
                       .text(kLine, "", 8, 8, 344, 10, SS_PATHELLIPSIS)
                       .progressBar(kBar, 8, 22, 344, 10)
                       .control(WC_LISTVIEWW, kResults, "",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_NOSORTHEADER |
                                    LVS_SHOWSELALWAYS,
                                0, 8, 38, 344, 146)
                       .defaultButton(IDCANCEL, "Cancel", 302, 190, 50, 14)),
        m_request(std::move(request)),
        m_defaults(defaults) {}

  ~BatchProgressDialog() override {
    m_cancel = true;
    if (m_thread.joinable()) m_thread.join();
  }

  JobResult result() const { return m_result; }

 protected:
  bool onInit() override {
    HWND list = item(kResults);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    addColumn(0, L"File", 110);
    addColumn(1, L"Result", 220);
    for (size_t i = 0; i < m_request.inputs.size(); ++i) {
      const std::wstring name = ui::widen(sys::fileNameOf(m_request.inputs[i]));
      LVITEMW row{};
      row.mask = LVIF_TEXT;
      row.iItem = static_cast<int>(i);
      row.pszText = const_cast<wchar_t*>(name.c_str());
      ListView_InsertItem(list, &row);
    }
    sendItem(kBar, PBM_SETRANGE32, 0, static_cast<LPARAM>(m_request.inputs.size()));
    setText(kLine, "Starting...");
    // Each worker imports into its own folder and keeps its own Cancel check.
    for (FormatContext& context : m_request.workers) {
      m_importers.push_back(std::make_unique<BatchImportHost>(m_cancel));
      context.importer = m_importers.back().get();
    }
    HWND window = handle();
    m_thread = std::thread([this, window] {
      const JobResult result = runBatch(m_request, m_defaults, *this, m_cancel);
      PostMessageW(window, kRunEnded, static_cast<WPARAM>(result), 0);
    });
    return true;
  }

  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case kFileStarted:
        setText(kLine, "Processing \"" + m_request.inputs[wParam] + "\"");
        return TRUE;
      case kFileFinished: showResult(static_cast<size_t>(wParam)); return TRUE;
      case kFileProgress:
        showProgress(static_cast<size_t>(wParam), static_cast<int>(lParam / kStepScale) - 2,
                     static_cast<int>(lParam % kStepScale));
        return TRUE;
      case kRunEnded: runEnded(static_cast<JobResult>(wParam)); return TRUE;
      case WM_CLOSE: onCommand(IDCANCEL, BN_CLICKED); return TRUE;
    }
    return ui::Dialog::handleMessage(message, wParam, lParam);
  }

  void onCommand(int id, int code) override {
    if (id != IDCANCEL) return;
    if (m_ended) return ui::Dialog::onCommand(id, code);
    m_cancel = true;
    enable(IDCANCEL, false);
    setText(kLine, "Cancelling...");
  }

 private:
  // Called on the workers.
  void fileStarted(size_t index) override { PostMessageW(handle(), kFileStarted, index, 0); }
  void fileProgress(size_t index, int step, int percent) override {
    PostMessageW(handle(), kFileProgress, index, (step + 2) * kStepScale + percent);
  }
  void fileFinished(size_t index, const BatchFileResult& result) override {
    {
      std::lock_guard hold(m_lock);
      if (m_results.size() <= index) m_results.resize(index + 1);
      m_results[index] = result;
    }
    PostMessageW(handle(), kFileFinished, index, 0);
  }

  void addColumn(int index, const wchar_t* title, int widthUnits) {
    RECT width{0, 0, widthUnits, 0};
    MapDialogRect(handle(), &width);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(title);
    column.cx = width.right;
    ListView_InsertColumn(item(kResults), index, &column);
  }

  // The row of a file still at work says which step it is at.
  void showProgress(size_t index, int step, int percent) {
    {
      std::lock_guard hold(m_lock);
      if (index < m_results.size() && m_results[index].status != BatchFileStatus::NotRun) return;
    }
    const std::string what = step == kBatchLoadStep   ? std::string("Loading")
                             : step == kBatchSaveStep ? std::string("Saving")
                             : static_cast<size_t>(step) < m_request.commands.size()
                                 ? std::string(batchCommandName(m_request.commands[step].index))
                                 : std::string();
    const std::wstring text = ui::widen(what + " " + std::to_string(percent) + " %");
    ListView_SetItemText(item(kResults), static_cast<int>(index), 1, const_cast<wchar_t*>(text.c_str()));
  }

  void showResult(size_t index) {
    BatchFileResult result;
    {
      std::lock_guard hold(m_lock);
      result = m_results[index];
    }
    const std::wstring text = ui::widen(result.text);
    ListView_SetItemText(item(kResults), static_cast<int>(index), 1, const_cast<wchar_t*>(text.c_str()));
    ListView_EnsureVisible(item(kResults), static_cast<int>(index), FALSE);
    ++m_finished;
    counts[static_cast<int>(result.status)]++;
    sendItem(kBar, PBM_SETPOS, m_finished);
  }

  void runEnded(JobResult result) {
    if (m_thread.joinable()) m_thread.join();
    m_result = result;
    m_ended = true;
    const int done = counts[0], skipped = counts[1], failed = counts[2];
    std::string summary = result == JobResult::Cancelled ? "Cancelled. " : "Finished. ";
    summary += std::to_string(done) + " converted, " + std::to_string(skipped) + " skipped, " +
               std::to_string(failed) + " failed.";
    setText(kLine, summary);
    setText(IDCANCEL, "Close");
    enable(IDCANCEL, true);
  }

  BatchRunRequest m_request;
  const BatchDefaults& m_defaults;
  std::vector<std::unique_ptr<BatchImportHost>> m_importers;
  std::atomic<bool> m_cancel = false;
  std::thread m_thread;
  std::mutex m_lock;
  std::vector<BatchFileResult> m_results;
  size_t m_finished = 0;
  int counts[5] = {};
  bool m_ended = false;
  JobResult m_result = JobResult::Failed;
};

class ReplaceQuestion : public ui::Dialog {
 public:
  static constexpr int kText = 100, kReplace = 101, kSkip = 102, kReplaceAll = 103;

  explicit ReplaceQuestion(const std::string& path)
      : ui::Dialog(ui::DialogTemplate("Razavo", 260, 74, ui::DialogTemplate::kDefaultStyle | DS_CENTER)
                       .text(kText, "", 8, 8, 244, 34)
                       .defaultButton(kReplace, "&Replace", 8, 52, 56, 14)
                       .button(kSkip, "&Skip", 70, 52, 56, 14)
                       .button(kReplaceAll, "Replace &All", 132, 52, 56, 14)
                       .button(IDCANCEL, "Cancel", 196, 52, 56, 14)),
        m_path(path) {}

 protected:
  bool onInit() override {
    setText(kText, "The file \"" + m_path + "\" already exists. Do you want to replace it?");
    return true;
  }
  void onCommand(int id, int) override {
    if (id == kReplace || id == kSkip || id == kReplaceAll || id == IDCANCEL) endDialog(id);
  }

 private:
  std::string m_path;
};

}  // namespace

JobResult runBatchWithProgress(HWND owner, BatchRunRequest request, const BatchDefaults& defaults) {
  BatchProgressDialog dialog(std::move(request), defaults);
  if (dialog.runModal(owner) < 0) return JobResult::Failed;
  return dialog.result();
}

ReplaceAnswer askReplaceOutput(HWND owner, const std::string& path) {
  switch (ReplaceQuestion(path).runModal(owner)) {
    case ReplaceQuestion::kReplace: return ReplaceAnswer::Replace;
    case ReplaceQuestion::kSkip: return ReplaceAnswer::Skip;
    case ReplaceQuestion::kReplaceAll: return ReplaceAnswer::ReplaceAll;
    default: return ReplaceAnswer::Cancel;
  }
}
