// The Effects menu: each effect runs the effect sequence. An empty
// selection means the whole file; the dialog (when there is one) stores its
// values; the undo step is named after the effect; the work runs under the
// progress dialog with Cancel; then the after-edit step.

#include <windows.h>

#include "editor/command_ids.h"
#include "editor/dialogs/compressor_dialog.h"
#include "editor/dialogs/cross_fade_dialog.h"
#include "editor/dialogs/envelope_dialog.h"
#include "editor/dialogs/percent_preset_dialog.h"
#include "editor/dialogs/sample_rate_dialog.h"
#include "editor/dialogs/speed_pitch_dialog.h"
#include "editor/dialogs/stereo_pan_dialog.h"
#include "editor/document_window.h"
#include "editor/frame.h"
#include "editor/playback_control.h"
#include "effects/amplitude_effects.h"
#include "effects/speed_pitch.h"
#include "ui/progress_dialog.h"
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

bool Frame::runEffect(DocumentWindow* document, const char* name,
                      const std::function<JobResult(SoundBuffer&, int32_t, int32_t, ProgressCallback*)>& effect) {
  ViewState& view = document->view();
  if (!hasSelection(view)) selectAll(view, document->length());
  int32_t start = view.selectionStart, end = view.selectionEnd;
  return runEdit(document, name, name, [&](ProgressCallback* progress) {
    EditResult result;
    result.status = statusOf(effect(document->buffer(), start, end, progress));
    int32_t length = document->buffer().totalFrames();
    result.selection = Selection{std::min(start, length), std::min(end, length), std::min(end, length)};
    result.leadInFrames = document->buffer().sampleRate();
    return result;
  });
}

