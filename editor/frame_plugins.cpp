// The plug-in effects: "VST Plugins..." and "DirectX Effects...". The dialog
// chooses the plug-in; the work wraps it round the selection's reader as one
// more stage and writes the result over the selection, under the progress
// dialog and as one undo step. A plug-in that cannot be opened or refuses
// the sound's format fails the command, and the sound stays as it was.

#include <windows.h>

#include <algorithm>

#include "editor/command_ids.h"
#include "editor/dialogs/plugin_dialogs.h"
#include "effects/win32/directx_effects.h"
#include "editor/document_window.h"
#include "editor/frame.h"
#include "editor/playback_control.h"
#include "effects/filter_job.h"
#include "effects/vst_effect_stage.h"

namespace {

struct PluginCommand {
  const char* undoName;
  const char* progressTitle;
  const char* failure;
};

constexpr PluginCommand kVstCommand{"VST Effects", "Applying VST Effect", "Applying VST effect FAILED."};
constexpr PluginCommand kDirectXCommand{"DirectX Effects", "Applying DirectX Effect",
                                        "Applying DirectX effect FAILED."};

}  // namespace

void Frame::onPluginCommand(int id, DocumentWindow* document) {
  m_playback->stop();
  SoundBuffer& sound = document->buffer();
  FilterJob::Wrap stage;
  if (id == cmd::Vst) {
    std::optional<std::shared_ptr<VstPlugin>> chosen = chooseVstPlugin(m_window, *m_store, sound.sampleRate());
    if (!chosen) return;
    std::shared_ptr<VstPlugin> plugin = *chosen;
    stage = [plugin](SampleSourceRef input) { return makeVstEffectStage(std::move(input), plugin); };
  } else {
    std::optional<CLSID> effect = chooseDirectXEffect(m_window);
    if (!effect) return;
    std::shared_ptr<MediaObjectPort> object = openDirectXEffect(*effect);
    stage = [object](SampleSourceRef input) { return makeRef<DmoEffectStage>(std::move(input), object); };
  }
  const PluginCommand& command = id == cmd::Vst ? kVstCommand : kDirectXCommand;

  ViewState& view = document->view();
  if (!hasSelection(view)) selectAll(view, document->length());
  const int32_t start = view.selectionStart;
  const int32_t end = view.selectionEnd;
  runEdit(document, command.undoName,
          ProgressLines{command.progressTitle, command.progressTitle, "Please wait..."},
          [&](ProgressCallback* progress) {
            JobResult result = runFilter(sound, start, end, command.undoName, stage, progress);
            const int32_t length = sound.totalFrames();
            const int32_t selectionEnd = std::min(end, length);
            return EditResult{statusOf(result), Selection{std::min(start, length), selectionEnd, selectionEnd},
                              sound.sampleRate()};
          },
          command.failure);
}
