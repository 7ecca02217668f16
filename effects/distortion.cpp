#include <algorithm>
#include <cmath>

#include "effects/decibels.h"
#include "effects/delay_filter_effects.h"
#include "effects/filter_job.h"
#include "effects/filter_stages.h"

namespace {

constexpr double kUnity = 16777216.0;
// 0 dB of the top line: a quarter of full scale.
constexpr double kTopAtZeroDecibels = 131072.0;

int32_t slope(double value) { return static_cast<int32_t>(std::trunc(value * kUnity)); }

class DistortionSource final : public KernelSource {
 public:
  DistortionSource(SampleSourceRef input, const DistortionCurve& curve)
      : KernelSource(std::move(input)), m_curve(curve) {}

 protected:
  void processChunk(Sample* samples, int32_t, int32_t frames) override {
    const size_t count = static_cast<size_t>(frames) * channels();
    for (size_t s = 0; s < count; ++s) samples[s] = m_curve.apply(samples[s]);
  }

 private:
  DistortionCurve m_curve;
};

}  // namespace

DistortionCurve distortionCurve(int32_t levelDecibels, double degree) {
  DistortionCurve curve;
  const int level = clampDecibels(levelDecibels);
  // 127 dB puts the top line far beyond what a sample holds: kept as the
  // largest sample rather than wrapped.
  curve.top = std::min<int64_t>(static_cast<int64_t>(std::trunc(std::pow(10.0, level / 20.0) * kTopAtZeroDecibels)),
                                INT32_MAX);
  curve.knee = curve.top >> 2;
  const double d = std::clamp(degree, 0.0, 1.0);
  curve.c1 = slope(1 + 0.66 * d);
  curve.c2 = slope(1 - 0.22 * d);
  curve.c3 = slope(1 - d);
  const Sample top = static_cast<Sample>(curve.top), knee = static_cast<Sample>(curve.knee);
  curve.o2 = static_cast<int64_t>(scaleSample(knee, curve.c1)) - scaleSample(knee, curve.c2);
  curve.o3 = curve.o2 - scaleSample(top, curve.c3) + scaleSample(top, curve.c2);
  return curve;
}

Sample DistortionCurve::apply(Sample x) const {
  if (x >= 0) {
    if (x < knee) return scaleSample(x, c1);
    if (x < top) return clampToInt32(scaleSample(x, c2) + o2);
    return clampToInt32(scaleSample(x, c3) + o3);
  }
  if (x > -knee) return scaleSample(x, c1);
  if (x > -top) return clampToInt32(scaleSample(x, c2) - o2);
  return clampToInt32(scaleSample(x, c3) - o3);
}

SampleSourceRef distortionStage(SampleSourceRef input, const DistortionCurve& curve) {
  return makeRef<DistortionSource>(std::move(input), curve);
}

DistortionCurve lineDistortionCurve() { return distortionCurve(-8, 0.05); }

JobResult distortion(SoundBuffer& sound, int32_t start, int32_t end, const DistortionParams& params,
                     ProgressCallback* progress) {
  const DistortionCurve curve =
      distortionCurve(params.Level, static_cast<double>(params.Degree) / kThousandths);
  return runFilter(sound, start, end, kDistortionName, [&](SampleSourceRef input) {
    return distortionStage(std::move(input), curve);
  }, progress);
}