void Frame::onEffectCommand(int id, DocumentWindow* document) {
  sys::SettingsStore& store = *m_store;
  switch (id) {
    case cmd::Amplify: {
      AmplifyParams params;
      if (!askAmplify(m_window, store, params)) return;
      runEffect(document, kAmplifyName, [&](SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback*) {
        amplify(sound, start, end, params);
        return JobResult::Done;
      });
      return;
    }
    case cmd::Normalize: {
      NormalizeParams params;
      if (!askNormalize(m_window, store, params)) return;
      runEffect(document, kNormalizeName, [&](SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* p) {
        return normalize(sound, start, end, params, p);
      });
      return;
    }
    case cmd::FadeIn:
      runEffect(document, kFadeInName, [](SoundBuffer& s, int32_t a, int32_t b, ProgressCallback* p) { return fadeIn(s, a, b, p); });
      return;
    case cmd::FadeOut:
      runEffect(document, kFadeOutName, [](SoundBuffer& s, int32_t a, int32_t b, ProgressCallback* p) { return fadeOut(s, a, b, p); });
      return;
    case cmd::FadeOutAndTrim:
      runEffect(document, kFadeOutAndTrimName,
                [](SoundBuffer& s, int32_t a, int32_t b, ProgressCallback* p) { return fadeOutAndTrim(s, a, b, p); });
      return;
    case cmd::Envelope: {
      EnvelopeCurve curve;
      if (!askEnvelope(m_window, m_dataFolder, curve)) return;
      runEffect(document, kEnvelopeName, [&](SoundBuffer& s, int32_t a, int32_t b, ProgressCallback* p) {
        return applyEnvelope(s, a, b, curve, p);
      });
      return;
    }
    case cmd::CrossFade: {
      m_playback->stop();
      CrossFadeParams params = readCrossFadeParams(store);
      if (!askCrossFade(m_window, previewInputOf(document, m_settings), params)) return;
      writeCrossFadeParams(store, params);
      runEffect(document, kCrossFadeName, [&](SoundBuffer& s, int32_t a, int32_t b, ProgressCallback* p) {
        return crossFade(s, a, b, params, p);
      });
      return;
    }
    case cmd::StereoPan: {
      if (document->buffer().channels() != 2) {
        ui::showMessage(m_window,
                        "This effect can only be applied to stereo file. Please convert the file to stereo by using "
                        "File->Convert Channels->Stereo and try again.",
                        "Convert to Stereo Required", MB_OKCANCEL | MB_ICONQUESTION);
        return;
      }
      StereoPanParams params;
      if (!askStereoPan(m_window, store, params)) return;
      runEffect(document, "Stereo Pan", [&](SoundBuffer& s, int32_t a, int32_t b, ProgressCallback* p) {
        return stereoPan(s, a, b, params, p);
      });
      return;
    }
    case cmd::DcOffset:
      runEffect(document, "DC Offset Correction",
                [](SoundBuffer& s, int32_t a, int32_t b, ProgressCallback* p) { return dcOffsetCorrection(s, a, b, p); });
      return;
    case cmd::Reverse:
      runEffect(document, "Reverse", [](SoundBuffer& s, int32_t a, int32_t b, ProgressCallback* p) { return reverse(s, a, b, p); });
      return;
    case cmd::AutoGainControl:
      runEffect(document, "Automatic Gain Control",
                [](SoundBuffer& s, int32_t a, int32_t b, ProgressCallback* p) { return automaticGainControl(s, a, b, p); });
      return;
    case cmd::Compressor: {
      CompressorParams params;
      if (!askCompressor(m_window, store, params)) return;
      runEffect(document, "Dynamic Range Compressor", [&](SoundBuffer& s, int32_t a, int32_t b, ProgressCallback* p) {
        return compressor(s, a, b, params, p);
      });
      return;
    }
    case cmd::SpeedAndPitch:
    case cmd::SpeedChange:
    case cmd::PitchChange: {
      auto mode = id == cmd::SpeedAndPitch ? SpeedPitchMode::SpeedAndPitch
                  : id == cmd::SpeedChange ? SpeedPitchMode::Speed
                                           : SpeedPitchMode::Pitch;
      int32_t percent = mode == SpeedPitchMode::SpeedAndPitch ? readSpeedAndPitchParams(store).SpSpeedPitch
                        : mode == SpeedPitchMode::Speed       ? readSpeedChangeParams(store).ConstPitchSpeed
                                                              : readPitchChangeParams(store).ConstSpeedPitch;
      static const char* names[] = {kSpeedAndPitchChangeName, kSpeedChangeName, kPitchChangeName};
      m_playback->stop();
      if (!askSpeedPitch(m_window, names[static_cast<int>(mode)], previewInputOf(document, m_settings), percent))
        return;
      if (mode == SpeedPitchMode::SpeedAndPitch) writeSpeedAndPitchParams(store, {percent});
      if (mode == SpeedPitchMode::Speed) writeSpeedChangeParams(store, {percent});
      if (mode == SpeedPitchMode::Pitch) writePitchChangeParams(store, {percent});
      ViewState& view = document->view();
      if (!hasSelection(view)) selectAll(view, document->length());
      int32_t start = view.selectionStart, end = view.selectionEnd;
      runEdit(document, names[static_cast<int>(mode)], kSpeedPitchProgressTitle, [&](ProgressCallback* p) {
        SpeedPitchResult changed = changeSpeedOrPitch(document->buffer(), start, end, mode, percent, p);
        EditResult result;
        result.status = statusOf(changed.result);
        result.selection = Selection{start, changed.end, changed.end};
        result.leadInFrames = document->buffer().sampleRate();
        return result;
      });
      return;
    }
    case cmd::ConvertSampleRate: {
      m_playback->stop();
      int32_t rate = 0;
      if (!askSampleRate(m_window, document->buffer().sampleRate(), rate)) return;
      // The current rate changes nothing and leaves no undo step.
      if (rate == document->buffer().sampleRate()) return;
      runEdit(document, kConvertSampleRateName, kConvertSampleRateName, [&](ProgressCallback* p) {
        EditResult result;
        result.status = statusOf(convertSampleRate(document->buffer(), rate, p));
        return result;
      });
      return;
    }
    case cmd::ConvertToMono:
    case cmd::ConvertToStereo: {
      int channels = id == cmd::ConvertToMono ? 1 : 2;
      if (document->buffer().channels() == channels) return;
      runEdit(document, kConvertChannelsName, kConvertChannelsName, [&](ProgressCallback* p) {
        EditResult result;
        result.status = statusOf(convertChannels(document->buffer(), channels, p));
        return result;
      });
      return;
    }
    case cmd::AutoTrim: {
      AutoTrimParams params = readAutoTrimParams(store);
      runEdit(document, "Auto Trim", "Auto Trim", [&](ProgressCallback* p) {
        EditResult result;
        AutoTrimResult trimmed = autoTrim(document->buffer(), params, p);
        result.status = statusOf(trimmed.result);
        return result;
      });
      return;
    }
  }
}
