#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "effects/click_repair.h"
#include "effects/high_pass_biquad.h"

// The scan works on windows that overlap by half: each is measured whole and
// examined on its middle half (shifted by the lag), so the examined halves
// follow one another without gaps. A frame starts a click when, in the
// high-passed copy, it jumps by more than the jump threshold from the frame a
// lag before and is louder than the level threshold; the click lasts while
// the audio stays above a third of its level at that frame. Something that stays loud for the longest click length is a
// real change of level, not a click: it raises both thresholds for the rest
// of the window. Detection looks at the high-passed copy; repairs change the
// original, and a later repair's end points see the earlier repairs.

namespace {

constexpr int32_t kDetectionCornerHz = 1500;

int64_t magnitude(Sample sample) { return std::llabs(int64_t{sample}); }

}  // namespace

int32_t clickWindowFrames(int32_t sampleRate) {
  const int32_t rate = std::max(sampleRate, 1);
  return 16 * ((rate / 100 + 4) / 4 * 4);
}

int32_t clickLagFrames(int32_t sampleRate) { return std::max(sampleRate, 0) / 44100 + 1; }

int32_t maxClickFrames(int32_t sampleRate, int32_t maxClickLength) {
  const int64_t frames = int64_t{std::max(sampleRate, 0)} * std::max(maxClickLength, 0) / 1000000;
  return static_cast<int32_t>(std::min<int64_t>(frames, clickWindowFrames(sampleRate) / 4));
}

ClickThresholds clickThresholds(int32_t sensitivity, int64_t meanLevel, int64_t meanJump, int64_t jumpSpread) {
  const int64_t s = std::max<int64_t>(100 - int64_t{sensitivity}, 1);
  return {s * meanLevel / 50 + meanJump, (s * jumpSpread / 50 + 100 + meanJump) * (s / 10)};
}

Sample ClickRepair::value(int64_t k) const {
  const int64_t m = last - first + 1;
  return clampToInt32((int64_t{before} * (m + 1 - k) + int64_t{after} * k) / (m + 1));
}

struct ClickDetector::State {
  State(int32_t rate, int channelCount, int64_t total, const ClickRepairParams& params)
      : window(clickWindowFrames(rate)),
        lag(clickLagFrames(rate)),
        longest(maxClickFrames(rate, params.MaxClickLength)),
        sensitivity(params.ClickSensitivity),
        channels(channelCount),
        totalFrames(total),
        filter(kDetectionCornerHz, rate, channelCount),
        original(static_cast<size_t>(channelCount)),
        detection(static_cast<size_t>(channelCount)),
        resume(static_cast<size_t>(channelCount), 0),
        windowStart(-(window / 4) - lag) {}

  // Frames a window needs beyond its start: itself, a click walking past
  // its examined half by the longest click, and the sample after a repair.
  int64_t needed() const { return std::min<int64_t>(totalFrames, windowStart + window + lag + 3); }
  bool windowsLeft() const { return windowStart + window / 4 + lag < totalFrames; }

  Sample& originalAt(int c, int64_t frame) { return original[static_cast<size_t>(c)][static_cast<size_t>(frame - base)]; }
  int64_t detectionAt(int c, int64_t frame) const {
    return magnitude(detection[static_cast<size_t>(c)][static_cast<size_t>(frame - base)]);
  }

  void runReadyWindows(bool finished) {
    while (windowsLeft() && (finished || received >= needed())) {
      for (int c = 0; c < channels; ++c) examine(c);
      windowStart += window / 2;
      dropBefore(std::max<int64_t>(windowStart, 0));
    }
  }

  void dropBefore(int64_t frame) {
    const int64_t drop = std::min(frame, received) - base;
    if (drop <= 0) return;
    for (int c = 0; c < channels; ++c) {
      original[static_cast<size_t>(c)].erase(original[static_cast<size_t>(c)].begin(),
                                             original[static_cast<size_t>(c)].begin() + drop);
      detection[static_cast<size_t>(c)].erase(detection[static_cast<size_t>(c)].begin(),
                                              detection[static_cast<size_t>(c)].begin() + drop);
    }
    base += drop;
  }

