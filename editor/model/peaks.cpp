#include "editor/model/peaks.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "sys/file.h"

namespace {

// Sample peaks are shown in steps of 2^11 (255 = full scale 2^19), or 2^8
// with vertical zoom.
constexpr int kSampleShift = 11;
constexpr int kZoomedSampleShift = 8;
// Overview bytes are scaled by the span's gain (2^24 = unity): gain >> 16 is
// 256 at unity, gain >> 13 is 2048 (eight times) with vertical zoom, and the
// product is shifted down by 8.
constexpr int kGainShift = 16;
constexpr int kZoomedGainShift = 13;
// Keeps frame arithmetic far from overflow whatever the caller passes.
constexpr double kFrameLimit = 4.0e18;

// The columns of a request and their first frames.
class ColumnGrid {
 public:
  explicit ColumnGrid(const PeakRequest& request)
      : m_first(std::clamp<int64_t>(request.firstFrame, -(int64_t{1} << 62), int64_t{1} << 62)),
        m_scale(request.framesPerPixel),
        m_begin(std::clamp(request.columnBegin, 0, kMaxPeakColumns)),
        m_end(std::clamp(request.columnEnd, m_begin, kMaxPeakColumns)) {
    if (!(m_scale > 0) || !std::isfinite(m_scale)) m_end = m_begin;  // nothing to draw
  }

  int begin() const { return m_begin; }
  int end() const { return m_end; }
  int64_t start(int column) const {
    double offset = std::floor(column * m_scale);
    return m_first + static_cast<int64_t>(std::min(offset, kFrameLimit));
  }

 private:
  int64_t m_first;
  double m_scale;
  int m_begin, m_end;
};

bool drawsLeftRight(const PeakRequest& request, int channels) {
  return (request.displayMode == 1 || request.displayMode == 2) && channels == 2;
}

uint8_t peakToByte(int64_t magnitude, int shift) { return static_cast<uint8_t>(std::min<int64_t>(magnitude >> shift, 255)); }

}  // namespace

bool usesOverview(double framesPerPixel) { return framesPerPixel > kFramesPerPeakRecord; }

void computeSamplePeaks(SampleSource& source, const PeakRequest& request, uint8_t* upper, uint8_t* lower,
                        const std::atomic<bool>& stop) {
  const ColumnGrid grid(request);
  const int channels = std::max<int>(source.channels(), 1);
  const bool leftRight = drawsLeftRight(request, channels);
  const int shift = request.verticalZoom ? kZoomedSampleShift : kSampleShift;
  const int64_t length = source.length();
  std::vector<Sample> piece(static_cast<size_t>(kPeakReadFrames) * channels);

  for (int x = grid.begin(); x < grid.end(); ++x) {
    // Frames outside the sound are silence; they need no reading.
    int64_t from = std::max<int64_t>(grid.start(x), 0);
    int64_t to = std::min<int64_t>(grid.start(x + 1), length);
    int64_t high = 0, low = 0;  // +/-: largest and most negative; L/R: largest |left| and |right|
    if (from < to) source.seek(static_cast<int32_t>(from));
    while (from < to) {
      auto take = static_cast<int32_t>(std::min<int64_t>(to - from, kPeakReadFrames));
      source.read(piece.data(), take);
      const Sample* sample = piece.data();
      if (leftRight) {
        for (int32_t f = 0; f < take; ++f, sample += 2) {
          high = std::max(high, std::abs(static_cast<int64_t>(sample[0])));
          low = std::max(low, std::abs(static_cast<int64_t>(sample[1])));
        }
      } else {
        for (size_t i = 0, n = static_cast<size_t>(take) * channels; i < n; ++i) {
          high = std::max<int64_t>(high, sample[i]);
          low = std::min<int64_t>(low, sample[i]);
        }
      }
      from += take;
      if (from < to && stop.load(std::memory_order_relaxed)) return;
    }
    upper[x] = peakToByte(high, shift);
    lower[x] = peakToByte(leftRight ? low : -low, shift);
    if (stop.load(std::memory_order_relaxed)) return;
  }
}

