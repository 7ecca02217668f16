#include "effects/clipboard.h"

#include <utility>

void Clipboard::setSound(SoundBuffer sound) { m_sound = std::move(sound); }

void Clipboard::clear() { m_sound = SoundBuffer(); }
