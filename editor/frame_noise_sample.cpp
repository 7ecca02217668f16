// Grab Noise Sample from Selected Area: the selection's noise is measured
// under the progress dialog and kept by the frame for the noise-sample
// subtraction, in this document or another of the same format. Nothing in
// the document changes and no undo step is recorded.

#include <windows.h>

#include "editor/document_window.h"
#include "editor/frame.h"
#include "editor/model/noise_repair_checks.h"
#include "editor/playback_control.h"
#include "ui/progress_dialog.h"
#include "ui/text.h"

void Frame::grabNoiseSample(DocumentWindow* document) {
  const ViewState& view = document->view();
  const SoundBuffer& sound = document->buffer();
  const int32_t frames = hasSelection(view) ? view.selectionEnd - view.selectionStart : 0;
  if (std::optional<Refusal> refusal = grabNoiseSampleRefusal(frames, sound.sampleRate())) {
    ui::showMessage(m_window, refusal->message, refusal->caption, MB_OK | MB_ICONERROR);
    return;
  }
  m_playback->stop();
  auto sample = std::make_shared<NoiseSample>();
  ui::ProgressDialog progress;
  const JobResult result = progress.run(m_window, kGrabNoiseSampleProgress, kGrabNoiseSampleProgress,
                                        [&](ui::ProgressDialog& dialog) {
                                          return ::grabNoiseSample(sound, view.selectionStart, view.selectionEnd,
                                                                 *sample, &dialog);
                                        });
  if (result == JobResult::Done)
    m_noiseSample = std::move(sample);
  else if (result == JobResult::Failed)
    ui::showMessage(m_window, "The noise sample could not be read from the working folder.", "Error",
                    MB_OK | MB_ICONERROR);
}
