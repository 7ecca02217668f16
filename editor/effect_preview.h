#pragma once
// Lets an effect dialog play what its current values would do. The dialog
// names a piece of the document (effects/effect_preview_range.h) and gives a
// render function; the preview copies the piece into a sound of its own
// (sharing the document's blocks, writing new ones only for what the effect
// changes), renders it there and plays it through a player of its own on the
// device of the options. The document and its undo history are never
// touched. Pressing Preview again while it plays stops it; the owning dialog
// stops it when it closes, and everything is freed with the preview.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "core/sound_buffer.h"
#include "effects/effect_preview_range.h"

class WavePlayer;
namespace ui {
class NotifierWindow;
}

// The button of every effect dialog that has a preview.
constexpr int kPreviewButtonId = 110;
constexpr const char* kPreviewButtonText = "Pre&view";

// What a dialog previews from.
struct PreviewInput {
  const SoundBuffer* sound = nullptr;            // the document's sound; outlives the dialog
  int32_t selectionStart = 0, selectionEnd = 0;  // as the view has it; empty: nothing selected
  uint32_t device = 0;                           // "SoundOutDevice": 0 default, n device n - 1
};

class EffectPreview {
 public:
  // Applies the effect to frames start..end-1 of piece, in place, as the
  // effect command would to the document.
  using Render = std::function<JobResult(SoundBuffer& piece, int32_t start, int32_t end, ProgressCallback*)>;

  explicit EffectPreview(const PreviewInput& input);
  ~EffectPreview();
  EffectPreview(const EffectPreview&) = delete;
  EffectPreview& operator=(const EffectPreview&) = delete;

  const PreviewInput& input() const { return m_input; }
  // Stops when playing; otherwise renders range and plays it. Problems end
  // in a message box over owner (the frame's "no device" message when no
  // device opens); the dialog stays as it was.
  void toggle(HWND owner, const PreviewRange& range, const Render& render);
  void stop();
  bool playing() const;

 private:
  PreviewInput m_input;
  // The notifier is made first and goes last: the player's threads post to it.
  std::unique_ptr<ui::NotifierWindow> m_notifier;
  std::unique_ptr<WavePlayer> m_player;
};
