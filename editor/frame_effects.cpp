// The effect commands, each run from its descriptor: a stereo check where
// the effect needs one, playback stopped, the effect's dialog (Cancel ends
// the command), its stored values read, an empty selection taken as the
// whole file, then the undo step named after the effect and the work under
// the progress dialog with Cancel, then the after-edit step.

#include <windows.h>

#include <algorithm>

#include "editor/document_window.h"
#include "editor/effect_dialogs.h"
#include "editor/frame.h"
#include "editor/model/effect_descriptor.h"
#include "editor/playback_control.h"
#include "ui/text.h"

namespace {

// What an effect dialog's preview plays from: the document and the device of
// the options.
PreviewInput previewInputOf(DocumentWindow* document, EditorSettings& settings) {
  const ViewState& view = document->view();
  return {&document->buffer(), view.selectionStart, view.selectionEnd,
          static_cast<uint32_t>(std::max(0, settings.soundOutDevice()))};
}

}  // namespace

void Frame::onEffectCommand(int id, DocumentWindow* document) {
  const EffectDescriptor* effect = findEffectDescriptor(id);
  if (!effect) return;
  if (effect->needsStereo && document->buffer().channels() != 2) {
    ui::showMessage(m_window,
                    "This effect can only be applied to stereo file. Please convert the file to stereo by using "
                    "File->Convert Channels->Stereo and try again.",
                    "Convert to Stereo Required", MB_OKCANCEL | MB_ICONQUESTION);
    return;
  }
  // Dialogs with a preview play through a player of their own.
  m_playback->stop();
  EffectRequest request;
  request.noiseSample = m_noiseSample;
  if (EffectDialog dialog = effectDialogOf(id)) {
    const EffectDialogContext context{m_window, *m_store, m_dataFolder, previewInputOf(document, m_settings),
                                      *effect};
    if (!dialog(context, request)) return;
  }
  request.values = readEffectValues(*m_store, *effect);
  if (effect->scope == EffectScope::Selection) {
    ViewState& view = document->view();
    if (!hasSelection(view)) selectAll(view, document->length());
    request.start = view.selectionStart;
    request.end = view.selectionEnd;
  }
  runEdit(document, effect->name, ProgressLines{effect->name, effect->progressLine, effect->progressWait},
          [&](ProgressCallback* progress) { return effect->run(document->buffer(), request, progress); });
}
