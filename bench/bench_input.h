#pragma once
// Loading a benchmark's input file into a sound, with one line about it.

#include <cstdio>
#include <string>

#include "formats/sound_file_io.h"

// False (with the reason printed) when the file cannot be loaded.
inline bool loadBenchInput(const std::string& path, SoundBuffer& sound) {
  if (loadSoundFile(path, FormatContext{}, sound) != JobResult::Done) {
    std::fprintf(stderr, "cannot load %s\n", path.c_str());
    return false;
  }
  const int32_t frames = sound.totalFrames();
  std::printf("input: %s, %d frames (%.1f min) at %d Hz, %d channels\n\n", path.c_str(), frames,
              frames / 60.0 / sound.sampleRate(), sound.sampleRate(), sound.channels());
  return true;
}