void computeOverviewPeaks(const SoundBuffer& buffer, const PeakRequest& request, uint8_t* upper, uint8_t* lower,
                          const std::atomic<bool>& stop, OverviewReadStats* stats) {
  const ColumnGrid grid(request);
  if (grid.begin() >= grid.end()) return;
  std::fill(upper + grid.begin(), upper + grid.end(), 0);
  std::fill(lower + grid.begin(), lower + grid.end(), 0);

  const int channels = std::max<int>(buffer.channels(), 1);
  const bool leftRight = drawsLeftRight(request, channels);
  const int gainShift = request.verticalZoom ? kZoomedGainShift : kGainShift;
  // A record: per channel the positive then the negative peak byte.
  const int64_t recordBytes = 2 * channels;
  // Pieces of at most 512 / channels records less one.
  const int64_t recordsPerPiece = std::max(512 / channels - 1, 1);
  std::vector<uint8_t> piece(static_cast<size_t>(recordsPerPiece * recordBytes));

  const int64_t visibleFirst = grid.start(grid.begin());
  const int64_t visibleEnd = grid.start(grid.end());
  int column = grid.begin();
  int64_t spanStart = 0;
  for (const BlockSpan& span : buffer.spans()) {
    const int64_t spanEnd = spanStart + std::max(span.length(), 0);
    const int64_t thisSpanStart = spanStart;
    spanStart = spanEnd;
    if (spanEnd <= visibleFirst || span.silent() || spanEnd <= thisSpanStart) continue;
    if (thisSpanStart >= visibleEnd) break;

    const int64_t from = std::max(thisSpanStart, visibleFirst), to = std::min(spanEnd, visibleEnd);
    const int64_t blockFrom = span.offset() + (from - thisSpanStart);
    const int64_t blockTo = span.offset() + (to - thisSpanStart);
    if (blockFrom < 0) continue;  // a span cannot start before its block
    sys::File file = sys::File::open(blockPeakPath(span.block()), sys::Access::Read, sys::Share::Read,
                                     sys::Disposition::OpenExisting);
    if (!file.isOpen()) continue;
    int64_t record = blockFrom / kFramesPerPeakRecord;
    const int64_t recordEnd = std::min((blockTo - 1) / kFramesPerPeakRecord + 1, file.size() / recordBytes);
    if (record >= recordEnd || !file.seek(record * recordBytes)) continue;

    // A negative gain turns the sound upside down: its peaks change sides.
    const int64_t gain = span.gain();
    const int64_t factor = (gain < 0 ? -gain : gain) >> gainShift;
    const bool inverted = gain < 0;
    auto scaled = [factor](uint8_t byte) { return static_cast<uint8_t>(std::min<int64_t>(byte * factor >> 8, 255)); };

    bool pastEnd = false;
    while (record < recordEnd && !pastEnd) {
      const int64_t want = std::min(recordsPerPiece, recordEnd - record);
      size_t got = file.read(piece.data(), static_cast<size_t>(want * recordBytes));
      if (stats) stats->bytesRead += static_cast<int64_t>(got);
      const int64_t records = static_cast<int64_t>(got) / recordBytes;
      for (int64_t i = 0; i < records; ++i, ++record) {
        // The record belongs to the column of its first frame inside the span.
        const int64_t frame = thisSpanStart + std::max(record * kFramesPerPeakRecord, blockFrom) - span.offset();
        while (column < grid.end() && grid.start(column + 1) <= frame) {
          ++column;
          if (stop.load(std::memory_order_relaxed)) return;
        }
        if (column >= grid.end()) {
          pastEnd = true;
          break;
        }
        const uint8_t* bytes = piece.data() + i * recordBytes;
        uint8_t high = 0, low = 0;
        if (leftRight) {
          high = std::max(bytes[0], bytes[1]);
          low = std::max(bytes[2], bytes[3]);
        } else {
          for (int c = 0; c < channels; ++c) {
            high = std::max(high, bytes[2 * c]);
            low = std::max(low, bytes[2 * c + 1]);
          }
          if (inverted) std::swap(high, low);
        }
        upper[column] = std::max(upper[column], scaled(high));
        lower[column] = std::max(lower[column], scaled(low));
      }
      if (records < want) break;  // the file ended early: the rest stays 0
      if (stop.load(std::memory_order_relaxed)) return;
    }
  }
}
