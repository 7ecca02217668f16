#include <algorithm>
#include <cstdlib>

#include "effects/click_repair.h"
#include "effects/high_pass_biquad.h"

namespace {

constexpr int32_t kDetectionCornerHz = 1500;
// Manual repair widens the selection by up to a lag on each side where the
// high-passed signal is still this many times its level around the area.
constexpr int64_t kManualSpreadFactor = 3;

class RepairSource final : public KernelSource {
 public:
  RepairSource(SampleSourceRef input, std::vector<ClickRepair> repairs)
      : KernelSource(std::move(input)), m_repairs(std::move(repairs)) {
    std::sort(m_repairs.begin(), m_repairs.end(),
              [](const ClickRepair& a, const ClickRepair& b) { return a.first < b.first; });
    for (const ClickRepair& repair : m_repairs) m_longest = std::max(m_longest, repair.last - repair.first + 1);
  }

 protected:
  void processChunk(Sample* samples, int32_t firstFrame, int32_t frames) override {
    const int channelCount = channels();
    const int64_t chunkEnd = int64_t{firstFrame} + frames;
    auto from = std::lower_bound(m_repairs.begin(), m_repairs.end(), firstFrame - m_longest,
                                 [](const ClickRepair& repair, int64_t frame) { return repair.first < frame; });
    for (auto repair = from; repair != m_repairs.end() && repair->first < chunkEnd; ++repair) {
      if (repair->channel >= channelCount) continue;
      const int64_t begin = std::max<int64_t>(repair->first, firstFrame);
      const int64_t end = std::min(repair->last + 1, chunkEnd);
      for (int64_t frame = begin; frame < end; ++frame)
        samples[(frame - firstFrame) * channelCount + repair->channel] = repair->value(frame - repair->first + 1);
    }
  }

 private:
  std::vector<ClickRepair> m_repairs;  // by first frame
  int64_t m_longest = 0;
};

class AutoClickRepairJob final : public EffectJob {
 public:
  explicit AutoClickRepairJob(const ClickRepairParams& params) : m_params(params) {}
  std::string name() const override { return kAutoClickRepairName; }
  bool hasAnalysisPass() const override { return true; }

  JobResult analyse(SampleSource& input, ProgressCallback* progress) override {
    ClickDetector detector(input.sampleRate(), input.channels(), input.length(), m_params);
    JobResult result = readInChunks(input, input.length(), progress, [&](const Sample* samples, int32_t frames) {
      detector.push(samples, frames);
      return true;
    });
    detector.finish();
    m_repairs = detector.repairs();
    return result;
  }

  SampleSourceRef process(SampleSourceRef input) override { return repairedSource(std::move(input), m_repairs); }
  size_t repairCount() const { return m_repairs.size(); }

 private:
  ClickRepairParams m_params;
  std::vector<ClickRepair> m_repairs;
};

// Works on a stretch of rate / 100 frames around the selection: the area
// around the selection tells how loud the high-passed signal is without the
// click, and the selection grows by up to a lag on each side while the click
// still stands out there. The area then becomes a line, per channel.
class ManualClickRepairJob final : public EffectJob {
 public:
  ManualClickRepairJob(int64_t selectionFirst, int64_t selectionEnd)
      : m_selectionFirst(selectionFirst), m_selectionEnd(selectionEnd) {}
  std::string name() const override { return kManualClickRepairName; }
  bool hasAnalysisPass() const override { return true; }

  JobResult analyse(SampleSource& input, ProgressCallback* progress) override {
    const int channelCount = input.channels();
    const int64_t length = input.length();
    const int32_t lag = input.sampleRate() / 22050 + 1;
    std::vector<Sample> original, detection;
    HighPassBiquad filter(kDetectionCornerHz, input.sampleRate(), channelCount);
    JobResult result = readInChunks(input, length, progress, [&](const Sample* samples, int32_t frames) {
      for (int32_t i = 0; i < frames * channelCount; ++i) {
        original.push_back(samples[i]);
        detection.push_back(filter.filter(i % channelCount, samples[i]));
      }
      return true;
    });
    if (result != JobResult::Done) return result;
    auto at = [&](const std::vector<Sample>& v, int64_t frame, int c) { return v[static_cast<size_t>(frame * channelCount + c)]; };
    for (int c = 0; c < channelCount; ++c) {
      int64_t outsideSum = 0, outsideCount = 0;
      for (int64_t f = 0; f < length; ++f)
        if (f < m_selectionFirst - lag || f >= m_selectionEnd + lag) outsideSum += std::llabs(int64_t{at(detection, f, c)}), ++outsideCount;
      const int64_t background = outsideCount > 0 ? outsideSum / outsideCount : 0;
      auto standsOut = [&](int64_t f) { return std::llabs(int64_t{at(detection, f, c)}) > kManualSpreadFactor * background; };
      int64_t first = m_selectionFirst, last = m_selectionEnd - 1;
      for (int32_t k = 0; k < lag && first > 0 && standsOut(first - 1); ++k) --first;
      for (int32_t k = 0; k < lag && last + 1 < length && standsOut(last + 1); ++k) ++last;
      ClickRepair line{c, first, last, 0, 0};
      const bool hasBefore = first > 0, hasAfter = last + 1 < length;
      line.before = hasBefore ? at(original, first - 1, c) : (hasAfter ? at(original, last + 1, c) : 0);
      line.after = hasAfter ? at(original, last + 1, c) : line.before;
      m_repairs.push_back(line);
    }
    return JobResult::Done;
  }

  SampleSourceRef process(SampleSourceRef input) override { return repairedSource(std::move(input), m_repairs); }

 private:
  int64_t m_selectionFirst, m_selectionEnd;  // within the working stretch
  std::vector<ClickRepair> m_repairs;
};

}  // namespace

SampleSourceRef repairedSource(SampleSourceRef input, std::vector<ClickRepair> repairs) {
  return makeRef<RepairSource>(std::move(input), std::move(repairs));
}

JobResult autoClickRepair(SoundBuffer& sound, int32_t start, int32_t end, const ClickRepairParams& params,
                          ProgressCallback* progress, size_t* repairCount) {
  AutoClickRepairJob job(params);
  JobResult result = runEffectJob(sound, start, end, job, progress);
  if (repairCount) *repairCount = result == JobResult::Done ? job.repairCount() : 0;
  return result;
}

bool manualRepairAreaTooLarge(int32_t frames, int32_t sampleRate) {
  return static_cast<double>(frames) > sampleRate * 0.001;
}

JobResult manualClickRepair(SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress) {
  if (!clampSelection(sound, start, end)) return JobResult::Done;
  if (manualRepairAreaTooLarge(end - start, sound.sampleRate())) return JobResult::Failed;
  const int64_t working = std::max(sound.sampleRate() / 100, end - start);
  const int64_t from = std::max<int64_t>(0, start - (working - (end - start)) / 2);
  const int64_t to = std::min<int64_t>(sound.totalFrames(), from + working);
  ManualClickRepairJob job(start - from, end - from);
  return runEffectJob(sound, static_cast<int32_t>(from), static_cast<int32_t>(to), job, progress);
}