  void examine(int c) {
    const int64_t from = std::max<int64_t>(windowStart, 0), to = std::min<int64_t>(windowStart + window, received);
    const int64_t count = to - from;
    if (count <= lag) return;
    int64_t levelSum = 0, jumpSum = 0;
    for (int64_t i = from; i < to; ++i) levelSum += detectionAt(c, i);
    const std::vector<Sample>& x = detection[static_cast<size_t>(c)];
    auto jumpAt = [&](int64_t i) {
      return std::llabs(int64_t{x[static_cast<size_t>(i + lag - base)]} - x[static_cast<size_t>(i - base)]);
    };
    for (int64_t i = from; i + lag < to; ++i) jumpSum += jumpAt(i);
    const int64_t meanLevel = levelSum / count, meanJump = jumpSum / (count - lag);
    double spreadSum = 0;
    for (int64_t i = from; i + lag < to; ++i) {
      const double d = static_cast<double>(jumpAt(i) - meanJump);
      spreadSum += d * d;
    }
    const auto spread = static_cast<int64_t>(std::sqrt(spreadSum / static_cast<double>(count - lag)));
    ClickThresholds thresholds = clickThresholds(sensitivity, meanLevel, meanJump, spread);

    const int64_t first = std::max({windowStart + window / 4 + lag, resume[static_cast<size_t>(c)], int64_t{lag}});
    const int64_t last = std::min<int64_t>(windowStart + 3 * (window / 4) + lag, received);
    for (int64_t i = first; i < last; ++i) {
      const int64_t a = detectionAt(c, i), b = detectionAt(c, i - lag);
      if (a - b <= thresholds.jump || a <= thresholds.level) continue;
      // How long it lasts is judged on the audio itself: the high-pass turns
      // the start of a lasting step into a spike a few frames long, and the
      // middle of a flat-topped click into almost nothing.
      const int64_t peak = magnitude(originalAt(c, i));
      int64_t j = i + 1, loud = 0;
      while (loud < longest && j < received && magnitude(originalAt(c, j)) >= peak / 3) ++loud, ++j;
      if (loud >= longest) {
        thresholds.jump += thresholds.jump / 2;
        thresholds.level += thresholds.level / 2;
        continue;
      }
      repair(c, i - lag, std::min(j, received - 1));
      resume[static_cast<size_t>(c)] = j + lag;
      i = j + lag - 1;
    }
  }

  void repair(int c, int64_t first, int64_t last) {
    first = std::max(first, base);
    const bool hasBefore = first > base;
    const bool hasAfter = last + 1 < received;
    ClickRepair line{c, first, last, 0, 0};
    line.before = hasBefore ? originalAt(c, first - 1) : (hasAfter ? originalAt(c, last + 1) : 0);
    line.after = hasAfter ? originalAt(c, last + 1) : line.before;
    for (int64_t k = 1; k <= last - first + 1; ++k) originalAt(c, first + k - 1) = line.value(k);
    repairs.push_back(line);
  }

  int32_t window, lag, longest, sensitivity;
  int channels;
  int64_t totalFrames;
  HighPassBiquad filter;
  std::vector<std::vector<Sample>> original, detection;  // per channel, frames base..received-1
  std::vector<int64_t> resume;                            // per channel, where the scan may go on
  int64_t base = 0, received = 0;
  int64_t windowStart;
  std::vector<ClickRepair> repairs;
};

ClickDetector::ClickDetector(int32_t sampleRate, int channels, int64_t totalFrames, const ClickRepairParams& params)
    : m_state(std::make_unique<State>(sampleRate, channels, totalFrames, params)) {}

ClickDetector::~ClickDetector() = default;

void ClickDetector::push(const Sample* samples, int32_t frames) {
  State& s = *m_state;
  for (int32_t f = 0; f < frames; ++f)
    for (int c = 0; c < s.channels; ++c, ++samples) {
      s.original[static_cast<size_t>(c)].push_back(*samples);
      s.detection[static_cast<size_t>(c)].push_back(s.filter.filter(c, *samples));
    }
  s.received += frames;
  s.runReadyWindows(false);
}

void ClickDetector::finish() { m_state->runReadyWindows(true); }

const std::vector<ClickRepair>& ClickDetector::repairs() const { return m_state->repairs; }
