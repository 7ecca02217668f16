#include "editor/model/region_tools.h"

#include <algorithm>

bool makeRegion(const SoundBuffer& sound, const Selection& selection, const std::string& name,
                const std::string& sourceName, Region& region) {
  int32_t start = std::clamp(selection.start, 0, sound.totalFrames());
  int32_t end = std::clamp(selection.end, start, sound.totalFrames());
  if (end <= start) return false;
  Region made;
  made.name = name;
  made.sourceName = sourceName;
  made.start = start;
  made.end = end;
  made.sound = SoundBuffer(sound.sampleRate(), sound.channels());
  if (!made.sound.extractRange(sound, start, end)) return false;
  region = std::move(made);
  return true;
}

bool validFileName(const std::string& name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  for (unsigned char c : name)
    if (c < 32 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos) return false;
  return true;
}

JobResult assembleRegions(const std::vector<Region>& regions, SoundConverter& converter, ProgressCallback* progress,
                          SoundBuffer& out) {
  if (regions.empty()) return JobResult::Failed;
  const int32_t rate = regions.front().sound.sampleRate();
  const int channels = regions.front().sound.channels();
  SoundBuffer joined(rate, channels);
  for (const Region& region : regions) {
    SoundBuffer piece = region.sound;
    // Every piece takes the first one's format, or the join would mix rates
    // and channel counts in one sound.
    if (piece.sampleRate() != rate || piece.channels() != channels) {
      SoundBuffer converted;
      JobResult result = converter.convert(region.sound, rate, channels, converted, progress);
      if (result != JobResult::Done) return result;
      piece = converted;
    }
    if (!joined.insertBuffer(joined.totalFrames(), piece)) return JobResult::Failed;
  }
  out = std::move(joined);
  return JobResult::Done;
}
