#include <algorithm>

#include "effects/amplitude_effects.h"

namespace {

constexpr int32_t kMaxNormalizePercent = 400;

}  // namespace

NormalizeParams readNormalizeParams(const sys::SettingsStore& store) {
  return {readEffectParameter(store, kNormalizePeakLevelValue)};
}

void writeNormalizeParams(sys::SettingsStore& store, const NormalizeParams& params) {
  writeEffectParameter(store, kNormalizePeakLevelValue, params.NormalizePeakLevel);
}

JobResult scanPeak(const SoundBuffer& sound, int32_t start, int32_t end, int64_t& peak, ProgressCallback* progress) {
  peak = 0;
  if (!clampSelection(sound, start, end)) return JobResult::Done;
  SoundBuffer selection;
  if (!selection.extractRange(sound, start, end)) return JobResult::Failed;
  SampleSourceRef reader = selection.openReader();
  Sample largest = 0, smallest = 0;
  JobResult result = readInChunks(*reader, end - start, progress, [&](const Sample* samples, int32_t frames) {
    const size_t count = static_cast<size_t>(frames) * reader->channels();
    Sample high = largest, low = smallest;
    for (size_t i = 0; i < count; ++i) {
      high = std::max(high, samples[i]);
      low = std::min(low, samples[i]);
    }
    largest = high;
    smallest = low;
    return true;
  });
  // Negated wide: the most negative Sample has no positive twin.
  peak = std::max<int64_t>(largest, -static_cast<int64_t>(smallest));
  return result;
}

int32_t normalizePercent(int64_t peak, int32_t level) {
  if (peak <= 0) return 100;
  level = std::clamp(level, kNormalizePeakLevelValue.minimum, kNormalizePeakLevelValue.maximum);
  return static_cast<int32_t>(std::min<int64_t>(kMaxNormalizePercent, level * kLargest16BitSample / peak));
}

JobResult normalize(SoundBuffer& sound, int32_t start, int32_t end, const NormalizeParams& params,
                    ProgressCallback* progress) {
  if (!clampSelection(sound, start, end)) return JobResult::Done;
  int64_t peak = 0;
  JobResult result = scanPeak(sound, start, end, peak, progress);
  if (result != JobResult::Done || peak <= 0) return result;
  sound.scaleRange(start, end, normalizePercent(peak, params.NormalizePeakLevel));
  return JobResult::Done;
}
