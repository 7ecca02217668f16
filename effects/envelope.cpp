#include <algorithm>

#include "effects/decibels.h"
#include "effects/envelope_job.h"
#include "sys/file.h"
#include "sys/folders.h"

namespace {

// A level byte as a gain: 128 (unity) becomes 2^24.
constexpr int kLevelToGainShift = 17;

int32_t levelGain(uint8_t level) { return static_cast<int32_t>(level) << kLevelToGainShift; }

class EnvelopeSource final : public KernelSource {
 public:
  EnvelopeSource(SampleSourceRef input, const EnvelopeCurve& curve) : KernelSource(std::move(input)) {
    const int32_t frames = std::max(length(), 1);
    for (const auto& point : curve.points) {
      m_pointFrames.push_back(envelopePointFrame(frames, point.position));
      m_pointGains.push_back(levelGain(point.level));
    }
    m_gain = m_pointGains.front();
  }

 protected:
  void processChunk(Sample* samples, int32_t firstFrame, int32_t frames) override {
    const int channelCount = channels();
    int32_t frame = firstFrame;
    const int32_t end = firstFrame + frames;
    while (frame < end) {
      // On a point's frame the gain is exactly that point's; points sharing a
      // frame are passed at once, so the last of them wins.
      while (m_target < m_pointFrames.size() && m_pointFrames[m_target] <= frame) {
        m_gain = m_pointGains[m_target];
        ++m_target;
      }
      int32_t piece = end - frame;
      int32_t step = 0;  // 2^24 = unity per frame
      if (m_target < m_pointFrames.size()) {
        const int32_t framesToTarget = m_pointFrames[m_target] - frame;
        piece = std::min(piece, framesToTarget);
        step = static_cast<int32_t>((static_cast<int64_t>(m_pointGains[m_target]) - m_gain) / framesToTarget);
      }
      for (int32_t f = 0; f < piece; ++f) {
        for (int c = 0; c < channelCount; ++c, ++samples) *samples = scaleSample(*samples, m_gain);
        m_gain += step;
      }
      frame += piece;
    }
  }

 private:
  std::vector<int32_t> m_pointFrames;
  std::vector<int32_t> m_pointGains;  // 2^24 = unity
  size_t m_target = 1;                // the first target is point 1
  int32_t m_gain;                     // 2^24 = unity
};

class EnvelopeJob final : public EffectJob {
 public:
  EnvelopeJob(const EnvelopeCurve& curve, std::string name) : m_curve(curve), m_name(std::move(name)) {}
  std::string name() const override { return m_name; }
  SampleSourceRef process(SampleSourceRef input) override { return makeRef<EnvelopeSource>(std::move(input), m_curve); }

 private:
  const EnvelopeCurve& m_curve;
  std::string m_name;
};

}  // namespace

int32_t envelopePointFrame(int32_t length, int position) {
  // Position 255 is the selection's last frame, so that a fade reaches its
  // end level on the audio and not one frame past it. Split into whole
  // 255ths and the remainder so that nothing overflows.
  const int64_t last = std::max(length, 1) - 1;
  return static_cast<int32_t>((last / 255) * position + ((last % 255) * position) / 255);
}

JobResult runEnvelopeJob(SoundBuffer& sound, int32_t start, int32_t end, const EnvelopeCurve& curve,
                         const std::string& name, ProgressCallback* progress) {
  if (curve.points.size() < 2) return JobResult::Done;
  EnvelopeJob job(curve, name);
  return runEffectJob(sound, start, end, job, progress);
}

JobResult applyEnvelope(SoundBuffer& sound, int32_t start, int32_t end, const EnvelopeCurve& curve,
                        ProgressCallback* progress) {
  return runEnvelopeJob(sound, start, end, curve, kEnvelopeName, progress);
}

EnvelopeCurve flatEnvelope() { return {{{0, 128}, {255, 128}}}; }

std::vector<uint8_t> envelopeBytes(const EnvelopeCurve& curve) {
  const size_t count = std::min(curve.points.size(), kMaxEnvelopePoints);
  std::vector<uint8_t> bytes{static_cast<uint8_t>(count)};
  for (size_t i = 0; i < count; ++i) {
    bytes.push_back(curve.points[i].position);
    bytes.push_back(curve.points[i].level);
  }
  return bytes;
}

EnvelopeCurve envelopeFromBytes(const std::vector<uint8_t>& bytes) {
  EnvelopeCurve curve;
  if (bytes.empty()) return curve;
  size_t count = std::min<size_t>(bytes[0], kMaxEnvelopePoints);
  // A file cut short keeps the whole pairs it has.
  count = std::min(count, (bytes.size() - 1) / 2);
  uint8_t previous = 0;
  for (size_t i = 0; i < count; ++i) {
    uint8_t position = std::max(bytes[1 + 2 * i], previous);
    curve.points.push_back({position, bytes[2 + 2 * i]});
    previous = position;
  }
  return curve;
}

std::string envelopeFilePath(const std::string& dataFolder) { return sys::joinPath(dataFolder, "envelope.dat"); }

bool saveCurveFile(const std::string& path, const EnvelopeCurve& curve) {
  std::vector<uint8_t> bytes = envelopeBytes(curve);
  sys::File file = sys::File::open(path, sys::Access::ReadWrite, sys::Share::None, sys::Disposition::CreateAlways);
  return file.isOpen() && file.write(bytes.data(), bytes.size()) == bytes.size();
}

EnvelopeCurve loadCurveFile(const std::string& path) {
  // The largest file that matters: a count byte and 64 pairs.
  std::vector<uint8_t> bytes(1 + 2 * kMaxEnvelopePoints);
  sys::File file = sys::File::open(path, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
  bytes.resize(file.isOpen() ? file.read(bytes.data(), bytes.size()) : 0);
  file.close();
  EnvelopeCurve curve = envelopeFromBytes(bytes);
  if (curve.points.empty()) {
    curve = flatEnvelope();
    saveCurveFile(path, curve);
  }
  return curve;
}

bool saveEnvelopeFile(const std::string& dataFolder, const EnvelopeCurve& curve) {
  return saveCurveFile(envelopeFilePath(dataFolder), curve);
}

EnvelopeCurve loadEnvelopeFile(const std::string& dataFolder) { return loadCurveFile(envelopeFilePath(dataFolder)); }
