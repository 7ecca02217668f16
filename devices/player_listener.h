#pragma once
// What a player tells its owner, always on the main thread (from
// WavePlayer::onNotify or from the player's own operations). Every call gets
// the context given to set_listener as its last argument.

#include <cstdint>

#include "devices/player_blocks.h"

class PlayerListener {
 public:
  virtual ~PlayerListener() = default;
  // Playback (re)started: open_and_play, resume.
  virtual void started(void* context) {}
  // The player closed: stop, or the source ran out.
  virtual void stopped(void* context) {}
  // The player entered the holding state.
  virtual void held(void* context) {}
  virtual void reserved(void* context) {}
  // The heard position changed; WavePlayer::position() holds it in frames.
  virtual void position(int32_t milliseconds, void* context) {}
  // New per-channel levels, of the block just heard.
  virtual void levels(const LevelRecord& record, void* context) {}
};
