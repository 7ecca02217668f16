// The Tools menu's analysis: the spectrum at the cursor and the spectrogram
// of the selection, each in a window of its own that is reused.

#include <windows.h>

#include <cstdint>

#include "editor/document_window.h"
#include "editor/frame.h"
#include "editor/frequency_window.h"
#include "editor/tfft_window.h"
#include "effects/frequency_analysis.h"
#include "effects/spectrogram.h"
#include "ui/progress_dialog.h"
#include "ui/text.h"

namespace {

constexpr const char* kChannelsRefused = "Only mono and stereo files can be analysed.";

}  // namespace

void Frame::showFrequencyAnalysis(DocumentWindow* document) {
  std::optional<SpectrumRecord> record = analyseSpectrum(document->buffer(), document->view().cursor);
  if (!record) {
    ui::showMessage(m_window, kChannelsRefused, "Razavo", MB_OK | MB_ICONINFORMATION);
    return;
  }
  FrequencyWindow::show(*this, std::move(*record));
}

void Frame::showTemporalAnalysis(DocumentWindow* document) {
  const ViewState& view = document->view();
  const int32_t start = view.selectionStart, end = view.selectionEnd;
  const int64_t length = static_cast<int64_t>(end) - start;
  if (length <= 0) return;
  const int channels = document->buffer().channels();
  if (channels != 1 && channels != 2) {
    ui::showMessage(m_window, kChannelsRefused, "Razavo", MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (length > static_cast<int64_t>(view.sampleRate) * 10 &&
      ui::showMessage(m_window,
                      "The Temporal Analysis graph is usually only performed on short selections (of a few seconds "
                      "or so) because it takes a long time to compute. Continue anyway?",
                      "Razavo", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  // A sharing copy: the progress dialog keeps the interface alive meanwhile.
  const SoundBuffer sound = document->buffer();
  Spectrogram spectrogram;
  ui::ProgressDialog progress;
  const JobResult result = progress.run(m_window, "Calculating Temporal Frequency Data", "Please wait...",
                                        [&](ui::ProgressDialog& dialog) {
                                          return computeSpectrogram(sound, start, end, &dialog, spectrogram);
                                        });
  if (result == JobResult::Cancelled) {
    TfftWindow::close(*this);
    return;
  }
  if (result != JobResult::Done) {
    ui::showMessage(m_window, "The selection could not be analysed: there is not enough memory for its picture.",
                    "Error", MB_OK | MB_ICONERROR);
    return;
  }
  TfftWindow::show(*this, document->handle(), std::move(spectrogram));
}
