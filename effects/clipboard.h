#pragma once
// The program's one clipboard, owned by the main frame and shared by every
// document window. Its sound shares blocks with the documents it came from,
// so holding it costs no disk space until those documents change; the blocks
// stay alive as long as the clipboard holds them.

#include "core/sound_buffer.h"

class Clipboard {
 public:
  Clipboard() = default;  // 44,100 Hz, mono, empty

  const SoundBuffer& sound() const { return m_sound; }
  bool empty() const { return m_sound.totalFrames() == 0; }
  // Cut and Copy replace the content; so does a paste from the system's
  // clipboard when the editor chooses to keep it.
  void setSound(SoundBuffer sound);
  // Back to 44,100 Hz mono and empty, releasing the blocks.
  void clear();

 private:
  SoundBuffer m_sound;
};
