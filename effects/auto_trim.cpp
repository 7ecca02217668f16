#include <algorithm>
#include <cstdlib>
#include <vector>

#include "core/block_store.h"
#include "effects/amplitude_effects.h"
#include "effects/decibels.h"
#include "sys/file.h"

AutoTrimParams readAutoTrimParams(const sys::SettingsStore& store) {
  return {readEffectParameter(store, kAutoTrimThresholdValue)};
}

void writeAutoTrimParams(sys::SettingsStore& store, const AutoTrimParams& params) {
  writeEffectParameter(store, kAutoTrimThresholdValue, params.AutoTrimThreshold);
}

namespace {

constexpr int32_t kRecordFrames = kFramesPerPeakRecord;
// Overview bytes read from a block file at a time.
constexpr size_t kOverviewReadBytes = 64 * 1024;

// The sound's overview: per 256 frames of the document and per channel the
// positive and the negative peak byte, scaled by the span gains. Each block
// record is placed where its frames lie in the document now, so spans moved
// by edits line up; a record straddling two document records counts in both.
class DocumentOverview {
 public:
  DocumentOverview(int32_t length, int channels)
      : m_channels(channels), m_pairs((static_cast<size_t>(length) / kRecordFrames + 1) * channels * 2, 0) {}

  size_t pairCount() const { return m_pairs.size() / 2; }
  bool above(size_t pair, int32_t threshold) const {
    return m_pairs[2 * pair] > threshold || m_pairs[2 * pair + 1] > threshold;
  }
  uint8_t largest() const { return m_pairs.empty() ? 0 : *std::max_element(m_pairs.begin(), m_pairs.end()); }

  void addSpan(const BlockSpan& span, int64_t spanStart) {
    if (span.silent() || span.length() <= 0) return;
    sys::File file = sys::File::open(blockPeakPath(span.block()), sys::Access::Read, sys::Share::ReadWrite,
                                     sys::Disposition::OpenExisting);
    if (!file.isOpen()) return;  // no overview: counts as silence
    // byte * (gain / 65,536) / 256, for either polarity of the gain.
    const int64_t scale = std::llabs(static_cast<int64_t>(span.gain())) / 65536;
    const int64_t firstBlockFrame = span.offset();
    const int64_t endBlockFrame = firstBlockFrame + span.length();
    const size_t recordBytes = static_cast<size_t>(m_channels) * 2;
    int64_t record = firstBlockFrame / kRecordFrames;
    const int64_t lastRecord = (endBlockFrame - 1) / kRecordFrames;
    if (!file.seek(record * static_cast<int64_t>(recordBytes))) return;
    std::vector<uint8_t> bytes;
    while (record <= lastRecord) {
      const int64_t want = std::min<int64_t>(lastRecord - record + 1, kOverviewReadBytes / recordBytes);
      bytes.resize(static_cast<size_t>(want) * recordBytes);
      const size_t got = file.read(bytes.data(), bytes.size()) / recordBytes;
      for (size_t r = 0; r < got; ++r, ++record) {
        const int64_t from = std::max(record * kRecordFrames, firstBlockFrame);
        const int64_t to = std::min((record + 1) * kRecordFrames, endBlockFrame);
        const int64_t documentFrom = spanStart + (from - firstBlockFrame);
        const int64_t documentTo = spanStart + (to - firstBlockFrame);
        for (int64_t d = documentFrom / kRecordFrames; d <= (documentTo - 1) / kRecordFrames; ++d)
          merge(static_cast<size_t>(d), bytes.data() + r * recordBytes, scale);
      }
      if (got < static_cast<size_t>(want)) return;  // a short file: the rest is silence
    }
  }

 private:
  void merge(size_t documentRecord, const uint8_t* record, int64_t scale) {
    const size_t first = documentRecord * m_channels * 2;
    if (first + m_channels * 2 > m_pairs.size()) return;
    for (int i = 0; i < m_channels * 2; ++i) {
      // Saturated: a gain above unity must not wrap a loud peak to a quiet one.
      const auto scaled = static_cast<uint8_t>(std::min<int64_t>(255, record[i] * scale / 256));
      m_pairs[first + i] = std::max(m_pairs[first + i], scaled);
    }
  }

  int m_channels;
  std::vector<uint8_t> m_pairs;  // positive, negative peak per record and channel
};

}  // namespace

AutoTrimResult autoTrim(SoundBuffer& sound, const AutoTrimParams& params, ProgressCallback* progress) {
  AutoTrimResult trim;
  const int32_t length = sound.totalFrames();
  const int channelCount = sound.channels();
  trim.end = length;
  DocumentOverview overview(length, channelCount);
  int64_t spanStart = 0;
  for (const auto& span : sound.spans()) {
    if (progress && !progress->progress(spanStart, length)) {
      trim.result = JobResult::Cancelled;
      return trim;
    }
    overview.addSpan(span, spanStart);
    spanStart += span.length();
  }
  if (progress && !progress->progress(length, length)) {
    trim.result = JobResult::Cancelled;
    return trim;
  }

  const int64_t largest = overview.largest();
  const auto threshold = static_cast<int32_t>((largest * decibelGain(params.AutoTrimThreshold)) >> 24);
  const auto count = static_cast<int64_t>(overview.pairCount());
  // The first loud record from the front, skipping the first; one record of
  // lead-in is kept before it.
  for (int64_t i = channelCount; i < count; ++i) {
    if (overview.above(static_cast<size_t>(i), threshold)) {
      trim.start = static_cast<int32_t>((i / channelCount) * kRecordFrames - kRecordFrames);
      break;
    }
  }
  // The last loud record from the back, skipping the last one.
  for (int64_t i = count - 2 * channelCount; i >= 1; --i) {
    if (overview.above(static_cast<size_t>(i), threshold)) {
      trim.end = static_cast<int32_t>(std::min<int64_t>((i / channelCount + 1) * kRecordFrames, length));
      break;
    }
  }
  // Loudness only at the very edges can put the start after the end; keep
  // the sound whole rather than remove all of it.
  if (trim.start >= trim.end) {
    trim.start = 0;
    trim.end = length;
    return trim;
  }
  sound.truncateAt(trim.end);
  sound.deleteHead(trim.start);
  return trim;
}
